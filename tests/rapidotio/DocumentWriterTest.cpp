#include "rapidotio/DocumentWriter.h"

#include "composition/JsonException.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/CompNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/PaintNode.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

#include "tests/rapidotio/OtioTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace ZEM_0_81::rapidotio {
namespace {

std::string written(const SharedPtr<Node>& root) {
    DmString out("untouched");
    writeDocument({root}, out);
    return out.str();
}

template <class T> T* add(Node& owner, T* child) {
    owner.addChild(SharedPtr<Node>(child));
    return child;
}

TEST(DocumentWriter, TimelineIsTheTopLevelObject) {
    SharedPtr<Node> root(new RootNode(""));
    auto* timeline = add(*root, new TimelineNode("Cut \"1\""));
    timeline->global_start_time = RationalTime{86400, 24};
    timeline->version = "0.79";
    auto* stack = add(*timeline, new StackNode("stack name is not written"));
    auto* video = add(*stack, new TrackNode("V1"));
    video->kind = Video;
    auto* gap = add(*video, new GapNode("g"));
    gap->source_range = TimeRange{{0, 24}, {12, 24}};
    add(*stack, new TrackNode("A\\1\n"))->kind = static_cast<TrackKind>(7);

    EXPECT_EQ(R"({"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)"
              R"({"name":"V1","OTIO_SCHEMA":"Track.1","children":[)"
              R"({"name":"g","OTIO_SCHEMA":"Gap.1","effects":[],"source_range":{"start_time":{)"
              R"("OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":24.0},"duration":{)"
              R"("OTIO_SCHEMA":"RationalTime.1","value":12.0,"rate":24.0},)"
              R"("OTIO_SCHEMA":"TimeRange.1"},"metadata":{}}],"kind":"Video"},)"
              R"({"name":"A\\1\n","OTIO_SCHEMA":"Track.1","children":[]}]},)"
              R"("name":"Cut \"1\"","OTIO_SCHEMA":"Timeline.1","metadata":{"zem":{)"
              R"("ZEM_SCHEMA":"TimelineMetadata.1","version":"0.81"}},"global_start_time":{)"
              R"("OTIO_SCHEMA":"RationalTime.1","value":86400.0,"rate":24.0}})",
              written(root));
    EXPECT_EQ("Video", std::string(TrackNode::kindText(Video)));
    EXPECT_EQ("Audio", std::string(TrackNode::kindText(Audio)));
    EXPECT_EQ("", std::string(TrackNode::kindText(None)));
}

TEST(DocumentWriter, EmptyTimelineAndDegenerateLists) {
    SharedPtr<Node> root(new RootNode(""));
    add(*root, new TimelineNode(""));
    EXPECT_EQ(R"({"name":"","OTIO_SCHEMA":"Timeline.1","metadata":{"zem":{)"
              R"("ZEM_SCHEMA":"TimelineMetadata.1","version":"0.81"}},)"
              R"("global_start_time":{"OTIO_SCHEMA":"RationalTime.1"}})",
              written(root));

    DmString out("untouched");
    writeDocument({}, out);
    EXPECT_EQ("untouched", out.str());
    writeDocument({SharedPtr<Node>()}, out);
    EXPECT_EQ("untouched", out.str());
    EXPECT_EQ("{}", written(SharedPtr<Node>(new RootNode(""))));

    // Nodes linked where their owner cannot hold them write nothing.
    SharedPtr<Node> odd(new RootNode(""));
    add(*odd, new ClipNode("clip under root"));
    auto* track = add(*odd, new TrackNode("t"));
    add(*track, new TimelineNode("timeline under track"));
    add(*track, new StackNode("stack under track"));
    EXPECT_EQ("{}", written(odd));
}

TEST(DocumentWriter, NonFiniteNumbersFailTheWholeDocument) {
    for (int which = 0; which < 3; ++which) {
        SharedPtr<Node> root(new RootNode(""));
        auto* timeline = add(*root, new TimelineNode("t"));
        auto* track = add(*add(*timeline, new StackNode("")), new TrackNode(""));
        auto* clip = add(*track, new ClipNode("c"));
        if (which == 0)
            clip->frame_rate = NAN;
        else if (which == 1)
            clip->source_range.duration = RationalTime{INFINITY, 24};
        else
            timeline->global_start_time.rate = -INFINITY;
        DmString out("untouched");
        try {
            writeDocument({root}, out);
            ADD_FAILURE() << "no exception for case " << which;
        } catch (const Json::Exception& e) {
            EXPECT_EQ(Status::JsonConversionFailed, e.status.getType());
            EXPECT_STRNE("", e.what());
        }
        EXPECT_EQ("untouched", out.str());
    }
}

TEST(DocumentWriter, NodesWhereTheirOwnerCannotHoldThemWriteNothingAndCannotFail) {
    // A subtree that is not written is not looked at: a number JSON cannot hold
    // there does not fail the document.
    SharedPtr<Node> root(new RootNode(""));
    auto* clip = add(*root, new ClipNode("clip under root"));
    clip->frame_rate = NAN;
    add(*clip, new CompNode("comp"))->opacity = INFINITY;
    auto* timeline = add(*root, new TimelineNode("t"));
    auto* track = add(*add(*timeline, new StackNode("")), new TrackNode("V"));
    add(*track, new TimelineNode("timeline in a track"))->global_start_time = {NAN, INFINITY};
    EXPECT_EQ(R"({"tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"name":"V","OTIO_SCHEMA":)"
              R"("Track.1","children":[]}]},"name":"t","OTIO_SCHEMA":"Timeline.1","metadata":)"
              R"({"zem":{"ZEM_SCHEMA":"TimelineMetadata.1","version":"0.81"}},)"
              R"("global_start_time":{"OTIO_SCHEMA":"RationalTime.1"}})",
              written(root));
}

