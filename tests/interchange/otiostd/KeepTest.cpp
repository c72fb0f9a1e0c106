// What other tools write comes in whole: markers as review notes, image
// sequences as path patterns, their own metadata and members as text, and all
// of it goes back out as it came, in the OpenTimelineIO library's view.

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/kept/ForeignMembers.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <string>

namespace ZEM_0_81::test {
namespace {

// A document as an editing application writes it, at 24 frames per second from
// 01:00:00:00 (86400). Its clip "sh010" plays 100+48 of its media, so it sits at
// 86400+48 and a marker at media frame 110 shows at 86410; the gap sits at
// 86448+24 and its marker at 5 into it shows at 86453; "plates" is an image
// sequence. Every object carries metadata of other tools, the clip a colour.
const char* const kDocument = R"({
  "OTIO_SCHEMA": "Timeline.1", "name": "kept",
  "metadata": {"Resolve_OTIO": {"Resolve OTIO Meta Version": "1.0", "gain": NaN}},
  "global_start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 86400.0},
  "tracks": {"OTIO_SCHEMA": "Stack.1", "name": "tracks", "metadata": {"app": {"stack": 1}},
    "children": [
    {"OTIO_SCHEMA": "Track.1", "name": "V1", "kind": "Video",
     "metadata": {"fcp_xml": {"enabled": "TRUE"}},
     "children": [
      {"OTIO_SCHEMA": "Clip.2", "name": "sh010",
       "metadata": {"cmx_3600": {"reel": "A001"}},
       "color": {"OTIO_SCHEMA": "Color.1", "name": "Orange", "r": 1.0, "g": 0.5, "b": 0.0, "a": 1.0},
       "source_range": {"OTIO_SCHEMA": "TimeRange.1",
         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 100.0},
         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 48.0}},
       "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1",
         "vendor_id": 7, "name": "sh010.mov", "metadata": {"vendor": {"codec": "prores"}},
         "target_url": "file:///sh010.mov",
         "available_range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 500.0}}}},
       "active_media_reference_key": "DEFAULT_MEDIA",
       "markers": [
        {"OTIO_SCHEMA": "Marker.2", "name": "focus", "color": "RED", "comment": "soft",
         "metadata": {"note": {"by": "sup"}},
         "marked_range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 110.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0}}},
        {"OTIO_SCHEMA": "Marker.3", "name": "ok",
         "color": {"OTIO_SCHEMA": "Color.1", "name": "Blue", "r": 0.0, "g": 0.0, "b": 1.0, "a": 1.0},
         "marked_range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 120.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 10.0}}},
        {"OTIO_SCHEMA": "Marker.1", "name": "old", "color": "yellow",
         "range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 140.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 4.0}}}]},
      {"OTIO_SCHEMA": "Gap.1", "name": "hole",
       "source_range": {"OTIO_SCHEMA": "TimeRange.1",
         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 24.0}},
       "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "fill",
         "marked_range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 5.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0}}}]},
      {"OTIO_SCHEMA": "Clip.2", "name": "plates",
       "source_range": {"OTIO_SCHEMA": "TimeRange.1",
         "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 1001.0},
         "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 24.0}},
       "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ImageSequenceReference.1",
         "name": "sh020 plates", "target_url_base": "file:///plates/sh020", "name_prefix": "sh020.",
         "name_suffix": ".exr", "start_frame": 1001, "frame_step": 1, "rate": 24.0,
         "frame_zero_padding": 4, "missing_frame_policy": "error",
         "available_range": {"OTIO_SCHEMA": "TimeRange.1",
           "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 1001.0},
           "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 100.0}}}},
       "active_media_reference_key": "DEFAULT_MEDIA"}]}]}})";

rapidjson::Document parsedWithLiterals(const std::string& text) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseNanAndInfFlag>(
        text.c_str(), text.size());
    EXPECT_FALSE(document.HasParseError());
    return document;
}

const rapidjson::Value& itemOf(const rapidjson::Value& timeline, rapidjson::SizeType index) {
    return timeline["tracks"]["children"][0]["children"][index];
}

/// "caption start+duration r,g,b,a" of each note of an item.
std::vector<std::string> notesOf(const TimelineItem& item) {
    std::vector<std::string> notes;
    for (const TimelineNote& note : item.notes) {
        char colour[64];
        std::snprintf(colour, sizeof colour, "%g,%g,%g,%g", note.colour.red, note.colour.green,
                      note.colour.blue, note.colour.alpha);
        notes.push_back(note.text + " " + std::to_string(note.range.start) + "+" +
                        std::to_string(note.range.duration) + " " + colour);
    }
    return notes;
}

/// A clip "c" without media that plays `length` from 0 at `rate`.
std::string clipAt(const char* rate, const char* length) {
    return R"({"OTIO_SCHEMA": "Clip.2", "name": "c", "source_range": )" +
           timeRange("0.0", length, rate) + "}";
}

/// A timeline of one video track holding `items` (comma-separated).
std::string timelineOf(const std::string& items) {
    return R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
           R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
           items + "]}]}}";
}

/// The first layer of the first track of `root`: an edit tree a test changes as
/// a host would.
DmLayerNode* firstLayerOf(DmRoot& root) {
    return dynamic_cast<DmLayerNode*>(root.getChild(0)->getChild(0)->getChild(0)->getChild(0));
}

/// Expects `written`, the standard OTIO of `read`, to read back into the same
/// tree, and to be written the same again.
void expectStableRoundTrip(const Composition& read, const std::string& written) {
    LossReport again;
    const SharedPtr<Composition> reread = readStandard(written, again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(read));
    EXPECT_EQ(writeStandard(*reread), written);
}

TEST(StandardOtioKeeping, MarkersBecomeNotesAndEverythingElseIsKeptAsText) {
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(kDocument, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());

    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 1u);
    const std::vector<TimelineItem>& items = view.tracks[0].items;
    ASSERT_EQ(items.size(), 3u);
    // A marker of no length shows for one frame; Marker.1's "range" is its marked
    // range; a colour name is OTIO's colour, in any case; a marker without one is
    // green, as OTIO makes it.
    EXPECT_EQ(notesOf(items[0]),
              (std::vector<std::string>{"focus: soft 86410+1 1,0,0,1", "ok 86420+10 0,0,1,1",
                                        "old 86440+4 1,1,0,1"}));
    EXPECT_EQ(notesOf(items[1]), (std::vector<std::string>{"fill 86453+2 0,1,0,1"}));
    ASSERT_EQ(items[2].media.size(), 1u);
    EXPECT_EQ(items[2].media[0].path, "file:///plates/sh020/sh020.%04d.exr");
    EXPECT_EQ(items[2].media[0].kind, TimelineMedia::Kind::File);
    EXPECT_FALSE(items[2].offline);
}

TEST(StandardOtioKeeping, AMarkedRangeWithoutUsableTimesCoversTheWholeItem) {
    // A clip of 10 frames at 24 from record 0. A time of a marked range needs a
    // finite "value" and a rate above 0; a range with one time that has neither
    // is no range, and the note covers the clip: 0+10, reported. The first case
    // is a usable range for comparison: 2 frames in, for 3.
    const std::string good = R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 3.0})";
    struct Case {
        const char* start;
        const char* duration;
        const char* note;
        bool reported;
    };
    const Case cases[] = {
        {R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0})", nullptr,
         "m 2+3 0,1,0,1", false},
        {R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 0.0, "value": 2.0})", nullptr,
         "m 0+10 0,1,0,1", true},
        {R"({"OTIO_SCHEMA": "RationalTime.1", "rate": -24.0, "value": 2.0})", nullptr,
         "m 0+10 0,1,0,1", true},
        {R"({"OTIO_SCHEMA": "RationalTime.1", "value": 2.0})", nullptr, "m 0+10 0,1,0,1", true},
        {R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0})",
         R"({"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0})", "m 0+10 0,1,0,1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const std::string marker =
            std::string(R"({"OTIO_SCHEMA": "Marker.2", "name": "m", "marked_range": )") +
            R"({"OTIO_SCHEMA": "TimeRange.1", "start_time": )" + c.start + R"(, "duration": )" +
            (c.duration ? std::string(c.duration) : good) + "}}";
        std::string clip = clipAt("24.0", "10.0");
        clip.insert(clip.size() - 1, R"(, "markers": [)" + marker + "]");
        const std::string text = timelineOf(clip);
        LossReport losses;
        const SharedPtr<Composition> read = readStandard(text, losses);
        ASSERT_TRUE(read);
        TimelineView view;
        ASSERT_TRUE(TimelineView::build(*read, view));
        ASSERT_EQ(view.tracks.size(), 1u);
        ASSERT_EQ(view.tracks[0].items.size(), 1u);
        EXPECT_EQ(notesOf(view.tracks[0].items[0]), std::vector<std::string>{c.note});
        const std::vector<std::string> entries = entriesOf(losses);
        const bool reported = std::any_of(entries.begin(), entries.end(), [](const std::string& e) {
            return e.find("/markers/0 | Marker.2 | approximated: without a usable marked range") !=
                   std::string::npos;
        });
        EXPECT_EQ(reported, c.reported);
    }
}

