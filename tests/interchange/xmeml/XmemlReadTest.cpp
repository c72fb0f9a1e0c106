// Reading xmeml: each rule of the mapping on hand-written documents, frames
// worked out by hand at 24 frames a second unless a case says otherwise
// (00:00:01:00 is 24 frames, 01:00:00:00 is 86400).

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/kept/ForeignMembers.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/xmeml/XmemlTestSupport.h"
#include "tests/support/TreeShape.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test::xmeml {
namespace {

using Lines = std::vector<std::string>;

TimelineView viewOf(const XmemlRead& read) {
    TimelineView view;
    EXPECT_TRUE(read.composition) << read.message;
    if (read.composition)
        TimelineView::build(*read.composition, view);
    return view;
}

TEST(XmemlRead, RatesAreExactAndInherited) {
    struct Case {
        std::string sequenceRate;
        std::string clipMore; ///< the clip's own rate, or none
        std::string fileRate;
        Rational composition;
        const char* item;
    };
    // A clip from 0 to 10 playing 5..15 of a file without timecode: its source
    // starts at 5, at the rate the clip counts at.
    const Case cases[] = {
        {rateXml(30, true), "", "", Rational(30000, 1001), "V1 0+10 clip c src 5@30000/1001"},
        {rateXml(24, true), "", "", Rational(24000, 1001), "V1 0+10 clip c src 5@24000/1001"},
        {rateXml(60, true), "", "", Rational(60000, 1001), "V1 0+10 clip c src 5@60000/1001"},
        {rateXml(25), "", "", Rational(25, 1), "V1 0+10 clip c src 5@25"},
        {rateXml(24), "", "", Rational(24, 1), "V1 0+10 clip c src 5@24"},
        // ntsc other than TRUE counts as FALSE.
        {"<rate><timebase>30</timebase><ntsc>maybe</ntsc></rate>", "", "", Rational(30, 1),
         "V1 0+10 clip c src 5@30"},
        // The clip's own rate, else its file's, else the sequence's.
        {rateXml(24), rateXml(25), rateXml(30, true), Rational(24, 1), "V1 0+10 clip c src 5@25"},
        {rateXml(24), "", rateXml(30, true), Rational(24, 1), "V1 0+10 clip c src 5@30000/1001"},
    };
    for (const Case& c : cases) {
        const std::string file = "<file id=\"f\"><pathurl>file:///m/c.mov</pathurl>" + c.fileRate +
                                 "<duration>100</duration></file>";
        const XmemlRead read = readXmeml(
            sequenceXml({clipXml("c", 0, 10, 5, 15, file, c.clipMore)}, {}, c.sequenceRate));
        const TimelineView view = viewOf(read);
        EXPECT_EQ(view.rate.getNumerator(), c.composition.getNumerator()) << c.item;
        EXPECT_EQ(view.rate.getDenominator(), c.composition.getDenominator()) << c.item;
        ASSERT_TRUE(read.composition);
        const Lines items = itemsOf(*read.composition);
        ASSERT_EQ(items.size(), 1u);
        // The media path is the URL's, without "file://".
        EXPECT_EQ(items[0], std::string(c.item) + " /m/c.mov");
    }
    // No rate anywhere: 24, reported.
    const XmemlRead none = readXmeml(
        sequenceXml({clipXml("c", 0, 10, 5, 15, "")}, {}, "<rate><ntsc>TRUE</ntsc></rate>"));
    EXPECT_EQ(viewOf(none).rate.getNumerator(), 24);
    EXPECT_EQ(lossPlaces(none.losses), Lines{"/xmeml/sequence"});
}

TEST(XmemlRead, TheSequenceTimecodeIsTheStart) {
    struct Case {
        std::string rate;
        std::string timecode; ///< the inside of the sequence's timecode element
        std::int64_t start;
    };
    // Drop frame skips two frame numbers a minute but every tenth at 29.97:
    // one hour is 108000 - 2 x 54 = 107892 frames; ten minutes 18000 - 18;
    // at 59.94 four a minute: 216000 - 4 x 54 = 215784.
    const Case cases[] = {
        {rateXml(30, true), "<string>01:00:00;00</string>", 107892},
        {rateXml(30, true), "<string>00:10:00;00</string><displayformat>DF</displayformat>", 17982},
        {rateXml(30, true), "<string>00:10:00:00</string><displayformat>DF</displayformat>", 17982},
        {rateXml(30, true), "<string>01:00:00:00</string><displayformat>NDF</displayformat>",
         108000},
        {rateXml(60, true), "<string>01:00:00;00</string>", 215784},
        {rateXml(24), "<string>01:00:00:00</string>", 86400},
        {rateXml(25), "<string>10:00:00:00</string>", 900000},
        // Every digit read: 59 minutes 59 seconds is 3599s, 86376 frames at 24,
        // and 19 more; the frame before ten minutes of drop frame, 17982 - 1.
        {rateXml(24), "<string>00:59:59:19</string>", 86395},
        {rateXml(30, true), "<string>00:09:59;29</string>", 17981},
        // The frame count wins over the string.
        {rateXml(24), "<string>01:00:00:00</string><frame>120</frame>", 120},
        // Its own rate: 01:00:00:00 at 25 is 90000 frames, which count 86400 at 24.
        {rateXml(24), rateXml(25) + "<string>01:00:00:00</string>", 86400},
    };
    // A file without a rate of its own counts at the sequence's.
    const std::string file = "<file id=\"f\"><pathurl>file:///m/c.mov</pathurl></file>";
    for (const Case& c : cases) {
        const XmemlRead read = readXmeml(sequenceXml({clipXml("c", 2, 12, 0, 10, file)}, {}, c.rate,
                                                     "<timecode>" + c.timecode + "</timecode>"));
        const TimelineView view = viewOf(read);
        EXPECT_EQ(view.start, c.start) << c.timecode;
        ASSERT_EQ(view.tracks.size(), 1u);
        // Record frames count from the start: a gap of 2 frames, then the clip.
        ASSERT_EQ(view.tracks[0].items.size(), 2u);
        EXPECT_EQ(view.tracks[0].items[0].record, (FrameRange{c.start, 2})) << c.timecode;
        EXPECT_EQ(view.tracks[0].items[1].record.start, c.start + 2) << c.timecode;
        EXPECT_TRUE(read.losses.empty()) << c.timecode;
    }
    // A timecode that cannot be read: the sequence starts at 0, reported.
    const XmemlRead bad =
        readXmeml(sequenceXml({clipXml("c", 2, 12, 0, 10, kFile)}, {}, rateXml(24),
                              "<timecode><string>1:2</string></timecode>"));
    EXPECT_EQ(viewOf(bad).start, 0);
    EXPECT_EQ(lossPlaces(bad.losses), Lines{"/xmeml/sequence/timecode"});
}

TEST(XmemlRead, SourcesCountOnTheMediasOwnTimecode) {
    struct Case {
        std::string timecode; ///< the inside of the file's timecode
        std::int64_t source;
        std::size_t losses;
    };
    // The clip plays from its in point 10: the media's first frame + 10.
    const Case cases[] = {
        {"", 10, 0},
        {"<string>02:00:00:00</string>", 172810, 0},
        {"<frame>1000</frame>", 1010, 0},
        {"<string>00:00:10:00</string><frame>5</frame>", 15, 0},
        // At 25 (its own rate): 01:00:00:00 is frame 90000, counted 86400 at 24.
        {rateXml(25) + "<string>01:00:00:00</string>", 86410, 0},
        // 90001 at 25 is 86400.96 at 24: frame 86401, reported.
        {rateXml(25) + "<frame>90001</frame>", 86411, 1},
        // Unreadable: from 0, reported.
        {"<string>junk</string>", 10, 1},
    };
    for (const Case& c : cases) {
        const std::string file = fileXml("f", "file:///m/a.mov", rateXml(24), 1000, c.timecode);
        const XmemlRead read = readXmeml(sequenceXml({clipXml("c", 0, 20, 10, 30, file)}));
        ASSERT_TRUE(read.composition) << read.message;
        EXPECT_EQ(itemsOf(*read.composition),
                  Lines{"V1 0+20 clip c src " + std::to_string(c.source) + "@24 /m/a.mov"})
            << c.timecode;
        EXPECT_EQ(read.losses.size(), c.losses) << c.timecode;
    }
}

TEST(XmemlRead, TheSequenceIsOneTracksNodeOfItsPictureThenSoundLayers) {
    // As every reader builds it: the composition holds one tracks node, the
    // first (index 0), its layers V1 then A1.
    const XmemlRead read = readXmeml(
        sequenceXml({clipXml("v", 0, 5, 0, 5, kFile)}, {clipXml("s", 0, 5, 0, 5, kFile)}));
    ASSERT_TRUE(read.composition) << read.message;
    String json;
    ASSERT_TRUE(read.composition->getJson(Composition::JsonType::DmTree, json));
    rapidjson::Document document;
    document.Parse(json.c_str(), json.size());
    ASSERT_FALSE(document.HasParseError());
    const rapidjson::Value& children = document["tree"]["children"][0]["children"][0]["children"];
    ASSERT_EQ(children.Size(), 1u) << json.c_str();
    const rapidjson::Value& tracks = children[0];
    EXPECT_STREQ(tracks["kind"].GetString(), "track");
    EXPECT_EQ(tracks["index"].GetInt(), 0);
    std::vector<std::string> layers;
    for (const auto& layer : tracks["children"].GetArray())
        layers.push_back(layer["name"].GetString());
    EXPECT_EQ(layers, (Lines{"V1", "A1"}));
}

TEST(XmemlRead, MediaPathsComeFromTheirUrls) {
    const std::pair<std::string, std::string> cases[] = {
        {"file://localhost/Volumes/Media/A%20001.mov", "/Volumes/Media/A 001.mov"},
        {"file:///Volumes/Media/a%2525.mov", "/Volumes/Media/a%25.mov"},
        {"FILE://LOCALHOST/x/y.mov", "/x/y.mov"},
        {"file:/x/y.mov", "/x/y.mov"},
        {"file://localhost/C:/Media/a%C3%A9.mov", "C:/Media/a\xC3\xA9.mov"},
        // A drive alone is a drive's path; "C:" before more than a '/' is none.
        {"file://localhost/C:", "C:"},
        {"file://localhost/C:x.mov", "/C:x.mov"},
        {"file://server/share/a.mov", "//server/share/a.mov"},
        {"file:///x/100%.mov", "/x/100%.mov"},
        {"media/a.mov", "media/a.mov"},
        {"http://host/a%20b.mov", "http://host/a%20b.mov"},
    };
    for (const auto& [url, path] : cases) {
        const XmemlRead read =
            readXmeml(sequenceXml({clipXml("c", 0, 5, 0, 5, fileXml("f", url, rateXml(24), 10))}));
        ASSERT_TRUE(read.composition);
        EXPECT_EQ(itemsOf(*read.composition), Lines{"V1 0+5 clip c src 0@24 " + path}) << url;
    }
}

TEST(XmemlRead, CrossDissolvesCutWhereTheirAlignmentSays) {
    struct Case {
        std::string transition; ///< what the transitionitem says beside its start and end
        long start, end;
        std::int64_t cut;
    };
    // A ends and B starts at -1 around a transition; the cut is where A ends
    // and B starts. Ticks: 254016000000 a second, 10584000000 a frame at 24.
    const Case cases[] = {
        {"<alignment>start</alignment>", 40, 60, 40},
        {"<alignment>center</alignment>", 40, 60, 50},
        {"<alignment>end</alignment>", 40, 60, 60},
        {"<alignment>start-black</alignment>", 40, 60, 40},
        {"<alignment>end-black</alignment>", 40, 60, 60},
        {"<alignment>CENTER</alignment>", 40, 60, 50},
        {"", 40, 60, 50},
        // 15 frames centred: 7 before the cut (rounded down), 8 after.
        {"<alignment>center</alignment>", 40, 55, 47},
        // Its ticks say the cut: 5 frames after its start (52920000000 ticks).
        {"<alignment>center</alignment><cutPointTicks>52920000000</cutPointTicks>", 40, 60, 45},
        // Ticks past its end are not read: its alignment holds.
        {"<alignment>start</alignment><cutPointTicks>529200000000</cutPointTicks>", 40, 60, 40},
        // At 30000/1001, a frame is 8475667200 ticks: 3 frames are 25427001600.
        {rateXml(30, true) + "<cutPointTicks>25427001600</cutPointTicks>", 40, 60, 43},
    };
    for (const Case& c : cases) {
        const std::string track =
            clipXml("A", 0, -1, 100, 100 + c.cut, kFile) + "<transitionitem><start>" +
            std::to_string(c.start) + "</start><end>" + std::to_string(c.end) + "</end>" +
            c.transition +
            "<effect><name>Cross Dissolve</name><effectid>Cross Dissolve</effectid></effect>"
            "</transitionitem>" +
            clipXml("B", -1, 100, 500 - (100 - c.cut), 500, "<file id=\"f1\"/>");
        const XmemlRead read = readXmeml(sequenceXml({track}));
        ASSERT_TRUE(read.composition) << read.message;
        const std::string cut = std::to_string(c.cut);
        EXPECT_EQ(itemsOf(*read.composition),
                  (Lines{"V1 0+" + cut + " clip A src 100@24 /m/a.mov",
                         "V1 " + cut + "+" + std::to_string(100 - c.cut) + " clip B src " +
                             std::to_string(400 + c.cut) + "@24 /m/a.mov"}))
            << c.transition;
        EXPECT_EQ(transitionsOf(*read.composition),
                  Lines{"V1 " + cut + " -" + std::to_string(c.cut - c.start) + " +" +
                        std::to_string(c.end - c.cut) + " Cross Dissolve SMPTE_Dissolve"})
            << c.transition;
        EXPECT_EQ(lossPlaces(read.losses),
                  Lines{"/xmeml/sequence/media/video/track/transitionitem"});
    }
}

TEST(XmemlRead, FadesFromAndToBlackAtATracksEnds) {
    // From black into A (A starts at -1, the transition's start), then to black
    // after B (B ends at -1, the transition's end); the fade out is kept on
    // the layer, after its last item.
    const std::string track =
        "<transitionitem><start>0</start><end>12</end><alignment>start-black</alignment>"
        "<effect><name>Cross Dissolve</name></effect></transitionitem>" +
        clipXml("A", -1, 48, 0, 48, kFile) + clipXml("B", 48, -1, 48, 96, "<file id=\"f1\"/>") +
        "<transitionitem><start>84</start><end>96</end><alignment>end-black</alignment>"
        "<effect><name>Dip</name><effectid>Dip to Color</effectid></effect></transitionitem>";
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+48 clip A src 0@24 /m/a.mov", "V1 48+48 clip B src 48@24 /m/a.mov"}));
    EXPECT_EQ(transitionsOf(*read.composition), (Lines{"V1 0 -0 +12 Cross Dissolve SMPTE_Dissolve",
                                                       "V1 96 -12 +0 Dip Custom_Transition"}));
}

TEST(XmemlRead, ATransitionAfterATracksLastItemSaysWhenItIsNotAtItsCut) {
    struct Case {
        const char* what;
        std::string track;
        const char* moved; ///< the frame the report says its cut is at, or null
        std::string transition;
    };
    // Kept on the layer, a transition sits at the end of the track's last
    // item, or at its start (0) when it holds none; cut elsewhere, it says so.
    const auto transition = [](long start, long end, const char* alignment) {
        return "<transitionitem><start>" + std::to_string(start) + "</start><end>" +
               std::to_string(end) + "</end><alignment>" + alignment +
               "</alignment></transitionitem>";
    };
    const std::string a = clipXml("A", 0, 48, 0, 48, kFile);
    const Case cases[] = {
        {"alone, from the start", transition(0, 12, "start-black"), nullptr,
         "V1 0 -0 +12  Custom_Transition"},
        {"alone, to frame 12", transition(0, 12, "end-black"), "12",
         "V1 0 -12 +0  Custom_Transition"},
        {"at the last clip's end", a + transition(48, 60, "start"), nullptr,
         "V1 48 -0 +12  Custom_Transition"},
        // Centred on 40..52: the cut at 46, inside A.
        {"inside the last clip", a + transition(40, 52, "center"), "46",
         "V1 48 -6 +6  Custom_Transition"},
    };
    for (const Case& c : cases) {
        const XmemlRead read = readXmeml(sequenceXml({c.track}));
        ASSERT_TRUE(read.composition) << c.what << read.message;
        EXPECT_EQ(transitionsOf(*read.composition), Lines{c.transition}) << c.what;
        std::string loss;
        for (const std::string& each : read.losses)
            if (each.find("| transitionitem |") != std::string::npos)
                loss = each;
        const std::size_t said = loss.find("no item of the track starts at its cut");
        if (c.moved)
            EXPECT_NE(
                loss.find(std::string("no item of the track starts at its cut, frame ") + c.moved),
                std::string::npos)
                << c.what << loss;
        else
            EXPECT_EQ(said, std::string::npos) << c.what << loss;
    }
}

TEST(XmemlRead, StartsAndEndsThatCannotBeReadArePlacedByInAndOut) {
    // B's start is -1 with no transition before it: it ends at 100 and plays
    // 30 frames (its in and out points), so it starts at 70. C has no start
    // and no end: it follows B for its 10 frames. D cannot be placed at all.
    const std::string track =
        clipXml("A", 0, 50, 0, 50, kFile) + clipXml("B", -1, 100, 0, 30, "<file id=\"f1\"/>") +
        "<clipitem><name>C</name><in>5</in><out>15</out><file id=\"f1\"/></clipitem>"
        "<clipitem><name>D</name><start>200</start><file id=\"f1\"/></clipitem>" +
        clipXml("E", 300, 300, 0, 0, "<file id=\"f1\"/>") +
        // F ends past the 2^40 frames a document may count (2^40 + 1): it is
        // placed by its start and its 10 frames, after a gap from C's end.
        clipXml("F", 400, 1099511627777, 0, 10, "<file id=\"f1\"/>");
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+50 clip A src 0@24 /m/a.mov", "V1 50+20 gap",
                     "V1 70+30 clip B src 0@24 /m/a.mov", "V1 100+10 clip C src 5@24 /m/a.mov",
                     "V1 110+290 gap", "V1 400+10 clip F src 0@24 /m/a.mov"}));
    EXPECT_EQ(lossPlaces(read.losses), (Lines{"/xmeml/sequence/media/video/track/clipitem[2]",
                                              "/xmeml/sequence/media/video/track/clipitem[3]",
                                              "/xmeml/sequence/media/video/track/clipitem[4]",
                                              "/xmeml/sequence/media/video/track/clipitem[5]",
                                              "/xmeml/sequence/media/video/track/clipitem[6]"}));
}

