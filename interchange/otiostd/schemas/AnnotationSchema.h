#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

#include "outside/dmtree/CoSharedPtr.h"

#include <string>

class DmAnnotationSettings;
class DmEffectLayer;

namespace ZEM_0_81::Interchange {

/// Annotations (DmAnnotationSettings) and their paint and text layers, in the
/// "zem" description of an "Effect.1". Strokes, captions and points are plain
/// objects, with the product's member names:
///
///     "Annotation.1"  {"layers": [LAYER, ...], "properties"}
///     LAYER           {"ZEM_SCHEMA": "PaintLayer.1" or "TextLayer.1", "visible": B,
///                      "frame_range": [START, DURATION], "hold": B, "ghost": B,
///                      "ghost_before": U, "ghost_after": U, "properties", and
///                      for paint   "strokes": [STROKE, ...]
///                      for text    "position": [X, Y], "channels", "paragraphs": [PARAGRAPH, ...]}
///     STROKE          {"rgba": [R, G, B, A], "type": S, "brush": S,
///                      "points": [{"x": D, "y": D, "width": D}, ...], "properties"}
///     PARAGRAPH       {"text": S, "fontName": S, "width": F, "fontSize": F,
///                      "orientation": F, "rgba": [R, G, B, A], "justification": SIMPLE,
///                      "channels", "attributes", "properties"}
///
/// The frame range counts frames at the composition rate, as the edit tree keeps
/// it. A stroke without colour has no "rgba". "position", a paragraph's
/// "fontSize", "orientation" and "rgba" show constant channels (null for a
/// component whose channel is absent or not constant); every other channel and
/// attribute is kept in "channels" and "attributes" (ChannelJson).
namespace AnnotationSchema {

constexpr const char* kPaintLayerZemSchema = "PaintLayer.1";
constexpr const char* kTextLayerZemSchema = "TextLayer.1";
constexpr const char* kPaintLayerName = "PaintLayer";
constexpr const char* kTextLayerName = "TextLayer";

/// The members of an annotation's description (inside its open "zem" object).
void writeAnnotation(OtioWriter& writer, const DmAnnotationSettings& annotation);
void readAnnotation(const Members& zem, DmAnnotationSettings& annotation);

/// The "ZEM_SCHEMA" of a layer's description; null for a layer kind this system
/// does not define.
const char* zemSchemaOf(const DmEffectLayer& layer);

/// The members of a layer's description but its "ZEM_SCHEMA" (inside an open
/// object). Throws Json::Exception with JsonGenerationFailed for a layer kind
/// this system does not define.
void writeLayerMembers(OtioWriter& writer, const DmEffectLayer& layer);

/// The layer a description of schema `zemSchema` describes; null, with the loss
/// reported, for any other schema.
CoSharedPtr<DmEffectLayer> readLayer(const Members& zem, const std::string& zemSchema);

} // namespace AnnotationSchema

} // namespace ZEM_0_81::Interchange
