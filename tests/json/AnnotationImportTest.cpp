#include "tests/json/ImportTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// The annotation settings made of an "Annotation.1" with the given layers on a
/// lone clip of a 24 fps composition.
const DmAnnotationSettings* importAnnotation(CoSharedPtr<DmRoot>& root, const std::string& layers,
                                             const std::string& more = "") {
    root = importDocument(timeline(track(clip(
        "a", 0, 10,
        R"(,"effects":[{"OTIO_SCHEMA":"Annotation.1","layers":[)" + layers + "]" + more + "}]"))));
    const auto* source = childAs<DmSourceNode>(layerOf(root, 0, 0), 0);
    return source ? dynamic_cast<const DmAnnotationSettings*>(source->getEffect(0)) : nullptr;
}

std::string point(const char* x, const char* y, const char* width) {
    return std::string(R"({"OTIO_SCHEMA":"Point.1","x":)") + x + R"(,"y":)" + y + R"(,"width":)" +
           width + "}";
}

TEST(AnnotationImport, PaintLayerBecomesOneStroke) {
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root,
        R"({"OTIO_SCHEMA":"Paint.1","rgba":[1,0,0,1],"type":"pen","brush":"round","points":[)" +
            point("1.0", "2.0", "3.0") + "," + point("4.5", "5.5", "0.5") + "," +
            point("7.0", "8.0", "9.0") + "]}");
    ASSERT_NE(nullptr, annotation);
    ASSERT_EQ(1u, annotation->getNbLayers());
    const auto* paint = dynamic_cast<const DmPaintLayer*>(annotation->getLayer(0));
    ASSERT_NE(nullptr, paint);
    ASSERT_EQ(1u, paint->getNbStrokes());
    const DmStroke* stroke = paint->getStroke(0);
    float r = 0, g = 0, b = 0, a = 0;
    ASSERT_TRUE(stroke->getColor(r, g, b, a));
    EXPECT_EQ(1.0f, r);
    EXPECT_EQ(0.0f, g);
    EXPECT_EQ(0.0f, b);
    EXPECT_EQ(1.0f, a);
    ASSERT_EQ(3u, stroke->getNbPoints());
    double x = 0, y = 0, size = 0;
    ASSERT_TRUE(stroke->getPointData(1, x, y, size));
    EXPECT_EQ(4.5, x);
    EXPECT_EQ(5.5, y);
    EXPECT_EQ(0.5, size);
    EXPECT_EQ("pen", text(stroke->getType()));
    EXPECT_EQ("round", text(stroke->getBrush()));
    // Without a valid range the layer keeps the library's frame range and ghosting.
    EXPECT_EQ(0, paint->getStartFrame());
    EXPECT_EQ(0u, paint->getDuration());
    EXPECT_EQ(3u, paint->getGhostBefore());
    EXPECT_FALSE(paint->isMuted());
}

TEST(AnnotationImport, ColourNeedsFourNumbers) {
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root,
        R"({"OTIO_SCHEMA":"Paint.1","rgba":[1,0,0]},{"OTIO_SCHEMA":"Text.1","rgba":[1,0,0]})");
    ASSERT_EQ(2u, annotation->getNbLayers());
    float r = 0, g = 0, b = 0, a = 0;
    EXPECT_FALSE(dynamic_cast<const DmPaintLayer*>(annotation->getLayer(0))
                     ->getStroke(0)
                     ->getColor(r, g, b, a));
    const DmTextParagraph* paragraph =
        dynamic_cast<const DmTextLayer*>(annotation->getLayer(1))->getParagraph(0);
    EXPECT_FALSE(paragraph->getChannel(DmTextParagraph::kColorRed));
    EXPECT_FALSE(paragraph->getChannel(DmTextParagraph::kColorAlpha));
}