TEST(XmemlRead, OverlappingClipsGoOnAnExtraLayer) {
    const std::string track = clipXml("A", 0, 50, 0, 50, kFile) +
                              clipXml("B", 40, 60, 0, 20, "<file id=\"f1\"/>") +
                              clipXml("C", 60, 70, 0, 10, "<file id=\"f1\"/>");
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+50 clip A src 0@24 /m/a.mov", "V1 50+10 gap",
                     "V1 60+10 clip C src 0@24 /m/a.mov", "V1 (2) 0+40 gap",
                     "V1 (2) 40+20 clip B src 0@24 /m/a.mov"}));
    EXPECT_EQ(lossPlaces(read.losses), Lines{"/xmeml/sequence/media/video/track/clipitem[2]"});
    Status status;
    EXPECT_EQ(test::layerShapes(read.composition->getTree(status)),
              (Lines{"V1 0+70: s c g c s", "V1 (2) 0+60: g c s"}));
}

TEST(XmemlRead, FilesAreGivenOnceAndReferredToByIdOnAnyTrack) {
    // f2 is given in full on the audio track only, after V1 refers to it.
    const std::string f2 =
        fileXml("f2", "file:///m/b.wav", rateXml(24), 500, "<string>00:00:01:00</string>");
    const XmemlRead read = readXmeml(sequenceXml(
        {clipXml("A", 0, 10, 0, 10, kFile) + clipXml("B", 10, 20, 0, 10, "<file id=\"f2\"/>"),
         clipXml("A2", 0, 10, 20, 30, "<file id=\"f1\"/>")},
        {clipXml("S", 0, 10, 5, 15, f2) + clipXml("X", 10, 20, 0, 10, "<file id=\"nowhere\"/>")}));
    ASSERT_TRUE(read.composition);
    // b.wav starts at 00:00:01:00, frame 24.
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+10 clip A src 0@24 /m/a.mov", "V1 10+10 clip B src 24@24 /m/b.wav",
                     "V2 0+10 clip A2 src 20@24 /m/a.mov", "A1 0+10 clip S src 29@24 /m/b.wav",
                     "A1 10+10 clip X src 0@24"}));
    EXPECT_EQ(lossPlaces(read.losses), Lines{"/xmeml/sequence/media/audio/track/clipitem[2]/file"});
    TimelineView view = viewOf(read);
    EXPECT_EQ(view.tracks[2].kind, TimelineTrack::Kind::Audio);
    EXPECT_TRUE(view.tracks[2].items[1].offline);
}

