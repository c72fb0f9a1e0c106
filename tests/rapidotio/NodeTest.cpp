#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/NodeFactory.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

namespace ZEM_0_81::rapidotio {
namespace {

using test::parse;
using test::RecordingVisitor;

std::vector<std::string> walk(Node& root) {
    RecordingVisitor visitor;
    root.traverse(visitor);
    return visitor.events;
}

TEST(NodeFactory, DispatchesEveryTypeWordToItsClass) {
    auto doc = parse(R"([{"OTIO_SCHEMA":"Timeline.1"},{"OTIO_SCHEMA":"Stack.1"},
        {"OTIO_SCHEMA":"Track.1"},{"OTIO_SCHEMA":"Clip.1"},{"OTIO_SCHEMA":"Comp.1"},
        {"OTIO_SCHEMA":"AngularMask.1"},{"OTIO_SCHEMA":"CDL.1"},{"OTIO_SCHEMA":"Paint.1"},
        {"OTIO_SCHEMA":"Text.1"},{"OTIO_SCHEMA":"Annotation.1"},{"OTIO_SCHEMA":"Gap.1"}])");
    const char* classes[] = {"TimelineNode", "StackNode",       "TrackNode", "ClipNode",
                             "CompNode",     "AngularMaskNode", "CDLNode",   "PaintNode",
                             "TextNode",     "AnnotationNode",  "GapNode"};
    TrackNode parent("owner");
    for (rapidjson::SizeType i = 0; i < doc->Size(); ++i) {
        SharedPtr<Node> node = createNode((*doc)[i], &parent);
        ASSERT_TRUE(node) << classes[i];
        EXPECT_NE(nullptr, std::strstr(typeid(*node).name(), classes[i])) << typeid(*node).name();
        EXPECT_EQ(&parent, node->parent);
        EXPECT_EQ(&(*doc)[i], node->json);
    }
}

TEST(NodeFactory, RejectsUnknownUnversionedAndOtherVersions) {
    for (const char* text :
         {R"({"OTIO_SCHEMA":"Clip.2"})", R"({"OTIO_SCHEMA":"Clip.10"})",
          R"({"OTIO_SCHEMA":"Clip.1.0"})", R"({"OTIO_SCHEMA":"Clip"})", R"({"OTIO_SCHEMA":""})",
          R"({"name":"no schema"})", R"({"OTIO_SCHEMA":1})", R"({"OTIO_SCHEMA":"clip.1"})",
          R"({"OTIO_SCHEMA":"Transition.1"})", R"({"OTIO_SCHEMA":"LayerNode.1"})", "[]", "null",
          "12"}) {
        auto doc = parse(text);
        EXPECT_FALSE(createNode(*doc, nullptr)) << text;
    }
}

TEST(Node, TraversalVisitsDepthFirstAndParsesChildrenOnArrival) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Timeline.1","name":"tl","tracks":{"OTIO_SCHEMA":"Stack.1",
        "name":"st","children":[{"OTIO_SCHEMA":"Track.1","name":"tr","children":[
          {"OTIO_SCHEMA":"Clip.1","name":"c","effects":[{"OTIO_SCHEMA":"Comp.1","name":"e"}]},
          {"OTIO_SCHEMA":"Wipe.1","name":"w"}, 17,
          {"OTIO_SCHEMA":"Gap.1","name":"g"}]}]}})");
    RootNode root(*doc, nullptr);
    EXPECT_TRUE(root.children.empty()) << "children appear at the first traversal";

    EXPECT_EQ((std::vector<std::string>{"visitTimeline:tl", "visitStack:st", "visitTrack:tr",
                                        "visitClip:c", "visitEffect:e", "leaveEffect:e",
                                        "leaveClip:c", "visitGap:g", "leaveGap:g", "leaveTrack:tr",
                                        "leaveStack:st", "leaveTimeline:tl"}),
              walk(root));

    // Unrecognised entries vanish without a gap; parents link back.
    Node* track = root.children[0]->children[0]->children[0].get();
    ASSERT_EQ(2u, track->children.size());
    EXPECT_EQ("c", track->children[0]->name);
    EXPECT_EQ("g", track->children[1]->name);
    EXPECT_EQ(track, track->children[1]->parent);

    // A second walk reuses the children already read.
    Node* clip = track->children[0].get();
    walk(root);
    EXPECT_EQ(clip, track->children[0].get());
    EXPECT_EQ(1u, clip->children.size());
}

