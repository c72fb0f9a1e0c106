// Export of the effect settings of a source or gap segment as OTIO effects.

#include "json/EffectExport.h"

#include "outside/dmtree/DmAngularMaskSettings.h"
#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompSettings.h"
#include "outside/dmtree/DmKeyFrame.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmSimpleChannel.h"
#include "outside/dmtree/DmStroke.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"
#include "rapidotio/AngularMaskNode.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/CDLNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/TextNode.h"
#include "json/EditTree.h"
#include "json/ExportContext.h"

#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::Json {

namespace {

/// The name an effect's virtual name accessor gives; "" should it give none.
std::string nameOf(const char* name) {
    return name ? std::string(name) : std::string();
}

/// The text of a text attribute, or "" when the owner does not carry it.
std::string attributeText(const CoSharedPtr<DmSimpleChannel>& attribute) {
    return attribute ? textOf(attribute->getValue()) : std::string();
}

/// Links `node` under `parent`: parent pointer, then a counted reference at the
/// end of its children, so effects keep the order of the segment.
template <class NodeType> void link(rapidotio::Node& parent, NodeType* node) {
    parent.addChild(SharedPtr<rapidotio::Node>(node));
}

void exportComp(const DmCompSettings& comp, rapidotio::Node& parent) {
    auto* node = new rapidotio::CompNode(nameOf(comp.getName()));
    link(parent, node);
    node->blend_mode = attributeText(comp.getAttribut(DmCompSettings::kBlendMode));
    // Channel 0 holds the transparency, 1 − opacity; without a key the comp is
    // opaque. The difference of two floats computed in double and rounded once to
    // float equals the single-precision difference.
    node->opacity = static_cast<float>(
        1.0 - firstKeyValue(comp.getChannel(DmCompSettings::kTransparency), 0.0));
    // A comp is never muted: "visible" stays true whatever the settings say.
}

void exportAngularMask(const DmAngularMaskSettings& mask, rapidotio::Node& parent) {
    auto* node = new rapidotio::AngularMaskNode(nameOf(mask.getName()));
    link(parent, node);
    // A property the settings lack leaves its preset 0; the error ids say no more.
    double pivotX = 0.0;
    double pivotY = 0.0;
    float angle = 0.0f;
    mask.getPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &pivotX);
    mask.getPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &pivotY);
    mask.getPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle);
    node->pivot_x = pivotX;
    node->pivot_y = pivotY;
    node->angle_in_radians = angle;
    node->visible = !mask.isMuted();
}

void exportLook(const DmLookSettings& look, rapidotio::Node& parent) {
    auto* node = new rapidotio::CDLNode(nameOf(look.getName()));
    link(parent, node);
    for (int channel = 0; channel < 3; ++channel) {
        node->slope[channel] = look.slope[channel];
        node->offset[channel] = look.offset[channel];
        node->power[channel] = look.power[channel];
    }
    node->saturation = look.saturation;
    node->visible = !look.isMuted();
}

/// The fields every paint or text node takes from its effect layer.
void setLayerFields(const DmEffectLayer& layer, double compositionRate,
                    rapidotio::LayerNode& node) {
    node.hold = layer.isHold();
    node.ghost = layer.isGhost();
    node.ghost_before = layer.getGhostBefore();
    node.ghost_after = layer.getGhostAfter();
    // A duration of 0 means the layer has no frame range of its own.
    if (layer.getDuration() != 0) {
        node.layer_range.start_time = {static_cast<double>(layer.getStartFrame()), compositionRate};
        node.layer_range.duration = {static_cast<double>(layer.getDuration()), compositionRate};
    }
    node.visible = !layer.isMuted();
}

void exportPaintLayer(const DmPaintLayer& layer, double compositionRate,
                      rapidotio::Node& annotation) {
    for (std::uint32_t s = 0; s < layer.getNbStrokes(); ++s) {
        const DmStroke* stroke = layer.getStroke(s);
        if (!stroke)
            continue;

        std::vector<rapidotio::Point> points;
        points.reserve(stroke->getNbPoints());
        for (std::uint32_t p = 0; p < stroke->getNbPoints(); ++p) {
            double x = 0.0, y = 0.0, width = 0.0;
            if (stroke->getPointData(p, x, y, width))
                points.push_back(rapidotio::Point{x, y, width});
        }

        // A stroke without a colour is opaque black.
        float red = 0.0f, green = 0.0f, blue = 0.0f, alpha = 1.0f;
        stroke->getColor(red, green, blue, alpha);

        auto* node = new rapidotio::PaintNode(nameOf(layer.getName()), std::move(points),
                                              {red, green, blue, alpha}, textOf(stroke->getType()),
                                              textOf(stroke->getBrush()));
        link(annotation, node);
        setLayerFields(layer, compositionRate, *node);
    }
}