TEST(StandardOtioKeeping, WrittenBackAsItCame) {
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(kDocument, losses);
    ASSERT_TRUE(read);
    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document input = parsedWithLiterals(kDocument);
    const rapidjson::Document output = parsedWithLiterals(written);
    ASSERT_TRUE(output.IsObject());

    // Other tools' metadata and members, NaN included, on every object.
    const rapidjson::Value& resolve = output["metadata"]["Resolve_OTIO"];
    EXPECT_STREQ(resolve["Resolve OTIO Meta Version"].GetString(), "1.0");
    EXPECT_TRUE(std::isnan(resolve["gain"].GetDouble()));
    EXPECT_EQ(output["tracks"]["metadata"]["app"], input["tracks"]["metadata"]["app"]);
    EXPECT_EQ(output["tracks"]["children"][0]["metadata"]["fcp_xml"],
              input["tracks"]["children"][0]["metadata"]["fcp_xml"]);
    const rapidjson::Value& clip = itemOf(output, 0);
    EXPECT_EQ(clip["metadata"]["cmx_3600"], itemOf(input, 0)["metadata"]["cmx_3600"]);
    EXPECT_EQ(clip["color"], itemOf(input, 0)["color"]);
    EXPECT_EQ(clip["media_references"]["DEFAULT_MEDIA"]["metadata"]["vendor"],
              itemOf(input, 0)["media_references"]["DEFAULT_MEDIA"]["metadata"]["vendor"]);
    // A media reference's name, which the edit tree has no place for.
    EXPECT_STREQ(clip["media_references"]["DEFAULT_MEDIA"]["name"].GetString(), "sh010.mov");

    // The markers, each as it came (its schema version included), and not as effects.
    EXPECT_EQ(clip["markers"], itemOf(input, 0)["markers"]);
    EXPECT_EQ(clip["effects"].Size(), 0u);
    const rapidjson::Value& gap = itemOf(output, 1);
    EXPECT_EQ(gap["markers"], itemOf(input, 1)["markers"]);

    // The image sequence, as one again.
    const rapidjson::Value& sequence = itemOf(output, 2)["media_references"]["DEFAULT_MEDIA"];
    const rapidjson::Value& original = itemOf(input, 2)["media_references"]["DEFAULT_MEDIA"];
    EXPECT_STREQ(sequence["OTIO_SCHEMA"].GetString(), "ImageSequenceReference.1");
    EXPECT_FALSE(sequence.HasMember("target_url"));
    for (const char* key :
         {"name", "target_url_base", "name_prefix", "name_suffix", "start_frame", "frame_step",
          "rate", "frame_zero_padding", "missing_frame_policy", "available_range"})
        EXPECT_EQ(sequence[key], original[key]) << key;

    // OTIO sees the same items where they were.
    const std::vector<SeenTrack> before = seenTracks(kDocument);
    std::vector<SeenTrack> after = seenTracks(written);
    ASSERT_EQ(after.size(), 1u);
    ASSERT_EQ(after[0].items.size(), before[0].items.size());
    for (std::size_t i = 0; i < before[0].items.size(); ++i) {
        EXPECT_EQ(after[0].items[i].name, before[0].items[i].name);
        EXPECT_EQ(after[0].items[i].recordStart, before[0].items[i].recordStart);
        EXPECT_EQ(after[0].items[i].recordDuration, before[0].items[i].recordDuration);
    }

    // And the text reads back into the same tree, nothing lost.
    LossReport again;
    const SharedPtr<Composition> reread = readStandard(written, again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(entriesOf(again), std::vector<std::string>());
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(*read));
}

TEST(StandardOtioKeeping, ChangedNotesAreWrittenAsWhatTheySay) {
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(kDocument, losses);
    ASSERT_TRUE(read);
    // A host moves the first note of "sh010" two frames on and rewrites it.
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    auto* layer = firstLayerOf(*root);
    ASSERT_NE(layer, nullptr);
    auto* source = dynamic_cast<DmSourceNode*>(layer->getChild(0));
    ASSERT_NE(source, nullptr);
    auto* note = dynamic_cast<DmAnnotationSettings*>(source->getEffect(0));
    ASSERT_NE(note, nullptr);
    auto* text = dynamic_cast<DmTextLayer*>(note->getLayer(0));
    ASSERT_NE(text, nullptr);
    text->setFrameRange(86412, 3);
    text->getParagraph(0)->setTextStr(DmString("sharp"));

    const std::string written = writeStandard(*fromTree(*root));
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& marker = itemOf(output, 0)["markers"][0];
    EXPECT_STREQ(marker["OTIO_SCHEMA"].GetString(), "Marker.2");
    EXPECT_STREQ(marker["name"].GetString(), "sharp");
    EXPECT_STREQ(marker["color"].GetString(), "RED");
    EXPECT_EQ(marker["marked_range"]["start_time"]["value"].GetDouble(), 112.0);
    EXPECT_EQ(marker["marked_range"]["duration"]["value"].GetDouble(), 3.0);
    EXPECT_STREQ(marker["metadata"]["note"]["by"].GetString(), "sup");
    // The others are as they came.
    EXPECT_STREQ(itemOf(output, 0)["markers"][1]["OTIO_SCHEMA"].GetString(), "Marker.3");
}

TEST(StandardOtioKeeping, ANoteWithoutAMarkersShapeIsWrittenAsAnEmptyMarker) {
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(kDocument, losses);
    ASSERT_TRUE(read);
    // A host gives the gap "hole" a second note standing for its marker "fill",
    // but drawn: one paint layer, no text and no frame range of its own. It says
    // nothing a marker holds, so its marker is written new from what it shows:
    // no name, OTIO's default green, and no length at the gap's start (0).
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    DmSegmentNode* gap = nullptr;
    DmString kept;
    const DmLayerNode* layer = firstLayerOf(*root);
    for (std::uint32_t i = 0; i < layer->getNbChildren() && !gap; ++i) {
        auto* segment = dynamic_cast<DmSegmentNode*>(layer->getChild(i));
        if (segment && segment->getNbEffects() == 1 &&
            segment->getEffect(0)->getPropertyValue(Interchange::ForeignMembers::kMarkerId,
                                                    eDmPropString, &kept) == eDmSuccess &&
            kept.str().find("\"fill\"") != std::string::npos)
            gap = segment;
    }
    ASSERT_NE(gap, nullptr);
    const CoSharedPtr<DmAnnotationSettings> drawn(DmAnnotationSettings::create());
    drawn->addLayer(DmPaintLayer::create());
    drawn->setPropertyValue(Interchange::ForeignMembers::kMarkerId, eDmPropString, &kept);
    gap->addEffect(drawn.get());

    const rapidjson::Document output = parsedWithLiterals(writeStandard(*fromTree(*root)));
    const rapidjson::Value& markers = itemOf(output, 1)["markers"];
    ASSERT_EQ(markers.Size(), 2u);
    EXPECT_EQ(markers[0], itemOf(parsedWithLiterals(kDocument), 1)["markers"][0]);
    EXPECT_STREQ(markers[1]["OTIO_SCHEMA"].GetString(), "Marker.2");
    EXPECT_STREQ(markers[1]["name"].GetString(), "");
    EXPECT_STREQ(markers[1]["color"].GetString(), "GREEN");
    EXPECT_EQ(markers[1]["marked_range"]["start_time"]["value"].GetDouble(), 0.0);
    EXPECT_EQ(markers[1]["marked_range"]["duration"]["value"].GetDouble(), 0.0);
}

