#include "tests/json/ImportTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// A clip "a" (0 to 10) carrying `effects` (a comma-separated list).
std::string clipWithEffects(const std::string& effects) {
    return clip("a", 0, 10, R"(,"effects":[)" + effects + "]");
}

const DmSourceNode* firstSource(const CoSharedPtr<DmRoot>& root) {
    return childAs<DmSourceNode>(layerOf(root, 0, 0), 0);
}

TEST(EffectImport, CompHoldsBlendModeAndTransparencyAndIsNeverMuted) {
    const auto root = importDocument(timeline(track(clipWithEffects(
        R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"multiply","opacity":0.25,"visible":false})"))));
    const DmSourceNode* source = firstSource(root);
    ASSERT_EQ(1u, source->getNbEffects());
    const auto* comp = dynamic_cast<const DmCompSettings*>(source->getEffect(0));
    ASSERT_NE(nullptr, comp);
    EXPECT_FALSE(comp->isMuted());
    ASSERT_TRUE(comp->getAttribut(DmCompSettings::kBlendMode));
    EXPECT_EQ("multiply", text(comp->getAttribut(DmCompSettings::kBlendMode)->getValue()));
    const CoSharedPtr<DmAnimationChannel> channel = comp->getChannel(DmCompSettings::kTransparency);
    EXPECT_EQ(0.75f, constantOf(channel));
    const CoSharedPtr<DmKeyFrame> key = channel->getKeyFrame(0);
    EXPECT_EQ(0.0, key->getTime());
    EXPECT_EQ(DmKeyFrame::kInterpDefault, key->getInterpMode());
    EXPECT_EQ(DmKeyFrame::kOrderDefault, key->getInterpOrder());
    EXPECT_EQ(1u, key->getCount());
    EXPECT_EQ(DmKeyFrame::getCurrentVersion(), channel->getVersion());
}

TEST(EffectImport, AngularMaskHoldsPivotAndAngleAsProperties) {
    const auto root = importDocument(timeline(track(
        clipWithEffects(R"({"OTIO_SCHEMA":"AngularMask.1","pivot":[0.5,-2],"angle_in_radians":1.5,)"
                        R"("visible":false})"))));
    const auto* mask = dynamic_cast<const DmAngularMaskSettings*>(firstSource(root)->getEffect(0));
    ASSERT_NE(nullptr, mask);
    double x = 0, y = 0;
    float angle = 0;
    EXPECT_EQ(eDmSuccess, mask->getPropertyValue(7, eDmPropDouble, &x));
    EXPECT_EQ(eDmSuccess, mask->getPropertyValue(8, eDmPropDouble, &y));
    EXPECT_EQ(eDmSuccess, mask->getPropertyValue(9, eDmPropFloat, &angle));
    EXPECT_EQ(0.5, x);
    EXPECT_EQ(-2.0, y);
    EXPECT_EQ(1.5f, angle);
    EXPECT_TRUE(mask->isMuted());
}

TEST(EffectImport, CdlBecomesALookWithTheNodesGrade) {
    const auto root = importDocument(timeline(
        track(clipWithEffects(R"({"OTIO_SCHEMA":"CDL.1","slope":[1.2,1.0],"offset":[0.1,0.2,0.3],)"
                              R"("power":[2,3,4],"saturation":0.5},)"
                              R"({"OTIO_SCHEMA":"CDL.1","visible":false})"))));
    const DmSourceNode* source = firstSource(root);
    ASSERT_EQ(2u, source->getNbEffects());
    const auto* look = dynamic_cast<const DmLookSettings*>(source->getEffect(0));
    ASSERT_NE(nullptr, look);
    const double offset[] = {0.1, 0.2, 0.3};
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_EQ(1.0, look->slope[channel]); // two numbers are not a slope
        EXPECT_EQ(offset[channel], look->offset[channel]);
        EXPECT_EQ(channel + 2.0, look->power[channel]);
    }
    EXPECT_EQ(0.5, look->saturation);
    EXPECT_FALSE(look->isMuted());
    EXPECT_TRUE(source->getEffect(1)->isMuted());
}

TEST(EffectImport, EffectsAttachInOrderToTheSegmentImportedLast) {
    const std::string comp = R"({"OTIO_SCHEMA":"Comp.1","opacity":1.0})";
    const std::string cdl = R"({"OTIO_SCHEMA":"CDL.1"})";
    const auto root = importDocument(timeline(
        track(clipWithEffects(comp + "," + cdl) + "," + gap(5, 24, R"(,"effects":[)" + cdl + "]") +
              "," + cdl + "," + clipWithoutMedia(3, R"(,"effects":[)" + comp + "]"))));
    const DmLayerNode* layer = layerOf(root, 0, 0);
    const auto* source = childAs<DmSourceNode>(layer, 0);
    ASSERT_EQ(2u, source->getNbEffects());
    EXPECT_STREQ("DmCompSettings", source->getEffect(0)->getName());
    EXPECT_STREQ("DmLookSettings", source->getEffect(1)->getName());
    // The gap gets its own effect and the one that follows it on the track; the
    // effect of the clip without media is dropped.
    const auto* space = childAs<DmGapNode>(layer, 2);
    ASSERT_EQ(2u, space->getNbEffects());
    EXPECT_STREQ("DmLookSettings", space->getEffect(1)->getName());
    EXPECT_EQ(0.0f, constantOf(dynamic_cast<const DmCompSettings*>(source->getEffect(0))
                                   ->getChannel(DmCompSettings::kTransparency)));
}

TEST(EffectImport, EffectsBeforeTheFirstSegmentOfALayerAreDropped) {
    const auto root = importDocument(timeline(
        track(clip("a", 0, 10)) + "," + track(R"({"OTIO_SCHEMA":"CDL.1"},)" + clip("b", 0, 10))));
    EXPECT_EQ(0u, childAs<DmSourceNode>(layerOf(root, 0, 0), 0)->getNbEffects());
    EXPECT_EQ(0u, childAs<DmSourceNode>(layerOf(root, 0, 1), 0)->getNbEffects());
}

} // namespace
} // namespace ZEM_0_81::test
