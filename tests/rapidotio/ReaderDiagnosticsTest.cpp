// What the reader prints under KR_DEBUG_OTIO (suites ending in DebugOn run in a
// process of their own with the variable set) and that it prints nothing without.

#include "rapidotio/ClipNode.h"
#include "rapidotio/NodeFactory.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/TimeValues.h"

#include "tests/rapidotio/OtioTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::rapidotio {
namespace {

using test::parse;
using test::stderrOf;

/// Everything printed while a RootNode over `text` is built and walked.
std::string printedByReading(const std::string& text) {
    auto doc = parse(text);
    return stderrOf([&] {
        SharedPtr<Node> root(new RootNode(*doc, nullptr));
        NodeVisitor visitor;
        root->traverse(visitor);
    });
}

std::string printedByCreating(const std::string& text) {
    auto doc = parse(text);
    return stderrOf([&] { createNode(*doc, nullptr); });
}

TEST(ReaderDiagnostics, NothingIsPrintedWithoutTheSwitch) {
    ASSERT_FALSE(debugEnabled()) << "run without KR_DEBUG_OTIO";
    EXPECT_EQ("", printedByReading(ZEM_0_81::test::readTestData("rapidotio/full_timeline.json")));
    EXPECT_EQ("", printedByReading(R"({"OTIO_SCHEMA":"Clip.7","tracks":5})"));
    EXPECT_EQ("", printedByReading("[1,2,3]"));
}

TEST(ReaderDiagnosticsDebugOn, SchemaDispatchMessages) {
    ASSERT_TRUE(debugEnabled()) << "run with KR_DEBUG_OTIO set";
    EXPECT_EQ("Found OTIO_SCHEMA\nUnsupported schema version .2",
              printedByCreating(R"({"OTIO_SCHEMA":"Clip.2"})"));
    EXPECT_EQ("Found OTIO_SCHEMA\nUnsupported schema version .1.0",
              printedByCreating(R"({"OTIO_SCHEMA":"Clip.1.0"})"));
    EXPECT_EQ("Found OTIO_SCHEMA\nCould not determine schema version Clip\n",
              printedByCreating(R"({"OTIO_SCHEMA":"Clip"})"));
    EXPECT_EQ("Cannot find 'OTIO_SCHEMA'\nCould not determine schema version \n",
              printedByCreating(R"({"name":"x"})"));
    EXPECT_EQ("Expected 'OTIO_SCHEMA' to be String, found Number\n"
              "Could not determine schema version \n",
              printedByCreating(R"({"OTIO_SCHEMA":1})"));
    EXPECT_EQ("Found OTIO_SCHEMA\nUnhandled schema clip.1\n",
              printedByCreating(R"({"OTIO_SCHEMA":"clip.1"})"));
    EXPECT_EQ("Found OTIO_SCHEMA\nFound Annotation Annotation.1\n"
              "Found visible\nCannot find 'layer_range'\nCannot find 'effect_name'\n",
              printedByCreating(R"({"OTIO_SCHEMA":"Annotation.1","visible":true})"));
    EXPECT_EQ(
        "Found OTIO_SCHEMA\nFound AngularMark AngularMask.1\n"
        "Cannot find 'visible'\nCannot find 'layer_range'\nCannot find 'effect_name'\n"
        "Found pivot\nExpected 'angle_in_radians' to be Float, found Number\n",
        printedByCreating(R"({"OTIO_SCHEMA":"AngularMask.1","pivot":[1],"angle_in_radians":1})"));
}

TEST(ReaderDiagnosticsDebugOn, WholeDocumentInReadingOrder) {
    ASSERT_TRUE(debugEnabled());
    EXPECT_EQ("Cannot find 'timeline'\n"
              "Found OTIO_SCHEMA\n"
              "Found Timeline Timeline.1\n"
              "Cannot find 'global_start_time'\n"
              "Cannot find 'metadata'\n"
              "Found tracks\n"
              "Found OTIO_SCHEMA\n"
              "Found Stack Stack.1\n"
              "Found children\n"
              "Found OTIO_SCHEMA\n"
              "Found Track Track.1\n"
              "Found kind\n"
              "Found children\n"
              "Found OTIO_SCHEMA\n"
              "Found Gap Gap.1\n"
              "Found source_range\n"
              "Found start_time\n"
              "Expected 'rate' to be Double, found Number\n"
              "Found rate\n"
              "Found value\n"
              "Found duration\n"
              "Cannot find 'effects'\n"
              "Node '' has no children\n",
              printedByReading(R"({"OTIO_SCHEMA":"Timeline.1","name":"T","tracks":{
                  "OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","kind":"video",
                  "children":[{"OTIO_SCHEMA":"Gap.1","source_range":{
                  "start_time":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":0.0},
                  "duration":{"OTIO_SCHEMA":"TimeRange.1"}}}]}]}})"));

    EXPECT_EQ("Found timeline\n"
              "Found OTIO_SCHEMA\n"
              "Found Timeline Timeline.1\n"
              "Expected 'global_start_time' to be Object, found Number\n"
              "Found metadata\n"
              "Expected 'zem' to be Object, found Array\n"
              "Cannot find 'tracks'\n"
              "No tracks found in timeline\n",
              printedByReading(R"({"timeline":{"OTIO_SCHEMA":"Timeline.1",
                  "global_start_time":0,"metadata":{"zem":[]}}})"));

    EXPECT_EQ("Cannot find 'timeline'\n"
              "Cannot find 'OTIO_SCHEMA'\n"
              "Could not determine schema version \n",
              printedByReading("[]"));
}

