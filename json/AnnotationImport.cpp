// Import of annotations: one annotation settings object per OTIO annotation, with
// one paint layer (holding one stroke) per Paint layer and one text layer
// (holding one paragraph) per Text layer.

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmStroke.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/TextNode.h"
#include "json/ConstantChannel.h"
#include "json/DmTreeImporterImpl.h"
#include "json/HandOver.h"
#include "json/ImportTime.h"
#include "json/Narrowing.h"

namespace ZEM_0_81::Json {

namespace {

/// A paint layer holding one stroke with the Paint layer's colour (when "rgba"
/// has at least four numbers), points, type and brush.
CoSharedPtr<DmEffectLayer> paintLayerOf(const rapidotio::PaintNode& paint) {
    const CoSharedPtr<DmPaintLayer> layer(DmPaintLayer::create());
    DmStroke* stroke =
        handOver(DmStroke::create(), [&](DmStroke* made) { layer->addStroke(made); });
    if (!stroke)
        return layer;
    if (paint.rgba.size() >= 4)
        stroke->setColor(toStoredFloat(paint.rgba[0]), toStoredFloat(paint.rgba[1]),
                         toStoredFloat(paint.rgba[2]), toStoredFloat(paint.rgba[3]));
    for (const rapidotio::Point& point : paint.points)
        stroke->addPoint(point.x, point.y, point.width);
    stroke->setType(DmString(paint.type.c_str()));
    stroke->setBrush(DmString(paint.brush.c_str()));
    return layer;
}

/// A text layer at the Text layer's position, holding one paragraph with its
/// colour (when "rgba" has at least four numbers), font size, orientation,
/// justification, width, text and font name.
CoSharedPtr<DmEffectLayer> textLayerOf(const rapidotio::TextNode& text) {
    const CoSharedPtr<DmTextLayer> layer(DmTextLayer::create());
    setConstantChannel(*layer, DmTextLayer::kPositionX, toStoredFloat(text.position_x));
    setConstantChannel(*layer, DmTextLayer::kPositionY, toStoredFloat(text.position_y));

    DmTextParagraph* paragraph = handOver(
        DmTextParagraph::create(), [&](DmTextParagraph* made) { layer->addParagraph(made); });
    if (!paragraph)
        return layer;
    if (text.rgba.size() >= 4) {
        setConstantChannel(*paragraph, DmTextParagraph::kColorRed, toStoredFloat(text.rgba[0]));
        setConstantChannel(*paragraph, DmTextParagraph::kColorGreen, toStoredFloat(text.rgba[1]));
        setConstantChannel(*paragraph, DmTextParagraph::kColorBlue, toStoredFloat(text.rgba[2]));
        setConstantChannel(*paragraph, DmTextParagraph::kColorAlpha, toStoredFloat(text.rgba[3]));
    }
    setConstantChannel(*paragraph, DmTextParagraph::kFontSize, toStoredFloat(text.fontSize));
    setConstantChannel(*paragraph, DmTextParagraph::kOrientation, toStoredFloat(text.orientation));
    setTextAttribute(*paragraph, DmTextParagraph::kJustification,
                     DmString(text.justification.c_str()));
    paragraph->setWidth(toStoredFloat(text.width));
    paragraph->setTextStr(DmString(text.text.c_str()));
    paragraph->fontName = DmString(text.fontName.c_str());
    return layer;
}

} // namespace

void DmTreeImporter::Impl::importAnnotation(rapidotio::AnnotationNode& annotation) {
    const CoSharedPtr<DmAnnotationSettings> settings(DmAnnotationSettings::create());

    // The layers are read here, ahead of the traversal; it then finds them read
    // and visits each one, which adds nothing more.
    if (annotation.children.empty())
        annotation.parseChildren();

    for (const SharedPtr<rapidotio::Node>& child : annotation.children) {
        // Paint and text are the layers drawn; anything else is skipped.
        const rapidotio::LayerNode* drawn = nullptr;
        CoSharedPtr<DmEffectLayer> layer;
        if (const auto* paint = rapidotio::leafCast<const rapidotio::PaintNode>(child.get())) {
            drawn = paint;
            layer = paintLayerOf(*paint);
        } else if (const auto* text = rapidotio::leafCast<const rapidotio::TextNode>(child.get())) {
            drawn = text;
            layer = textLayerOf(*text);
        } else {
            continue;
        }

        // Frame range, hold and ghosting only with a complete range; otherwise the
        // layer keeps the edit tree's defaults even when the document gives them.
        if (rapidotio::isValid(drawn->layer_range)) {
            const std::int32_t start =
                truncateToInt32(convertTime(drawn->layer_range.start_time, rate));
            const std::uint32_t length =
                truncateToUint32(convertTime(drawn->layer_range.duration, rate));
            layer->setFrameRange(start, length);
            layer->setHold(drawn->hold);
            layer->setGhost(drawn->ghost);
            layer->setGhostBefore(drawn->ghost_before);
            layer->setGhostAfter(drawn->ghost_after);
        }
        layer->setMuted(!drawn->visible);
        settings->addLayer(layer.get());
    }

    // The annotation's own "visible" and "layer_range" are not used: the settings
    // are never muted.
    lastSegment->addEffect(settings.get());
}

} // namespace ZEM_0_81::Json
