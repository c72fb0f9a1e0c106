#include "rapidotio/DocumentWriter.h"

#include "composition/JsonException.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/GapNode.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/StackNode.h"
#include "rapidotio/TimelineNode.h"
#include "rapidotio/TrackNode.h"

#include "tests/rapidotio/OtioTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>

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
