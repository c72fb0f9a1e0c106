// Export of the frame of a timeline: an edit-tree composition, its tracks and
// layers become the Timeline, its Stacks and their Tracks; a gap segment becomes
// a Gap.

#include "json/EditTree.h"
#include "json/EffectExport.h"
#include "json/ExportContext.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmTrackNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

namespace ZEM_0_81::Json {

void ExportContext::visitComposition(const DmCompositionNode& composition) {
    compositionRate = frameRateOf(composition.getStartTcFcm());

    SharedPtr<rapidotio::TimelineNode> timeline(
        new rapidotio::TimelineNode(textOf(composition.getName())));
    timeline->global_start_time = {composition.getStartTC(), compositionRate};
    push(timeline);
}

void ExportContext::visitTrack(const DmTrackNode&) {
    SharedPtr<rapidotio::StackNode> stack(new rapidotio::StackNode(std::string()));
    push(stack);
}

void ExportContext::visitLayer(const DmLayerNode& layer) {
    SharedPtr<rapidotio::TrackNode> track(new rapidotio::TrackNode(textOf(layer.getName())));
    track->kind = EditTree::trackKindOf(layer.mediaType);
    push(track);
}

void ExportContext::visitGap(const DmGapNode& gap) {
    SharedPtr<rapidotio::GapNode> node(new rapidotio::GapNode(textOf(gap.getName())));
    // Record lengths are already frames at the composition rate. A gap always
    // starts at 0: its place on the track is its position among the children.
    node->source_range.start_time = {0.0, compositionRate};
    node->source_range.duration = {gap.getRecLength(), compositionRate};
    writeEffects(*this, gap, *node);
    appendChild(node);
}

} // namespace ZEM_0_81::Json