TEST(Node, TraversalOnceVisitsTheSameAndLeavesNothingBehind) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Timeline.1","name":"tl","tracks":{"OTIO_SCHEMA":"Stack.1",
        "name":"st","children":[{"OTIO_SCHEMA":"Track.1","name":"tr","children":[
          {"OTIO_SCHEMA":"Clip.1","name":"c","effects":[{"OTIO_SCHEMA":"Annotation.1",
            "name":"a","layers":[{"OTIO_SCHEMA":"Paint.1","name":"p"}]}]},
          {"OTIO_SCHEMA":"Gap.1","name":"g"}]}]}})");
    RootNode kept(*doc, nullptr);
    const std::vector<std::string> events = walk(kept);

    // A visitor that checks, on each visit and leave, that every node left
    // before is gone: its parent's entry for it is null, and nothing else holds
    // it.
    struct Once : RecordingVisitor {
        void visitGap(Node* n) override {
            RecordingVisitor::visitGap(n);
            ASSERT_EQ(2u, n->parent->children.size());
            EXPECT_FALSE(n->parent->children[0]) << "the clip before the gap is gone";
            EXPECT_EQ(n, n->parent->children[1].get());
        }
        void leaveClip(Node* n) override {
            RecordingVisitor::leaveClip(n);
            ASSERT_EQ(1u, n->children.size());
            EXPECT_FALSE(n->children[0]) << "the annotation and its layers are gone";
        }
        void leaveTrack(Node* n) override {
            RecordingVisitor::leaveTrack(n);
            ASSERT_EQ(2u, n->children.size());
            EXPECT_FALSE(n->children[0]) << "the clip is gone";
            EXPECT_FALSE(n->children[1]) << "the gap is gone";
        }
    } once;
    RootNode root(*doc, nullptr);
    root.traverseOnce(once);
    EXPECT_EQ(events, once.events);
    EXPECT_TRUE(root.children.empty());
}

TEST(Node, DocumentMayWrapTheTimelineOrBeIt) {
    auto wrapped = parse(R"({"timeline":{"OTIO_SCHEMA":"Timeline.1","name":"t"}})");
    auto bare = parse(R"({"OTIO_SCHEMA":"Timeline.1","name":"t"})");
    auto notObject = parse(R"({"timeline":[1],"OTIO_SCHEMA":"Timeline.1","name":"outer"})");
    RootNode a(*wrapped, nullptr), b(*bare, nullptr), c(*notObject, nullptr);
    const std::vector<std::string> expected{"visitTimeline:t", "leaveTimeline:t"};
    EXPECT_EQ(expected, walk(a)) << "a timeline without tracks still visits and leaves";
    EXPECT_EQ(expected, walk(b));
    EXPECT_EQ((std::vector<std::string>{"visitTimeline:outer", "leaveTimeline:outer"}), walk(c));
    EXPECT_TRUE(a.children[0]->children.empty());
}

TEST(Node, NonObjectDocumentsReadAsEmpty) {
    for (const char* text : {"[]", "[{\"OTIO_SCHEMA\":\"Timeline.1\"}]", "\"x\"", "0", "null"}) {
        auto doc = parse(text);
        RootNode root(*doc, nullptr);
        EXPECT_TRUE(walk(root).empty()) << text;
        EXPECT_TRUE(root.children.empty()) << text;
        EXPECT_EQ("", root.name);
    }
}

