// Export of effect settings and annotations, and firstKeyValue.

#include "json/EffectExport.h"
#include "tests/json/ExportTrees.h"
#include "json/OtioExport.h"

#include <gtest/gtest.h>

#include <limits>

namespace ZEM_0_81::test {
namespace {

/// A tree whose one gap named "g" (length 10 at `fcm`) carries `effects`.
struct GapWithEffects {
    explicit GapWithEffects(const char* fcm = "24") : tree(fcm) {
        gap = DmGapNode::create(0.0, 10.0, eDmMediaVideo, "g");
        tree.add(gap);
    }
    /// The document expected when the gap's effects print as `effects`.
    std::string document(const std::string& effects, const std::string& rate = "24.0") const {
        return oneLayerDocument(R"({"name":"g","OTIO_SCHEMA":"Gap.1","effects":[)" + effects +
                                    R"(],"source_range":)" + timeRange("0.0", "10.0", rate) +
                                    R"(,"metadata":{}})",
                                rate);
    }

    OneLayerTree tree;
    DmGapNode* gap;
};

DmCompSettings* comp(const char* blendMode, DmAnimationChannel* transparency) {
    DmCompSettings* settings = DmCompSettings::create();
    if (blendMode)
        settings->setAttribut(DmCompSettings::kBlendMode, DmSimpleChannel::create(blendMode));
    if (transparency)
        settings->setChannel(DmCompSettings::kTransparency, transparency);
    return settings;
}

TEST(FirstKeyValue, GivesTheFirstKeyOrTheDefault) {
    EXPECT_EQ(Json::firstKeyValue(CoSharedPtr<DmAnimationChannel>(), 0.5), 0.5);

    CoSharedPtr<DmAnimationChannel> empty(DmAnimationChannel::create(
        DmAnimationChannel::kInterpTypeDefault, DmAnimationChannel::kExtrapolationConstant,
        DmKeyFrame::getCurrentVersion(), 0.0));
    EXPECT_EQ(Json::firstKeyValue(empty, -2.0), -2.0);

    CoSharedPtr<DmAnimationChannel> keyed(constantChannel(0.1f));
    keyed->addKeyFrame(DmKeyFrame::create2(10.0, 7.0f, DmKeyFrame::kInterpDefault,
                                           DmKeyFrame::kOrderDefault, 0, 0, 0, 0, 1));
    // The single-precision value widened, not the decimal it came from.
    EXPECT_EQ(Json::firstKeyValue(keyed, 0.0), 0.10000000149011612);
    EXPECT_EQ(keyed->refcount(), 1);
}

TEST(EffectExport, CompWritesBlendModeAndOneMinusTransparency) {
    GapWithEffects fixture;
    fixture.gap->addEffect(comp("add", constantChannel(0.25f)));
    DmCompSettings* muted = comp("normal", nullptr);
    muted->setMuted(true);
    fixture.gap->addEffect(muted);
    // Without its blend-mode attribute a comp writes an empty blend mode.
    fixture.gap->addEffect(comp(nullptr, constantChannel(0.9f)));

    const std::string effects = compactJson(R"(
        {"OTIO_SCHEMA": "Comp.1", "blend_mode": "add", "opacity": 0.75, "visible": true,
         "name": "DmCompSettings", "effect_name": "Comp"},
        {"OTIO_SCHEMA": "Comp.1", "blend_mode": "normal", "opacity": 1.0, "visible": true,
         "name": "DmCompSettings", "effect_name": "Comp"},
        {"OTIO_SCHEMA": "Comp.1", "blend_mode": "", "opacity": 0.10000002384185791,
         "visible": true, "name": "DmCompSettings", "effect_name": "Comp"})");
    EXPECT_EQ(fixture.tree.exported(), fixture.document(effects));
}

TEST(EffectExport, AngularMaskReadsItsProperties) {
    GapWithEffects fixture;
    DmAngularMaskSettings* mask = DmAngularMaskSettings::create();
    const double pivotX = 0.5, pivotY = -0.25;
    const float angle = 0.1f;
    mask->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &pivotX);
    mask->setPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &pivotY);
    mask->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle);
    mask->setMuted(true);
    fixture.gap->addEffect(mask);

    // Missing values, and a value stored with another type, read as 0.
    DmAngularMaskSettings* sparse = DmAngularMaskSettings::create();
    const float pivotAsFloat = 3.0f;
    sparse->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropFloat, &pivotAsFloat);
    sparse->setPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &pivotX);
    fixture.gap->addEffect(sparse);

    const std::string effects = compactJson(R"(
        {"OTIO_SCHEMA": "AngularMask.1", "pivot": [0.5, -0.25],
         "angle_in_radians": 0.10000000149011612, "visible": false,
         "name": "DmAngularMaskSettings", "effect_name": "AngularMask"},
        {"OTIO_SCHEMA": "AngularMask.1", "pivot": [0.0, 0.5], "angle_in_radians": 0.0,
         "visible": true, "name": "DmAngularMaskSettings", "effect_name": "AngularMask"})");
    EXPECT_EQ(fixture.tree.exported(), fixture.document(effects));
}