TEST(StandardOtioKeeping, AnEffectNestedTooDeeplyToKeepIsDroppedAndSaysSo) {
    // Two speeds on a clip: the first carries metadata nested `depth` objects
    // (or an object holding arrays) deep. Kept beside the clip's other
    // leftovers, two levels down, the effect's objects and arrays may go 128
    // (what the edit tree keeps) - 2 levels deep: the effect itself and 125
    // below it. Deeper, it is dropped and not written back; the second is kept
    // and written back as it came.
    const std::string dropped = "/tracks/children/0/children/0/effects/0 | LinearTimeWarp.1 | "
                                "dropped: not an effect the edit tree has settings for";
    const std::string kept = "/tracks/children/0/children/0/effects/0 | LinearTimeWarp.1 | not "
                             "applied: not an effect the edit tree has settings for (kept, and "
                             "written back as it came)";
    const struct {
        int depth;
        bool arrays; ///< all but the outermost
        bool kept;
    } cases[] = {{124, false, true},  {125, false, true}, {126, false, false},
                 {140, false, false}, {125, true, true},  {126, true, false}};
    for (const auto& c : cases) {
        std::string deep = "1";
        for (int i = 1; i < c.depth; ++i)
            deep = c.arrays ? "[" + deep + "]" : R"({"a": )" + deep + "}";
        deep = R"({"a": )" + deep + "}";
        std::string clip = clipAt("24.0", "10.0");
        clip.insert(clip.size() - 1,
                    R"(, "effects": [{"OTIO_SCHEMA": "LinearTimeWarp.1", "time_scalar": 2.0, )"
                    R"("metadata": )" +
                        deep + R"(}, {"OTIO_SCHEMA": "LinearTimeWarp.1", "time_scalar": 3.0}])");
        const std::string text = timelineOf(clip);
        LossReport losses;
        const SharedPtr<Composition> read = readStandard(text, losses);
        ASSERT_TRUE(read) << c.depth << " " << c.arrays;
        EXPECT_EQ(entriesOf(losses),
                  (std::vector<std::string>{
                      c.kept ? kept : dropped,
                      "/tracks/children/0/children/0/effects/1 | LinearTimeWarp.1 | not applied: "
                      "not an effect the edit tree has settings for (kept, and written back as it "
                      "came)",
                  }))
            << c.depth << " " << c.arrays;
        const rapidjson::Document output = parsedWithLiterals(writeStandard(*read));
        const rapidjson::Value& effects = itemOf(output, 0)["effects"];
        ASSERT_EQ(effects.Size(), c.kept ? 2u : 1u) << c.depth << " " << c.arrays;
        EXPECT_EQ(effects[effects.Size() - 1]["time_scalar"].GetDouble(), 3.0)
            << c.depth << " " << c.arrays;
        if (c.kept) {
            EXPECT_EQ(effects[0]["metadata"], parsedWithLiterals(deep))
                << c.depth << " " << c.arrays;
        }
    }
}

TEST(StandardOtioKeeping, ALossNamesItsMemberByItsJsonPointer) {
    // Metadata nested more deeply than the edit tree keeps is reported under
    // its member's name, '~' written "~0" and '/' written "~1".
    std::string deep = "1";
    for (int i = 0; i < 140; ++i)
        deep = R"({"a": )" + deep + "}";
    const struct {
        const char* name;
        const char* token;
    } cases[] = {
        {"plain", "plain"}, {"a/b", "a~1b"}, {"~", "~0"},   {"~1/", "~01~1"},
        {"//", "~1~1"},     {"", ""},        {"x~", "x~0"}, {"/ab~cd", "~1ab~0cd"},
    };
    for (const auto& c : cases) {
        rapidjson::Document name;
        name.SetString(c.name, name.GetAllocator());
        rapidjson::StringBuffer quoted;
        rapidjson::Writer<rapidjson::StringBuffer> writer(quoted);
        name.Accept(writer);
        std::string clip = clipAt("24.0", "10.0");
        clip.insert(clip.size() - 1,
                    std::string(R"(, "metadata": {)") + quoted.GetString() + ": " + deep + "}");
        const std::string text = timelineOf(clip);
        LossReport losses;
        ASSERT_TRUE(readStandard(text, losses)) << c.name;
        EXPECT_EQ(entriesOf(losses),
                  std::vector<std::string>{"/tracks/children/0/children/0/metadata/" +
                                           std::string(c.token) +
                                           " | Clip.2 | metadata not kept: nested more deeply "
                                           "than the edit tree keeps"})
            << c.name;
    }
}

/// The "OTIO_SCHEMA" of every object in `value`, and the type of each marker's
/// colour where it has one ("Marker.2 string").
void schemasIn(const rapidjson::Value& value, std::set<std::string>& schemas) {
    if (value.IsArray()) {
        for (const auto& element : value.GetArray())
            schemasIn(element, schemas);
        return;
    }
    if (!value.IsObject())
        return;
    if (value.HasMember("OTIO_SCHEMA")) {
        const std::string schema = value["OTIO_SCHEMA"].GetString();
        schemas.insert(schema);
        if (schema.rfind("Marker.", 0) == 0 && value.HasMember("color"))
            schemas.insert(schema + (value["color"].IsString() ? " string" : " object"));
    }
    for (const auto& member : value.GetObject())
        schemasIn(member.value, schemas);
}

