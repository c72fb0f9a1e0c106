// The visits that build the skeleton of the edit tree: composition, tracks,
// layers and gaps, and the settling of layer and composition timing once a layer
// is complete.

#include "json/DmTreeImporter.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTrackNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/MediaVocabulary.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"
#include "json/DmTreeImporterImpl.h"
#include "json/ImportTime.h"

namespace ZEM_0_81::Json {

using rapidotio::debugPrint;

void DmTreeImporter::visitTimeline(rapidotio::Node* node) {
    const auto* timeline = rapidotio::leafCast<const rapidotio::TimelineNode>(node);
    if (!timeline)
        return;
    Impl& state = *m_impl;

    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    state.trackIndex = 0;
    state.track = nullptr;

    double startValue = timeline->global_start_time.value;
    if (isAbsentValue(startValue)) {
        startValue = 0.0;
        debugPrint("timeline global start time not found, using default value %f\n", startValue);
    }
    double startRate = timeline->global_start_time.rate;
    if (isAbsentRate(startRate)) {
        startRate = rapidotio::MediaVocabulary::kDefaultRate;
        debugPrint("timeline global start time rate not found, using default value %f\n",
                   startRate);
    }

    const Rational compositionRate = toStandardRate(startRate);
    const String fcm = frameRateText(compositionRate);
    state.rate = compositionRate.getValue();
    // The start is read at its own rate and counted in frames of the snapped rate.
    state.startFrame = convertTime({startValue, startRate}, state.rate);

    state.composition = DmCompositionNode::create(DmString(timeline->name.c_str()),
                                                  DmString(fcm.c_str()), resolution.get());
    state.reel->addComposition(state.composition.get());
}

void DmTreeImporter::visitStack(rapidotio::Node* node) {
    Impl& state = *m_impl;
    if (!node || !state.composition)
        return;

    state.track = DmTrackNode::create(state.trackIndex, eDmMediaUnset);
    state.track->setName(DmString(node->name.c_str()));
    state.composition->addChild(state.track.get());
    state.layerIndex = 0;
    state.layer = nullptr;
    state.trackIndex += 1;
}

void DmTreeImporter::visitTrack(rapidotio::Node* node) {
    Impl& state = *m_impl;
    if (!node || !state.track)
        return;

    const eDmTreeMediaType mediaType = mediaTypeOf(node->trackKind());
    state.layer = DmLayerNode::create(state.layerIndex, mediaType, 0, state.layerIndex == 0);
    state.layer->setName(DmString(node->name.c_str()));
    // Every layer sets it again: the track ends with the media type of its last layer.
    state.track->setMediaType(mediaType);
    state.track->addChild(state.layer.get());
    state.segmentCount = 0;
    state.lastSegment = nullptr;
    state.layerIndex += 1;
    state.recordPosition = state.startFrame;
}

void DmTreeImporter::visitGap(rapidotio::Node* node) {
    Impl& state = *m_impl;
    const auto* gap = rapidotio::leafCast<const rapidotio::GapNode>(node);
    if (!gap || !state.layer) {
        state.lastSegment = nullptr; // the gap's effects have nowhere to go
        return;
    }

    // Only the duration counts; the gap's start is not used.
    double value = gap->source_range.duration.value;
    double durationRate = gap->source_range.duration.rate;
    if (isAbsentValue(value)) {
        value = 1.0;
        debugPrint("OTIO SrcLength not found, using default %f\n", value);
    }
    if (isAbsentRate(durationRate)) {
        durationRate = rapidotio::MediaVocabulary::kDefaultRate;
        debugPrint("Source frame rate not found, using default %f\n", durationRate);
    }
    const double length = convertTime({value, durationRate}, state.rate);
    const eDmTreeMediaType mediaType = mediaTypeOf(gap->trackKind());

    state.placeSegment(mediaType);
    const double recordIn = state.recordPosition;
    state.recordPosition += length;

    const CoSharedPtr<DmGapNode> segment(DmGapNode::create(
        recordIn, length, mediaType, DmString(static_cast<const wchar_t*>(nullptr))));
    state.lastSegment = segment;
    segment->setRecLength(length);
    segment->setName(DmString(gap->name.c_str()));
    state.layer->addChild(segment.get());
    state.segmentCount += 1;
}

void DmTreeImporter::leaveTrack(rapidotio::Node*) {
    Impl& state = *m_impl;
    if (!state.layer || !state.track || !state.composition)
        return;

    // A layer that starts with a gap (or holds nothing) leaves the timing alone.
    const auto* first = dynamic_cast<const DmSourceNode*>(state.layer->getChild(0));
    if (!first)
        return;

    const double firstIn = first->getRecIn();
    state.layer->setLayerStartTC(firstIn);
    // The first layer of each track resets the composition start; later layers
    // can only move it earlier.
    if (state.composition->getStartTC() > firstIn || state.track->getNbChildren() == 1)
        state.composition->setStartTC(firstIn, state.composition->getFcm());

    if (state.lastSegment) {
        // Measured from this layer's own start, trailing gaps included; the
        // composition keeps the longest layer, not the span of all layers.
        const double length =
            state.lastSegment->getRecLength() + state.lastSegment->getRecIn() - firstIn;
        state.layer->setLayerLength(length);
        if (length > state.composition->getCompLength())
            state.composition->setCompLength(length);
    }
}

} // namespace ZEM_0_81::Json