TEST(XmemlRead, MarkersAreReviewNotes) {
    struct Case {
        std::string marker;
        const char* note;
    };
    // The clip plays 10..50 of its media from record frame 100 of a sequence
    // starting at 1000: source frame 20 is record frame 1000 + 100 + 10.
    const Case cases[] = {
        {"<name>focus</name><comment>soft</comment><in>20</in><out>30</out>",
         "V1 1110+10 focus: soft"},
        {"<name>focus</name><in>20</in><out>-1</out>", "V1 1110+1 focus"},
        {"<comment>only a comment</comment><in>10</in>", "V1 1100+1 only a comment"},
        {"<name>late</name><in>60</in><out>61</out>", "V1 1150+1 late"},
    };
    for (const Case& c : cases) {
        const XmemlRead read = readXmeml(sequenceXml(
            {clipXml("c", 100, 140, 10, 50, kFile, "<marker>" + c.marker + "</marker>")}, {},
            rateXml(24), "<timecode><frame>1000</frame></timecode>"));
        ASSERT_TRUE(read.composition);
        EXPECT_EQ(notesOf(*read.composition), Lines{c.note}) << c.marker;
        EXPECT_TRUE(read.losses.empty()) << c.marker;
    }
    // A colour of 0..255 components; a marker without an in point is dropped.
    const XmemlRead coloured = readXmeml(sequenceXml({clipXml(
        "c", 0, 40, 0, 40, kFile,
        "<marker><name>red</name><in>1</in><color><red>255</red><green>0</green><blue>0</blue>"
        "</color></marker><marker><name>none</name></marker>")}));
    const TimelineView view = viewOf(coloured);
    ASSERT_EQ(view.tracks[0].items[0].notes.size(), 1u);
    EXPECT_EQ(view.tracks[0].items[0].notes[0].colour.red, 1.0f);
    EXPECT_EQ(view.tracks[0].items[0].notes[0].colour.green, 0.0f);
    EXPECT_EQ(lossPlaces(coloured.losses),
              Lines{"/xmeml/sequence/media/video/track/clipitem/marker[2]"});
}