TEST(StandardOtioKeeping, EachOtioVersionGetsItsOwnSchemas) {
    // kDocument's clip gets a second reference, and a nested stack after it holds
    // a Clip.1 and a Clip.2 of two references: with its markers (Marker.1, .2
    // and .3), every kind of clip and marker is kept somewhere.
    std::string text = kDocument;
    text.insert(text.find(R"("DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1")"),
                R"("PROXY": {"OTIO_SCHEMA": "MissingReference.1"}, )");
    const std::string nested =
        R"(, {"OTIO_SCHEMA": "Stack.1", "name": "nest", "children": [{"OTIO_SCHEMA": "Track.1",
        "kind": "Video", "children": [{"OTIO_SCHEMA": "Clip.1", "name": "one", "source_range": )" +
        timeRange("0", "5", "24") +
        R"(, "media_reference": null}, {"OTIO_SCHEMA": "Clip.2", "name": "two",
        "media_references": {"A": {"OTIO_SCHEMA": "MissingReference.1"}, "B": {"OTIO_SCHEMA":
        "MissingReference.1"}}, "active_media_reference_key": "A"}]}]})";
    text.insert(text.rfind("]}]}}"), nested);
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    // A host rewrites a note: it goes out as a new marker of the version.
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    auto* note = dynamic_cast<DmAnnotationSettings*>(
        dynamic_cast<DmSourceNode*>(firstLayerOf(*root)->getChild(0))->getEffect(0));
    ASSERT_NE(note, nullptr);
    dynamic_cast<DmTextLayer*>(note->getLayer(0))->getParagraph(0)->setTextStr(DmString("sharp"));
    const SharedPtr<Composition> changed = fromTree(*root);
    TimelineView timing;
    ASSERT_TRUE(TimelineView::build(*changed, timing));

    const std::string common[] = {"Timeline.1",
                                  "Stack.1",
                                  "Track.1",
                                  "Gap.1",
                                  "Color.1",
                                  "ExternalReference.1",
                                  "ImageSequenceReference.1",
                                  "MissingReference.1",
                                  "RationalTime.1",
                                  "TimeRange.1"};
    const std::string dropped = " not written: a Clip.1 holds one media reference, the active one";
    for (const OtioVersion version : kOtioVersions) {
        const std::string label = otioVersionName(version);
        OtioVersion parsed = OtioVersion::V0_15_0;
        EXPECT_TRUE(otioVersionFromName(label.c_str(), parsed) && parsed == version) << label;
        const bool clip1 = version == OtioVersion::V0_14_0;
        const bool marker3 = version == OtioVersion::V0_19_0;
        StandardOtio::WriteOptions options;
        options.version = version;
        options.losses = &losses;
        String out;
        ASSERT_TRUE(StandardOtio::write(*changed, options, out)) << label;
        std::set<std::string> expected(std::begin(common), std::end(common));
        expected.insert({clip1 ? "Clip.1" : "Clip.2", marker3 ? "Marker.3" : "Marker.2",
                         marker3 ? "Marker.3 object" : "Marker.2 string"});
        std::set<std::string> schemas;
        schemasIn(parsedWithLiterals(out.c_str()), schemas);
        EXPECT_EQ(schemas, expected) << label;
        // Only 0.14 has no place for the clips' other references.
        std::vector<std::string> lost;
        if (clip1)
            lost = {"/tracks/children/0/children/0/media_reference | Clip.1 | media reference "
                    "\"PROXY\"" +
                        dropped,
                    "/tracks/children/0/children/3/children/0/children/1/media_reference | "
                    "Clip.1 | media reference \"B\"" +
                        dropped};
        EXPECT_EQ(entriesOf(losses), lost) << label;
        // Each reads back with the same timing.
        const SharedPtr<Composition> back = readStandard(out.c_str(), losses);
        ASSERT_TRUE(back) << label;
        TimelineView seen;
        ASSERT_TRUE(TimelineView::build(*back, seen));
        EXPECT_EQ(seen.duration, timing.duration) << label;
        for (std::size_t i = 0; i < timing.tracks[0].items.size(); ++i) {
            EXPECT_EQ(seen.tracks[0].items[i].record.start, timing.tracks[0].items[i].record.start);
            EXPECT_EQ(seen.tracks[0].items[i].record.duration,
                      timing.tracks[0].items[i].record.duration);
        }
    }
    // The new marker in a Color.1: the note's red, named.
    StandardOtio::WriteOptions newest;
    newest.version = OtioVersion::V0_19_0;
    String out;
    ASSERT_TRUE(StandardOtio::write(*changed, newest, out));
    const rapidjson::Document written = parsedWithLiterals(out.c_str());
    const rapidjson::Value& colour = itemOf(written, 0)["markers"][0]["color"];
    EXPECT_STREQ(colour["name"].GetString(), "Red");
    EXPECT_EQ(colour["r"].GetDouble() + colour["g"].GetDouble() + colour["b"].GetDouble(), 1.0);
    // The release 0.19 is also known by its label in the making; no other.
    OtioVersion version = OtioVersion::V0_14_0;
    EXPECT_TRUE(otioVersionFromName("0.19.0.dev1", version) && version == OtioVersion::V0_19_0);
    for (const char* other : {"0.13.0", "0.19", "", "current"})
        EXPECT_FALSE(otioVersionFromName(other, version)) << other;
    EXPECT_FALSE(otioVersionFromName(nullptr, version));
    // Values outside the enumeration have no label.
    EXPECT_STREQ(otioVersionName(static_cast<OtioVersion>(-1)), "");
    EXPECT_STREQ(otioVersionName(static_cast<OtioVersion>(std::size(kOtioVersions))), "");
}

TEST(StandardOtioKeeping, WhatCannotBeKeptIsStillReported) {
    const std::string text = R"({"OTIO_SCHEMA": "Timeline.1", "name": "t",
      "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
        {"OTIO_SCHEMA": "Track.1", "kind": "Video",
         "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "on the track"}],
         "children": [
          {"OTIO_SCHEMA": "Clip.2", "name": "c",
           "source_range": {"OTIO_SCHEMA": "TimeRange.1",
             "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
             "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 10.0}},
           "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "GeneratorReference.1",
             "generator_kind": "SMPTEBars", "parameters": {}}},
           "active_media_reference_key": "DEFAULT_MEDIA",
           "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "nowhere"},
                       {"OTIO_SCHEMA": "Effect.1", "effect_name": "odd"}]}]}]}})";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses),
              (std::vector<std::string>{
                  "/tracks/children/0/markers/0 | Marker.2 | marker not shown: the edit tree "
                  "keeps notes on clips and gaps only (kept, and written back as it came)",
                  "/tracks/children/0/children/0/media_references/DEFAULT_MEDIA | "
                  "GeneratorReference.1 | approximated: read as missing media (the edit tree "
                  "plays no generated media) (kept, and written back as it came)",
                  "/tracks/children/0/children/0/markers/0 | Marker.2 | approximated: without a "
                  "usable marked range the note covers the whole item",
                  "/tracks/children/0/children/0/markers/1 | Effect.1 | dropped: not a marker",
              }));
    // The generator plays as missing media, and goes back out as the generator,
    // its members with it.
    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& reference = itemOf(output, 0)["media_references"]["DEFAULT_MEDIA"];
    EXPECT_STREQ(reference["OTIO_SCHEMA"].GetString(), "GeneratorReference.1");
    EXPECT_STREQ(reference["generator_kind"].GetString(), "SMPTEBars");
    EXPECT_TRUE(reference["parameters"].IsObject());
    expectStableRoundTrip(*read, written);
    // The marker without a range is given the whole clip's, which OTIO requires.
    const rapidjson::Value& range = itemOf(output, 0)["markers"][0]["marked_range"];
    EXPECT_EQ(range["start_time"]["value"].GetDouble(), 0.0);
    EXPECT_EQ(range["duration"]["value"].GetDouble(), 10.0);
    EXPECT_EQ(itemOf(output, 0)["markers"].Size(), 1u);
}

