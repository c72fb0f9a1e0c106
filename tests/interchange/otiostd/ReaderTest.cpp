// Reading standard OTIO: documents as the OpenTimelineIO library saves ours, the
// older clip form, documents not written by this system (what they keep and
// what the loss report names), and documents that cannot be read at all.

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include "strictjson/StrictParse.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/pointer.h>

#include <optional>
#include <sstream>
#include <string>

namespace ZEM_0_81::test {
namespace {

/// The first layer of the first track of the first composition of `composition`.
const DmLayerNode* firstLayer(const Composition& composition) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    const DmTreeNode* node = &root;
    for (int level = 0; level < 4 && node; ++level)
        node = node->getChild(0);
    return dynamic_cast<const DmLayerNode*>(node);
}

/// "kind name recIn+recLength" for each segment of `layer`, cuts as "cut".
std::vector<std::string> segmentsOf(const DmLayerNode& layer) {
    std::vector<std::string> segments;
    for (std::uint32_t i = 0; i < layer.getNbChildren(); ++i) {
        const DmTreeNode* child = layer.getChild(i);
        if (dynamic_cast<const DmCutNode*>(child)) {
            segments.push_back("cut");
            continue;
        }
        const auto* segment = dynamic_cast<const DmSegmentNode*>(child);
        if (!segment) {
            segments.push_back("other");
            continue;
        }
        segments.push_back(
            std::string(dynamic_cast<const DmSourceNode*>(child) ? "source " : "gap ") +
            segment->getName().str() + " " + std::to_string(int(segment->getRecIn())) + "+" +
            std::to_string(int(segment->getRecLength())));
    }
    return segments;
}

Status readFailure(const std::string& text, String& message) {
    SharedPtr<Composition> composition;
    LossReport losses;
    const Status status =
        StandardOtio::read(text.c_str(), text.size(), "doc", composition, losses, &message);
    EXPECT_FALSE(composition);
    return status;
}

TEST(StandardOtioReader, ReadsOurDocumentAsTheOtioLibrarySavesIt) {
    // two-shots.resaved.otio is what the OpenTimelineIO library writes when it
    // loads our text for two-shots.otio.json and saves it: its schema objects'
    // members in its own order, every dictionary sorted, "color" on every item,
    // the box of the image bounds min first, a double a unit in the last place off.
    const SharedPtr<Composition> original =
        fromProductOtio(readTestData("interchange/two-shots.otio.json"));
    LossReport losses;
    const SharedPtr<Composition> read =
        readStandard(readTestData("interchange/two-shots.resaved.otio"), losses);
    ASSERT_TRUE(read);
    expectSameTree(dmTreeOf(*original), dmTreeOf(*read), "two shots, re-saved");
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
}

TEST(StandardOtioReader, MembersTheOtioLibraryWritesByDefaultLoseNothing) {
    // defaults.otio holds what the OpenTimelineIO library writes for objects made
    // with its defaults: empty metadata, "enabled": true, null ranges, colours,
    // markers in green (a Marker.2 and a Marker.3), a track trimmed to its
    // content (24 + 2 + 8 = 34 frames) and an empty one trimmed to nothing.
    LossReport losses;
    const SharedPtr<Composition> read =
        readStandard(readTestData("interchange/defaults.otio"), losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    const DmLayerNode* layer = firstLayer(*read);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(segmentsOf(*layer), (std::vector<std::string>{"source sh010 0+24", "cut", "gap  24+2",
                                                            "cut", "source  26+8"}));
    // The first clip's media has a box of 16 x 9 from (0, 0): the picture's bounds.
    Bounds bounds;
    ASSERT_TRUE(read->getOutputBounds(Time(0, Rational(24, 1)), bounds));
    EXPECT_EQ(bounds.getCenterX(), 8.0);
    EXPECT_EQ(bounds.getCenterY(), 4.5);
    EXPECT_EQ(bounds.getSizeX(), 16.0);
    EXPECT_EQ(bounds.getSizeY(), 9.0);
}

TEST(StandardOtioReader, OlderClipsAndDocumentsWithoutOurMetadata) {
    // Written by another tool: no "zem" anywhere, a "Clip.1" with its one media
    // reference, a clip without a range (it plays its media's available range), a
    // missing reference, a gap under its older name ("Filler.1", which takes its
    // place in the track as a gap does), and tracks of both kinds.
    const std::string text = R"({
        "OTIO_SCHEMA": "Timeline.1", "name": "elsewhere",
        "global_start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 250.0},
        "tracks": {"OTIO_SCHEMA": "Stack.1", "name": "tracks", "children": [
            {"OTIO_SCHEMA": "Track.1", "name": "V", "kind": "Video", "children": [
                {"OTIO_SCHEMA": "Clip.1", "name": "old",
                 "source_range": {"OTIO_SCHEMA": "TimeRange.1",
                     "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 10.0},
                     "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 50.0}},
                 "media_reference": {"OTIO_SCHEMA": "ExternalReference.1",
                     "target_url": "file:///a.mov",
                     "available_range": {"OTIO_SCHEMA": "TimeRange.1",
                         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 0.0},
                         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 100.0}}}},
                {"OTIO_SCHEMA": "Filler.1", "name": "pause",
                 "source_range": {"OTIO_SCHEMA": "TimeRange.1",
                     "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 0.0},
                     "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 5.0}}},
                {"OTIO_SCHEMA": "Clip.2", "name": "whole",
                 "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1",
                     "target_url": "file:///b.mov",
                     "available_range": {"OTIO_SCHEMA": "TimeRange.1",
                         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 20.0},
                         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 30.0}}}},
                 "active_media_reference_key": "DEFAULT_MEDIA"},
                {"OTIO_SCHEMA": "Clip.2", "name": "offline",
                 "source_range": {"OTIO_SCHEMA": "TimeRange.1",
                     "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 0.0},
                     "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": 8.0}},
                 "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "MissingReference.1"}},
                 "active_media_reference_key": "DEFAULT_MEDIA"}
            ]},
            {"OTIO_SCHEMA": "Track.1", "name": "A", "kind": "Audio", "children": []}
        ]}
    })";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    const DmLayerNode* layer = firstLayer(*read);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getName().str(), "V");
    EXPECT_EQ(segmentsOf(*layer),
              (std::vector<std::string>{"source old 250+50", "cut", "gap pause 300+5", "cut",
                                        "source whole 305+30", "cut", "source offline 335+8"}));

    const auto* old = dynamic_cast<const DmSourceNode*>(layer->getChild(0));
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->getNbMultiInputs(), 1u);
    EXPECT_EQ(old->getRelIn(), 10.0);
    EXPECT_EQ(old->getSrcInfo()->getSequence(0).str(), "file:///a.mov");
    EXPECT_EQ(old->getInput()->getFcm().str(), "25");
    const auto* offline = dynamic_cast<const DmSourceNode*>(layer->getChild(6));
    ASSERT_NE(offline, nullptr);
    EXPECT_EQ(offline->getSrcInfo(), nullptr);

    Status status;
    const DmRoot& root = read->getTree(status);
    const auto* composition = dynamic_cast<const DmCompositionNode*>(root.getChild(0)->getChild(0));
    ASSERT_NE(composition, nullptr);
    EXPECT_EQ(composition->getFcm().str(), "25");
    EXPECT_EQ(composition->getStartTC(), 250.0);
    EXPECT_EQ(composition->getCompLength(), 93.0);
    const DmTreeNode* track = composition->getChild(0);
    ASSERT_EQ(track->getNbChildren(), 2u); // both Tracks are layers of one track
    EXPECT_EQ(static_cast<const DmLayerNode*>(track->getChild(1))->mediaType, eDmMediaAudio);
}

