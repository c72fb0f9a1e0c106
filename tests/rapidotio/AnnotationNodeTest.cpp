#include "rapidotio/AnnotationNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/TextNode.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace ZEM_0_81::rapidotio {
namespace {

using test::elementText;
using test::parse;

TEST(AnnotationNode, PaintKeepsPointCountAndAcceptsAnyColourNumbers) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Paint.1","points":[
          {"OTIO_SCHEMA":"Point.1","x":1.0,"y":2.0,"width":3.0},
          {"OTIO_SCHEMA":"Point.1","x":1,"y":2.5},
          {"OTIO_SCHEMA":"Point.1","x":4.0},
          {"OTIO_SCHEMA":"Other.1","x":5.0},"p",null],
        "rgba":[1,0,"x",1e300,-1,3.4028235e38],"ghost_before":-1,"ghost_after":4.0,"hold":"yes"},
        {"OTIO_SCHEMA":"Paint.1","rgba":[],"type":"erase","brush":"square"},
        {"OTIO_SCHEMA":"Text.1","points":[{}],"rgba":[1.0],"type":"t"}])");
    PaintNode stroke((*doc)[0], nullptr);
    ASSERT_EQ(6u, stroke.points.size());
    EXPECT_EQ(3.0, stroke.points[0].width);
    EXPECT_EQ(0.0, stroke.points[1].x);
    EXPECT_EQ(2.5, stroke.points[1].y);
    EXPECT_EQ(4.0, stroke.points[2].x);
    for (std::size_t i = 3; i < 6; ++i)
        EXPECT_EQ(0.0, stroke.points[i].x + stroke.points[i].y + stroke.points[i].width) << i;
    ASSERT_EQ(6u, stroke.rgba.size());
    EXPECT_EQ(1.0f, stroke.rgba[0]);
    EXPECT_EQ(0.0f, stroke.rgba[2]);
    EXPECT_EQ(HUGE_VALF, stroke.rgba[3]);
    EXPECT_EQ(-1.0f, stroke.rgba[4]);
    EXPECT_EQ(FLT_MAX, stroke.rgba[5]) << "just above the largest float rounds down to it";
    EXPECT_EQ(3u, stroke.ghost_before);
    EXPECT_EQ(3u, stroke.ghost_after);
    EXPECT_FALSE(stroke.hold);

    PaintNode noPoints((*doc)[1], nullptr);
    EXPECT_TRUE(noPoints.points.empty());
    EXPECT_TRUE(noPoints.rgba.empty());
    EXPECT_EQ("erase", noPoints.type);
    EXPECT_EQ("square", noPoints.brush);

    PaintNode otherSchema((*doc)[2], nullptr);
    EXPECT_TRUE(otherSchema.points.empty());
    EXPECT_EQ("", otherSchema.type);
}

TEST(AnnotationNode, TextFieldsAndShortPosition) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Text.1","text":"hi","fontSize":12,"width":100.5,
        "position":[10],"rgba":[0.5,0.25],"ghost":true,"ghost_after":7},
        {"OTIO_SCHEMA":"Paint.1","text":"not read","fontSize":12.0}])");
    TextNode text((*doc)[0], nullptr), otherSchema((*doc)[1], nullptr);
    EXPECT_EQ("hi", text.text);
    EXPECT_EQ(0.0, text.fontSize) << "integer rejected";
    EXPECT_EQ(100.5, text.width);
    EXPECT_EQ(0.0, text.position_x) << "a one-value position is ignored";
    EXPECT_EQ((std::vector<float>{0.5f, 0.25f}), text.rgba) << "no length is enforced";
    EXPECT_TRUE(text.ghost);
    EXPECT_EQ(7u, text.ghost_after);
    EXPECT_EQ("", otherSchema.text);
    EXPECT_EQ(0.0, otherSchema.fontSize);
}

TEST(AnnotationNode, WritesStrokesAndCaptionsAsNestedLayers) {
    SharedPtr<Node> annotation(new AnnotationNode("notes"));
    SharedPtr<Node> stroke(
        new PaintNode("s", {{0.5, 1, 2}}, {1, 0, 0, 1}, "color", "round", true, false, 1, 2));
    static_cast<PaintNode*>(stroke.get())->layer_range = TimeRange{{5, 24}, {3, 24}};
    SharedPtr<Node> caption(new TextNode("t", "Hello", "left", "Mono", 24, 300, 0.5, 10, 20,
                                         {0, 0, 0, 1}, false, true, 0, 4294967295u));
    annotation->addChild(stroke);
    annotation->addChild(caption);
    EXPECT_EQ(
        R"({"OTIO_SCHEMA":"Annotation.1","visible":true,"name":"notes",)"
        R"("effect_name":"Annotation","layers":[)"
        R"({"OTIO_SCHEMA":"Paint.1","points":[{"OTIO_SCHEMA":"Point.1","x":0.5,"y":1.0,)"
        R"("width":2.0}],"rgba":[1.0,0.0,0.0,1.0],"type":"color","brush":"round",)"
        R"("visible":true,"name":"s","effect_name":"Paint","layer_range":{"start_time":{)"
        R"("OTIO_SCHEMA":"RationalTime.1","value":5.0,"rate":24.0},"duration":{)"
        R"("OTIO_SCHEMA":"RationalTime.1","value":3.0,"rate":24.0},"OTIO_SCHEMA":"TimeRange.1"},)"
        R"("hold":true,"ghost":false,"ghost_before":1,"ghost_after":2},)"
        R"({"OTIO_SCHEMA":"Text.1","text":"Hello","justification":"left","fontName":"Mono",)"
        R"("fontSize":24.0,"width":300.0,"orientation":0.5,"position":[10.0,20.0],)"
        R"("rgba":[0.0,0.0,0.0,1.0],"visible":true,"name":"t","effect_name":"Text",)"
        R"("hold":false,"ghost":true,"ghost_before":0,"ghost_after":4294967295}]})",
        elementText(*annotation));

    AnnotationNode empty("e");
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Annotation.1","visible":true,"name":"e",)"
              R"("effect_name":"Annotation"})",
              elementText(empty));
    PaintNode bare("p");
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Paint.1","points":[],"rgba":[],"type":"","brush":"",)"
              R"("visible":true,"name":"p","effect_name":"Paint","hold":false,"ghost":false,)"
              R"("ghost_before":3,"ghost_after":3})",
              elementText(bare));
}

} // namespace
} // namespace ZEM_0_81::rapidotio