TEST(StandardOtioKeeping, WhatTheEditTreeCannotApplyIsWrittenBackAsItCame) {
    // A retime and a plug-in effect on a clip, effects and markers on a track and
    // on the stack, disabled items, transitions: the edit tree plays none of it,
    // reports each, and writes each back where it was. An effect of a schema OTIO does not know
    // would make the document unreadable to OTIO, and is not kept.
    const char* const text = R"({"OTIO_SCHEMA": "Timeline.1", "name": "t",
      "tracks": {"OTIO_SCHEMA": "Stack.1", "name": "tracks",
        "effects": [{"OTIO_SCHEMA": "Effect.1", "name": "grade", "effect_name": "LUT"}],
        "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "reel break", "color": "RED",
          "marked_range": {"OTIO_SCHEMA": "TimeRange.1",
            "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 5.0},
            "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0}}}],
        "children": [
        {"OTIO_SCHEMA": "Track.1", "name": "V1", "kind": "Video", "enabled": false,
         "effects": [{"OTIO_SCHEMA": "Effect.1", "name": "fade", "effect_name": "Opacity",
                      "metadata": {"app": {"level": 0.5}}}],
         "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "on the track", "color": "GREEN",
          "marked_range": {"OTIO_SCHEMA": "TimeRange.1",
            "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0},
            "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 1.0}}}],
         "children": [
          {"OTIO_SCHEMA": "Clip.2", "name": "fast", "enabled": false,
           "source_range": {"OTIO_SCHEMA": "TimeRange.1",
             "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
             "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 10.0}},
           "effects": [
             {"OTIO_SCHEMA": "LinearTimeWarp.1", "name": "speed", "effect_name": "",
              "time_scalar": 2.0},
             {"OTIO_SCHEMA": "VendorWipe.1", "angle": 45},
             {"OTIO_SCHEMA": "FreezeFrame.1", "name": "hold", "effect_name": "FreezeFrame",
              "time_scalar": 0.0},
             {"OTIO_SCHEMA": "Effect.1", "name": "blur", "effect_name": "Blur",
              "metadata": {"radius": 4}}]},
          {"OTIO_SCHEMA": "Transition.1", "name": "dissolve", "transition_type": "SMPTE_Dissolve",
           "in_offset": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0},
           "out_offset": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 2.0}},
          {"OTIO_SCHEMA": "Gap.1", "name": "pause", "enabled": false,
           "effects": [{"OTIO_SCHEMA": "Effect.1", "effect_name": "Colour"}],
           "source_range": {"OTIO_SCHEMA": "TimeRange.1",
             "start_time": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0},
             "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 4.0}}},
          {"OTIO_SCHEMA": "Transition.1", "name": "fade out", "transition_type": "Custom",
           "in_offset": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 1.0},
           "out_offset": {"OTIO_SCHEMA": "RationalTime.1", "rate": 24.0, "value": 0.0}}]}]}})";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    const std::vector<std::string> reported = entriesOf(losses);
    EXPECT_EQ(reported.size(), 14u);
    EXPECT_EQ(std::count_if(reported.begin(), reported.end(),
                            [](const std::string& entry) {
                                return entry.find("(kept, and written back as it came)") !=
                                       std::string::npos;
                            }),
              10);
    EXPECT_NE(std::find(reported.begin(), reported.end(),
                        "/tracks/children/0/children/0/effects/1 | VendorWipe.1 | dropped: not "
                        "an effect the edit tree has settings for"),
              reported.end());

    // Played as if none of it were there: both items, in full.
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 1u);
    ASSERT_EQ(view.tracks[0].items.size(), 2u);
    EXPECT_TRUE(view.tracks[0].items[0].effects.empty());
    EXPECT_EQ(view.duration, 14);

    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document input = parsedWithLiterals(text);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& stack = output["tracks"];
    EXPECT_EQ(stack["effects"], input["tracks"]["effects"]);
    EXPECT_EQ(stack["markers"], input["tracks"]["markers"]);
    EXPECT_TRUE(stack["enabled"].GetBool());
    const rapidjson::Value& track = stack["children"][0];
    EXPECT_EQ(track["effects"], input["tracks"]["children"][0]["effects"]);
    EXPECT_EQ(track["markers"], input["tracks"]["children"][0]["markers"]);
    EXPECT_FALSE(track["enabled"].GetBool());
    // The transitions between the items and after the last one, as they came.
    ASSERT_EQ(track["children"].Size(), 4u);
    EXPECT_EQ(track["children"][1], itemOf(input, 1));
    EXPECT_EQ(track["children"][3], itemOf(input, 3));
    const rapidjson::Value& clip = itemOf(output, 0);
    ASSERT_EQ(clip["effects"].Size(), 3u);
    // In their order, less the one not kept.
    EXPECT_EQ(clip["effects"][0], itemOf(input, 0)["effects"][0]);
    EXPECT_EQ(clip["effects"][1], itemOf(input, 0)["effects"][2]);
    EXPECT_EQ(clip["effects"][2], itemOf(input, 0)["effects"][3]);
    EXPECT_FALSE(clip["enabled"].GetBool());
    const rapidjson::Value& gap = itemOf(output, 2);
    EXPECT_EQ(gap["effects"], itemOf(input, 2)["effects"]);
    EXPECT_FALSE(gap["enabled"].GetBool());

    // Read again: the same tree and the same report, less the effect not kept.
    LossReport again;
    const SharedPtr<Composition> reread = readStandard(written, again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(*read));
    EXPECT_EQ(entriesOf(again).size(), reported.size() - 1);

    // The product dialect has no place for any of it, and shows none of it.
    String product;
    ASSERT_TRUE(read->getJson(Composition::JsonType::Otio, product));
    const std::string productText(product.c_str(), product.size());
    for (const char* word : {"Blur", "LinearTimeWarp", "reel break", "Opacity", "LUT"})
        EXPECT_EQ(productText.find(word), std::string::npos) << word;
}

TEST(StandardOtioKeeping, ANestedCompositionStartingInsideTheItemBeforeIsNotKept) {
    // A track trimmed to 5+12 shows frames 5..10 of clip "a" (track time 0..10)
    // at record 0..5. The clip of -10 frames after it is hidden by the trim, and
    // OTIO's sum of durations takes the nested track after it back to track time
    // 0..10: it shows at record 0..5 too, inside "a", where the writer can only
    // give it as an offline clip with its record-in, not as the track as it
    // came. So it is not kept, says so, and what is written reads back into the
    // same tree.
    const auto range = [](int start, int frames) { return timeRange(start, frames, 24); };
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "source_range": )" +
        range(5, 12) + R"(, "children": [{"OTIO_SCHEMA": "Clip.2", "name": "a", "source_range": )" +
        range(200, 10) + R"(}, {"OTIO_SCHEMA": "Clip.2", "name": "back", "source_range": )" +
        range(100, -10) +
        R"(}, {"OTIO_SCHEMA": "Track.1", "name": "n", "kind": "Video", "children": [)"
        R"({"OTIO_SCHEMA": "Clip.2", "name": "inner", "source_range": )" +
        range(300, 10) + "}]}]}]}}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 1u);
    ASSERT_GE(view.tracks[0].items.size(), 2u);
    EXPECT_EQ(view.tracks[0].items[0].name, "a");
    EXPECT_EQ(view.tracks[0].items[0].record, (FrameRange{0, 5}));
    EXPECT_EQ(view.tracks[0].items[1].name, "n");
    EXPECT_EQ(view.tracks[0].items[1].record, (FrameRange{0, 5}));
    const std::vector<std::string> reported = entriesOf(losses);
    for (const std::string& entry : reported)
        EXPECT_EQ(entry.find("(kept, and written back as it came)"), std::string::npos) << entry;
    EXPECT_NE(std::find(reported.begin(), reported.end(),
                        "/tracks/children/0/children/2/children/0 | Clip.2 | dropped: inside a "
                        "nested composition read as one offline clip"),
              reported.end());

    LossReport again;
    const SharedPtr<Composition> reread = readStandard(writeStandard(*read), again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(*read));
}