TEST(StandardOtioReader, WhatTheEditTreeCannotHoldIsReportedWithItsPlace) {
    const std::string text = R"({
        "OTIO_SCHEMA": "SerializableCollection.1", "name": "bin",
        "metadata": {"cmx_3600": {"reel": "A001"}},
        "children": [
            {"OTIO_SCHEMA": "ExternalReference.1", "target_url": "x"},
            {"OTIO_SCHEMA": "Timeline.1", "name": "cut",
             "metadata": {"Resolve_OTIO": {"note": NaN}},
             "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
                {"OTIO_SCHEMA": "Track.1", "kind": "Video", "enabled": false,
                 "effects": [{"OTIO_SCHEMA": "Effect.1", "effect_name": "Blur"}],
                 "children": [
                    {"OTIO_SCHEMA": "Clip.2", "name": "a",
                     "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "m"}],
                     "effects": [
                        {"OTIO_SCHEMA": "LinearTimeWarp.1", "time_scalar": 2.0},
                        {"OTIO_SCHEMA": "Effect.1", "effect_name": "Blur"}],
                     "source_range": {"OTIO_SCHEMA": "TimeRange.1",
                         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
                         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": Infinity}},
                     "media_references": {"DEFAULT_MEDIA":
                         {"OTIO_SCHEMA": "ImageSequenceReference.1", "target_url_base": "/s/"}},
                     "active_media_reference_key": "DEFAULT_MEDIA"},
                    {"OTIO_SCHEMA": "Transition.1", "name": "dissolve"},
                    {"OTIO_SCHEMA": "Stack.1", "children": []},
                    {"OTIO_SCHEMA": "Gap"},
                    "not an object"
                 ]},
                {"OTIO_SCHEMA": "Clip.2", "name": "stray"}
             ]}}
        ]
    })";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses),
              (std::vector<std::string>{
                  "/children/0 | ExternalReference.1 | dropped: only the timelines of a "
                  "collection are read",
                  "/children/1/tracks/children/0/enabled | Track.1 | read as enabled: the edit "
                  "tree cannot disable it (written back disabled)",
                  "/children/1/tracks/children/0/effects/0 | Effect.1 | effect not applied: the "
                  "edit tree has effects on segments only (kept, and written back as it came)",
                  "/children/1/tracks/children/0/children/0/source_range/duration/value | "
                  "RationalTime.1 | ignored: expected a finite number",
                  "/children/1/tracks/children/0/children/0/source_range/duration | "
                  "RationalTime.1 | ignored: a time needs a finite \"value\" and \"rate\"",
                  "/children/1/tracks/children/0/children/0 | Clip.2 | approximated: lasts "
                  "nothing, having no source range and no media with an available range (OTIO "
                  "cannot time it either)",
                  "/children/1/tracks/children/0/children/0/effects/0 | LinearTimeWarp.1 | "
                  "not applied: not an effect the edit tree has settings for (kept, and written "
                  "back as it came)",
                  "/children/1/tracks/children/0/children/0/effects/1 | Effect.1 | effect "
                  "\"Blur\" not applied: the edit tree has no settings for it (kept, and written "
                  "back as it came)",
                  "/children/1/tracks/children/0/children/0/markers/0 | Marker.2 | approximated: "
                  "without a usable marked range the note covers the whole item",
                  "/children/1/tracks/children/0/children/1 | Transition.1 | not applied: the "
                  "edit tree has no transitions, and one takes no track time: nothing moves "
                  "(kept, and written back as it came)",
                  "/children/1/tracks/children/0/children/2 | Stack.1 | approximated: a nested "
                  "composition is read as one offline clip spanning it (kept, and written back "
                  "as it came)",
                  "/children/1/tracks/children/0/children/3 | Gap | dropped: the edit tree has "
                  "no segment for it in a layer",
                  "/children/1/tracks/children/0/children/4 | none | dropped: the edit tree has "
                  "no segment for it in a layer",
                  "/children/1/tracks/children/1 | Clip.2 | dropped: only tracks are read in a "
                  "timeline's stack",
              }));
    const DmLayerNode* layer = firstLayer(*read);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(segmentsOf(*layer), (std::vector<std::string>{"source a 0+0", "cut", "source  0+0"}));
}