TEST(XmemlRead, SequenceMarkersAreKeptAndReported) {
    const XmemlRead read =
        readXmeml(sequenceXml({clipXml("c", 0, 40, 0, 40, kFile)}, {}, rateXml(24),
                              "<marker><name>reel break</name><in>20</in></marker>"));
    ASSERT_TRUE(read.composition);
    EXPECT_TRUE(notesOf(*read.composition).empty());
    EXPECT_EQ(lossPlaces(read.losses), Lines{"/xmeml/sequence/marker"});
    EXPECT_NE(withoutLayout(writeXmeml(*read.composition))
                  .find("<marker><name>reel break</name><in>20</in></marker>"),
              std::string::npos);
}

TEST(XmemlRead, ADisabledClipIsKeptAndReported) {
    const XmemlRead read =
        readXmeml(sequenceXml({clipXml("c", 0, 40, 0, 40, kFile, "<enabled>FALSE</enabled>")}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition), Lines{"V1 0+40 clip c src 0@24 /m/a.mov"});
    EXPECT_EQ(read.losses,
              Lines{"/xmeml/sequence/media/video/track/clipitem/enabled | enabled | read as "
                    "enabled: the edit tree cannot disable a clip (written back disabled)"});
    // Standard OTIO carries it as "enabled": false.
    String standard;
    ASSERT_TRUE(StandardOtio::write(*read.composition, standard));
    EXPECT_NE(std::string(standard.c_str()).find("\"enabled\":false"), std::string::npos);
}

