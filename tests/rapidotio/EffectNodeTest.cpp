#include "rapidotio/AngularMaskNode.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/CDLNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/NodeFactory.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::rapidotio {
namespace {

using test::elementText;
using test::parse;

TEST(EffectNode, CommonMembersAndTheirDefaults) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Comp.1","visible":false,"effect_name":"X",
        "layer_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":1.0}}},
        {"OTIO_SCHEMA":"Comp.1","visible":0,"effect_name":3,"layer_range":[]}])");
    CompNode set((*doc)[0], nullptr), mistyped((*doc)[1], nullptr);
    EXPECT_FALSE(set.visible);
    EXPECT_EQ("X", set.effect_name);
    EXPECT_EQ(1.0, set.layer_range.start_time.value);
    EXPECT_FALSE(isValid(set.layer_range));
    EXPECT_TRUE(mistyped.visible);
    EXPECT_EQ("", mistyped.effect_name);

    EXPECT_EQ("Comp", CompNode("a").effect_name);
    EXPECT_EQ("AngularMask", AngularMaskNode("a").effect_name);
    EXPECT_EQ("CDL", CDLNode("a").effect_name);
    EXPECT_EQ("Annotation", AnnotationNode("a").effect_name);
    EXPECT_TRUE(CompNode("a").visible);
}

TEST(EffectNode, CompOpacityMustBeAFloatLiteral) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Comp.1","opacity":1,"blend_mode":"add"},
        {"OTIO_SCHEMA":"Comp.1","opacity":1e39},{"OTIO_SCHEMA":"Comp.1","opacity":1.0}])");
    EXPECT_EQ(0.0f, CompNode((*doc)[0], nullptr).opacity);
    EXPECT_EQ("add", CompNode((*doc)[0], nullptr).blend_mode);
    EXPECT_EQ(0.0f, CompNode((*doc)[1], nullptr).opacity);
    EXPECT_EQ(1.0f, CompNode((*doc)[2], nullptr).opacity);
}

TEST(EffectNode, AngularMaskPivotAndSchemaCheck) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"AngularMask.1","pivot":[0.5],"angle_in_radians":2},
        {"OTIO_SCHEMA":"AngularMask.1","pivot":[1,2],"angle_in_radians":2.0},
        {"OTIO_SCHEMA":"AngularMask.1","pivot":["a",null,3]},
        {"OTIO_SCHEMA":"Comp.1","pivot":[1.0,2.0],"angle_in_radians":2.0,"effect_name":"kept"}])");
    AngularMaskNode shortPivot((*doc)[0], nullptr), ints((*doc)[1], nullptr),
        strings((*doc)[2], nullptr), otherSchema((*doc)[3], nullptr);
    EXPECT_EQ(0.0, shortPivot.pivot_x);
    EXPECT_EQ(0.0f, shortPivot.angle_in_radians);
    EXPECT_EQ(1.0, ints.pivot_x);
    EXPECT_EQ(2.0, ints.pivot_y);
    EXPECT_EQ(2.0f, ints.angle_in_radians);
    EXPECT_EQ(0.0, strings.pivot_x) << "elements that are not numbers read as 0";
    EXPECT_EQ(0.0, strings.pivot_y);
    EXPECT_EQ(0.0, otherSchema.pivot_x) << "own fields need the exact schema";
    EXPECT_EQ("kept", otherSchema.effect_name) << "common members are still read";
}

TEST(EffectNode, CDLTriplesNeedThreeValues) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"CDL.1","slope":[1.2,1.0],"offset":[1,2,3],
        "power":[2,true,"x",4],"saturation":1},{"OTIO_SCHEMA":"CDL.1","saturation":0},
        {"OTIO_SCHEMA":"CDL.2","slope":[2.0,2.0,2.0]}])");
    CDLNode a((*doc)[0], nullptr), b((*doc)[1], nullptr), c((*doc)[2], nullptr);
    EXPECT_EQ((std::array<double, 3>{1, 1, 1}), a.slope);
    EXPECT_EQ((std::array<double, 3>{1, 2, 3}), a.offset);
    EXPECT_EQ((std::array<double, 3>{2, 0, 0}), a.power);
    EXPECT_EQ(1.0, a.saturation);
    EXPECT_EQ(1.0, b.saturation);
    EXPECT_EQ((std::array<double, 3>{1, 1, 1}), c.slope) << "direct construction, other schema";
}