void exportTextLayer(const DmTextLayer& layer, double compositionRate,
                     rapidotio::Node& annotation) {
    // The position belongs to the layer: every paragraph's node repeats it.
    const double positionX = firstKeyValue(layer.getChannel(DmTextLayer::kPositionX), 0.0);
    const double positionY = firstKeyValue(layer.getChannel(DmTextLayer::kPositionY), 0.0);

    for (std::uint32_t i = 0; i < layer.getNbParagraphs(); ++i) {
        const DmTextParagraph* paragraph = layer.getParagraph(i);
        if (!paragraph)
            continue;

        auto channelValue = [paragraph](DmTextParagraph::ChannelId id, double fallback) {
            return firstKeyValue(paragraph->getChannel(id), fallback);
        };
        // The key values are floats widened to double, so narrowing them back is exact.
        std::vector<float> rgba{
            static_cast<float>(channelValue(DmTextParagraph::kColorRed, 0.0)),
            static_cast<float>(channelValue(DmTextParagraph::kColorGreen, 0.0)),
            static_cast<float>(channelValue(DmTextParagraph::kColorBlue, 0.0)),
            static_cast<float>(channelValue(DmTextParagraph::kColorAlpha, 1.0))};

        auto* node = new rapidotio::TextNode(
            nameOf(paragraph->getName()), textOf(paragraph->text),
            attributeText(paragraph->getAttribut(DmTextParagraph::kJustification)),
            textOf(paragraph->fontName), static_cast<double>(paragraph->getFontSize()),
            static_cast<double>(paragraph->getWidth()),
            channelValue(DmTextParagraph::kOrientation, 0.0), positionX, positionY,
            std::move(rgba));
        link(annotation, node);
        setLayerFields(layer, compositionRate, *node);
    }
}

void exportAnnotation(const DmAnnotationSettings& annotation, double compositionRate,
                      rapidotio::Node& parent) {
    auto* node = new rapidotio::AnnotationNode(nameOf(annotation.getName()));
    link(parent, node);
    node->visible = !annotation.isMuted();
    for (std::uint32_t i = 0; i < annotation.getNbLayers(); ++i) {
        const DmEffectLayer* layer = annotation.getLayer(i);
        if (const auto* paint = dynamic_cast<const DmPaintLayer*>(layer))
            exportPaintLayer(*paint, compositionRate, *node);
        else if (const auto* text = dynamic_cast<const DmTextLayer*>(layer))
            exportTextLayer(*text, compositionRate, *node);
    }
}

} // namespace

double firstKeyValue(const CoSharedPtr<DmAnimationChannel>& channel, double defaultValue) {
    if (!channel)
        return defaultValue;
    CoSharedPtr<DmKeyFrame> key = channel->getKeyFrame(0);
    if (!key)
        return defaultValue;
    return static_cast<double>(key->getValue());
}

void writeEffects(const ExportContext& context, const DmSegmentNode& segment,
                  rapidotio::Node& parent) {
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* effect = segment.getEffect(i);
        if (!effect)
            continue;
        switch (EditTree::effectKindOf(*effect)) {
        case EditTree::EffectKind::Comp:
            exportComp(static_cast<const DmCompSettings&>(*effect), parent);
            break;
        case EditTree::EffectKind::AngularMask:
            exportAngularMask(static_cast<const DmAngularMaskSettings&>(*effect), parent);
            break;
        case EditTree::EffectKind::Look:
            exportLook(static_cast<const DmLookSettings&>(*effect), parent);
            break;
        case EditTree::EffectKind::Annotation:
            exportAnnotation(static_cast<const DmAnnotationSettings&>(*effect),
                             context.compositionRate, parent);
            break;
        case EditTree::EffectKind::Other:
            break;
        }
    }
}

} // namespace ZEM_0_81::Json