TEST(XmemlRead, GeneratorsAreClipsWithoutMedia) {
    const std::string track =
        "<generatoritem id=\"g1\"><name>Color</name><duration>3000</duration>" + rateXml(24) +
        "<start>0</start><end>24</end><in>100</in><out>124</out>"
        "<effect><name>Color</name><effectid>Color</effectid><effecttype>generator</effecttype>"
        "</effect></generatoritem>" +
        clipXml("c", 24, 48, 0, 24, kFile);
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+24 clip Color src 100@24", "V1 24+24 clip c src 0@24 /m/a.mov"}));
    EXPECT_EQ(lossPlaces(read.losses), Lines{"/xmeml/sequence/media/video/track/generatoritem"});
    // Standard OTIO's generated media, of the generator's kind.
    String standard;
    ASSERT_TRUE(StandardOtio::write(*read.composition, standard));
    EXPECT_NE(std::string(standard.c_str()).find("\"GeneratorReference.1\""), std::string::npos);
    EXPECT_NE(std::string(standard.c_str()).find("\"generator_kind\":\"Color\""),
              std::string::npos);
}

TEST(XmemlRead, TimeRemapsAreKeptSpeeds) {
    struct Case {
        std::string parameters;
        bool reported;
        const char* kept; ///< the speed kept for standard OTIO
    };
    const auto parameter = [](const char* id, const char* value) {
        return std::string("<parameter><parameterid>") + id + "</parameterid><value>" + value +
               "</value></parameter>";
    };
    const Case cases[] = {
        {parameter("speed", "50"), true, "\"time_scalar\":0.5"},
        {parameter("speed", "100"), false, "\"time_scalar\":1.0"},
        {parameter("speed", "100") + parameter("reverse", "TRUE"), true, "\"time_scalar\":-1.0"},
        {parameter("speed", "-200"), true, "\"time_scalar\":-2.0"},
        {parameter("variablespeed", "1"), true, "\"TimeEffect.1\""},
    };
    for (const Case& c : cases) {
        const std::string filter =
            "<filter><effect><name>Time Remap</name><effectid>timeremap</effectid>" + c.parameters +
            "</effect></filter>";
        const XmemlRead read = readXmeml(sequenceXml({clipXml("c", 0, 48, 0, 24, kFile, filter)}));
        ASSERT_TRUE(read.composition);
        // The record length holds: 48 frames from source frame 0.
        EXPECT_EQ(itemsOf(*read.composition), Lines{"V1 0+48 clip c src 0@24 /m/a.mov"});
        EXPECT_EQ(lossPlaces(read.losses),
                  c.reported ? Lines{"/xmeml/sequence/media/video/track/clipitem/filter"} : Lines{})
            << c.parameters;
        String standard;
        ASSERT_TRUE(StandardOtio::write(*read.composition, standard));
        EXPECT_NE(std::string(standard.c_str()).find(c.kept), std::string::npos)
            << standard.c_str();
        // Written back as it came.
        EXPECT_NE(withoutLayout(writeXmeml(*read.composition)).find(filter), std::string::npos);
    }
    // Without a speed, a source lasting other than the record is reported.
    const XmemlRead longer = readXmeml(sequenceXml({clipXml("c", 0, 48, 0, 24, kFile)}));
    EXPECT_EQ(lossPlaces(longer.losses), Lines{"/xmeml/sequence/media/video/track/clipitem"});
}

