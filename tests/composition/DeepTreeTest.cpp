// A composition holding an edit tree a million levels deep, as a host may build
// it: copied in, cloned, walked by every query and released, without the depth
// ever reaching the call stack.

#include "composition/Composition.h"
#include "interchange/TimelineView.h"
#include "outside/dmtree/DmTree.h"

#include <gtest/gtest.h>

using namespace ZEM_0_81;

namespace {

constexpr int kLevels = 1000000;

/// root > reel > composition > (track > layer) repeated until `levels` nodes
/// nest below the composition, with a gap of 10 frames at the bottom.
CoSharedPtr<DmRoot> deepTree(int levels) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    DmCompositionNode* composition = DmCompositionNode::create("deep", "24", nullptr);
    composition->setCompLength(10);
    reel->addComposition(composition);
    DmTreeNode* bottom = composition;
    for (int level = 0; level < levels; ++level) {
        DmTreeNode* next = level % 2 == 0
                               ? static_cast<DmTreeNode*>(DmTrackNode::create(level, eDmMediaVideo))
                               : DmLayerNode::create(level, eDmMediaVideo, 0, level == 1);
        bottom->addChild(next);
        bottom = next;
    }
    bottom->addChild(DmGapNode::create(0, 10, eDmMediaVideo, "bottom"));
    return root;
}

/// The depth of the deepest gap below the walk's start, counting tracks and layers.
class GapDepth : public DmTreeVisitor {
public:
    GapDepth() : DmTreeVisitor("GapDepth") {}
    void visitTrackNode(DmTrackNode*) override { ++depth; }
    void visitLayerNode(DmLayerNode*) override { ++depth; }
    void visitSourceNode(DmSourceNode*) override {}
    void visitGapNode(DmGapNode*) override { found = depth; }
    void endCompositionNode(DmCompositionNode*) override {}
    void endTrackNode(DmTrackNode*) override { --depth; }
    void endLayerNode(DmLayerNode*) override { --depth; }
    int depth = 0;
    int found = -1;
};

int gapDepthOf(const Composition& composition) {
    Status status;
    const DmRoot& tree = composition.getTree(status);
    EXPECT_TRUE(status);
    GapDepth gauge;
    DmPreIt(const_cast<DmRoot*>(&tree), &gauge).traverse(); // the walk only reads
    EXPECT_EQ(gauge.depth, 0);
    return gauge.found;
}

} // namespace

TEST(DeepTree, AMillionLevelsGoThroughACompositionAndItsQueries) {
    SharedPtr<Composition> composition;
    {
        const CoSharedPtr<DmRoot> tree = deepTree(kLevels);
        composition = Composition::create(String("deep-1"), *tree); // a copy
    }
    EXPECT_EQ(gapDepthOf(*composition), kLevels);

    Time duration;
    ASSERT_TRUE(composition->getDuration(duration));
    EXPECT_EQ(duration.getNbTicks(), 10);
    Bounds bounds;
    EXPECT_TRUE(composition->getOutputBounds(Time(0, Rational(24, 1)), bounds)); // walks a clone
    TimelineView view;
    EXPECT_TRUE(TimelineView::build(*composition, view));

    // The product OTIO export has no place for tracks nested in layers: it
    // writes the outer timeline and leaves the rest out, without failing.
    String otio;
    EXPECT_TRUE(composition->getJson(Composition::JsonType::Otio, otio));
    EXPECT_NE(std::string(otio.c_str()).find("\"Timeline.1\""), std::string::npos);

    const SharedPtr<Composition> copy = composition->clone();
    composition = SharedPtr<Composition>();
    EXPECT_EQ(gapDepthOf(*copy), kLevels);
}