TEST(EffectNode, WrittenMembersInOrder) {
    CompNode comp("c");
    comp.blend_mode = "over";
    comp.opacity = 0.1f;
    comp.layer_range = TimeRange{{0, 24}, {10, 24}};
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"over","opacity":0.10000000149011612,)"
              R"("visible":true,"name":"c","effect_name":"Comp"})",
              elementText(comp))
        << "no layer_range directly under a clip, no empty layers";

    AngularMaskNode mask("m");
    mask.pivot_x = 0.5;
    mask.angle_in_radians = 1.5f;
    mask.visible = false;
    EXPECT_EQ(R"({"OTIO_SCHEMA":"AngularMask.1","pivot":[0.5,0.0],"angle_in_radians":1.5,)"
              R"("visible":false,"name":"m","effect_name":"AngularMask"})",
              elementText(mask));

    CDLNode cdl("g");
    cdl.offset = {0.1, 0, -0.25};
    EXPECT_EQ(R"({"OTIO_SCHEMA":"CDL.1","slope":[1.0,1.0,1.0],"offset":[0.1,0.0,-0.25],)"
              R"("power":[1.0,1.0,1.0],"saturation":1.0,"visible":true,"name":"g",)"
              R"("effect_name":"CDL"})",
              elementText(cdl));
}

TEST(EffectNode, NestedEffectsWriteLayersAndValidRanges) {
    SharedPtr<Node> outer(new CompNode("outer"));
    SharedPtr<Node> inner(new CDLNode("inner"));
    SharedPtr<Node> half(new CompNode("half"));
    static_cast<EffectNode*>(inner.get())->layer_range = TimeRange{{2, 24}, {3, 24}};
    static_cast<EffectNode*>(half.get())->layer_range = TimeRange{{2, 24}, {}};
    outer->addChild(inner);
    outer->addChild(half);
    EXPECT_TRUE(static_cast<EffectNode*>(inner.get())->isNested());
    EXPECT_FALSE(static_cast<EffectNode*>(outer.get())->isNested());
    EXPECT_EQ(
        R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"","opacity":0.0,"visible":true,"name":"outer",)"
        R"("effect_name":"Comp","layers":[{"OTIO_SCHEMA":"CDL.1","slope":[1.0,1.0,1.0],)"
        R"("offset":[0.0,0.0,0.0],"power":[1.0,1.0,1.0],"saturation":1.0,"visible":true,)"
        R"("name":"inner","effect_name":"CDL","layer_range":{"start_time":{)"
        R"("OTIO_SCHEMA":"RationalTime.1","value":2.0,"rate":24.0},"duration":{)"
        R"("OTIO_SCHEMA":"RationalTime.1","value":3.0,"rate":24.0},"OTIO_SCHEMA":"TimeRange.1"}},)"
        R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"","opacity":0.0,"visible":true,"name":"half",)"
        R"("effect_name":"Comp"}]})",
        elementText(*outer));
}

TEST(EffectNode, EffectsNestThroughLayersWhenRead) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Gap.1","effects":[{"OTIO_SCHEMA":"CDL.1","name":"a",
        "layers":[{"OTIO_SCHEMA":"Comp.1","name":"b"},{"OTIO_SCHEMA":"Clip.1","name":"odd"}]}]})");
    SharedPtr<Node> gap = createNode(*doc, nullptr);
    test::RecordingVisitor visitor;
    gap->traverse(visitor);
    EXPECT_EQ(
        (std::vector<std::string>{"visitGap:", "visitEffect:a", "visitEffect:b", "leaveEffect:b",
                                  "visitClip:odd", "leaveClip:odd", "leaveEffect:a", "leaveGap:"}),
        visitor.events)
        << "nesting is not enforced: any schema dispatches by its own type";
}

} // namespace
} // namespace ZEM_0_81::rapidotio