TEST(XmemlRead, FiltersAreKeptAndReportedButAudioLevels) {
    const std::string filters =
        "<filter><effect><name>Gaussian Blur</name><effectid>GaussianBlur</effectid></effect>"
        "</filter><filter><effect><name>Audio Levels</name><effectid>audiolevels</effectid>"
        "</effect></filter>";
    const XmemlRead read = readXmeml(sequenceXml({clipXml("c", 0, 24, 0, 24, kFile, filters)}));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(read.losses,
              Lines{"/xmeml/sequence/media/video/track/clipitem/filter[1] | filter | filter "
                    "\"Gaussian Blur\" not applied: the edit tree has no such effect (kept, and "
                    "written back as it came)"});
    EXPECT_NE(withoutLayout(writeXmeml(*read.composition)).find(filters), std::string::npos);
}

TEST(XmemlRead, NestedSequencesAreOfflineClipsKeptAsTheyCame) {
    // The nested sequence is given in the first clip (before its start: the
    // clips after it are none of its own) and referred to by id in the second;
    // each use is one offline clip of its clip's name.
    const std::string nested = "<sequence id=\"inner\"><name>Inner</name>" + rateXml(24) +
                               "<media><video><track>" + clipXml("x", 0, 10, 0, 10, kFile) +
                               clipXml("y", 10, 20, 0, 10, "<file id=\"f1\"/>") +
                               "</track></video></media></sequence>";
    const std::string track =
        "<clipitem id=\"n1\"><name>nest A</name>" + nested +
        "<start>0</start><end>10</end><in>0</in><out>10</out>"
        "</clipitem>"
        "<clipitem id=\"n2\"><start>10</start><end>15</end><in>5</in><out>10</out>"
        "<sequence id=\"inner\"/></clipitem>";
    const XmemlRead read = readXmeml(sequenceXml({track}));
    ASSERT_TRUE(read.composition);
    // The second clip has no name of its own: the nested sequence's.
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+10 clip nest A src 0@24", "V1 10+5 clip Inner src 5@24"}));
    EXPECT_EQ(read.losses,
              (Lines{"/xmeml/sequence/media/video/track/clipitem[1]/sequence | sequence | "
                     "approximated: the nested sequence \"Inner\" is read as one offline clip; "
                     "the 2 clips inside it are not read (kept, and written back as it came)",
                     "/xmeml/sequence/media/video/track/clipitem[2]/sequence | sequence | "
                     "approximated: the nested sequence \"Inner\" is read as one offline clip; "
                     "the 2 clips inside it are not read (kept, and written back as it came)"}));
    // Written back: in full where first used, then by its id.
    const std::string written = writeXmeml(*read.composition);
    const std::size_t full =
        withoutLayout(written).find("<sequence id=\"inner\"><name>Inner</name>");
    ASSERT_NE(full, std::string::npos) << written;
    EXPECT_NE(withoutLayout(written).find("<sequence id=\"inner\"/>", full), std::string::npos)
        << written;
    const XmemlRead again = readXmeml(written);
    ASSERT_TRUE(again.composition);
    EXPECT_EQ(itemsOf(*again.composition), itemsOf(*read.composition));
    EXPECT_EQ(again.losses, read.losses);
}

TEST(XmemlRead, SequencesAtTheTopOrInProjectsAndBins) {
    const auto sequence = [](const std::string& name) {
        return "<sequence><name>" + name + "</name>" + rateXml(24) + "<media><video><track>" +
               clipXml(name + "-clip", 0, 10, 0, 10, kFile) + "</track></video></media></sequence>";
    };
    // A clip of the project, and a sequence nested in a clip, are no timelines.
    const std::string text =
        "<?xml version=\"1.0\"?><xmeml version=\"4\"><project><name>p</name><children>"
        "<clip><name>master</name></clip><bin><name>b</name><children>" +
        sequence("second") + "<bin><children>" + sequence("third") +
        "</children></bin></children></bin></children></project>" + sequence("fourth") + "</xmeml>";
    // The first in document order is "second".
    const XmemlRead all = readXmeml(text);
    ASSERT_TRUE(all.composition) << all.message;
    Status status;
    const DmRoot& root = all.composition->getTree(status);
    ASSERT_EQ(root.getNbChildren(), 1u);
    const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(0));
    ASSERT_TRUE(reel);
    Lines names;
    for (std::uint32_t c = 0; c < reel->getNbChildren(); ++c)
        names.push_back(dynamic_cast<const DmCompositionNode*>(reel->getChild(c))->getName().str());
    EXPECT_EQ(names, (Lines{"second", "third", "fourth"}));
    EXPECT_EQ(itemsOf(*all.composition), Lines{"V1 0+10 clip second-clip src 0@24 /m/a.mov"});

    const std::pair<std::string, std::string> choices[] = {
        {"third", "V1 0+10 clip third-clip src 0@24 /m/a.mov"},
        {"3", "V1 0+10 clip fourth-clip src 0@24 /m/a.mov"},
        {"1", "V1 0+10 clip second-clip src 0@24 /m/a.mov"},
    };
    for (const auto& [choice, item] : choices) {
        const XmemlRead one = readXmeml(text, choice);
        ASSERT_TRUE(one.composition) << one.message;
        EXPECT_EQ(itemsOf(*one.composition), Lines{item}) << choice;
        EXPECT_EQ(one.composition->getTree(status).getChild(0)->getNbChildren(), 1u);
    }
    const XmemlRead missing = readXmeml(text, "fifth");
    EXPECT_EQ(missing.status.getCode(), Status::NoData);
    EXPECT_EQ(
        missing.message,
        "no timeline \"fifth\": the document holds 3: 1 \"second\", 2 \"third\", 3 \"fourth\"");
}

