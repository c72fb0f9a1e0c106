// Edl::write: the composition's tracks given channels (WrittenTracks), their
// segments made events (WrittenEvents), the events written (EventText).

#include "interchange/Edl.h"

#include "interchange/Failure.h"
#include "interchange/edl/EdlTimecode.h"
#include "interchange/edl/EventText.h"
#include "interchange/edl/WriteReport.h"
#include "interchange/edl/WrittenEvents.h"
#include "interchange/edl/WrittenTracks.h"
#include "interchange/timing/RecordTime.h"
#include "json/Narrowing.h"

#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmRoot.h"

#include <cmath>
#include <string>
#include <utility>

namespace ZEM_0_81 {

using Interchange::failed;

Status Edl::write(const Composition& composition, const WriteOptions& options, String& out,
                  LossReport& losses, String* message) {
    using namespace Interchange::Cmx;
    losses.clear();
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return failed(status,
                      std::string("the composition has no edit tree to write: ") +
                          status.getDescription(),
                      message);
    const DmCompositionNode* node = shownComposition(root);
    if (!node)
        return failed(Status(Status::NoData), "the edit tree holds no composition to write",
                      message);
    Rational rate;
    if (!FPSUtils::getFPSFromString(String(node->getFcm().str().c_str()), rate))
        return failed(Status(Status::NoFrameRateText),
                      "the composition's rate \"" + node->getFcm().str() + "\" cannot be read",
                      message);

    const FrameCounter counter(rate);
    WriteReport report(losses, counter, !options.nonDropFrame);
    std::vector<WrittenTrack> tracks = tracksOf(root, *node);
    if (!chooseChannels(tracks, options.track, report)) {
        losses.clear();
        return failed(Status(Status::JsonConversionFailed),
                      "track " + std::to_string(options.track) +
                          " is not a video track of the composition",
                      message);
    }

    WriteContext context;
    context.counter = &counter;
    context.report = &report;
    context.reelLength = options.reelLength;
    // The start counts frames at its own rate: in record frames at the
    // composition's.
    const double start = Interchange::RecordTime::rescale(
        node->getStartTC(), Interchange::RecordTime::rateOf(node->getStartTcFcm()),
        Interchange::RecordTime::rateOf(node->getFcm()));
    context.start = std::isfinite(start) ? Json::truncateToInt64(std::round(start)) : 0;
    const WrittenList list = eventsOf(tracks, context);

    std::string title = node->getName().str();
    const std::size_t lineBreak = title.find_first_of("\r\n");
    if (lineBreak != std::string::npos) {
        title.erase(lineBreak);
        report.title("its name is cut at its first line break");
    }
    const EventText text(report, options.reelLength);
    std::string written;
    text.header(title, written);
    std::uint64_t number = 0;
    for (const std::size_t event : list.events)
        text.event(list.clips[event], ++number, written);
    // Handed over, not copied: a long list is megabytes.
    out = String(std::move(written));
    return Status();
}

} // namespace ZEM_0_81