TEST(StandardOtioKeeping, ANestedCompositionIsWrittenBackWhileItsClipStaysAsRead) {
    // A compound clip between two shots: read as one offline clip of 12 frames,
    // its own marker a note on it, written back as the stack it was, what it
    // holds included.
    const auto range = [](int start, int frames) { return timeRange(start, frames, 24); };
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "name": "V1", "kind": "Video", "children": [)"
        R"({"OTIO_SCHEMA": "Clip.2", "name": "before", "source_range": )" +
        range(0, 10) +
        R"(}, {"OTIO_SCHEMA": "Stack.1", "name": "compound", "markers": [{"OTIO_SCHEMA": )"
        R"("Marker.2", "name": "own", "marked_range": )" +
        range(2, 1) +
        R"(}], "children": [{"OTIO_SCHEMA": )"
        R"("Track.1", "kind": "Video", "children": [{"OTIO_SCHEMA": "Clip.2", "name": "inner", )"
        R"("source_range": )" +
        range(100, 12) +
        R"(, "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "MissingReference.1"}}, )"
        R"("active_media_reference_key": "DEFAULT_MEDIA", )"
        R"("markers": [{"OTIO_SCHEMA": "Marker.2", "name": "m", "marked_range": )" +
        range(101, 1) + R"(}]}]}]}, {"OTIO_SCHEMA": "Clip.2", "name": "after", "source_range": )" +
        range(0, 5) + "}]}]}}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 1u);
    ASSERT_EQ(view.tracks[0].items.size(), 3u);
    EXPECT_EQ(view.tracks[0].items[1].name, "compound");
    EXPECT_TRUE(view.tracks[0].items[1].offline);
    EXPECT_EQ(view.tracks[0].items[1].record, (FrameRange{10, 12}));
    EXPECT_EQ(view.duration, 27);
    ASSERT_EQ(view.tracks[0].items[1].notes.size(), 1u);
    EXPECT_EQ(view.tracks[0].items[1].notes[0].range, (FrameRange{12, 1}));
    const std::vector<std::string> reported = entriesOf(losses);
    ASSERT_EQ(reported.size(), 4u); // the stack, its track, the clip and the marker
    for (const std::string& entry : reported)
        EXPECT_NE(entry.find("(kept, and written back as it came)"), std::string::npos) << entry;

    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document input = parsedWithLiterals(text);
    const rapidjson::Document output = parsedWithLiterals(written);
    ASSERT_EQ(output["tracks"]["children"][0]["children"].Size(), 3u);
    // Every member as it came, its marker included, and the (empty) effects OTIO
    // writes for every item.
    const rapidjson::Value& stack = itemOf(output, 1);
    for (const auto& member : itemOf(input, 1).GetObject())
        EXPECT_EQ(stack[member.name], member.value) << member.name.GetString();
    EXPECT_EQ(stack.MemberCount(), itemOf(input, 1).MemberCount() + 1);
    EXPECT_TRUE(stack["effects"].IsArray() && stack["effects"].Empty());
    LossReport again;
    const SharedPtr<Composition> reread = readStandard(written, again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(*read));
    EXPECT_EQ(entriesOf(again), reported);

    // Renamed by a host, and given a review note, the clip is still the stack:
    // it is written back as the stack, with the new name and the note, which
    // read back onto the offline clip.
    Status status;
    const CoSharedPtr<DmPropertySet> copy = read->getTree(status).clone();
    auto* root = dynamic_cast<DmRoot*>(copy.get());
    ASSERT_NE(root, nullptr);
    DmTreeNode* layer = root->getChild(0)->getChild(0)->getChild(0)->getChild(0);
    auto* compound = dynamic_cast<DmSourceNode*>(layer->getChild(2)); // after a cut
    ASSERT_NE(compound, nullptr);
    ASSERT_EQ(compound->getName().str(), "compound");
    compound->setName("compound v2");
    const CoSharedPtr<DmAnnotationSettings> note(DmAnnotationSettings::create());
    compound->addEffect(note.get());
    const std::string renamed = writeStandard(*fromTree(*root));
    expectLoadableByOtio(renamed);
    const rapidjson::Document changed = parsedWithLiterals(renamed);
    const rapidjson::Value& nested = itemOf(changed, 1);
    EXPECT_STREQ(nested["OTIO_SCHEMA"].GetString(), "Stack.1");
    EXPECT_STREQ(nested["name"].GetString(), "compound v2");
    EXPECT_EQ(nested["children"], itemOf(input, 1)["children"]);
    EXPECT_EQ(nested["effects"].Size(), 1u);
    LossReport renamedLosses;
    const SharedPtr<Composition> renamedRead = readStandard(renamed, renamedLosses);
    ASSERT_TRUE(renamedRead);
    TimelineView renamedView;
    ASSERT_TRUE(TimelineView::build(*renamedRead, renamedView));
    EXPECT_EQ(renamedView.tracks[0].items[1].name, "compound v2");
    // The note of its own marker and the host's.
    EXPECT_EQ(renamedView.tracks[0].items[1].effects.size(), 2u);
    EXPECT_EQ(nested["markers"], itemOf(input, 1)["markers"]);
    EXPECT_EQ(writeStandard(*renamedRead), renamed);

    // Trimmed by a host to the first 6 of the 12 frames it had, it plays part of
    // the stack: the stack is written with that range, what it holds as it came,
    // and reads back as the clip the host made.
    compound->setRecLength(6.0);
    const std::string cut = writeStandard(*fromTree(*root));
    expectLoadableByOtio(cut);
    const rapidjson::Document trimmed = parsedWithLiterals(cut);
    const rapidjson::Value& part = itemOf(trimmed, 1);
    EXPECT_STREQ(part["OTIO_SCHEMA"].GetString(), "Stack.1");
    EXPECT_EQ(part["children"], itemOf(input, 1)["children"]);
    EXPECT_EQ(part["source_range"], parsedWithLiterals(range(0, 6)));
    // The stack lasts 6 frames now; the cut after it stays where it was, after a
    // hole.
    LossReport trimmedLosses;
    const SharedPtr<Composition> trimmedRead = readStandard(cut, trimmedLosses);
    ASSERT_TRUE(trimmedRead);
    EXPECT_EQ(entriesOf(trimmedLosses), reported);
    TimelineView trimmedView;
    ASSERT_TRUE(TimelineView::build(*trimmedRead, trimmedView));
    EXPECT_EQ(trimmedView.tracks[0].items[1].record, (FrameRange{10, 6}));
    EXPECT_EQ(trimmedView.tracks[0].items[1].source.start, 0);
    EXPECT_EQ(trimmedView.tracks[0].items[2].record, (FrameRange{22, 5}));
    EXPECT_EQ(writeStandard(*trimmedRead), cut);

    // Made longer than the stack, it no longer plays what the stack holds: it is
    // written as the offline clip it is now.
    compound->setRecLength(13.0);
    const rapidjson::Document longer = parsedWithLiterals(writeStandard(*fromTree(*root)));
    const rapidjson::Value& clip = itemOf(longer, 1);
    EXPECT_STREQ(clip["OTIO_SCHEMA"].GetString(), "Clip.2");
    EXPECT_STREQ(clip["name"].GetString(), "compound v2");
    EXPECT_EQ(clip["source_range"]["duration"]["value"].GetDouble(), 13.0);

    // Back at its 12 frames but given a property of a host's own (id 1, the first
    // in id order), it holds more than the stack can say: the offline clip again.
    compound->setRecLength(12.0);
    const std::int32_t mark = 1;
    compound->setPropertyValue(1, eDmPropInt32, &mark);
    const rapidjson::Document marked = parsedWithLiterals(writeStandard(*fromTree(*root)));
    EXPECT_STREQ(itemOf(marked, 1)["OTIO_SCHEMA"].GetString(), "Clip.2");
}

TEST(StandardOtioKeeping, MediaWithoutARangeIsWrittenBackWithoutOne) {
    // The edit tree needs a range for every media input: a reference without one
    // plays its clip's, and is written back with none, absent or null alike.
    const std::string range =
        R"({"OTIO_SCHEMA": "TimeRange.1", "start_time": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 24.0, "value": 100.0}, "duration": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 24.0, "value": 10.0}})";
    // A clip timed at two rates, as no application writes it but a reader must
    // take: its range at 12 gives the media 12 frames at 12.
    const std::string twoRates =
        R"({"OTIO_SCHEMA": "TimeRange.1", "start_time": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 12.0, "value": 110.0}, "duration": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 24.0, "value": 24.0}})";
    const auto clip = [&](const std::string& name, const std::string& reference,
                          const std::string& clipRange = std::string()) {
        return R"({"OTIO_SCHEMA": "Clip.2", "name": ")" + name + R"(", "source_range": )" +
               (clipRange.empty() ? range : clipRange) +
               R"(, "media_references": {"DEFAULT_MEDIA": )" + reference +
               R"(}, "active_media_reference_key": "DEFAULT_MEDIA"})";
    };
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
        clip("absent", R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": "a.mov"})") + "," +
        clip("null", R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": "b.mov", )"
                     R"("available_range": null})") +
        "," +
        clip("given", R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": "c.mov", )"
                      R"("available_range": )" +
                          range + "}") +
        "," +
        clip("two rates", R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": "d.mov"})",
             twoRates) +
        "]}]}}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document output = parsedWithLiterals(written);
    for (rapidjson::SizeType i = 0; i < 3; ++i) {
        const rapidjson::Value& reference = itemOf(output, i)["media_references"]["DEFAULT_MEDIA"];
        EXPECT_EQ(reference["available_range"].IsNull(), i < 2) << i;
    }
    // Read back, every input is as it was.
    expectStableRoundTrip(*read, written);
}

TEST(StandardOtioKeeping, MediaWithoutARangeThatItsClipDoesNotGiveBackIsNoted) {
    // A document the fuzz target mutated from one of ours: its clip counts at 12
    // and 24 frames per second, so its second input, which came without a range,
    // got one at 12 that the clip, written at 24, does not give back. It is
    // written with its range and a note, and reads back the same.
    const std::string text = readTestData("interchange/two-rates-mutated.otio");
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    const std::string written = writeStandard(*read);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& second = itemOf(output, 0)["media_references"]["MEDIA_2"];
    EXPECT_TRUE(second["available_range"].IsObject());
    EXPECT_TRUE(second["metadata"]["zem"]["no_available_range"].GetBool());
    expectStableRoundTrip(*read, written);
}

