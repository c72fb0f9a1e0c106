// Edl::read and Edl::looksLikeEdl: a list's lines into events (EventScan),
// events into segments on tracks (EventClips, TrackLanes), tracks into one
// composition.

#include "interchange/Edl.h"

#include "composition/AdoptTree.h"
#include "interchange/EdlRead.h"
#include "interchange/Failure.h"
#include "interchange/edl/EdlLines.h"
#include "interchange/edl/EventClips.h"
#include "interchange/edl/EventScan.h"
#include "interchange/edl/HeaderLines.h"
#include "interchange/edl/TrackLanes.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"

#include <cstring>
#include <numeric>

namespace ZEM_0_81 {

using Interchange::failed;

namespace {

/// `given` in lowest terms, or the default rate of `text` for Rational();
/// false for a rate that is not one.
bool listRate(const Rational& given, const char* text, std::size_t length, Rational& rate) {
    if (given.getNumerator() == 0 && given.getDenominator() == 1) {
        rate = Interchange::Cmx::firstFcmSaysDropFrame(text, length) ? Rational(30000, 1001)
                                                                     : Rational(24, 1);
        return true;
    }
    if (given.getNumerator() <= 0 || given.getDenominator() == 0)
        return false;
    const auto divisor =
        std::gcd(static_cast<unsigned>(given.getNumerator()), given.getDenominator());
    rate = Rational(static_cast<int>(static_cast<unsigned>(given.getNumerator()) / divisor),
                    given.getDenominator() / divisor);
    return true;
}

} // namespace

Status Edl::read(const char* text, std::size_t length, const Rational& rate, const String& id,
                 SharedPtr<Composition>& out, LossReport& losses, String* message) {
    return Interchange::Cmx::readList(text, length, rate, id, std::string(), out, losses, message);
}

Status Interchange::Cmx::readList(const char* text, std::size_t length, const Rational& rate,
                                  const String& id, const std::string& untitled,
                                  SharedPtr<Composition>& out, LossReport& losses,
                                  String* message) {
    losses.clear();
    if (!text)
        length = 0;
    if (length > 0 && std::memchr(text, '\0', length))
        return failed(Status::JsonConversionFailed,
                      "not an EDL: the text holds a NUL byte, which no EDL does", message);
    Rational listAt;
    if (!listRate(rate, text, length, listAt))
        return failed(Status::NoFrameRateText,
                      "the rate " + std::to_string(rate.getNumerator()) + "/" +
                          std::to_string(rate.getDenominator()) + " is no frame rate",
                      message);

    const FrameCounter counter(listAt);
    LineReport report(losses);
    TrackLanes lanes;
    EventClips clips(counter, report, lanes);
    EventScan scan(counter, report);
    scan.scan(text, length, [&](Event& event) { clips.add(event); });
    if (!scan.hasTitle() && scan.eventLines() == 0) {
        losses.clear();
        return failed(Status::JsonConversionFailed,
                      "not an EDL: the text has neither a TITLE line nor an event line that "
                      "can be read",
                      message);
    }

    const std::int64_t start = scan.earliestRecordIn();
    // The composition ends after everything it places, black included.
    std::int64_t end = start;
    clips.placedEnd(end);
    const DmString fcm(rateText(listAt));
    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    const CoSharedPtr<DmCompositionNode> composition(DmCompositionNode::create(
        DmString(scan.hasTitle() ? scan.title() : untitled), fcm, resolution.get()));
    composition->setStartTC(static_cast<double>(start), fcm);
    composition->setCompLength(static_cast<double>(end > start ? end - start : 0));
    lanes.build(*composition, start);
    const CoSharedPtr<DmReelNode> reel(DmReelNode::create());
    reel->addComposition(composition.get());
    const CoSharedPtr<DmRoot> root(DmRoot::create());
    root->addReel(reel.get());
    out = adoptTree(id, root.get());
    return Status();
}

bool Edl::looksLikeEdl(const char* text, std::size_t length) {
    using namespace Interchange::Cmx;
    if (!text)
        return false;
    std::size_t at = 0;
    // A byte order mark, which some tools write, is no character of the text.
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        at = 3;
    while (at < length &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    if (at < length && (text[at] == '{' || text[at] == '['))
        return false;
    LineReader lines(text + at, length - at);
    std::string_view line;
    std::size_t number = 0;
    std::vector<std::string_view> fields;
    while (lines.next(line, number)) {
        if (line.find('\0') != std::string_view::npos)
            return false;
        std::string_view title;
        bool drop = false;
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '*' || parseFcm(line, drop))
            continue;
        if (parseTitle(line, title))
            return true;
        splitFields(line, fields);
        EventLine event;
        std::string why;
        return startsEvent(fields) && parseEventLine(fields, event, why);
    }
    return false;
}

} // namespace ZEM_0_81
