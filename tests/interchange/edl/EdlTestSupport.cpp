#include "tests/interchange/edl/EdlTestSupport.h"

#include "interchange/edl/WrittenTracks.h"
#include "interchange/kept/ForeignMembers.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::test {

namespace {

std::vector<Interchange::Cmx::WrittenTrack> tracksOf(const Composition& composition) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    const DmCompositionNode* node = Interchange::Cmx::shownComposition(root);
    if (!node)
        return {};
    return Interchange::Cmx::tracksOf(root, *node);
}

} // namespace

EdlRead readEdl(const std::string& text, const Rational& rate) {
    EdlRead read;
    LossReport losses;
    String message;
    read.status =
        Edl::read(text.data(), text.size(), rate, "edl", read.composition, losses, &message);
    read.losses = entriesOf(losses);
    read.message = message.c_str();
    return read;
}

std::vector<std::string> lossPlaces(const std::vector<std::string>& losses) {
    std::vector<std::string> places;
    for (const std::string& loss : losses)
        places.push_back(loss.substr(0, loss.find(" | ")));
    return places;
}

std::vector<std::string> itemsOf(const Composition& composition) {
    // Whole frames, however far a list runs.
    const auto frames = [](double value) { return std::to_string(static_cast<long long>(value)); };
    std::vector<std::string> items;
    for (const auto& track : tracksOf(composition)) {
        for (const DmSegmentNode* segment : track.segments) {
            std::string item = track.name + " " + frames(segment->getRecIn()) + "+" +
                               frames(segment->getRecLength());
            const std::string reel = Interchange::ForeignMembers::reelOf(*segment);
            if (const auto* source = dynamic_cast<const DmSourceNode*>(segment)) {
                item += " clip " + source->getName().str() + " src " +
                        frames(source->getRelIn() + source->getSrcIn()) + " reel " + reel;
                const DmSourceInfo* info = source->getSrcInfo();
                if (info && !info->getSequence(0).empty())
                    item += " file " + info->getSequence(0).str();
            } else {
                item += " gap";
                if (!segment->getName().empty())
                    item += " " + segment->getName().str();
                if (!reel.empty())
                    item += " reel " + reel;
            }
            items.push_back(item);
        }
    }
    return items;
}

std::vector<const DmSegmentNode*> segmentsOf(const Composition& composition) {
    std::vector<const DmSegmentNode*> segments;
    for (const auto& track : tracksOf(composition))
        segments.insert(segments.end(), track.segments.begin(), track.segments.end());
    return segments;
}

std::string writeEdl(const Composition& composition, const Edl::WriteOptions& options,
                     std::vector<std::string>* losses) {
    String text;
    LossReport report;
    String message;
    EXPECT_TRUE(Edl::write(composition, options, text, report, &message)) << message.c_str();
    if (losses)
        *losses = entriesOf(report);
    return text.c_str();
}

} // namespace ZEM_0_81::test
