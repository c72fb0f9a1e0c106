// Trees far deeper than any call stack holds, as a host may build them through
// the edit-tree API: copied, walked, released and read back from edit-tree JSON
// level by level.

#include "outside/dmtree/DmJsonImporter.h"
#include "outside/dmtree/DmTree.h"
#include "outside/dmtree/DmTreeJsonBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kLevels = 1000000;

int gapDeaths = 0;

/// A gap that counts its own destruction, to see that a whole chain is freed.
class MortalGap : public DmGapNode {
public:
    MortalGap() : DmGapNode(0.0, 1.0, eDmMediaVideo) {}
    ~MortalGap() override { ++gapDeaths; }

protected:
    DmTreeNode* copyNode() const override { return new MortalGap(*this); }
};

/// Tracks the depth of nested tracks and layers through their visit and end
/// operations, and checks that each end closes the innermost open node.
class DepthGauge : public DmTreeVisitor {
public:
    DepthGauge() : DmTreeVisitor("DepthGauge") {}

    void visitCompositionNode(DmCompositionNode*) override { open(); }
    void visitTrackNode(DmTrackNode*) override { open(); }
    void visitLayerNode(DmLayerNode*) override { open(); }
    void visitSourceNode(DmSourceNode*) override {}
    void visitGapNode(DmGapNode* gap) override {
        ++gaps;
        gapDepth = depth;
        lastGap = gap;
    }
    void endCompositionNode(DmCompositionNode*) override { close(); }
    void endTrackNode(DmTrackNode*) override { close(); }
    void endLayerNode(DmLayerNode*) override { close(); }

    int depth = 0, maxDepth = 0, gaps = 0, gapDepth = -1, unbalanced = 0;
    DmGapNode* lastGap = nullptr;

private:
    void open() { maxDepth = std::max(maxDepth, ++depth); }
    void close() {
        if (--depth < 0)
            ++unbalanced;
    }
};

/// root > reel > composition > (track > layer) repeated until `levels` nodes
/// nest below the composition, with a counting gap at the bottom.
CoSharedPtr<DmRoot> deepTree(int levels) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    DmCompositionNode* composition = DmCompositionNode::create("deep", "24", nullptr);
    reel->addComposition(composition);
    DmTreeNode* bottom = composition;
    for (int level = 0; level < levels; ++level) {
        DmTreeNode* next = level % 2 == 0
                               ? static_cast<DmTreeNode*>(DmTrackNode::create(level, eDmMediaVideo))
                               : DmLayerNode::create(level, eDmMediaVideo, 0, level == 1);
        bottom->addChild(next);
        bottom = next;
    }
    bottom->addChild(new MortalGap());
    return root;
}

DepthGauge walk(DmTreeNode* start) {
    DepthGauge gauge;
    DmPreIt(start, &gauge).traverse();
    return gauge;
}

/// How many nodes a tree holds and how many levels it has (a lone node has one),
/// counted with a stack of its own.
struct Shape {
    std::size_t nodes = 0;
    std::size_t levels = 0;
};

Shape shapeOf(const DmTreeNode* top) {
    Shape shape;
    std::vector<std::pair<const DmTreeNode*, std::size_t>> pending{{top, 1}};
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        ++shape.nodes;
        shape.levels = std::max(shape.levels, level);
        for (std::uint32_t i = 0; i < node->getNbChildren(); ++i)
            pending.emplace_back(node->getChild(i), level + 1);
    }
    return shape;
}

/// A root over `levels` - 1 nested containers; every hundredth container also
/// holds a gap before the next container, so that children are not all first.
CoSharedPtr<DmRoot> nestedContainers(int levels) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    DmTreeNode* at = root.get();
    for (int level = 2; level <= levels; ++level) {
        if (level % 100 == 0)
            at->addChild(DmGapNode::create(0.0, 1.0, eDmMediaVideo, DmString()));
        DmContainerNode* box = DmContainerNode::create();
        at->addChild(box);
        at = box;
    }
    return root;
}

/// The edit-tree JSON of nestedContainers(levels), written out as the builder
/// writes it.
std::string nestedContainersJson(int levels) {
    std::string text = R"({"format":"KRdmtree-json","version":1,"tree":)"
                       R"({"kind":"root","name":"","children":[)";
    const std::string gap = R"({"kind":"gap","name":"","recIn":0.0,"recLength":1.0,)"
                            R"("segmentId":"","mediaType":1,"effects":[],"children":[]},)";
    for (int level = 2; level <= levels; ++level) {
        if (level % 100 == 0)
            text += gap;
        text += R"({"kind":"container","name":"","children":[)";
    }
    for (int level = 2; level <= levels; ++level)
        text += "]}";
    return text + "]}}";
}

} // namespace