TEST(EffectExport, LookWritesItsTenValues) {
    GapWithEffects fixture;
    DmLookSettings* look = DmLookSettings::create();
    const double values[10] = {1.1, 1.0, 0.9, 0.01, -0.02, 0.0, 1.2, 1.0, 0.8, 0.75};
    for (int i = 0; i < 3; ++i) {
        look->slope[i] = values[i];
        look->offset[i] = values[3 + i];
        look->power[i] = values[6 + i];
    }
    look->saturation = values[9];
    look->setMuted(true);
    fixture.gap->addEffect(look);
    fixture.gap->addEffect(DmLookSettings::create());

    const std::string effects = compactJson(R"(
        {"OTIO_SCHEMA": "CDL.1", "slope": [1.1, 1.0, 0.9], "offset": [0.01, -0.02, 0.0],
         "power": [1.2, 1.0, 0.8], "saturation": 0.75, "visible": false,
         "name": "DmLookSettings", "effect_name": "CDL"},
        {"OTIO_SCHEMA": "CDL.1", "slope": [1.0, 1.0, 1.0], "offset": [0.0, 0.0, 0.0],
         "power": [1.0, 1.0, 1.0], "saturation": 1.0, "visible": true,
         "name": "DmLookSettings", "effect_name": "CDL"})");
    EXPECT_EQ(fixture.tree.exported(), fixture.document(effects));
}

DmStroke* stroke(const char* type, int points, bool coloured) {
    DmStroke* s = DmStroke::create();
    s->setType(type);
    s->setBrush("round");
    for (int i = 0; i < points; ++i)
        s->addPoint(0.25 * i, 0.5 * i, 2.0 + i);
    if (coloured)
        s->setColor(1.0f, 0.5f, 0.0f, 0.25f);
    return s;
}