TEST(ReaderDiagnosticsDebugOn, RationalTimeFallbacksEachReport) {
    ASSERT_TRUE(debugEnabled());
    auto doc = parse(R"([{"OTIO_SCHEMA":"RationalTime.1"},
        {"OTIO_SCHEMA":"RationalTime.1","rate":"24","value":"1"},{"rate":24.0}])");
    RationalTime time;
    EXPECT_EQ("Cannot find 'rate'\nCannot find 'rate'\nCannot find 'rate'\n"
              "Cannot find 'value'\nCannot find 'value'\n",
              stderrOf([&] { parseRationalTime((*doc)[0], time); }));
    EXPECT_EQ("Expected 'rate' to be Double, found String\n"
              "Expected 'rate' to be Int, found String\n"
              "Found rate\n"
              "Expected 'value' to be Double, found String\n"
              "Expected 'value' to be Int, found String\n",
              stderrOf([&] { parseRationalTime((*doc)[1], time); }));
    EXPECT_EQ("", stderrOf([&] { parseRationalTime((*doc)[2], time); }))
        << "the schema check is silent";
}

TEST(ReaderDiagnosticsDebugOn, ClipCountsAndLookupsInOrder) {
    ASSERT_TRUE(debugEnabled());
    auto doc = parse(R"({"OTIO_SCHEMA":"Clip.1","name":"c","media_reference":{"metadata":{
        "zem":{"bounds":{"center":[1.0],"size":[1,2,3]},"pixel_resolution":[1920,1080,1]}}},
        "metadata":{"zm":{"clip_uid":"u"},"zem":{}}})");
    EXPECT_EQ("Cannot find 'source_range'\n"
              "Found media_reference\n"
              "Cannot find 'available_range'\n"
              "Cannot find 'target_url'\n"
              "Found metadata\n"
              "Found zem\n"
              "Found bounds\n"
              "Found center\n"
              "Clip node 'c' has a bounds-center with 1 values, expected 2\n"
              "Found size\n"
              "Clip node 'c' has a bounds-size with 3 values, expected 2\n"
              "Found pixel_resolution\n"
              "Clip node 'c' has a pixel_resolution with 3 values, expected 2\n"
              "Cannot find 'data_type'\n"
              "Cannot find 'num_video_channels'\n"
              "Cannot find 'pixel_aspect'\n"
              "Cannot find 'frame_rate'\n"
              "Cannot find 'has_audio'\n"
              "Cannot find 'audio_sample_rate'\n"
              "Cannot find 'num_audio_channels'\n"
              "Cannot find 'video_codec'\n"
              "Cannot find 'audio_codec'\n"
              "Cannot find 'file_size_in_bytes'\n"
              "Cannot find 'extra_data'\n"
              "Cannot find 'zm'\n"
              "Found metadata\n"
              "Found zm\n"
              "Found clip_uid\n",
              stderrOf([&] { ClipNode clip(*doc, nullptr); }));
}

TEST(ReaderDiagnosticsDebugOn, PaintStrokeLookupsInOrder) {
    ASSERT_TRUE(debugEnabled());
    EXPECT_EQ("Found OTIO_SCHEMA\n"
              "Found Paint Paint.1\n"
              "Cannot find 'visible'\n"
              "Cannot find 'layer_range'\n"
              "Cannot find 'effect_name'\n"
              "Cannot find 'hold'\n"
              "Cannot find 'ghost'\n"
              "Expected 'ghost_before' to be Uint, found Number\n"
              "Cannot find 'ghost_after'\n"
              "Found points\n"
              "Expected 'x' to be Double, found Number\n"
              "Cannot find 'y'\n"
              "Cannot find 'width'\n"
              "Found rgba\n"
              "Cannot find 'type'\n"
              "Cannot find 'brush'\n",
              printedByCreating(R"({"OTIO_SCHEMA":"Paint.1","ghost_before":-1,
                  "points":[{"OTIO_SCHEMA":"Point.1","x":1},{"OTIO_SCHEMA":"Point.2"},3],
                  "rgba":[1]})"));
}

} // namespace
} // namespace ZEM_0_81::rapidotio
