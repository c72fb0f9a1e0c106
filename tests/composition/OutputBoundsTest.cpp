#include "composition/Composition.h"

#include "outside/dmtree/DmTree.h"
#include "tests/json/ImportTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// The "media_reference" member of a clip whose picture is the given box.
std::string picture(double cx, double cy, double width, double height) {
    return R"(,"media_reference":{"metadata":{"zem":{"bounds":{"center":[)" + std::to_string(cx) +
           "," + std::to_string(cy) + R"(],"size":[)" + std::to_string(width) + "," +
           std::to_string(height) + "]}}}}";
}

/// The "effects" member holding an annotation with one paint stroke of one point,
/// its layer shown for `frames` frames from `first` (24 fps).
std::string stroke(double first, double frames, double x, double y, double size) {
    return R"(,"effects":[{"OTIO_SCHEMA":"Annotation.1","layers":[{"OTIO_SCHEMA":"Paint.1",)"
           R"("layer_range":)" +
           timeRange(first, frames, 24) + R"(,"points":[{"OTIO_SCHEMA":"Point.1","x":)" +
           std::to_string(x) + R"(,"y":)" + std::to_string(y) + R"(,"width":)" +
           std::to_string(size) + "}]}]}]";
}

SharedPtr<Composition> boundsComposition(const std::string& text) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, String("b"), "b", Rational(24, 1)));
    composition->setJson(Composition::JsonType::Otio, String(text.c_str()));
    return composition;
}

/// The bounds at `frame`, or fails the test.
Bounds boundsAt(const Composition& composition, std::int64_t frame) {
    Bounds bounds(-1, -1, -1, -1);
    const Status status = composition.getOutputBounds(Time(frame, Rational(24, 1)), bounds);
    EXPECT_TRUE(status) << "status " << status.getCode() << " at " << frame;
    return bounds;
}

void expectBounds(const Bounds& actual, double cx, double cy, double width, double height) {
    EXPECT_EQ(cx, actual.getCenterX());
    EXPECT_EQ(cy, actual.getCenterY());
    EXPECT_EQ(width, actual.getSizeX());
    EXPECT_EQ(height, actual.getSizeY());
}

TEST(OutputBounds, SourceCoversFromItsRecordInThroughLengthMinusOne) {
    const auto composition =
        boundsComposition(timeline(track(gap(10) + "," + clip("a", 0, 5, picture(1, 2, 30, 40)))));
    expectBounds(boundsAt(*composition, 9), 0, 0, 0, 0);
    expectBounds(boundsAt(*composition, 10), 1, 2, 30, 40);
    expectBounds(boundsAt(*composition, 14), 1, 2, 30, 40);
    expectBounds(boundsAt(*composition, 15), 0, 0, 0, 0);
}

TEST(OutputBounds, CoveringSourcesOfSeveralLayersAreUnited) {
    const auto composition =
        boundsComposition(timeline(track(clip("a", 0, 10, picture(0, 0, 2, 2))) + "," +
                                   track(clip("b", 0, 10, picture(2, 0, 2, 2)))));
    expectBounds(boundsAt(*composition, 3), 1, 0, 4, 2);
}

TEST(OutputBounds, GapStrokesCountOnlyWhileTheGapCoversAndTheLayerShows) {
    const auto at = [](double shownFrom) {
        return boundsComposition(
            timeline(track(gap(10, 24, stroke(shownFrom, 10, 5, 5, 2)) + "," + clip("a", 0, 10))));
    };
    struct Case {
        double shownFrom; // the layer shows for 10 frames from here
        std::int64_t frame;
        bool counts;
    };
    // The gap covers frames 0 to 9.
    const Case cases[] = {
        {0, 3, true},   {0, 9, true},                   // the layer's last frame, 0 + 10 - 1
        {4, 4, true},   {4, 3, false},                  // its first frame, and the one before
        {-6, 3, true},  {-6, 4, false}, {0, 12, false}, // the gap does not cover 12
        {20, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.shownFrom) + " at " + std::to_string(c.frame));
        // Grown from the zero bounds, which keep the origin.
        if (c.counts)
            expectBounds(boundsAt(*at(c.shownFrom), c.frame), 3, 3, 6, 6);
        else
            expectBounds(boundsAt(*at(c.shownFrom), c.frame), 0, 0, 0, 0);
    }
}