TEST(XmemlRead, OnlyTextThatIsNoXmemlFails) {
    struct Case {
        std::string text;
        Status::Type status;
        std::string message;
    };
    const Case cases[] = {
        {"{\"OTIO_SCHEMA\": \"Timeline.1\"}", Status::JsonConversionFailed,
         "line 1: the text is not XML: no document element found"},
        {"<xmeml><sequence>\n<name>a</nam></sequence></xmeml>", Status::JsonConversionFailed,
         "line 2: the text is not XML: start-end tags mismatch"},
        {"<fcpxml version=\"1.8\"/>", Status::JsonConversionFailed,
         "not Final Cut Pro XML: the root element is <fcpxml>, not <xmeml>"},
        {"<!DOCTYPE xmeml [<!ENTITY a \"b\">]>\n<xmeml/>", Status::JsonConversionFailed,
         "line 1: the document type declares entities, which are not read: a document that "
         "declares them is refused"},
        {"<xmeml version=\"5\"><project><name>p</name></project></xmeml>", Status::NoData,
         "no timeline: the document holds no sequence"},
    };
    for (const Case& c : cases) {
        const XmemlRead read = readXmeml(c.text);
        EXPECT_EQ(read.status.getCode(), c.status) << c.text;
        EXPECT_EQ(read.message, c.message) << c.text;
        EXPECT_FALSE(read.composition) << c.text;
    }
    // An empty sequence reads: a composition without clips.
    const XmemlRead empty = readXmeml("<xmeml><sequence><name>e</name></sequence></xmeml>");
    ASSERT_TRUE(empty.composition);
    EXPECT_TRUE(itemsOf(*empty.composition).empty());
}

} // namespace
} // namespace ZEM_0_81::test::xmeml

namespace ZEM_0_81::test::xmeml {
namespace {

TEST(XmemlRead, WhatTheEditTreeCannotPlayIsReportedAtItsElement) {
    // A disabled track, a multiclip, a clip without in or out points, media
    // that is neither video nor audio, a nested sequence never given.
    const std::string video =
        "<enabled>FALSE</enabled>" + clipXml("m", 0, 10, 0, 10, kFile, "<multiclip id=\"mc\"/>") +
        "<clipitem><name>noin</name><start>10</start><end>20</end><out>50</out>"
        "<file id=\"f1\"/></clipitem>"
        "<clipitem><name>noout</name><start>20</start><end>30</end><in>7</in>"
        "<file id=\"f1\"/></clipitem>"
        "<clipitem><name>lost</name><start>30</start><end>40</end><in>0</in><out>10</out>"
        "<sequence id=\"nowhere\"/></clipitem>";
    std::string text = sequenceXml({video});
    text.insert(text.find("</media>"), "<subtitles/>");
    const XmemlRead read = readXmeml(text);
    ASSERT_TRUE(read.composition) << read.message;
    // Without an in point, the clip starts where its out point and length put
    // it: 50 - 10 = 40; without an out point it plays its record length.
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+10 clip m src 0@24 /m/a.mov", "V1 10+10 clip noin src 40@24 /m/a.mov",
                     "V1 20+10 clip noout src 7@24 /m/a.mov", "V1 30+10 clip lost src 0@24"}));
    EXPECT_EQ(lossPlaces(read.losses),
              (Lines{"/xmeml/sequence/media/video/track/enabled",
                     "/xmeml/sequence/media/video/track/clipitem[1]/multiclip",
                     "/xmeml/sequence/media/video/track/clipitem[2]",
                     "/xmeml/sequence/media/video/track/clipitem[4]/sequence",
                     "/xmeml/sequence/media/subtitles"}));
    EXPECT_NE(read.losses[0].find("written back disabled"), std::string::npos);
    EXPECT_NE(read.losses[2].find("its source starts 40 frames into its media"), std::string::npos)
        << read.losses[2];
}

TEST(XmemlRead, ASequenceWithoutADurationLastsToItsEnd) {
    // The sequence's duration is its length, whatever it holds (0 too); without
    // one, or with a negative one, which counts no frames, it lasts to the end
    // of its last clip, frame 40.
    const struct {
        const char* duration;
        std::int64_t length;
    } cases[] = {
        {"<duration>100</duration>", 100},
        {"<duration>0</duration>", 0},
        {"<duration>-5</duration>", 40},
        {"", 40},
    };
    for (const auto& c : cases) {
        const TimelineView view = viewOf(readXmeml(
            sequenceXml({clipXml("c", 10, 40, 0, 30, kFile)}, {}, rateXml(24), c.duration)));
        EXPECT_EQ(view.duration, c.length) << c.duration;
    }
}

} // namespace
} // namespace ZEM_0_81::test::xmeml