TEST(StandardOtioReader, MalformedDescriptionsAreLossesNotFailures) {
    // Our own description, edited by hand into nonsense in places: each bad member
    // is reported and its default taken; the rest still reads.
    const std::string text = R"({
        "OTIO_SCHEMA": "Timeline.1", "name": "edited",
        "metadata": {"zem": {"ZEM_SCHEMA": "Composition.1", "fcm": 24, "length": "long",
                             "resolution": {"pixel_resolution": [1, 2, 3],
                                            "bounds": {"center": [1.0, "x"]}},
                             "after": [{"format": "nope"}], "reel": 4}},
        "global_start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
        "tracks": {"OTIO_SCHEMA": "Stack.1",
            "metadata": {"zem": {"ZEM_SCHEMA": "Tracks.1", "tracks": [{"index": "first"}]}},
            "children": [
            {"OTIO_SCHEMA": "Track.1", "kind": "Video",
             "metadata": {"zem": {"ZEM_SCHEMA": "Layer.1", "track": 7}},
             "children": [
                {"OTIO_SCHEMA": "Gap.1",
                 "metadata": {"zem": {"ZEM_SCHEMA": "Gap.1", "record_in": "soon",
                                      "properties": [[1, 3, true]]}},
                 "source_range": {"OTIO_SCHEMA": "TimeRange.1",
                     "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
                     "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 4.0}},
                 "effects": [{"OTIO_SCHEMA": "Effect.1", "effect_name": "Annotation",
                     "metadata": {"zem": {"ZEM_SCHEMA": "Annotation.1", "layers": [
                         {"ZEM_SCHEMA": "PaintLayer.1", "frame_range": [1],
                          "strokes": [{"points": [{"x": 1.0}], "rgba": [1, 0]}]},
                         {"ZEM_SCHEMA": "Sound.1"}]}}}]}
             ]}
        ]}
    })";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses),
              (std::vector<std::string>{
                  "/metadata/zem/fcm | Timeline.1 | ignored: expected a string",
                  "/metadata/zem/length | Timeline.1 | ignored: expected a finite number",
                  "/metadata/zem/resolution/bounds/center/1 | Timeline.1 | ignored: expected a "
                  "number or null",
                  "/metadata/zem/resolution/pixel_resolution | Timeline.1 | ignored: expected "
                  "two values",
                  "/metadata/zem/after/0 | Timeline.1 | edit-tree node dropped: format: expected "
                  "\"KRdmtree-json\"",
                  "/tracks/metadata/zem/tracks/0/index | Stack.1 | ignored: expected a signed "
                  "32-bit integer",
                  "/tracks/children/0/children/0/metadata/zem/record_in | Gap.1 | ignored: "
                  "expected a finite number",
                  "/tracks/children/0/children/0/metadata/zem/properties/0 | Gap.1 | property "
                  "ignored: expected [id, type, value] with a value of the type (1 bool, 3 "
                  "int32, 9 float, 11 double, 13 text)",
                  "/tracks/children/0/children/0/effects/0/metadata/zem/layers/0/strokes/0/rgba "
                  "| Effect.1 | ignored: expected four numbers in the single-precision range",
                  "/tracks/children/0/children/0/effects/0/metadata/zem/layers/0/strokes/0/"
                  "points/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and "
                  "\"width\"",
                  "/tracks/children/0/children/0/effects/0/metadata/zem/layers/0/frame_range | "
                  "Effect.1 | ignored: expected [start, duration] in whole frames",
                  "/tracks/children/0/children/0/effects/0/metadata/zem/layers/1 | Effect.1 | "
                  "annotation layer of schema \"Sound.1\" dropped: not a paint or text layer",
                  "/tracks/children/0/metadata/zem/track | Track.1 | placed in the first track: "
                  "the stack describes no track 7",
                  "/metadata/zem/reel | Timeline.1 | placed in the first reel: the document "
                  "describes no reel 4",
              }));
    const DmLayerNode* layer = firstLayer(*read);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(segmentsOf(*layer), std::vector<std::string>{"gap  0+4"});
}