TEST(Node, TimelineReadsTracksOnlyFromItsOneTracksObject) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Timeline.1","children":[{"OTIO_SCHEMA":"Stack.1"}],
        "tracks":[{"OTIO_SCHEMA":"Stack.1"}]})");
    TimelineNode timeline(*doc, nullptr);
    RecordingVisitor visitor;
    timeline.traverse(visitor);
    EXPECT_TRUE(timeline.children.empty());
    EXPECT_EQ(2u, visitor.events.size());
}

TEST(Node, TrackKindComesFromTheNearestTrack) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Track.1","kind":"audio","children":[
        {"OTIO_SCHEMA":"Clip.1","effects":[{"OTIO_SCHEMA":"Annotation.1","layers":[
          {"OTIO_SCHEMA":"Paint.1"}]}]}]})");
    SharedPtr<Node> track = createNode(*doc, nullptr);
    RecordingVisitor visitor;
    track->traverse(visitor);
    Node* paint = track->children[0]->children[0]->children[0].get();
    EXPECT_EQ(Audio, paint->trackKind());
    EXPECT_EQ(Audio, track->children[0]->children[0]->trackKind());

    // Built by name: nothing above, or tracks of kind None, give None.
    SharedPtr<Node> stack(new StackNode("s"));
    SharedPtr<Node> video(new TrackNode("v"));
    SharedPtr<Node> clip(new ClipNode("c"));
    stack->addChild(video);
    video->addChild(clip);
    EXPECT_EQ(None, clip->trackKind());
    static_cast<TrackNode*>(video.get())->kind = Video;
    EXPECT_EQ(Video, clip->trackKind());
    EXPECT_EQ(None, stack->trackKind());
    EXPECT_EQ(video.get(), clip->parent);
}

TEST(Node, NodesBuiltWithChildrenNeverParse) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Clip.1","name":"c","effects":[{"OTIO_SCHEMA":"Comp.1"}]})");
    ClipNode clip(*doc, nullptr);
    clip.addChild(SharedPtr<Node>(new CompNode("mine")));
    EXPECT_EQ((std::vector<std::string>{"visitClip:c", "visitEffect:mine", "leaveEffect:mine",
                                        "leaveClip:c"}),
              walk(clip));
    EXPECT_EQ(1u, clip.children.size());
}

TEST(Node, MalformedChildContainersAreSkipped) {
    auto doc = parse(R"({"OTIO_SCHEMA":"Stack.1","children":{"OTIO_SCHEMA":"Track.1"},
        "tracks":[[{"OTIO_SCHEMA":"Track.1"}]]})");
    StackNode stack(*doc, nullptr);
    EXPECT_EQ(2u, walk(stack).size());
    EXPECT_TRUE(stack.children.empty());

    GapNode byName("g");
    EXPECT_EQ(2u, walk(byName).size()) << "a node built by name reads nothing";
    EXPECT_TRUE(byName.json->IsNull());
}

TEST(Node, VeryDeepTreesWalkAndReleaseWithoutExhaustingTheStack) {
    struct Counter : NodeVisitor {
        std::size_t visits = 0, leaves = 0;
        void visitEffect(Node*) override { ++visits; }
        void leaveEffect(Node*) override { ++leaves; }
    } counter;
    const std::size_t depth = 300000;
    {
        SharedPtr<Node> top(new CompNode("0"));
        Node* last = top.get();
        for (std::size_t i = 1; i < depth; ++i) {
            SharedPtr<Node> next(new CompNode(std::to_string(i)));
            last->addChild(next);
            last = next.get();
        }
        top->traverse(counter);
        EXPECT_EQ(None, last->trackKind());
    }
    EXPECT_EQ(depth, counter.visits);
    EXPECT_EQ(depth, counter.leaves);
}

} // namespace
} // namespace ZEM_0_81::rapidotio