TEST(AnnotationImport, TextLayerBecomesOneParagraphWithConstantChannels) {
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root, R"({"OTIO_SCHEMA":"Text.1","text":"hello","justification":"center",)"
              R"("fontName":"Sans","fontSize":36.0,"width":120.5,"orientation":90.0,)"
              R"("position":[0.5,0.25],"rgba":[0.25,0.5,0.75,1.0]})");
    const auto* layer = dynamic_cast<const DmTextLayer*>(annotation->getLayer(0));
    ASSERT_NE(nullptr, layer);
    EXPECT_EQ(0.5f, constantOf(layer->getChannel(DmTextLayer::kPositionX)));
    EXPECT_EQ(0.25f, constantOf(layer->getChannel(DmTextLayer::kPositionY)));
    ASSERT_EQ(1u, layer->getNbParagraphs());
    const DmTextParagraph* paragraph = layer->getParagraph(0);
    EXPECT_EQ(0.25f, constantOf(paragraph->getChannel(DmTextParagraph::kColorRed)));
    EXPECT_EQ(0.5f, constantOf(paragraph->getChannel(DmTextParagraph::kColorGreen)));
    EXPECT_EQ(0.75f, constantOf(paragraph->getChannel(DmTextParagraph::kColorBlue)));
    EXPECT_EQ(1.0f, constantOf(paragraph->getChannel(DmTextParagraph::kColorAlpha)));
    EXPECT_EQ(36.0f, paragraph->getFontSize());
    EXPECT_EQ(90.0f, constantOf(paragraph->getChannel(DmTextParagraph::kOrientation)));
    ASSERT_TRUE(paragraph->getAttribut(DmTextParagraph::kJustification));
    EXPECT_EQ("center", text(paragraph->getAttribut(DmTextParagraph::kJustification)->getValue()));
    EXPECT_EQ(120.5f, paragraph->getWidth());
    EXPECT_EQ("hello", text(paragraph->text));
    EXPECT_EQ("Sans", text(paragraph->fontName));
}

TEST(AnnotationImport, ValidLayerRangeSetsFrameRangeHoldAndGhosting) {
    const std::string timing = R"("hold":true,"ghost":true,"ghost_before":5,"ghost_after":7,)";
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root, R"({"OTIO_SCHEMA":"Paint.1",)" + timing + R"("layer_range":)" +
                  timeRange(10, 20, 24) + R"(},{"OTIO_SCHEMA":"Text.1","visible":false,)" + timing +
                  R"("layer_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":)" +
                  rationalTime(10, 24) +
                  R"(,"duration":{"OTIO_SCHEMA":"RationalTime.1","value":20.0}}})");
    ASSERT_EQ(2u, annotation->getNbLayers());
    const DmEffectLayer* ranged = annotation->getLayer(0);
    EXPECT_EQ(10, ranged->getStartFrame());
    EXPECT_EQ(20u, ranged->getDuration());
    EXPECT_TRUE(ranged->isHold());
    EXPECT_TRUE(ranged->isGhost());
    EXPECT_EQ(5u, ranged->getGhostBefore());
    EXPECT_EQ(7u, ranged->getGhostAfter());
    // A duration without a rate is no valid range: only the mute state is taken.
    const DmEffectLayer* unranged = annotation->getLayer(1);
    EXPECT_EQ(0u, unranged->getDuration());
    EXPECT_FALSE(unranged->isHold());
    EXPECT_EQ(3u, unranged->getGhostAfter());
    EXPECT_TRUE(unranged->isMuted());
}

TEST(AnnotationImport, LayerRangeIsCountedAtTheCompositionRate) {
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root, R"({"OTIO_SCHEMA":"Paint.1","layer_range":)" + timeRange(-20, 48, 48) + "}");
    EXPECT_EQ(-10, annotation->getLayer(0)->getStartFrame());
    EXPECT_EQ(24u, annotation->getLayer(0)->getDuration());
}

TEST(AnnotationImport, AnnotationItselfIsNeverMutedAndKeepsDocumentOrder) {
    CoSharedPtr<DmRoot> root;
    const DmAnnotationSettings* annotation = importAnnotation(
        root,
        R"({"OTIO_SCHEMA":"Text.1"},{"OTIO_SCHEMA":"Comp.1"},{"OTIO_SCHEMA":"Paint.1"},)"
        R"({"OTIO_SCHEMA":"Text.1"})",
        R"(,"visible":false)");
    ASSERT_NE(nullptr, annotation);
    EXPECT_FALSE(annotation->isMuted());
    ASSERT_EQ(3u, annotation->getNbLayers());
    EXPECT_STREQ("DmTextLayer", annotation->getLayer(0)->getName());
    EXPECT_STREQ("DmPaintLayer", annotation->getLayer(1)->getName());
    EXPECT_STREQ("DmTextLayer", annotation->getLayer(2)->getName());
    EXPECT_FALSE(annotation->getLayer(0)->isMuted());
    // An image effect among the layers is still an effect of the segment.
    const auto* source = childAs<DmSourceNode>(layerOf(root, 0, 0), 0);
    ASSERT_EQ(2u, source->getNbEffects());
    EXPECT_STREQ("DmCompSettings", source->getEffect(1)->getName());

    const DmAnnotationSettings* empty = importAnnotation(root, "");
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0u, empty->getNbLayers());
}

} // namespace
} // namespace ZEM_0_81::test