TEST(StandardOtioReader, PaintPointsAreReadInAnyOrderAndDroppedWithoutAFiniteXYAndWidth) {
    // One stroke per case, its points in every form a writer may give them; kept
    // are the points that have a finite "x", "y" and "width", whatever their
    // order, beside other members, the first of a repeated name.
    struct Case {
        const char* name;
        const char* points;
        const char* kept;                ///< the points written back, as "x y width;" each
        std::vector<std::string> losses; ///< below .../strokes/0/points
    };
    const std::vector<Case> cases = {
        {"as written", R"({"x": 1.5, "y": 2, "width": 3})", "1.5 2 3;", {}},
        {"another order", R"({"width": 3, "y": 2, "x": 1.5})", "1.5 2 3;", {}},
        {"more members", R"({"x": 1, "y": 2, "width": 3, "pressure": 0.5})", "1 2 3;", {}},
        {"a name twice", R"({"x": 1, "x": 9, "y": 2, "width": 3})", "1 2 3;", {}},
        {"two points",
         R"({"x": 1, "y": 2, "width": 3}, {"x": 4, "y": 5, "width": 6})",
         "1 2 3;4 5 6;",
         {}},
        {"NaN",
         R"({"x": NaN, "y": 2, "width": 3}, {"x": 4, "y": 5, "width": 6})",
         "4 5 6;",
         {"/0/x | Effect.1 | ignored: expected a finite number",
          "/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and \"width\""}},
        {"Infinity",
         R"({"x": 1, "y": 2, "width": -Infinity})",
         "",
         {"/0/width | Effect.1 | ignored: expected a finite number",
          "/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and \"width\""}},
        {"a text",
         R"({"x": 1, "y": "2", "width": 3})",
         "",
         {"/0/y | Effect.1 | ignored: expected a finite number",
          "/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and \"width\""}},
        {"no width",
         R"({"x": 1, "y": 2, "z": 3})",
         "",
         {"/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and \"width\""}},
        {"null",
         R"({"x": 1, "y": 2, "width": null})",
         "",
         {"/0 | Effect.1 | point dropped: it needs a finite \"x\", \"y\" and \"width\""}},
    };
    const std::string strokes = "/tracks/children/0/children/0/effects/0/metadata/zem/layers/0/"
                                "strokes/0/points";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text =
            R"({"OTIO_SCHEMA": "Timeline.1", "name": "paint", "tracks": {"OTIO_SCHEMA": "Stack.1",
                "children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [
                {"OTIO_SCHEMA": "Gap.1", "source_range": )" +
            timeRange(0, 4, 24) + R"(,
                 "effects": [{"OTIO_SCHEMA": "Effect.1", "effect_name": "Annotation",
                     "metadata": {"zem": {"ZEM_SCHEMA": "Annotation.1", "layers": [
                         {"ZEM_SCHEMA": "PaintLayer.1", "frame_range": [0, 4],
                          "strokes": [{"points": [)" +
            c.points + "]}]}]}}}]}]}]}}";
        LossReport losses;
        const SharedPtr<Composition> read = readStandard(text, losses);
        ASSERT_TRUE(read);
        std::vector<std::string> expected;
        for (const std::string& loss : c.losses)
            expected.push_back(strokes + loss);
        EXPECT_EQ(entriesOf(losses), expected);

        // The points as the writer gives them back.
        rapidjson::Document written;
        written.Parse(writeStandard(*read).c_str());
        ASSERT_FALSE(written.HasParseError());
        const rapidjson::Value* points = rapidjson::Pointer(strokes.c_str()).Get(written);
        ASSERT_NE(points, nullptr);
        std::string kept;
        for (const rapidjson::Value& point : points->GetArray()) {
            for (const char* key : {"x", "y", "width"}) {
                std::ostringstream number;
                number << point[key].GetDouble();
                kept += number.str() + (key[0] == 'w' ? ";" : " ");
            }
        }
        EXPECT_EQ(kept, c.kept);
    }
}

TEST(StandardOtioReader, MetadataThatIsNoObjectIsReportedAndTheItemRead) {
    // Metadata of every other JSON type on the timeline, the stack, the track,
    // a clip and a gap: each is reported where it stands, and the cut reads
    // as it would without it (the clip 0+48, the gap 48+24).
    for (const std::string metadata : {"5", "\"x\"", "[]", "true"}) {
        const std::string m = R"(, "metadata": )" + metadata;
        const std::string text =
            R"({"OTIO_SCHEMA": "Timeline.1", "name": "t")" + m +
            R"(, "tracks": {"OTIO_SCHEMA": "Stack.1")" + m +
            R"(, "children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video")" + m +
            R"(, "children": [{"OTIO_SCHEMA": "Clip.2", "name": "c", "source_range": )" +
            timeRange(0, 48, 24) + m + R"(}, {"OTIO_SCHEMA": "Gap.1", "source_range": )" +
            timeRange(0, 24, 24) + m + "}]}]}}";
        LossReport losses;
        const SharedPtr<Composition> read = readStandard(text, losses);
        ASSERT_TRUE(read) << metadata;
        const std::string why = " | ignored: expected an object";
        EXPECT_EQ(entriesOf(losses),
                  (std::vector<std::string>{
                      "/metadata | Timeline.1" + why, "/tracks/metadata | Stack.1" + why,
                      "/tracks/children/0/metadata | Track.1" + why,
                      "/tracks/children/0/children/0/metadata | Clip.2" + why,
                      "/tracks/children/0/children/1/metadata | Gap.1" + why}))
            << metadata;
        TimelineView view;
        ASSERT_TRUE(TimelineView::build(*read, view));
        ASSERT_EQ(view.tracks.size(), 1u);
        ASSERT_EQ(view.tracks[0].items.size(), 2u);
        EXPECT_EQ(view.tracks[0].items[0].record, (FrameRange{0, 48})) << metadata;
        EXPECT_EQ(view.tracks[0].items[1].record, (FrameRange{48, 24})) << metadata;
    }
}

TEST(StandardOtioReader, SyntaxErrorsAreTheStrictParsesAtAnyDepth) {
    // The reader parses recursively while the text nests no deeper than the
    // strict parse does, and hands deeper texts to it: either way a malformed
    // text fails where and as the strict parse says, an error before, inside or
    // after a deep part included.
    const std::string open300(300, '['), close300(300, ']');
    const std::string timeline = "{\"OTIO_SCHEMA\": \"Timeline.1\", \"metadata\": {\"x\": ";
    const std::string texts[] = {
        std::string(256, '[') + "x" + std::string(256, ']'),
        std::string(257, '[') + "x" + std::string(257, ']'),
        std::string(400, '['),
        timeline + "1 2, \"deep\": " + open300 + close300 + "}}",
        timeline + open300 + "1,," + close300 + "}}",
        timeline + "\"" + open300 + "\" 3}}",
        timeline + open300 + close300 + "}} " + open300,
        timeline + open300 + close300 + "}",
    };
    for (const std::string& text : texts) {
        const std::optional<StrictJson::SyntaxError> strict =
            StrictJson::findSyntaxError<rapidjson::kParseFullPrecisionFlag |
                                        rapidjson::kParseNanAndInfFlag>(text.c_str());
        ASSERT_TRUE(strict) << text.substr(0, 80);
        String message;
        EXPECT_EQ(readFailure(text, message).getCode(), Status::JsonSyntaxError);
        EXPECT_EQ(std::string(message.c_str()), "line " + std::to_string(strict->line) +
                                                    ", column " + std::to_string(strict->column) +
                                                    ": " + strict->reason)
            << text.substr(0, 80);
    }

    // Well-formed text nested deeper than the recursive parse goes is read.
    LossReport losses;
    EXPECT_TRUE(readStandard(timeline + open300 + close300 + "}, \"name\": \"deep\"}", losses));
}

TEST(StandardOtioReader, DocumentsWithoutATimelineOrNotJsonFail) {
    const struct {
        const char* text;
        Status::Type status;
        const char* message;
    } cases[] = {
        {"", Status::JsonSyntaxError, "line 1, column 1: The document is empty."},
        {"{\n  \"a\": 1\n  \"b\": 2}", Status::JsonSyntaxError,
         "line 3, column 3: Missing a comma or '}' after an object member."},
        {"[1, 2]", Status::OtioImportFailed, "no timeline: the document is an array"},
        {"3", Status::OtioImportFailed, "no timeline: the document is not an object"},
        {"{}", Status::OtioImportFailed,
         "no timeline: the document is an object without \"OTIO_SCHEMA\""},
        {R"({"OTIO_SCHEMA": "Stack.1", "children": []})", Status::OtioImportFailed,
         "no timeline: the document is of schema \"Stack.1\""},
        {R"({"OTIO_SCHEMA": "SerializableCollection.1", "children": [{"OTIO_SCHEMA": "Clip.2"}]})",
         Status::OtioImportFailed, "no timeline: the document is a collection without a timeline"},
        {R"({"timeline": {"OTIO_SCHEMA": "Timeline.1"}})", Status::OtioImportFailed,
         "no timeline: the document is an object without \"OTIO_SCHEMA\""},
    };
    for (const auto& c : cases) {
        String message;
        EXPECT_EQ(readFailure(c.text, message).getCode(), c.status) << c.text;
        EXPECT_EQ(std::string(message.c_str()).rfind(c.message, 0), 0u)
            << c.text << " gave: " << message.c_str();
    }

    String message;
    const std::string withNul("{\"OTIO_SCHEMA\": \"Timeline.1\"}\0 trailing", 40);
    EXPECT_EQ(readFailure(withNul, message).getCode(), Status::JsonSyntaxError);
    EXPECT_STREQ(message.c_str(), "line 1, column 30: the text holds a NUL byte");

    // Nested far deeper than any timeline: parsed without exhausting the stack,
    // and no timeline.
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
    EXPECT_EQ(readFailure(deep, message).getCode(), Status::OtioImportFailed);
    EXPECT_STREQ(message.c_str(), "no timeline: the document is an array, not a Timeline or a "
                                  "SerializableCollection holding one");

    // A failed read leaves the caller's composition as it was.
    SharedPtr<Composition> kept;
    ASSERT_TRUE(Composition::create(kept, "kept", "kept", Rational(24, 1)));
    Composition* before = kept.get();
    LossReport losses;
    losses.add("/x", "X.1", "from before");
    EXPECT_FALSE(StandardOtio::read("{}", 2, "doc", kept, losses));
    EXPECT_EQ(kept.get(), before);
    EXPECT_TRUE(losses.isEmpty());
}

TEST(StandardOtioReader, DeeplyNestedValuesAreReadWithoutRecursion) {
    // A kept edit-tree node nested a million levels deep: handed on level by
    // level, refused by the edit tree's reader, reported.
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
    const std::string text = R"({"OTIO_SCHEMA": "Timeline.1",
        "metadata": {"zem": {"ZEM_SCHEMA": "Composition.1", "after": [{"tree": )" +
                             deep + R"(}]}},
        "tracks": {"OTIO_SCHEMA": "Stack.1", "children": []}})";
    LossReport losses;
    ASSERT_TRUE(readStandard(text, losses));
    ASSERT_EQ(losses.getCount(), 1u);
    EXPECT_EQ(entriesOf(losses)[0].rfind("/metadata/zem/after/0 | Timeline.1 | edit-tree node "
                                         "dropped: ",
                                         0),
              0u)
        << entriesOf(losses)[0];

    // A nested stack whose metadata is as deep: too deep to keep, it is read as
    // the offline clip it stands for and reported dropped, and nothing recurses.
    const std::string nested = R"({"OTIO_SCHEMA": "Timeline.1", "tracks": {"OTIO_SCHEMA": )"
                               R"("Stack.1", "children": [{"OTIO_SCHEMA": "Track.1", "kind": )"
                               R"("Video", "children": [{"OTIO_SCHEMA": "Stack.1", "name": "n", )"
                               R"("metadata": {"deep": )" +
                               deep + R"(}, "children": []}]}]}})";
    const SharedPtr<Composition> read = readStandard(nested, losses);
    ASSERT_TRUE(read);
    const std::vector<std::string> entries = entriesOf(losses);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0],
              "/tracks/children/0/children/0 | Stack.1 | approximated: a nested composition is "
              "read as one offline clip spanning it");
    EXPECT_FALSE(writeStandard(*read).empty());

    // A marker as deep: dropped, and said so.
    const std::string marker =
        R"({"OTIO_SCHEMA": "Timeline.1", "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [)"
        R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [{"OTIO_SCHEMA": "Gap.1", )"
        R"("markers": [{"OTIO_SCHEMA": "Marker.2", "metadata": {"deep": )" +
        deep + R"(}}]}]}]}})";
    ASSERT_TRUE(readStandard(marker, losses));
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{"/tracks/children/0/children/0/markers/0 | Marker.2 | "
                                       "dropped: nested more deeply than the edit tree keeps"});
}

TEST(StandardOtioReader, LossReportEntries) {
    LossReport report;
    EXPECT_TRUE(report.isEmpty());
    report.add("/a", "Clip.2", "dropped");
    report.add("/b", "Gap.1", "kept");
    LossReport copy(report);
    report.clear();
    EXPECT_EQ(report.getCount(), 0u);
    ASSERT_EQ(copy.getCount(), 2u);
    String path("p"), schema("s"), what("w");
    EXPECT_TRUE(copy.getEntry(1, path, schema, what));
    EXPECT_STREQ(path.c_str(), "/b");
    EXPECT_STREQ(schema.c_str(), "Gap.1");
    EXPECT_STREQ(what.c_str(), "kept");
    EXPECT_EQ(copy.getEntry(2, path, schema, what).getCode(), Status::NoData);
    EXPECT_STREQ(path.c_str(), "/b");
    report = copy;
    EXPECT_EQ(report.getCount(), 2u);
}

} // namespace
} // namespace ZEM_0_81::test