TEST(EffectExport, PaintLayerGivesOnePaintPerStroke) {
    GapWithEffects fixture;
    DmAnnotationSettings* annotation = DmAnnotationSettings::create();
    DmPaintLayer* paint = DmPaintLayer::create();
    paint->addStroke(stroke("pen", 2, true));
    paint->addStroke(stroke("eraser", 0, false));
    paint->addStroke(stroke("pen", 1, true));
    paint->setFrameRange(10, 20);
    paint->setHold(true);
    paint->setGhostBefore(2);
    paint->setGhostAfter(5);
    annotation->addLayer(paint);
    fixture.gap->addEffect(annotation);

    const std::string layerFields = R"("visible": true, "name": "DmPaintLayer",
        "effect_name": "Paint", "layer_range": )" +
                                    timeRange("10.0", "20.0", "24.0") + R"(,
        "hold": true, "ghost": false, "ghost_before": 2, "ghost_after": 5)";
    const std::string effects = compactJson(R"(
        {"OTIO_SCHEMA": "Annotation.1", "visible": true, "name": "DmAnnotationSettings",
         "effect_name": "Annotation", "layers": [
            {"OTIO_SCHEMA": "Paint.1", "points": [
                {"OTIO_SCHEMA": "Point.1", "x": 0.0, "y": 0.0, "width": 2.0},
                {"OTIO_SCHEMA": "Point.1", "x": 0.25, "y": 0.5, "width": 3.0}],
             "rgba": [1.0, 0.5, 0.0, 0.25], "type": "pen", "brush": "round", )" +
                                            layerFields + R"(},
            {"OTIO_SCHEMA": "Paint.1", "points": [], "rgba": [0.0, 0.0, 0.0, 1.0],
             "type": "eraser", "brush": "round", )" +
                                            layerFields + R"(},
            {"OTIO_SCHEMA": "Paint.1", "points": [
                {"OTIO_SCHEMA": "Point.1", "x": 0.0, "y": 0.0, "width": 2.0}],
             "rgba": [1.0, 0.5, 0.0, 0.25], "type": "pen", "brush": "round", )" +
                                            layerFields + R"(}]})");
    EXPECT_EQ(fixture.tree.exported(), fixture.document(effects));
}

DmTextParagraph* paragraph(const char* text, bool coloured) {
    DmTextParagraph* p = DmTextParagraph::create();
    p->setTextStr(text);
    p->fontName = "Sans";
    p->setWidth(200.5f);
    p->setChannel(DmTextParagraph::kFontSize, constantChannel(36.0f));
    p->setChannel(DmTextParagraph::kOrientation, constantChannel(0.5f));
    p->setAttribut(DmTextParagraph::kJustification, DmSimpleChannel::create("center"));
    if (coloured) {
        p->setChannel(DmTextParagraph::kColorRed, constantChannel(1.0f));
        p->setChannel(DmTextParagraph::kColorGreen, constantChannel(0.75f));
        p->setChannel(DmTextParagraph::kColorBlue, constantChannel(0.5f));
        p->setChannel(DmTextParagraph::kColorAlpha, constantChannel(0.25f));
    }
    return p;
}

TEST(EffectExport, TextLayerGivesOneTextPerParagraphAtTheLayerPosition) {
    GapWithEffects fixture;
    DmAnnotationSettings* annotation = DmAnnotationSettings::create();
    annotation->setMuted(true);
    DmTextLayer* text = DmTextLayer::create();
    text->setChannel(DmTextLayer::kPositionX, constantChannel(0.25f));
    text->setChannel(DmTextLayer::kPositionY, constantChannel(-0.75f));
    text->addParagraph(paragraph("Hello", true));
    text->addParagraph(DmTextParagraph::create());
    text->setMuted(true);
    text->setGhost(true);
    annotation->addLayer(text);
    fixture.gap->addEffect(annotation);

    // The layer has no frame range (duration 0): no "layer_range".
    const std::string layerFields = R"("visible": false, "name": "DmTextParagraph",
        "effect_name": "Text", "hold": false, "ghost": true, "ghost_before": 3, "ghost_after": 3)";
    const std::string effects = compactJson(R"(
        {"OTIO_SCHEMA": "Annotation.1", "visible": false, "name": "DmAnnotationSettings",
         "effect_name": "Annotation", "layers": [
            {"OTIO_SCHEMA": "Text.1", "text": "Hello", "justification": "center",
             "fontName": "Sans", "fontSize": 36.0, "width": 200.5, "orientation": 0.5,
             "position": [0.25, -0.75], "rgba": [1.0, 0.75, 0.5, 0.25], )" +
                                            layerFields + R"(},
            {"OTIO_SCHEMA": "Text.1", "text": "", "justification": "", "fontName": "",
             "fontSize": 0.0, "width": 0.0, "orientation": 0.0, "position": [0.25, -0.75],
             "rgba": [0.0, 0.0, 0.0, 1.0], )" +
                                            layerFields + R"(}]})");
    EXPECT_EQ(fixture.tree.exported(), fixture.document(effects));
}

TEST(EffectExport, EmptyAnnotationHasNoLayersMember) {
    GapWithEffects fixture;
    DmAnnotationSettings* annotation = DmAnnotationSettings::create();
    annotation->addLayer(DmPaintLayer::create()); // no strokes: nothing to write
    annotation->addLayer(DmTextLayer::create());  // no paragraphs: nothing either
    fixture.gap->addEffect(annotation);
    EXPECT_EQ(fixture.tree.exported(),
              fixture.document(R"({"OTIO_SCHEMA":"Annotation.1","visible":true,)"
                               R"("name":"DmAnnotationSettings","effect_name":"Annotation"})"));
}

TEST(EffectExport, LayerRangeNeedsADurationAndACompositionRate) {
    for (const char* fcm : {"25", "unknown"}) {
        GapWithEffects fixture(fcm);
        DmAnnotationSettings* annotation = DmAnnotationSettings::create();
        DmPaintLayer* ranged = DmPaintLayer::create();
        ranged->addStroke(DmStroke::create());
        ranged->setFrameRange(-5, 4294967295u);
        annotation->addLayer(ranged);
        DmPaintLayer* unranged = DmPaintLayer::create();
        unranged->addStroke(DmStroke::create());
        unranged->setFrameRange(12, 0);
        annotation->addLayer(unranged);
        fixture.gap->addEffect(annotation);

        const std::string text = fixture.tree.exported();
        const std::string range =
            R"("layer_range":)" + timeRange("-5.0", "4294967295.0", "25.0") + R"(,"hold")";
        const bool rated = std::string(fcm) == "25";
        EXPECT_EQ(text.find(range) != std::string::npos, rated) << text;
        EXPECT_EQ(text.find(R"("layer_range")") == text.rfind(R"("layer_range")"), true);
        if (!rated) {
            EXPECT_EQ(text.find(R"("layer_range")"), std::string::npos) << text;
        }
    }
}

/// Effect kinds of a host's own, which OTIO cannot carry.
class HostEffect : public DmEffectSettings {
public:
    const char* getName() const override { return "HostEffect"; }
    CoSharedPtr<DmPropertySet> clone() const override {
        return CoSharedPtr<DmPropertySet>(new HostEffect(*this));
    }
};
class HostLayer : public DmEffectLayer {
public:
    const char* getName() const override { return "HostLayer"; }
    CoSharedPtr<DmPropertySet> clone() const override {
        return CoSharedPtr<DmPropertySet>(new HostLayer(*this));
    }
};

TEST(EffectExport, UnhandledKindsAreLeftOutAndOrderIsKept) {
    OneLayerTree tree("24");
    DmSourceNode* source = sourceOver(mediaInput(0.0, 10.0, "24", DmSourceInfo::kSourceTypeMovie,
                                                 DmSourceInfo::kFileTypeMovie, "/a.mp4"),
                                      5.0);
    source->addEffect(DmLookSettings::create());
    source->addEffect(new HostEffect);
    source->addEffect(comp("normal", nullptr));
    DmAnnotationSettings* annotation = DmAnnotationSettings::create();
    annotation->addLayer(new HostLayer);
    DmPaintLayer* paint = DmPaintLayer::create();
    paint->addStroke(DmStroke::create());
    annotation->addLayer(paint);
    source->addEffect(annotation);
    source->addEffect(DmAngularMaskSettings::create());
    tree.add(source);

    const std::string text = tree.exported();
    const char* order[] = {R"("CDL.1")", R"("Comp.1")", R"("Annotation.1")", R"("Paint.1")",
                           R"("AngularMask.1")"};
    std::size_t at = 0;
    for (const char* schema : order) {
        const std::size_t found = text.find(schema, at);
        ASSERT_NE(found, std::string::npos) << schema << " after " << at << " in " << text;
        at = found;
    }
    EXPECT_EQ(text.find("Host"), std::string::npos);
    EXPECT_EQ(text.find(R"("OTIO_SCHEMA":"Paint.1")"), text.rfind(R"("OTIO_SCHEMA":"Paint.1")"));
}

TEST(EffectExport, NonFiniteEffectValueFailsTheExport) {
    GapWithEffects fixture;
    fixture.gap->addEffect(comp("normal", constantChannel(std::numeric_limits<float>::infinity())));
    DmString out;
    EXPECT_EQ(exportOtioJson(fixture.tree.root, out).getCode(), Status::JsonConversionFailed);

    GapWithEffects look;
    DmLookSettings* settings = DmLookSettings::create();
    settings->saturation = std::numeric_limits<double>::quiet_NaN();
    look.gap->addEffect(settings);
    EXPECT_EQ(exportOtioJson(look.tree.root, out).getCode(), Status::JsonConversionFailed);
    EXPECT_TRUE(out.empty());
}

} // namespace
} // namespace ZEM_0_81::test