TEST(StandardOtioKeeping, TheStartIsWrittenBackAsItCame) {
    // A cut as an editing application writes it: picture at 23.976 from frame
    // 86313, with sound two seconds long, which lands on whole frames only at
    // 48000. The composition counts at 48000, but its start goes back out at the
    // rate and in the words it came in, while the start stays where it was.
    const auto timeline = [&](const std::string& start) {
        return R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", )" + start +
               R"("tracks": {"OTIO_SCHEMA": "Stack.1", "children": [)"
               R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
               clipAt("23.976", "48.0") +
               R"(]}, {"OTIO_SCHEMA": "Track.1", "kind": "Audio", "children": [)" +
               clipAt("48000.0", "96000.0") + "]}]}}";
    };
    const std::string start = rationalTime("86313", "23.976");
    const std::string text = timeline(R"("global_start_time": )" + start + ", ");
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    Time readStart;
    ASSERT_TRUE(read->getStartTime(readStart));
    EXPECT_EQ(readStart.getRate(), Rational(48000, 1));
    EXPECT_EQ(readStart.getNbTicks(), 86313 * 2002);

    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document output = parsedWithLiterals(written);
    EXPECT_EQ(output["global_start_time"], parsedWithLiterals(start));
    expectStableRoundTrip(*read, written);

    // A tool that rewrites that start at 24 moves it to that time.
    std::string rewritten = written;
    const std::string at24 = rationalTime("86400.0", "24.0");
    const std::string writtenStart = R"("global_start_time":)";
    const std::size_t at = rewritten.find(writtenStart) + writtenStart.size();
    rewritten.replace(at, rewritten.find('}', at) + 1 - at, at24);
    const SharedPtr<Composition> moved24 = readStandard(rewritten, losses);
    ASSERT_TRUE(moved24);
    Time start24;
    ASSERT_TRUE(moved24->getStartTime(start24));
    EXPECT_EQ(start24.getNbTicks(), 86400 * 2000);
    EXPECT_EQ(parsedWithLiterals(writeStandard(*moved24))["global_start_time"],
              parsedWithLiterals(at24));

    // A host that moves the start has it written at the composition's rate.
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    auto* composition = dynamic_cast<DmCompositionNode*>(root->getChild(0)->getChild(0));
    ASSERT_NE(composition, nullptr);
    composition->setStartTC(48000.0 * 3600, composition->getStartTcFcm());
    const rapidjson::Document moved = parsedWithLiterals(writeStandard(*fromTree(*root)));
    EXPECT_EQ(moved["global_start_time"]["rate"].GetDouble(), 48000.0);
    EXPECT_EQ(moved["global_start_time"]["value"].GetDouble(), 48000.0 * 3600);

    // Without a start, or with a null one, it is written back null while the
    // composition starts at 0; at the composition's own rate, as it is.
    for (const std::string& none : {std::string(), std::string(R"("global_start_time": null, )")}) {
        LossReport noLosses;
        const SharedPtr<Composition> unset = readStandard(timeline(none), noLosses);
        ASSERT_TRUE(unset);
        const std::string again = writeStandard(*unset);
        EXPECT_TRUE(parsedWithLiterals(again)["global_start_time"].IsNull()) << none;
        expectStableRoundTrip(*unset, again);
    }
    const std::string sameRate = rationalTime("172798626.0", "48000.0");
    const SharedPtr<Composition> plain =
        readStandard(timeline(R"("global_start_time": )" + sameRate + ", "), losses);
    ASSERT_TRUE(plain);
    EXPECT_EQ(parsedWithLiterals(writeStandard(*plain))["global_start_time"],
              parsedWithLiterals(sameRate));
    Time plainStart;
    ASSERT_TRUE(plain->getStartTime(plainStart));
    EXPECT_EQ(plainStart.getNbTicks(), readStart.getNbTicks());
}

TEST(StandardOtioKeeping, TransitionsAreFoundWhereTheySit) {
    // Picture at 23.976 with a dissolve of 6 + 6 frames between its two clips and
    // sound that puts the composition at 48000: the dissolve spans 12012 ticks
    // each side of the cut, on the first track. Sound and picture swap places in
    // the stack to show that tracks count as the timeline view counts them.
    const std::string dissolve =
        R"({"OTIO_SCHEMA": "Transition.1", "name": "mix", "transition_type": )"
        R"("SMPTE_Dissolve", "in_offset": )" +
        rationalTime("6.0", "23.976") + R"(, "out_offset": )" + rationalTime("6.0", "23.976") + "}";
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Audio", "children": [)" +
        clipAt("48000.0", "96000.0") +
        R"(]}, {"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
        clipAt("23.976", "48.0") + "," + dissolve + "," + clipAt("23.976", "24.0") + "]}]}}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 2u);
    ASSERT_EQ(view.tracks[1].items.size(), 2u);

    EXPECT_TRUE(view.tracks[0].transitions.empty());
    ASSERT_EQ(view.tracks[1].transitions.size(), 1u);
    const TimelineTransition& found = view.tracks[1].transitions[0];
    EXPECT_EQ(found.cut, view.tracks[1].items[1].record.start);
    EXPECT_EQ(found.cut, 48 * 2002);
    EXPECT_EQ(found.inOffset, 6 * 2002);
    EXPECT_EQ(found.outOffset, 6 * 2002);
    EXPECT_EQ(found.name, "mix");
    EXPECT_EQ(found.type, "SMPTE_Dissolve");

    // One on a track without items sits where the track starts.
    const std::string lonely =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "global_start_time": )" +
        rationalTime("86400.0", "24.0") +
        R"(, "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [{"OTIO_SCHEMA": "Track.1", )"
        R"("kind": "Video", "children": [)" +
        dissolve + "]}]}}";
    const SharedPtr<Composition> alone = readStandard(lonely, losses);
    ASSERT_TRUE(alone);
    ASSERT_TRUE(TimelineView::build(*alone, view));
    ASSERT_EQ(view.tracks.at(0).transitions.size(), 1u);
    EXPECT_EQ(view.tracks[0].transitions[0].cut, 86400);

    // Offsets past any timeline are bounded, so that a cut and its offsets add
    // up without overflow.
    const std::string huge =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
        clipAt("24.0", "10.0") +
        R"(, {"OTIO_SCHEMA": "Transition.1", "in_offset": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 24.0, "value": -1e300}, "out_offset": {"OTIO_SCHEMA": "RationalTime.1", )"
        R"("rate": 24.0, "value": 1e300}}]}]}})";
    const SharedPtr<Composition> far = readStandard(huge, losses);
    ASSERT_TRUE(far);
    ASSERT_TRUE(TimelineView::build(*far, view));
    ASSERT_EQ(view.tracks.at(0).transitions.size(), 1u);
    EXPECT_EQ(view.tracks[0].transitions[0].inOffset, -(std::int64_t(1) << 53));
    EXPECT_EQ(view.tracks[0].transitions[0].outOffset, std::int64_t(1) << 53);
}

TEST(StandardOtioKeeping, TrackKindsAreWrittenBackAsTheyCame) {
    // A subtitle track plays as video, and says so; a kind in lower case is the
    // kind it names. Both go back out in the words they came in.
    const auto track = [](const char* kind) {
        return std::string(R"({"OTIO_SCHEMA": "Track.1", "kind": ")") + kind +
               R"(", "children": [)" + clipAt("24.0", "10.0") + "]}";
    };
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [)" +
        track("Subtitle") + "," + track("audio") + "," + track("Video") + "]}}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{
                  "/tracks/children/0/kind | Track.1 | approximated: a track of kind \"Subtitle\" "
                  "is read as a video track: the edit tree has video and audio layers only "
                  "(kept, and written back as it came)"});
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks.size(), 3u);
    EXPECT_EQ(view.tracks[0].kind, TimelineTrack::Kind::Video);
    EXPECT_EQ(view.tracks[1].kind, TimelineTrack::Kind::Audio);

    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& tracks = output["tracks"]["children"];
    EXPECT_STREQ(tracks[0]["kind"].GetString(), "Subtitle");
    EXPECT_STREQ(tracks[1]["kind"].GetString(), "audio");
    EXPECT_STREQ(tracks[2]["kind"].GetString(), "Video");
    expectStableRoundTrip(*read, written);

    // A host that makes the subtitle layer an audio one has it written as audio.
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    auto* layer = firstLayerOf(*root);
    ASSERT_NE(layer, nullptr);
    layer->mediaType = eDmMediaAudio;
    const rapidjson::Document changed = parsedWithLiterals(writeStandard(*fromTree(*root)));
    EXPECT_STREQ(changed["tracks"]["children"][0]["kind"].GetString(), "Audio");
}

