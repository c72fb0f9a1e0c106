// Fcpxml::write: the composition's timeline view and the segments behind it
// written as a document (WrittenStory).

#include "interchange/Fcpxml.h"

#include "interchange/TimelineSegments.h"
#include "interchange/TimelineView.h"
#include "interchange/fcpxml/WrittenStory.h"
#include "json/EditTree.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmRoot.h"

namespace ZEM_0_81 {

namespace {

Status writeFailed(const Status& status, const std::string& why, String* message) {
    if (message)
        *message = String(why.c_str(), why.size());
    return status;
}

} // namespace

Status Fcpxml::write(const Composition& composition, const WriteOptions& options, String& out,
                     LossReport& losses, String* message) {
    losses.clear();
    if (options.version < kFirstVersion || options.version > kLastVersion)
        return writeFailed(Status(Status::JsonConversionFailed),
                           "FCPXML 1." + std::to_string(options.version) +
                               " is not written: the versions are 1.8 to 1.13",
                           message);
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return writeFailed(status,
                           std::string("the composition has no edit tree to write: ") +
                               status.getDescription(),
                           message);
    // The composition TimelineView shows: the first of the first reel.
    const DmCompositionNode* node = Json::EditTree::firstComposition(root);
    if (!node)
        return writeFailed(Status(Status::NoData), "the edit tree holds no composition to write",
                           message);
    TimelineView view;
    TimelineSegments segments;
    // The walk reads the tree and changes nothing in it.
    buildTimeline(const_cast<DmRoot&>(root), view, segments);
    if (view.rate.getNumerator() <= 0 || view.rate.getDenominator() == 0)
        return writeFailed(Status(Status::NoFrameRateText),
                           "the composition's rate \"" + node->getStartTcFcm().str() +
                               "\" cannot be read",
                           message);
    std::string text =
        Interchange::Fcpx::writeDocument(view, segments, *node, options.version, losses);
    out = String(std::move(text));
    return Status();
}

} // namespace ZEM_0_81