TEST(DmDeepTree, AMillionLevelsAreCopiedWalkedAndReleased) {
    gapDeaths = 0;
    CoSharedPtr<DmRoot> original = deepTree(kLevels);

    const DepthGauge walked = walk(original.get());
    EXPECT_EQ(walked.maxDepth, kLevels + 1); // the composition and every level
    EXPECT_EQ(walked.depth, 0);
    EXPECT_EQ(walked.unbalanced, 0);
    EXPECT_EQ(walked.gaps, 1);
    EXPECT_EQ(walked.gapDepth, kLevels + 1);

    CoSharedPtr<DmPropertySet> copy = original->clone();
    auto* copiedRoot = dynamic_cast<DmRoot*>(copy.get());
    ASSERT_NE(copiedRoot, nullptr);
    const DepthGauge copied = walk(copiedRoot);
    EXPECT_EQ(copied.maxDepth, kLevels + 1);
    EXPECT_EQ(copied.gaps, 1);
    EXPECT_EQ(copied.gapDepth, kLevels + 1);
    // The copy shares nothing: its bottom gap is a gap of its own, of the
    // original's kind.
    EXPECT_NE(copied.lastGap, walked.lastGap);
    EXPECT_NE(dynamic_cast<MortalGap*>(copied.lastGap), nullptr);

    original = nullptr;
    EXPECT_EQ(gapDeaths, 1);
    EXPECT_EQ(walk(copiedRoot).gapDepth, kLevels + 1); // the copy lives on
    copy = nullptr;
    EXPECT_EQ(gapDeaths, 2);
}

TEST(DmDeepTree, ASubtreeHeldElsewhereOutlivesItsParent) {
    gapDeaths = 0;
    CoSharedPtr<DmRoot> root = deepTree(kLevels);
    DmTreeNode* composition = root->getChild(0)->getChild(0);
    // Somebody else holds the deep chain below the composition.
    const CoSharedPtr<DmTreeNode> chain(composition->getChild(0));
    root = nullptr;
    EXPECT_EQ(gapDeaths, 0);

    const DepthGauge walked = walk(chain.get());
    EXPECT_EQ(walked.maxDepth, kLevels);
    EXPECT_EQ(walked.gaps, 1);
}

TEST(DmDeepTree, EveryNodeIsReleasedWhateverTheShape) {
    // A wide and deep tree: every level also holds a gap of its own.
    gapDeaths = 0;
    constexpr int kWideLevels = 100000;
    {
        CoSharedPtr<DmRoot> root = DmRoot::create();
        DmTreeNode* bottom = root.get();
        for (int level = 0; level < kWideLevels; ++level) {
            DmContainerNode* next = DmContainerNode::create();
            bottom->addChild(new MortalGap());
            bottom->addChild(next);
            bottom->addChild(new MortalGap());
            bottom = next;
        }
        const CoSharedPtr<DmPropertySet> copy = root->clone();
        EXPECT_EQ(gapDeaths, 0);
    }
    EXPECT_EQ(gapDeaths, 4 * kWideLevels);
}

TEST(DmDeepTree, EditTreeJsonOfAnyDepthReadsBackWhole) {
    // The hand-written text is the builder's own for a tree it can write.
    {
        const CoSharedPtr<DmRoot> shallow = nestedContainers(250);
        DmString written;
        ASSERT_TRUE(DmTreeJsonBuilder::generateStr(shallow.get(), written).ok());
        // Compared whole, not printed: the text is some ten kilobytes.
        EXPECT_TRUE(written.str() == nestedContainersJson(250));
    }

    constexpr int kJsonLevels = 200000;
    const CoSharedPtr<DmRoot> built = nestedContainers(kJsonLevels);
    const Shape expected = shapeOf(built.get());
    ASSERT_EQ(expected.levels, static_cast<std::size_t>(kJsonLevels));

    DmRoot* read = nullptr;
    const DmStatus status =
        DmJsonImporter::importRootFromStr(nestedContainersJson(kJsonLevels).c_str(), read);
    ASSERT_TRUE(status.ok()) << DmStr2CStr(status.getMessage()).c_str();
    const CoSharedPtr<DmRoot> back(read);
    const Shape shape = shapeOf(back.get());
    EXPECT_EQ(shape.nodes, expected.nodes);
    EXPECT_EQ(shape.levels, expected.levels);
    // The gaps are where they were: before the container, on every hundredth level.
    const DmTreeNode* at = back.get();
    for (int level = 2; level <= 1000; ++level) {
        ASSERT_EQ(at->getNbChildren(), level % 100 == 0 ? 2u : 1u) << level;
        if (level % 100 == 0) {
            EXPECT_NE(dynamic_cast<const DmGapNode*>(at->getChild(0)), nullptr) << level;
        }
        at = at->getChild(at->getNbChildren() - 1);
        ASSERT_NE(dynamic_cast<const DmContainerNode*>(at), nullptr) << level;
    }
}