TEST(StandardOtioKeeping, MediaReferenceKeysAreWrittenBackAsTheyCame) {
    // Two references under a tool's own keys, the second one active: each goes
    // back out under its key, the active one still active.
    const auto reference = [](const char* url) {
        return std::string(R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": ")") + url +
               R"(", "available_range": null})";
    };
    const auto document = [&](const char* active) {
        return R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": )"
               R"("Stack.1", "children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", )"
               R"("children": [{"OTIO_SCHEMA": "Clip.2", "name": "c", "source_range": )" +
               timeRange("0.0", "10.0", "24.0") + R"(, "media_references": {"HIGH_RES": )" +
               reference("hi.mov") + R"(, "PROXY": )" + reference("proxy.mp4") +
               R"(}, "active_media_reference_key": ")" + active + R"("}]}]}})";
    };
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(document("PROXY"), losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read, view));
    ASSERT_EQ(view.tracks[0].items[0].media.size(), 2u);
    EXPECT_EQ(view.tracks[0].items[0].media[0].path, "proxy.mp4");

    const std::string written = writeStandard(*read);
    expectLoadableByOtio(written);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& clip = itemOf(output, 0);
    EXPECT_STREQ(clip["active_media_reference_key"].GetString(), "PROXY");
    EXPECT_STREQ(clip["media_references"]["PROXY"]["target_url"].GetString(), "proxy.mp4");
    EXPECT_STREQ(clip["media_references"]["HIGH_RES"]["target_url"].GetString(), "hi.mov");
    expectStableRoundTrip(*read, written);

    // The empty key is a tool's own key too (a fuzzed document found it written
    // back as "DEFAULT_MEDIA" while the tree still kept "").
    std::string emptyKey = document("");
    emptyKey.replace(emptyKey.find("HIGH_RES"), 8, "");
    const SharedPtr<Composition> keyless = readStandard(emptyKey, losses);
    ASSERT_TRUE(keyless);
    const std::string keylessText = writeStandard(*keyless);
    const rapidjson::Document keylessOutput = parsedWithLiterals(keylessText);
    const rapidjson::Value& keylessClip = itemOf(keylessOutput, 0);
    EXPECT_STREQ(keylessClip["active_media_reference_key"].GetString(), "");
    EXPECT_TRUE(keylessClip["media_references"].HasMember(""));
    expectStableRoundTrip(*keyless, keylessText);

    // Of two references under one key, the first is the clip's; the second is
    // reported, as the OpenTimelineIO library keeps only the first.
    std::string twice = document("PROXY");
    twice.replace(twice.find("HIGH_RES"), 8, "PROXY");
    const SharedPtr<Composition> first = readStandard(twice, losses);
    ASSERT_TRUE(first);
    EXPECT_EQ(
        entriesOf(losses),
        std::vector<std::string>{"/tracks/children/0/children/0/media_references/PROXY | none | "
                                 "dropped: a second media reference under the same key "
                                 "(the first is the clip's)"});
    TimelineView twiceView;
    ASSERT_TRUE(TimelineView::build(*first, twiceView));
    ASSERT_EQ(twiceView.tracks[0].items[0].media.size(), 1u);
    EXPECT_EQ(twiceView.tracks[0].items[0].media[0].path, "hi.mov");

    // An input a host adds takes a key of this system's that no other has.
    Status status;
    const CoSharedPtr<DmRoot> root = dmCloneOf(&read->getTree(status));
    ASSERT_TRUE(root);
    auto* layer = firstLayerOf(*root);
    ASSERT_NE(layer, nullptr);
    auto* source = dynamic_cast<DmSourceNode*>(layer->getChild(0));
    ASSERT_NE(source, nullptr);
    const CoSharedPtr<DmSourceNode::MediaInput> added(
        DmSourceNode::MediaInput::create(0.0, 10.0, nullptr, DmString("24"), eDmMediaVideo, true));
    source->addMultiInput(added.get());
    const rapidjson::Document more = parsedWithLiterals(writeStandard(*fromTree(*root)));
    const rapidjson::Value& references = itemOf(more, 0)["media_references"];
    EXPECT_EQ(references.MemberCount(), 3u);
    EXPECT_TRUE(references.HasMember("MEDIA_3"));

    // A reference that is not one is dropped, and said so.
    std::string withNull = document("PROXY");
    withNull.replace(withNull.find(R"("PROXY": )"), 0, R"("BROKEN": null, )");
    const SharedPtr<Composition> nulled = readStandard(withNull, losses);
    ASSERT_TRUE(nulled);
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{"/tracks/children/0/children/0/media_references/BROKEN | "
                                       "none | dropped: not a media reference"});

    // An active key that names none of them: the first plays, and it is said.
    const SharedPtr<Composition> dangling = readStandard(document("LOW_RES"), losses);
    ASSERT_TRUE(dangling);
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{
                  "/tracks/children/0/children/0/active_media_reference_key | Clip.2 | "
                  "approximated: it names none of the clip's media references: the first of "
                  "them plays (the OpenTimelineIO library plays none)"});
}

TEST(StandardOtioKeeping, ImageBoundsTheResolutionCannotGiveBackStayAsTheyCame) {
    // A box from x = 0.1 to 1920 is a resolution 1919.9 wide centred on 960.05,
    // whose bounds start at 0.09999999999990905: the box is kept, and written
    // back as it came, beside this system's description of the same resolution.
    const std::string text =
        R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "tracks": {"OTIO_SCHEMA": "Stack.1", )"
        R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)"
        R"({"OTIO_SCHEMA": "Clip.2", "name": "c", "source_range": )" +
        timeRange("0.0", "10.0", "24.0") +
        R"(, "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1", )"
        R"("target_url": "a.mov", "available_range": null, "available_image_bounds": )"
        R"({"OTIO_SCHEMA": "Box2d.1", "min": {"OTIO_SCHEMA": "V2d.1", "x": 0.1, "y": 0.0}, )"
        R"("max": {"OTIO_SCHEMA": "V2d.1", "x": 1920.0, "y": 1080.0}}}}}]}]}})";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    const std::string written = writeStandard(*read);
    const rapidjson::Document output = parsedWithLiterals(written);
    const rapidjson::Value& reference = itemOf(output, 0)["media_references"]["DEFAULT_MEDIA"];
    EXPECT_EQ(reference["available_image_bounds"]["min"]["x"].GetDouble(), 0.1);
    expectStableRoundTrip(*read, written);
}

TEST(StandardOtioKeeping, ACollectionsMembersKeepItACollection) {
    // One timeline in a collection that carries a tool's metadata: written back,
    // the collection stays, with its metadata, around the one timeline.
    const std::string text = std::string(R"({"OTIO_SCHEMA": "SerializableCollection.1",
        "name": "bin", "metadata": {"cmx_3600": {"reel": "A001"}}, "children": [)") +
                             kDocument + "]}";
    LossReport losses;
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    const std::string written = writeStandard(*read);
    const rapidjson::Document output = parsedWithLiterals(written);
    EXPECT_STREQ(output["OTIO_SCHEMA"].GetString(), "SerializableCollection.1");
    EXPECT_STREQ(output["metadata"]["cmx_3600"]["reel"].GetString(), "A001");
    ASSERT_EQ(output["children"].Size(), 1u);
    EXPECT_STREQ(output["children"][0]["name"].GetString(), "kept");
    LossReport again;
    const SharedPtr<Composition> reread = readStandard(written, again);
    ASSERT_TRUE(reread);
    EXPECT_EQ(entriesOf(again), std::vector<std::string>());
    EXPECT_EQ(dmTreeOf(*reread), dmTreeOf(*read));
}

} // namespace
} // namespace ZEM_0_81::test
