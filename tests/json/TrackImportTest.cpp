#include "tests/json/ImportTestSupport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::test {
namespace {

TEST(DmTreeImporter, AddsOneEmptyReelEvenWithoutATraversal) {
    CoSharedPtr<DmRoot> root(DmRoot::create());
    { Json::DmTreeImporter importer(root); }
    ASSERT_EQ(1u, root->getNbChildren());
    const auto* reel = childAs<DmReelNode>(root.get(), 0);
    ASSERT_NE(nullptr, reel);
    EXPECT_EQ(0u, reel->getNbChildren());
}

TEST(TimelineImport, MissingStartTimeStartsAtZeroAt24) {
    const auto root = importDocument(timeline(track(clip("a", 0, 10)), ""));
    const DmCompositionNode* composition = compositionOf(root);
    ASSERT_NE(nullptr, composition);
    EXPECT_EQ("edit", text(composition->getName()));
    EXPECT_EQ("24", text(composition->getFcm()));
    EXPECT_EQ(0.0, childAs<DmSourceNode>(layerOf(root, 0, 0), 0)->getRecIn());
}

TEST(TimelineImport, GlobalStartPlacesTheFirstSegmentOfEveryLayer) {
    const auto root = importDocument(
        timeline(track(clip("a", 0, 10)) + "," + track(gap(5) + "," + clip("b", 0, 10), "Audio"),
                 rationalTime(1000, 24)));
    EXPECT_EQ(1000.0, childAs<DmSourceNode>(layerOf(root, 0, 0), 0)->getRecIn());
    EXPECT_EQ(1000.0, childAs<DmGapNode>(layerOf(root, 0, 1), 0)->getRecIn());
    EXPECT_EQ(1000.0, layerOf(root, 0, 1)->getLayerStartTC());
    EXPECT_EQ(1005.0, childAs<DmSourceNode>(layerOf(root, 0, 1), 2)->getRecIn());
    EXPECT_EQ(1000.0, compositionOf(root)->getStartTC());
}

TEST(TimelineImport, StartRateIsSnappedAndTheStartConverted) {
    auto root = importDocument(timeline(track(clip("a", 0, 10)), rationalTime(96, 48)));
    EXPECT_EQ("24", text(compositionOf(root)->getFcm()));
    EXPECT_EQ(48.0, compositionOf(root)->getStartTC());

    root = importDocument(timeline(track(clip("a", 0, 10)), rationalTime(1000, 23.976)));
    EXPECT_EQ("23.976", text(compositionOf(root)->getFcm()));
    EXPECT_EQ("23.976", text(compositionOf(root)->getStartTcFcm()));
    EXPECT_EQ(1000.0, compositionOf(root)->getStartTC());
    // Ten frames at 24 fps are ten frames at 23.976 (the nearest frame).
    EXPECT_EQ(10.0, compositionOf(root)->getCompLength());
}

TEST(TrackImport, StackBecomesATrackAndTracksItsLayers) {
    const auto root =
        importDocument(timeline(track(clip("a", 0, 10)) + "," + track(clip("b", 0, 10), "audio")));
    const DmCompositionNode* composition = compositionOf(root);
    ASSERT_EQ(1u, composition->getNbChildren());
    const auto* stack = childAs<DmTrackNode>(composition, 0);
    EXPECT_EQ(0, stack->getIndex());
    EXPECT_EQ("stack", text(stack->getName()));
    EXPECT_EQ(eDmMediaAudio, stack->getMediaType()); // the last layer's type
    ASSERT_EQ(2u, stack->getNbChildren());
    const DmLayerNode* first = layerOf(root, 0, 0);
    const DmLayerNode* second = layerOf(root, 0, 1);
    EXPECT_EQ(0, first->getIndex());
    EXPECT_TRUE(first->isFirstLayer());
    EXPECT_EQ(eDmMediaVideo, first->mediaType);
    EXPECT_EQ(1, second->getIndex());
    EXPECT_FALSE(second->isFirstLayer());
    EXPECT_EQ(eDmMediaAudio, second->mediaType);
    EXPECT_EQ(0, second->getParameter());
    EXPECT_EQ("track", text(second->getName()));
}

TEST(TrackImport, SegmentsFollowEachOtherSeparatedByCuts) {
    const auto root = importDocument(
        timeline(track(clip("a", 10, 48) + "," + gap(24) + "," + clip("b", 0, 12), "audio")));
    const DmLayerNode* layer = layerOf(root, 0, 0);
    ASSERT_EQ(5u, layer->getNbChildren());
    const auto* a = childAs<DmSourceNode>(layer, 0);
    const auto* cut = childAs<DmCutNode>(layer, 1);
    const auto* space = childAs<DmGapNode>(layer, 2);
    const auto* b = childAs<DmSourceNode>(layer, 4);
    ASSERT_TRUE(a && cut && space && childAs<DmCutNode>(layer, 3) && b);
    EXPECT_EQ(eDmMediaAudio, cut->getMediaType());
    EXPECT_EQ(0.0, a->getRecIn());
    EXPECT_EQ(48.0, a->getRecLength());
    EXPECT_EQ(48.0, space->getRecIn());
    EXPECT_EQ(24.0, space->getRecLength());
    EXPECT_EQ("gap", text(space->getName()));
    EXPECT_EQ(eDmMediaAudio, space->getMediaType());
    EXPECT_EQ(72.0, b->getRecIn());
    EXPECT_EQ(84.0, layer->getLayerLength());
    EXPECT_EQ(84.0, compositionOf(root)->getCompLength());
}

TEST(TrackImport, GapWithoutDurationLastsOneFrameAt24) {
    const std::string bare = R"({"OTIO_SCHEMA":"Gap.1"})";
    auto root = importDocument(timeline(track(bare), rationalTime(0, 60)));
    EXPECT_EQ(3.0, childAs<DmGapNode>(layerOf(root, 0, 0), 0)->getRecLength()); // 2.5 frames
    root = importDocument(timeline(track(bare)));
    EXPECT_EQ(1.0, childAs<DmGapNode>(layerOf(root, 0, 0), 0)->getRecLength());
}

TEST(LeaveTrack, LayersStartingWithAGapLeaveTheCompositionAlone) {
    const auto root = importDocument(timeline(track(gap(100) + "," + clip("a", 0, 10)) + "," +
                                              track(gap(50) + "," + clip("b", 0, 10))));
    EXPECT_EQ(0.0, compositionOf(root)->getStartTC());
    EXPECT_EQ(0.0, compositionOf(root)->getCompLength());
    EXPECT_EQ(0.0, layerOf(root, 0, 0)->getLayerLength());
}

TEST(LeaveTrack, CompositionStartsAtTheEarliestFirstSourceOfATrack) {
    // A clip without media moves the first source of its layer later.
    const auto startingAt = [](double first, double second) {
        return importDocument(timeline(track(clipWithoutMedia(first) + "," + clip("a", 0, 10)) +
                                       "," +
                                       track(clipWithoutMedia(second) + "," + clip("b", 0, 30))));
    };
    auto root = startingAt(100, 50);
    EXPECT_EQ(50.0, compositionOf(root)->getStartTC());
    EXPECT_EQ(100.0, layerOf(root, 0, 0)->getLayerStartTC());
    EXPECT_EQ(10.0, layerOf(root, 0, 0)->getLayerLength());
    EXPECT_EQ(30.0, compositionOf(root)->getCompLength()); // the longest layer, not the span

    root = startingAt(100, 200);
    EXPECT_EQ(100.0, compositionOf(root)->getStartTC());
    EXPECT_EQ(30.0, compositionOf(root)->getCompLength());
}

TEST(LeaveTrack, TheFirstLayerOfEachTrackResetsTheStart) {
    // A second stack (inside the first one's children) makes a second track.
    const auto root = importDocument(
        timeline(track(clip("a", 0, 10)) + R"(,{"OTIO_SCHEMA":"Stack.1","children":[)" +
                 track(clipWithoutMedia(200) + "," + clip("b", 0, 10)) + "]}"));
    const DmCompositionNode* composition = compositionOf(root);
    ASSERT_EQ(2u, composition->getNbChildren());
    EXPECT_EQ(1, childAs<DmTrackNode>(composition, 1)->getIndex());
    EXPECT_EQ(200.0, composition->getStartTC());
    EXPECT_EQ("24", text(composition->getStartTcFcm()));
}

TEST(LeaveTrack, TrailingGapsCountInTheLayerLength) {
    const auto root = importDocument(timeline(track(clip("a", 0, 24) + "," + gap(48))));
    EXPECT_EQ(72.0, layerOf(root, 0, 0)->getLayerLength());
    EXPECT_EQ(72.0, compositionOf(root)->getCompLength());
}

TEST(ClipWithoutMedia, AdvancesTheRecordPositionWithoutASource) {
    const std::string noMedia = clipWithoutMedia(20);
    const auto root =
        importDocument(timeline(track(clip("a", 0, 10) + "," + noMedia + "," + clip("b", 0, 5))));
    const DmLayerNode* layer = layerOf(root, 0, 0);
    ASSERT_EQ(4u, layer->getNbChildren());
    EXPECT_NE(nullptr, childAs<DmCutNode>(layer, 1));
    EXPECT_NE(nullptr, childAs<DmCutNode>(layer, 2));
    EXPECT_EQ(30.0, childAs<DmSourceNode>(layer, 3)->getRecIn());
    EXPECT_EQ(35.0, layer->getLayerLength());
}

TEST(MisplacedNodes, AreSkippedWithoutEffect) {
    // A clip directly in the stack (no layer yet), a track directly under the
    // timeline (no stack), and a lone stack document (no timeline).
    auto root = importDocument(timeline(clip("a", 0, 10) + "," + track(clip("b", 0, 10))));
    EXPECT_EQ(1u, layerOf(root, 0, 0)->getNbChildren());
    EXPECT_EQ(0.0, childAs<DmSourceNode>(layerOf(root, 0, 0), 0)->getRecIn());

    root =
        importDocument(R"({"OTIO_SCHEMA":"Timeline.1","tracks":)" + track(clip("a", 0, 10)) + "}");
    EXPECT_EQ(0u, compositionOf(root)->getNbChildren());

    root =
        importDocument(R"({"OTIO_SCHEMA":"Stack.1","children":[)" + track(clip("a", 0, 10)) + "]}");
    EXPECT_EQ(0u, childAs<DmReelNode>(root.get(), 0)->getNbChildren());
}

} // namespace
} // namespace ZEM_0_81::test
