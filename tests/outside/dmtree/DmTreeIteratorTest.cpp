// The pre-order walk and the visitor interface.

#include "DmTestTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

/// Records each call as "operation:name".
class Recorder : public DmTreeVisitor {
public:
    Recorder() : DmTreeVisitor("Recorder") {}

    void visitCompositionNode(DmCompositionNode* n) override { add("composition", n); }
    void visitTrackNode(DmTrackNode* n) override { add("track", n); }
    void visitLayerNode(DmLayerNode* n) override { add("layer", n); }
    void visitCutNode(DmCutNode* n) override { add("cut", n); }
    void visitSourceNode(DmSourceNode* n) override { add("source", n); }
    void visitContainerNode(DmContainerNode* n) override { add("container", n); }
    void visitGapNode(DmGapNode* n) override { add("gap", n); }
    void endCompositionNode(DmCompositionNode* n) override { add("/composition", n); }
    void endTrackNode(DmTrackNode* n) override { add("/track", n); }
    void endLayerNode(DmLayerNode* n) override { add("/layer", n); }

    std::vector<std::string> calls;

private:
    void add(const char* what, DmTreeNode* node) {
        calls.push_back(std::string(what) + ":" + DmStr2CStr(node->getName()).c_str());
    }
};

/// Defines only what every visitor must define; the rest keep the library's bodies.
class Minimal : public DmTreeVisitor {
public:
    Minimal() : DmTreeVisitor("Minimal") {}
    void visitSourceNode(DmSourceNode*) override { ++count; }
    void visitGapNode(DmGapNode*) override { ++count; }
    void endCompositionNode(DmCompositionNode*) override { ++count; }
    void endTrackNode(DmTrackNode*) override { ++count; }
    void endLayerNode(DmLayerNode*) override { ++count; }
    int count = 0;
};

template <class T> T* named(T* node, const char* name) {
    node->setName(name);
    return node;
}

/// root > reel > C > T > [L1 > [s1, cut, g1, box > [g2]], L2 > [s2]], and a second reel > C2.
CoSharedPtr<DmRoot> makeWalkTree() {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    auto* reel = DmReelNode::create();
    root->addReel(reel);
    auto* comp = DmCompositionNode::create("C", "24", nullptr);
    reel->addComposition(comp);
    auto* track = named(DmTrackNode::create(0, eDmMediaVideo), "T");
    comp->addChild(track);
    auto* first = named(DmLayerNode::create(0, eDmMediaVideo, 0, true), "L1");
    track->addChild(first);
    first->addChild(named(DmSourceNode::create(nullptr, 0, 1, 0, true, false), "s1"));
    first->addChild(named(DmCutNode::create(eDmMediaVideo), "cut"));
    first->addChild(DmGapNode::create(1, 1, eDmMediaVideo, "g1"));
    auto* box = named(DmContainerNode::create(), "box");
    box->addChild(DmGapNode::create(2, 1, eDmMediaVideo, "g2"));
    first->addChild(box);
    auto* second = named(DmLayerNode::create(1, eDmMediaVideo, 0, false), "L2");
    second->addChild(named(DmSourceNode::create(nullptr, 0, 1, 0, true, false), "s2"));
    track->addChild(second);
    auto* otherReel = DmReelNode::create();
    otherReel->addComposition(DmCompositionNode::create("C2", "25", nullptr));
    root->addReel(otherReel);
    return root;
}

TEST(DmPreIt, VisitsInPreOrderAndEndsEachSubtree) {
    const CoSharedPtr<DmRoot> root = makeWalkTree();
    Recorder recorder;
    DmPreIt(root.get(), &recorder).traverse();
    const std::vector<std::string> expected = {
        "composition:C", "track:T",        "layer:L1",       "source:s1",
        "cut:cut",       "gap:g1",         "container:box",  "gap:g2",
        "/layer:L1",     "layer:L2",       "source:s2",      "/layer:L2",
        "/track:T",      "/composition:C", "composition:C2", "/composition:C2"};
    EXPECT_EQ(recorder.calls, expected);
}

TEST(DmPreIt, WalksOnlyTheSubtreeOfItsStart) {
    const CoSharedPtr<DmRoot> root = makeWalkTree();
    DmTreeNode* second = root->getChild(0)->getChild(0)->getChild(0)->getChild(1);
    Recorder recorder;
    DmPreIt(second, &recorder).traverse();
    const std::vector<std::string> expected = {"layer:L2", "source:s2", "/layer:L2"};
    EXPECT_EQ(recorder.calls, expected);

    // A lone segment is visited by its own kind, without end operation.
    CoSharedPtr<DmCutNode> cut = named(DmCutNode::create(eDmMediaAudio), "x");
    Recorder single;
    DmPreIt(cut.get(), &single).traverse();
    EXPECT_EQ(single.calls, std::vector<std::string>{"cut:x"});
}

TEST(DmPreIt, NodesWithoutAnOverrideAreWalkedThrough) {
    const CoSharedPtr<DmRoot> root = makeWalkTree();
    Minimal minimal;
    EXPECT_STREQ(minimal.getVisitorName(), "Minimal");
    DmPreIt(root.get(), &minimal).traverse();
    // s1, g1, g2, s2, two layer ends, one track end, two composition ends.
    EXPECT_EQ(minimal.count, 9);

    Minimal idle;
    DmPreIt(nullptr, &idle).traverse();
    DmPreIt(root.get(), nullptr).traverse();
    EXPECT_EQ(idle.count, 0);
}

TEST(DmPreIt, WalksTheWholeTestTree) {
    // Every node of the tree used by the JSON tests is reached exactly once.
    const CoSharedPtr<DmRoot> root = DmTest::makeFullTree();
    Recorder recorder;
    DmPreIt(root.get(), &recorder).traverse();
    std::size_t nodes = 0;
    for (const DmPropertySet* object : DmTest::collectObjects(root.get()))
        nodes += dynamic_cast<const DmTreeNode*>(object) ? 1 : 0;
    std::size_t ends = 0;
    for (const auto& call : recorder.calls)
        ends += call[0] == '/' ? 1 : 0;
    // Root and reel have no visit; composition, track and two layers have an end.
    EXPECT_EQ(recorder.calls.size() - ends, nodes - 2);
    EXPECT_EQ(ends, 4u);
}

} // namespace
