#pragma once

#include "outside/dmtree/CoSharedPtr.h"

class DmAnimationChannel;
class DmSegmentNode;

namespace ZEM_0_81::rapidotio {
class Node;
}

namespace ZEM_0_81::Json {

struct ExportContext;

/// The value of the first key frame of `channel`, widened from single precision,
/// or `defaultValue` when the channel is null or has no key frame.
double firstKeyValue(const CoSharedPtr<DmAnimationChannel>& channel, double defaultValue);

/// Appends one effect node under `parent` (the segment's ClipNode or GapNode) for
/// each of the segment's effects that OTIO can carry, in the segment's order:
/// compositing as a CompNode, angular masks as an AngularMaskNode, looks as a
/// CDLNode and annotations as an AnnotationNode holding one PaintNode per paint
/// stroke and one TextNode per text paragraph. Effects of any other kind, and
/// null effects, layers, strokes and paragraphs, are left out. Layer ranges are
/// written at `context.compositionRate`.
void writeEffects(const ExportContext& context, const DmSegmentNode& segment,
                  rapidotio::Node& parent);

} // namespace ZEM_0_81::Json