TEST(OutputBounds, SourceStrokesCountWheneverTheLayerShows) {
    const auto composition = boundsComposition(
        timeline(track(clip("a", 0, 10, picture(0, 0, 4, 4) + stroke(0, 100, 10, 0, 2)))));
    expectBounds(boundsAt(*composition, 50), 5.5, 0, 11, 2); // the source does not cover 50
    expectBounds(boundsAt(*composition, 5), 4.5, 0, 13, 4);  // picture grown by the point
}

TEST(OutputBounds, FirstCoveringSourceReplacesEarlierStrokes) {
    // Layer 1: a source not covering frame 30, with a stroke shown there; layer 2:
    // a source covering it.
    const auto composition = boundsComposition(
        timeline(track(clip("a", 0, 10, picture(0, 0, 2, 2) + stroke(0, 100, 50, 50, 2))) + "," +
                 track(gap(20) + "," + clip("b", 0, 20, picture(7, 7, 2, 2)))));
    expectBounds(boundsAt(*composition, 30), 7, 7, 2, 2);
}

TEST(OutputBounds, OnlyTheLastCoveringGapOfATrackCounts) {
    const auto composition =
        boundsComposition(timeline(track(gap(10, 24, stroke(0, 10, 4, 0, 0))) + "," +
                                   track(gap(10, 24, stroke(0, 10, -4, 0, 0)))));
    expectBounds(boundsAt(*composition, 5), -2, 0, 4, 0);
}

TEST(OutputBounds, WholeDocument) {
    const auto composition = boundsComposition(readTestData("import/two_tracks.json"));
    expectBounds(boundsAt(*composition, 86400), 70, 0, 2060, 1080);
    expectBounds(boundsAt(*composition, 86450), 52.5, 27.5, 105, 55);
    expectBounds(boundsAt(*composition, 86480), 100, 0, 800, 600);
    expectBounds(boundsAt(*composition, 86600), 0, 0, 0, 0);
}

/// A composition of one layer holding `source`.
SharedPtr<Composition> compositionHolding(DmSourceNode* first, DmSourceNode* second) {
    const CoSharedPtr<DmRoot> root(DmRoot::create());
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    DmCompositionNode* node = DmCompositionNode::create(DmString("c"), DmString("24"), nullptr);
    reel->addComposition(node);
    DmTrackNode* track = DmTrackNode::create(0, eDmMediaVideo);
    node->addChild(track);
    DmLayerNode* layer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    track->addChild(layer);
    layer->addChild(first);
    DmLayerNode* above = DmLayerNode::create(1, eDmMediaVideo, 0, false);
    track->addChild(above);
    above->addChild(second);
    return Composition::create(String("c"), *root);
}

DmSourceNode* sourceWithPicture(double cx) {
    DmFrameResolution* resolution = DmFrameResolution::create();
    resolution->setCenterX(cx);
    resolution->setSizeX(2);
    DmSourceNode::MediaInput* input = DmSourceNode::MediaInput::create(
        0, 10, DmSourceInfo::create(), DmString("24"), eDmMediaVideo, true);
    input->setPrimaryRes(resolution);
    return DmSourceNode::create(input, 0, 10, 0, true, false);
}

TEST(OutputBounds, CoveringSourceWithoutInputOrResolutionFails) {
    Bounds bounds(1, 2, 3, 4);
    const Time frame(5, Rational(24, 1));

    auto composition = compositionHolding(DmSourceNode::create(nullptr, 0, 10, 0, true, false),
                                          sourceWithPicture(10));
    EXPECT_EQ(Status::SourceWithoutInput, composition->getOutputBounds(frame, bounds).getType());
    expectBounds(bounds, 0, 0, 0, 0); // the later source did not count

    DmSourceNode::MediaInput* bare =
        DmSourceNode::MediaInput::create(0, 10, nullptr, DmString("24"), eDmMediaVideo, true);
    composition = compositionHolding(sourceWithPicture(10),
                                     DmSourceNode::create(bare, 0, 10, 0, true, false));
    EXPECT_EQ(Status::InputWithoutResolution,
              composition->getOutputBounds(frame, bounds).getType());
    expectBounds(bounds, 10, 0, 2, 0);

    // Outside their record range such sources are not looked at.
    EXPECT_TRUE(composition->getOutputBounds(Time(10, Rational(24, 1)), bounds));
}

TEST(OutputBounds, NoDataLeavesTheBoundsUntouched) {
    const auto composition = boundsComposition("");
    Bounds bounds(1, 2, 3, 4);
    EXPECT_EQ(Status::NoData, composition->getOutputBounds(Time(), bounds).getType());
    expectBounds(bounds, 1, 2, 3, 4);
}

} // namespace
} // namespace ZEM_0_81::test