namespace ZEM_0_81::test::xmeml {
namespace {

TEST(XmemlRead, TheMediaSpansItsFilesDurationFromItsTimecode) {
    struct Case {
        std::string file;     ///< the file's inside, beside its pathurl
        std::string clipMore; ///< the clip's own duration, or nothing
        std::int64_t start, duration;
    };
    // The clip plays 10..30 of it: without any duration, the media spans to 30.
    const Case cases[] = {
        {"<duration>500</duration><timecode><frame>100</frame></timecode>", "", 100, 500},
        {"", "<duration>400</duration>", 0, 400},
        {"", "", 0, 30},
        // At 25 frames a second, 250 frames count 240 at the clip's 24.
        {rateXml(25) + "<duration>250</duration>", rateXml(24), 0, 240},
    };
    for (const Case& c : cases) {
        const std::string file =
            "<file id=\"f\"><pathurl>file:///m/a.mov</pathurl>" + c.file + "</file>";
        const XmemlRead read =
            readXmeml(sequenceXml({clipXml("c", 0, 20, 10, 30, file, c.clipMore)}));
        const TimelineView view = viewOf(read);
        ASSERT_EQ(view.tracks.size(), 1u);
        const TimelineMedia& media = view.tracks[0].items[0].media.at(0);
        EXPECT_EQ(media.availableStart.value_or(-1), c.start) << c.file << c.clipMore;
        EXPECT_EQ(media.availableDuration, c.duration) << c.file << c.clipMore;
    }
}

TEST(XmemlRead, CutsInTicksAtRatesOfNoWholeTicksAFrame) {
    // At 11 frames a second a frame is 23092363636.36 ticks: 3 frames written
    // as 69277090909 ticks are 2.99999999996 frames, the cut 3 frames in.
    const std::string track =
        clipXml("A", 0, -1, 0, 13, "") +
        "<transitionitem><start>10</start><end>20</end><alignment>center</alignment>"
        "<cutPointTicks>69277090909</cutPointTicks></transitionitem>" +
        clipXml("B", -1, 30, 0, 17, "");
    const XmemlRead read = readXmeml(sequenceXml({track}, {}, rateXml(11)));
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+13 clip A src 0@11", "V1 13+17 clip B src 0@11"}));
    // A transition that says no start and end is dropped; one whose cut no
    // item starts at (12, inside the gap from 10 to 20) is kept on the next
    // item, B at 20, and says so.
    const std::string odd =
        clipXml("A", 0, 10, 0, 10, "") + "<transitionitem><start>5</start></transitionitem>" +
        "<transitionitem><start>12</start><end>16</end><alignment>start</alignment>"
        "</transitionitem>" +
        clipXml("B", 20, 30, 0, 10, "");
    const XmemlRead moved = readXmeml(sequenceXml({odd}));
    ASSERT_TRUE(moved.composition);
    EXPECT_EQ(lossPlaces(moved.losses),
              (Lines{"/xmeml/sequence/media/video/track/transitionitem[1]",
                     "/xmeml/sequence/media/video/track/transitionitem[2]"}));
    EXPECT_NE(moved.losses[1].find("no item of the track starts at its cut, frame 12"),
              std::string::npos)
        << moved.losses[1];
    EXPECT_EQ(transitionsOf(*moved.composition), Lines{"V1 20 -0 +4  Custom_Transition"});
}

TEST(XmemlRead, PictureSizesUpToTheLargestAWidthCanBe) {
    // The edit tree holds a picture's width and height as 32-bit numbers: a
    // format's size up to 2147483647 is read, and the format written back as
    // it came; past it, it is not read, and the format is written from what
    // else says a size (no clip has media here): 1920 x 1080.
    const struct {
        const char* width;
        const char* written;
    } cases[] = {
        {"2147483647", "<width>2147483647</width><height>858</height>"},
        {"2147483648", "<width>1920</width><height>1080</height>"},
    };
    for (const auto& c : cases) {
        const std::string text =
            "<xmeml><sequence><name>s</name>" + rateXml(25) +
            "<media><video><format><samplecharacteristics><width>" + c.width +
            "</width><height>858</height></samplecharacteristics></format><track>" +
            clipXml("c", 0, 10, 0, 10, "") + "</track></video></media></sequence></xmeml>";
        const XmemlRead read = readXmeml(text);
        ASSERT_TRUE(read.composition) << read.message;
        const std::string written = withoutLayout(writeXmeml(*read.composition));
        EXPECT_NE(written.find(c.written), std::string::npos) << c.width << "\n" << written;
    }
}

TEST(XmemlRead, ClipsOfTheirOwnRateCountMarkersAndMissingInPointsAtIt) {
    // Clips counting at 48 in a sequence at 24: a record frame is two of
    // theirs. "a" plays 100..140 over record 0..20; its marker at source 120
    // to 130 is record frame (120 - 100) / 2 = 10, lasting 10 / 2 = 5. "b"
    // says no in point: its 10 record frames are 20 of its own, so it starts
    // 20 before its out point 40, at 20.
    const std::string own = rateXml(48);
    const XmemlRead read = readXmeml(
        sequenceXml({clipXml("a", 0, 20, 100, 140, kFile,
                             own + "<marker><name>m</name><in>120</in><out>130</out></marker>") +
                     "<clipitem><name>b</name>" + own +
                     "<start>20</start><end>30</end><out>40</out><file id=\"f1\"/></clipitem>"}));
    ASSERT_TRUE(read.composition) << read.message;
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V1 0+20 clip a src 100@48 /m/a.mov", "V1 20+10 clip b src 20@48 /m/a.mov"}));
    EXPECT_EQ(notesOf(*read.composition), Lines{"V1 10+5 m"});
    ASSERT_EQ(read.losses.size(), 1u);
    EXPECT_NE(read.losses[0].find("its source starts 20 frames into its media"), std::string::npos)
        << read.losses[0];
}

TEST(XmemlRead, ASequenceWithoutARateTakesItsFormats) {
    const std::string text =
        "<xmeml><sequence><name>s</name><media><video><format><samplecharacteristics>" +
        rateXml(25) +
        "<width>2048</width><height>858</height></samplecharacteristics></format><track>" +
        clipXml("c", 0, 10, 0, 10, "") + "</track></video></media></sequence></xmeml>";
    const XmemlRead read = readXmeml(text);
    ASSERT_TRUE(read.composition);
    EXPECT_EQ(viewOf(read).rate.getNumerator(), 25);
    EXPECT_TRUE(read.losses.empty());
    // Its picture size is written back.
    EXPECT_NE(withoutLayout(writeXmeml(*read.composition)).find("<width>2048</width><height>858"),
              std::string::npos);
}

} // namespace
} // namespace ZEM_0_81::test::xmeml