TEST(DocumentWriter, LayersAppearOnlyWhenANestedEffectIsWritten) {
    // Children that write nothing into the array leave "layers" out; a child that
    // only hands on to its own children (a root) counts by what they write.
    const auto effectWith = [](auto addChildren) {
        CompNode comp("c");
        addChildren(comp);
        return test::elementText(comp);
    };
    const std::string bare = R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"","opacity":0.0,)"
                             R"("visible":true,"name":"c","effect_name":"Comp"})";
    EXPECT_EQ(bare, effectWith([](Node&) {}));
    EXPECT_EQ(bare, effectWith([](Node& comp) {
                  add(comp, new TimelineNode("no place here"));
                  add(comp, new StackNode("nor here"));
                  add(*add(comp, new RootNode("")), new StackNode("nor below a root"));
              }));

    const std::string nested =
        effectWith([](Node& comp) { add(*add(comp, new RootNode("")), new CompNode("inner")); });
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Comp.1","blend_mode":"","opacity":0.0,"visible":true,)"
              R"("name":"c","effect_name":"Comp","layers":[{"OTIO_SCHEMA":"Comp.1",)"
              R"("blend_mode":"","opacity":0.0,"visible":true,"name":"inner",)"
              R"("effect_name":"Comp"}]})",
              nested);

    // Strokes under an annotation: the layer members follow the nested range.
    AnnotationNode note("n");
    auto* stroke = add(note, new PaintNode("s", {Point{0.5, 0.25, 2}}, {1, 0, 0, 1}, "solid",
                                           "round", true, false, 1, 2));
    stroke->layer_range = TimeRange{{0, 24}, {12, 24}};
    EXPECT_EQ(R"({"OTIO_SCHEMA":"Annotation.1","visible":true,"name":"n",)"
              R"("effect_name":"Annotation","layers":[{"OTIO_SCHEMA":"Paint.1","points":[{)"
              R"("OTIO_SCHEMA":"Point.1","x":0.5,"y":0.25,"width":2.0}],"rgba":[1.0,0.0,0.0,)"
              R"(1.0],"type":"solid","brush":"round","visible":true,"name":"s","effect_name":)"
              R"("Paint","layer_range":{"start_time":{"OTIO_SCHEMA":"RationalTime.1","value":)"
              R"(0.0,"rate":24.0},"duration":{"OTIO_SCHEMA":"RationalTime.1","value":12.0,)"
              R"("rate":24.0},"OTIO_SCHEMA":"TimeRange.1"},"hold":true,"ghost":false,)"
              R"("ghost_before":1,"ghost_after":2}]})",
              test::elementText(note));
}

TEST(DocumentWriter, VeryDeepTreesAreWrittenWithoutExhaustingTheStack) {
    // A host may nest tracks (edit-tree layers) as deep as it likes; each level
    // is written by the writer's own stack, not by a call per level.
    const std::size_t depth = 300000;
    SharedPtr<Node> root(new RootNode(""));
    Node* at = add(*add(*root, new TimelineNode("deep")), new StackNode(""));
    for (std::size_t i = 0; i < depth; ++i)
        at = add(*at, new TrackNode(i % 2 ? "a" : "b"));
    add(*at, new GapNode("bottom"));

    const std::string text = written(root);
    const std::string trackHead = R"({"name":"b","OTIO_SCHEMA":"Track.1","children":[)";
    EXPECT_EQ(0u, text.find(R"({"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)" + trackHead));
    EXPECT_NE(std::string::npos, text.find(R"({"name":"bottom","OTIO_SCHEMA":"Gap.1")"));
    const std::string tail = R"(]}]},"name":"deep","OTIO_SCHEMA":"Timeline.1",)";
    EXPECT_NE(std::string::npos, text.find(tail));
    std::size_t tracks = 0;
    for (std::size_t pos = text.find("Track.1"); pos != std::string::npos;
         pos = text.find("Track.1", pos + 1))
        ++tracks;
    EXPECT_EQ(depth, tracks);
    rapidjson::Document back;
    back.Parse<rapidjson::kParseIterativeFlag>(text.c_str());
    EXPECT_FALSE(back.HasParseError());
}

TEST(DocumentWriter, ReadDocumentWritesBackInWrittenForm) {
    const std::string text = ZEM_0_81::test::readTestData("rapidotio/full_timeline.json");
    auto doc = test::parse(text);
    SharedPtr<Node> root(new RootNode(*doc, nullptr));
    NodeVisitor reader;
    root->traverse(reader);
    const std::string first = written(root);
    std::string expected = ZEM_0_81::test::readTestData("rapidotio/full_timeline_written.json");
    while (!expected.empty() && expected.back() == '\n')
        expected.pop_back();
    EXPECT_EQ(expected, first);

    // What was written reads back into the same document.
    auto again = test::parse(first);
    SharedPtr<Node> reread(new RootNode(*again, nullptr));
    reread->traverse(reader);
    EXPECT_EQ(first, written(reread));
}

} // namespace
} // namespace ZEM_0_81::rapidotio
