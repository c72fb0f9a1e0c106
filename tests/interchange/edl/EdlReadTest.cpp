// Reading EDLs: each rule of the mapping on hand-written lists, frames worked
// out by hand at 24 frames a second unless a case says otherwise
// (00:00:01:00 is 24 frames, 00:00:10:00 is 240, 00:01:00:00 is 1440).

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "interchange/kept/ForeignMembers.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/edl/EdlTestSupport.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/TreeShape.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

using Lines = std::vector<std::string>;

TimelineView viewOf(const EdlRead& read) {
    TimelineView view;
    EXPECT_TRUE(read.composition);
    if (read.composition)
        TimelineView::build(*read.composition, view);
    return view;
}

/// The comments `segment` keeps, as they came.
Lines commentsOf(const DmSegmentNode& segment) {
    rapidotio::Document metadata;
    Lines comments;
    if (!Interchange::ForeignMembers::keptMetadata(segment, metadata))
        return comments;
    const auto& cmx = metadata["cmx_3600"];
    if (cmx.HasMember("comments"))
        for (const auto& comment : cmx["comments"].GetArray())
            comments.push_back(comment.GetString());
    return comments;
}

TEST(EdlRead, ChannelCodesPlaceAClipOnEachOfTheirTracks) {
    struct Case {
        const char* code;
        const char* more; ///< lines after the event
        Lines tracks;
    };
    const Case cases[] = {
        {"V", "", {"V"}},
        {"A", "", {"A1"}},
        {"A1", "", {"A1"}},
        {"A2", "", {"A2"}},
        {"A3", "", {"A3"}},
        {"A4", "", {"A4"}},
        {"AA", "", {"A1", "A2"}},
        {"B", "", {"V", "A1"}},
        {"A/V", "", {"V", "A1"}},
        {"AA/V", "", {"V", "A1", "A2"}},
        {"a2/v", "", {"V", "A2"}},
        {"V", "AUD 3\n", {"V", "A3"}},
        {"AA", "AUD  3   4\n", {"A1", "A2", "A3", "A4"}},
        {"NONE", "AUD 4\n", {"A4"}},
        {"V", "AUD 5\n", {"V"}}, // not an AUD statement: a plain comment
        {"A", "AUD 5\n", {"A1"}},
    };
    for (const Case& c : cases) {
        const EdlRead read =
            readEdl("TITLE: t\n001  R  " + std::string(c.code) +
                    "  C  00:00:00:00 00:00:01:00 00:00:00:00 00:00:01:00\n" + c.more);
        Lines tracks;
        for (const std::string& item : itemsOf(*read.composition))
            tracks.push_back(item.substr(0, item.find(' ')));
        EXPECT_EQ(tracks, c.tracks) << c.code << " " << c.more;
        EXPECT_TRUE(read.losses.empty()) << c.code;
    }
    const EdlRead none =
        readEdl("TITLE: t\n001  R  NONE  C  00:00:00:00 00:00:01:00 00:00:00:00 00:00:01:00\n");
    EXPECT_TRUE(itemsOf(*none.composition).empty());
    EXPECT_EQ(lossPlaces(none.losses), Lines{"line 2"});
}

TEST(EdlRead, TheEditTreeHoldsOneTrackOfLayersNumberedInOrder) {
    // V and A1 from 0 for 24 frames; A2 from 24 for 12, after a gap and a cut.
    // The track is numbered 0 and takes its last layer's media type (audio, 2);
    // the layers are numbered from 0, the first marked so.
    const EdlRead read = readEdl("TITLE: t\n001 A B C 0 24 0 24\n002 B A2 C 0 12 24 36\n");
    rapidjson::Document tree;
    tree.Parse(dmTreeOf(*read.composition).c_str());
    const rapidjson::Value& track = tree["tree"]["children"][0]["children"][0]["children"][0];
    EXPECT_STREQ(track["kind"].GetString(), "track");
    EXPECT_EQ(track["index"].GetInt(), 0);
    EXPECT_EQ(track["mediaType"].GetInt(), 2);
    Lines layers;
    for (const rapidjson::Value& layer : track["children"].GetArray()) {
        std::string text = std::string(layer["name"].GetString()) + " " +
                           std::to_string(layer["index"].GetInt()) + " " +
                           std::to_string(layer["mediaType"].GetInt()) + " " +
                           std::to_string(layer["parameter"].GetInt()) +
                           (layer["firstLayer"].GetBool() ? " first" : "") + ":";
        for (const rapidjson::Value& child : layer["children"].GetArray())
            text += std::string(" ") + child["kind"].GetString();
        layers.push_back(text);
    }
    EXPECT_EQ(layers,
              (Lines{"V 0 1 0 first: source", "A1 1 2 0: source", "A2 2 2 0: gap cut source"}));
}

TEST(EdlRead, TimecodesCountFramesDropFrameExactAtBothRates) {
    struct Case {
        Rational rate;
        const char* fcm;
        const char* timecode;
        std::int64_t frames; ///< -1: unreadable
    };
    const Rational ntsc(30000, 1001), ntsc60(60000, 1001);
    // 29.97 drop frame skips ;00 and ;01 at each minute but every tenth: a minute
    // holds 1798 frames, ten minutes 17982, an hour 107892. 59.94 skips four: a
    // minute 3596, ten minutes 35964, an hour 215784.
    const Case cases[] = {
        {ntsc, "DROP FRAME", "00:00:59;29", 1799},
        {ntsc, "DROP FRAME", "00:01:00;02", 1800},
        {ntsc, "DROP FRAME", "00:01:00;00", -1},
        {ntsc, "DROP FRAME", "00:01:00;01", -1},
        {ntsc, "DROP FRAME", "00:01:59;29", 3597},
        {ntsc, "DROP FRAME", "00:02:00;02", 3598},
        {ntsc, "DROP FRAME", "00:10:00;00", 17982},
        {ntsc, "DROP FRAME", "00:11:00;02", 19782},
        {ntsc, "DROP FRAME", "01:00:00;00", 107892},
        {ntsc, "DROP FRAME", "00:01:00:02", 1800}, // the FCM line's mode
        {ntsc, "NON-DROP FRAME", "00:01:00:02", 1802},
        {ntsc, "NON-DROP FRAME", "00:01:00;02", 1800}, // ';' is drop frame whatever FCM says
        {ntsc, "NON-DROP FRAME", "00;01;00;02", 1800},
        {ntsc, "NON-DROP FRAME", "00:01:00.02", 1800},
        {ntsc, "NON-DROP FRAME", "00:01:00:00", 1800},
        {ntsc, "DROP FRAME", "00:00:00;30", -1},
        {ntsc60, "DROP FRAME", "00:00:59;59", 3599},
        {ntsc60, "DROP FRAME", "00:01:00;04", 3600},
        {ntsc60, "DROP FRAME", "00:01:00;03", -1},
        {ntsc60, "DROP FRAME", "00:10:00;00", 35964},
        {ntsc60, "DROP FRAME", "01:00:00;00", 215784},
        {Rational(24, 1), "NON-DROP FRAME", "00:00:00:23", 23},
        {Rational(24, 1), "NON-DROP FRAME", "00:00:00:24", -1},
        {Rational(24, 1), "NON-DROP FRAME", "00:60:00:00", -1},
        {Rational(24, 1), "NON-DROP FRAME", "1:2:3:4", 89356}, // (3600 + 120 + 3) x 24 + 4
        {Rational(24, 1), "NON-DROP FRAME", "1234", 1234},
        {Rational(25, 1), "NON-DROP FRAME", "00:00:00:24", 24},
        {Rational(25, 1), "NON-DROP FRAME", "01:00:00:00", 90000},
        {Rational(24000, 1001), "NON-DROP FRAME", "01:00:00:00", 86400},
        // Hours and frames as wide as the writer writes them, to the last frame
        // below 2^40: 305419896 x 3600 + 36 x 60 + 15 seconds at one a second.
        {Rational(24, 1), "NON-DROP FRAME", "3073559:01:30:00", (3073559LL * 3600 + 90) * 24},
        {Rational(1, 1), "NON-DROP FRAME", "305419896:36:15:00", (1LL << 40) - 1},
        {Rational(1, 1), "NON-DROP FRAME", "305419896:36:16:00", -1},
        {Rational(24, 1), "NON-DROP FRAME", "1000000000:00:00:00", -1},
        {Rational(1200, 1), "NON-DROP FRAME", "00:00:01:1199", 2399},
        {Rational(1200, 1), "NON-DROP FRAME", "00:00:01:1200", -1},
    };
    for (const Case& c : cases) {
        // A zero-length event: the composition starts at its record in.
        const EdlRead read = readEdl(std::string("TITLE: t\nFCM: ") + c.fcm + "\n001 AX V C 0 0 " +
                                         c.timecode + " " + c.timecode + "\n",
                                     c.rate);
        const TimelineView view = viewOf(read);
        if (c.frames < 0) {
            EXPECT_EQ(lossPlaces(read.losses), Lines{"line 3"}) << c.timecode;
        } else {
            EXPECT_EQ(view.start, c.frames) << c.timecode << " " << c.fcm;
            EXPECT_TRUE(read.losses.empty()) << c.timecode << " " << read.losses.front();
        }
    }
    // Drop frame at a rate without it is read non-drop, and said once, where asked.
    const EdlRead at24 = readEdl("TITLE: t\nFCM: DROP FRAME\n001 AX V C 0 0 00:01:00;00 "
                                 "00:01:00;00\n002 AX V C 0 0 00:01:00;01 00:01:00;01\n",
                                 Rational(24, 1));
    EXPECT_EQ(viewOf(at24).start, 1440);
    EXPECT_EQ(lossPlaces(at24.losses), Lines{"line 2"});
}

TEST(EdlRead, TheRateIsTheCallersElseTwentyFourOrDropFrameByTheFirstFcm) {
    const std::string list = "TITLE: t\n001 AX V C 0 1 0 1\n";
    struct Case {
        const char* fcm;
        Rational given;
        Rational expected;
    };
    const Case cases[] = {
        {"", Rational(), Rational(24, 1)},
        {"FCM: NON-DROP FRAME\n", Rational(), Rational(24, 1)},
        {"FCM: DROP FRAME\n", Rational(), Rational(30000, 1001)},
        {"FCM: NON-DROP FRAME\nFCM: DROP FRAME\n", Rational(), Rational(24, 1)},
        {"FCM: DROP FRAME\n", Rational(60000, 2002), Rational(30000, 1001)},
        {"", Rational(25, 1), Rational(25, 1)},
    };
    for (const Case& c : cases) {
        const TimelineView view = viewOf(readEdl(c.fcm + list, c.given));
        EXPECT_EQ(view.rate, c.expected) << c.fcm << c.given.getNumerator();
    }
}

TEST(EdlRead, TransitionsAreKeptOnTheirIncomingClipAndNotApplied) {
    const std::string list = "TITLE: transitions\n"                                     // 1
                             "001  A  V  C        0 48 00:00:00:00 00:00:02:00\n"       // 2
                             "002  A  V  C        48 48 00:00:02:00 00:00:02:00\n"      // 3
                             "002  B  V  D    012 240 288 00:00:02:00 00:00:04:00\n"    // 4
                             "003  B  V  C        00:00:12:00 00:00:12:00 96 96\n"      // 5
                             "003  C  V  W010 024 480 528 00:00:04:00 00:00:06:00\n"    // 6
                             "004  BL V  C        0 0 00:00:06:00 00:00:06:00\n"        // 7
                             "004  D  V  D    006 720 744 00:00:06:00 00:00:07:00\n"    // 8
                             "005  E  V  C        960 984 00:00:07:00 00:00:08:00\n"    // 9
                             "005  F  V  D    010 1200 1224 00:00:08:00 00:00:09:00\n"  // 10
                             "006  G  B  D    008 1440 1464 00:00:09:00 00:00:10:00\n"  // 11
                             "007  H  V  C        1680 1680 00:00:10:00 00:00:10:00\n"  // 12
                             "008  I  V  D    004 1920 1944 00:00:10:00 00:00:11:00\n"; // 13
    const EdlRead read = readEdl(list);
    // A zero-length first line names the outgoing source; one with length is a
    // clip of its own; a dissolve without a first line comes from what is before.
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 0+48 clip A src 0 reel A", "V 48+48 clip B src 240 reel B",
                     "V 96+48 clip C src 480 reel C", "V 144+24 clip D src 720 reel D",
                     "V 168+24 clip E src 960 reel E", "V 192+24 clip F src 1200 reel F",
                     "V 216+24 clip G src 1440 reel G", "V 240+24 clip I src 1920 reel I",
                     "A1 0+216 gap", "A1 216+24 clip G src 1440 reel G"}));
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*read.composition, view));
    Lines seen;
    for (std::size_t track = 0; track < view.tracks.size(); ++track)
        for (const TimelineTransition& t : view.tracks[track].transitions)
            seen.push_back(std::to_string(track) + " " + std::to_string(t.cut) + " " +
                           std::to_string(t.inOffset) + "/" + std::to_string(t.outOffset) + " " +
                           t.type);
    EXPECT_EQ(seen,
              (Lines{"0 48 0/12 SMPTE_Dissolve", "0 96 0/24 SMPTE_Wipe", "0 144 0/6 SMPTE_Dissolve",
                     "0 192 0/10 SMPTE_Dissolve", "0 216 0/8 SMPTE_Dissolve",
                     "0 240 0/4 SMPTE_Dissolve", "1 216 0/8 SMPTE_Dissolve"}));
    // The outgoing source of each zero-length first line, and the wipe's code.
    Lines from;
    for (const DmSegmentNode* segment : segmentsOf(*read.composition)) {
        rapidotio::Document document;
        const auto* kept = Interchange::ForeignMembers::KeptTransitions::kept(*segment, document);
        if (!kept)
            continue;
        const auto& cmx = (*kept)[0]["metadata"]["cmx_3600"];
        std::string text = cmx["transition"].GetString();
        if (cmx.HasMember("from"))
            text += std::string(" from ") + cmx["from"]["reel"].GetString() + "@" +
                    std::to_string(cmx["from"]["source_in"].GetInt64());
        from.push_back(text);
    }
    // 008 follows a line of another number: it comes from the clip before it.
    EXPECT_EQ(from, (Lines{"D from A@48", "W010 from B@288", "D from BL@0", "D", "D", "D", "D"}));
    EXPECT_EQ(lossPlaces(read.losses),
              (Lines{"line 4", "line 6", "line 8", "line 10", "line 11", "line 13"}));

    // At the very start of a track, with nothing before it.
    const EdlRead first = readEdl("TITLE: t\n001 A V D 005 0 24 00:00:01:00 00:00:02:00\n");
    ASSERT_TRUE(TimelineView::build(*first.composition, view));
    ASSERT_EQ(view.tracks.at(0).transitions.size(), 1u);
    EXPECT_EQ(view.tracks[0].transitions[0].cut, 24);
    EXPECT_EQ(itemsOf(*first.composition), Lines{"V 24+24 clip A src 0 reel A"});
}

TEST(EdlRead, KeysPutTheirForegroundOnTrackV2) {
    const EdlRead read = readEdl("TITLE: keys\n"
                                 "001  BG  V  KB      0 48 00:00:00:00 00:00:02:00\n"
                                 "001  FG  V  K   000 240 288 00:00:00:00 00:00:02:00\n"
                                 "002  BG  V  C       48 72 00:00:02:00 00:00:03:00\n"
                                 "002  FG  V  KO  005 288 312 00:00:02:00 00:00:03:00\n");
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 0+48 clip BG src 0 reel BG", "V 48+24 clip BG src 48 reel BG",
                     "V2 0+48 clip FG src 240 reel FG", "V2 48+24 clip FG src 288 reel FG"}));
    EXPECT_EQ(lossPlaces(read.losses), (Lines{"line 3", "line 5"}));
}

TEST(EdlRead, SpeedsAreKeptAndReportedWhereTheyDoNotPlayAsTheyStand) {
    const std::string list = "TITLE: speeds\n"                                 // 1
                             "001 A V C 0 48 0 24\n"                           // 2
                             "M2   A       048.0                00:00:00:00\n" // 3 twice as fast
                             "002 B V C 0 24 24 48\n"                          // 4
                             "M2   B      -024.0                00:00:01:00\n" // 5 backwards
                             "003 C V C 0 1 48 50\n"                           // 6
                             "M2   C       000.0                00:00:00:00\n" // 7 frozen
                             "004 D V C 0 24 50 74\n"                          // 8
                             "M2   D       024.0                00:00:00:00\n" // 9 the rate
                             "005 E V C 0 24 74 98\n"                          // 10
                             "m2 E 23.9 0\n"                                   // 11 within 0.1
                             "006 F V C 0 1 98 99\n"                           // 12
                             "* FREEZE FRAME\n"                                // 13 one frame
                             "007 G V C 0 1 99 101\n"                          // 14
                             "* FREEZE FRAME\n"                                // 15 two frames
                             "008 H V C 0 26 101 125\n"                        // 16 no speed
                             "009 J V C 0 2 125 127\n"                         // 17
                             "M2   J       024.0                00:00:00:00\n" // 18 the rate,
                             "* FREEZE FRAME\n"                                // 19 and frozen
                             "010 K V C 0 24 127 151\n"                        // 20 a dissolve
                             "010 K V D 012 100 101 151 175\n"                 // 21 within K,
                             "M2   K       000.0                00:00:04:04\n"  // 22 to a freeze
                             "011 L V C 0 24 175 199\n"                        // 23 L, twice as
                             "011 N V D 012 0 24 199 223\n"                    // 24 fast, to N
                             "M2   L       048.0                00:00:00:00\n"  // 25
                             "012 P V C 0 24 223 247\n"                        // 26 P at 12,
                             "012 P V D 012 0 12 247 259\n"                    // 27 then P at
                             "M2   P       012.0                00:00:00:00\n"  // 28 48: one M2
                             "M2   P       048.0                00:00:00:00\n"; // 29 a line
    const EdlRead read = readEdl(list);
    Lines kept;
    for (const DmSegmentNode* segment : segmentsOf(*read.composition)) {
        rapidotio::Document document;
        const auto* effects = Interchange::ForeignMembers::Leftovers::effects(*segment, document);
        if (!effects)
            continue;
        const auto& effect = (*effects)[0];
        kept.push_back(std::string(effect["OTIO_SCHEMA"].GetString()) + " " +
                       std::to_string(effect["time_scalar"].GetDouble()));
    }
    // time_scalar is the speed over the rate: 48 / 24 = 2, -24 / 24 = -1, 23.9 / 24.
    EXPECT_EQ(
        kept,
        (Lines{"LinearTimeWarp.1 2.000000", "LinearTimeWarp.1 -1.000000", "FreezeFrame.1 0.000000",
               "LinearTimeWarp.1 1.000000", "LinearTimeWarp.1 " + std::to_string(23.9 / 24),
               "FreezeFrame.1 0.000000", "FreezeFrame.1 0.000000", "LinearTimeWarp.1 1.000000",
               "FreezeFrame.1 0.000000", "LinearTimeWarp.1 2.000000", "LinearTimeWarp.1 0.500000",
               "LinearTimeWarp.1 2.000000"}));
    // Each clip keeps its record length; its event's source out is kept.
    EXPECT_EQ(itemsOf(*read.composition)[0], "V 0+24 clip A src 0 reel A");
    // J plays at the rate, but frozen over two frames: said at its M2 line. The
    // M2 naming both lines of event 010 freezes its own line, the incoming
    // clip whose source lasts one frame over 24: the dissolve at line 21 and
    // the freeze at line 22, not the source's length a second time.
    // L's M2 is its own (the first line's, said before the dissolve to N, which
    // plays as it stands); of the two M2 of P, the first is the first line's
    // and the second the incoming's.
    EXPECT_EQ(lossPlaces(read.losses),
              (Lines{"line 3", "line 5", "line 7", "line 15", "line 16", "line 18", "line 21",
                     "line 22", "line 25", "line 24", "line 28", "line 27", "line 29"}));
}

TEST(EdlRead, OnlyWellFormedSpeedLinesAreSpeeds) {
    // A speed of 48 at 24 is reported where it does not play (line 3); a line
    // that is no speed stays a plain comment, and the event's 48 source frames
    // over 24 record frames are reported at its own line.
    struct Case {
        const char* line;
        bool speed;
    };
    const Case cases[] = {
        {"M2   A       048.0                00:00:00:00", true},
        {"M2 A 48 0", true},
        {"M2 A +48.0 00:00:00:00", true},
        {"M2 A 048.0", false},
        {"M2 A 048.0 00:00:00:00 more", false},
        {"M2 A fast 00:00:00:00", false},
        {"M2 A ++48 00:00:00:00", false},
        {"M2 A inf 00:00:00:00", false},
        {"M2 A nan 00:00:00:00", false},
        {"M2 A 48x 00:00:00:00", false},
        {"M2 A 048.0 00:00", false},
    };
    for (const Case& c : cases) {
        const EdlRead read =
            readEdl(std::string("TITLE: t\n001 A V C 0 48 0 24\n") + c.line + "\n");
        EXPECT_EQ(lossPlaces(read.losses), Lines{c.speed ? "line 3" : "line 2"}) << c.line;
        EXPECT_EQ(commentsOf(*segmentsOf(*read.composition)[0]), c.speed ? Lines{} : Lines{c.line})
            << c.line;
    }
}

TEST(EdlRead, LocatorsAreOneFrameNotesOfTheirEventsFirstClip) {
    struct Colour {
        const char* word;
        std::array<float, 3> rgb;
    };
    // As OTIO's marker colours are defined.
    const Colour colours[] = {
        {"RED", {1, 0, 0}},       {"GREEN", {0, 1, 0}},        {"BLUE", {0, 0, 1}},
        {"CYAN", {0, 1, 1}},      {"MAGENTA", {1, 0, 1}},      {"YELLOW", {1, 1, 0}},
        {"BLACK", {0, 0, 0}},     {"WHITE", {1, 1, 1}},        {"PINK", {1, 0, 1}},
        {"ORANGE", {1, 0.5f, 0}}, {"PURPLE", {0.5f, 0, 0.5f}}, {"red", {1, 0, 0}},
    };
    std::string list = "TITLE: notes\n001 A B C 0 240 0 240\n";
    for (std::size_t frame = 0; frame < std::size(colours); ++frame)
        list += "* LOC: 00:00:00:" + std::string(frame < 10 ? "0" : "") + std::to_string(frame) +
                " " + colours[frame].word + " note " + colours[frame].word + "\n";
    list += "*LOC 00:00:09:23   no colour, green\n"; // the last frame, 239
    list += "LOC: 00:00:20:00 BLUE outside\n";       // 480, past the event
    list += "* LOC: soon\n";                         // malformed: a plain comment
    const EdlRead read = readEdl(list);
    ASSERT_TRUE(read.losses.empty()) << read.losses.front();
    const TimelineView view = viewOf(read);
    ASSERT_EQ(view.tracks.size(), 2u);
    const std::vector<TimelineNote>& notes = view.tracks[0].items[0].notes;
    ASSERT_EQ(notes.size(), std::size(colours) + 2);
    for (std::size_t i = 0; i < std::size(colours); ++i) {
        EXPECT_EQ(notes[i].text, std::string("note ") + colours[i].word);
        EXPECT_EQ(notes[i].range, (FrameRange{std::int64_t(i), 1}));
        EXPECT_EQ(notes[i].colour.red, colours[i].rgb[0]) << colours[i].word;
        EXPECT_EQ(notes[i].colour.green, colours[i].rgb[1]) << colours[i].word;
        EXPECT_EQ(notes[i].colour.blue, colours[i].rgb[2]) << colours[i].word;
    }
    EXPECT_EQ(notes[12].text, "no colour, green");
    EXPECT_EQ(notes[12].range, (FrameRange{239, 1}));
    EXPECT_EQ(notes[12].colour.red, 0.0f);
    EXPECT_EQ(notes[12].colour.green, 1.0f);
    EXPECT_EQ(notes[12].colour.blue, 0.0f);
    EXPECT_EQ(notes[13].range, (FrameRange{480, 1}));
    EXPECT_TRUE(view.tracks[1].items[0].notes.empty()); // the A1 clip
    EXPECT_EQ(commentsOf(*segmentsOf(*read.composition)[0]), Lines{"* LOC: soon"});
}

TEST(EdlRead, LocatorsPastTheLastFrameANoteMarksAreDroppedAndReported) {
    // A note marks a frame a signed 32-bit count holds: 2^31 - 1 = 2147483647
    // is the last. Timecodes given as bare frame counts reach past it.
    struct Case {
        const char* frame;
        std::vector<FrameRange> notes;
        Lines losses;
    };
    const Case cases[] = {
        {"2147483646", {{2147483646, 1}}, {}},
        {"2147483647", {{2147483647, 1}}, {}},
        {"2147483648",
         {},
         {"line 3 | LOC | dropped: its frame lies past the latest a note can mark"}},
    };
    for (const Case& c : cases) {
        const EdlRead read =
            readEdl(std::string("TITLE: far\n001 A V C 0 10 2147483640 2147483650\n"
                                "* LOC: ") +
                    c.frame + " RED late\n");
        EXPECT_EQ(read.losses, c.losses) << c.frame;
        const TimelineView view = viewOf(read);
        ASSERT_EQ(view.tracks.size(), 1u) << c.frame;
        std::vector<FrameRange> notes;
        for (const TimelineNote& note : view.tracks[0].items[0].notes)
            notes.push_back(note.range);
        EXPECT_EQ(notes, c.notes) << c.frame;
    }
}

TEST(EdlRead, AscStatementsInSeveralSpellingsAreLooks) {
    struct Case {
        const char* lines;
        bool look;
        std::array<double, 10> values; ///< slope, offset, power, saturation
    };
    const Case cases[] = {
        {"*ASC_SOP (1.1 1.2 1.3)(0.1 0.2 0.3)(0.9 0.8 0.7)\n*ASC_SAT 0.5\n",
         true,
         {1.1, 1.2, 1.3, 0.1, 0.2, 0.3, 0.9, 0.8, 0.7, 0.5}},
        {"* ASC_SOP: ( 2 2 2 ) ( -0.1 0 +0.1 ) ( 1 1 1 )\n",
         true,
         {2, 2, 2, -0.1, 0, 0.1, 1, 1, 1, 1}},
        {"asc_sop(1,1,1)(0,0,0)(1.5,1.5,1.5)\n", true, {1, 1, 1, 0, 0, 0, 1.5, 1.5, 1.5, 1}},
        {"*ASC_SOP 1 1 1 0 0 0 2 2 2\n", true, {1, 1, 1, 0, 0, 0, 2, 2, 2, 1}},
        {"*ASC_SAT: 1.25\n", true, {1, 1, 1, 0, 0, 0, 1, 1, 1, 1.25}},
        {"*ASC_SOP (1 1)(0 0 0)(1 1 1)\n", false, {}},
        {"*ASC_SOP (1 1 1)(0 0 0)(1 1 nan)\n", false, {}},
        {"*ASC_SAT high\n", false, {}},
    };
    for (const Case& c : cases) {
        const EdlRead read = readEdl(std::string("TITLE: t\n001 A V C 0 1 0 1\n") + c.lines);
        const DmSegmentNode& clip = *segmentsOf(*read.composition)[0];
        const auto* look = dynamic_cast<const DmLookSettings*>(clip.getEffect(0));
        ASSERT_EQ(look != nullptr, c.look) << c.lines;
        if (!look) {
            EXPECT_EQ(commentsOf(clip).size(), 1u) << c.lines; // kept as a plain comment
            continue;
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(look->slope[i], c.values[i]) << c.lines;
            EXPECT_EQ(look->offset[i], c.values[3 + i]) << c.lines;
            EXPECT_EQ(look->power[i], c.values[6 + i]) << c.lines;
        }
        EXPECT_EQ(look->saturation, c.values[9]) << c.lines;
    }
}

TEST(EdlRead, CommentsNameClipsAndGiveTheirMedia) {
    const std::string list = "TITLE: names\n"
                             "* before the first event: not read\n"
                             "001 R1 V C 0 24 0 24\n"
                             "* FROM CLIP NAME: one\n"
                             "* FROM CLIP NAME: again\n"
                             "* FROM FILE: /b.mov\n"
                             "* SOURCE FILE: /a.mov\n"
                             "002 R2 V C 0 24 24 48\n"
                             "*from clip  name   two  \n"
                             "FROM CLIP: /c.mov\n"
                             "* TO CLIP NAME: not a cut's\n"
                             "003 R3 V C 0 24 48 72\n"
                             "004 R4 V C 24 24 72 72\n"
                             "004 R5 V D 010 0 24 72 96\n"
                             "* FROM CLIP NAME: out\n"
                             "* TO CLIP NAME: in\n"
                             "* SOURCE FILE: /s.mov\n"
                             "* TO CLIP: /t.mov\n"
                             "* FROM FILE: /o.mov\n";
    const EdlRead read = readEdl(list);
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 0+24 clip one src 0 reel R1 file /a.mov",
                     "V 24+24 clip two src 0 reel R2 file /c.mov", "V 48+24 clip R3 src 0 reel R3",
                     "V 72+24 clip in src 0 reel R5 file /t.mov"}));
    const auto segments = segmentsOf(*read.composition);
    EXPECT_EQ(commentsOf(*segments[0]), (Lines{"* FROM CLIP NAME: again", "* FROM FILE: /b.mov"}));
    EXPECT_EQ(commentsOf(*segments[1]), Lines{"* TO CLIP NAME: not a cut's"});
    EXPECT_EQ(commentsOf(*segments[3]), Lines{"* SOURCE FILE: /s.mov"});
    rapidotio::Document document;
    const auto* kept = Interchange::ForeignMembers::KeptTransitions::kept(*segments[3], document);
    ASSERT_TRUE(kept);
    const auto& from = (*kept)[0]["metadata"]["cmx_3600"]["from"];
    EXPECT_STREQ(from["name"].GetString(), "out");
    EXPECT_STREQ(from["file"].GetString(), "/o.mov");
}

TEST(EdlRead, OverlappingEventsGoOnTracksOfTheirOwn) {
    const EdlRead read = readEdl("TITLE: overlaps\n"
                                 "001 A V C 0 48 0 48\n"    // V
                                 "002 B V C 0 48 24 72\n"   // V (2): V ends at 48
                                 "003 C V C 0 24 36 60\n"   // V (3): V (2) ends at 72
                                 "004 E V C 0 10 60 70\n"   // V again
                                 "005 F V C 0 15 65 80\n"); // V (3), the first to end by 65
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 0+48 clip A src 0 reel A", "V 48+12 gap", "V 60+10 clip E src 0 reel E",
                     "V (2) 0+24 gap", "V (2) 24+48 clip B src 0 reel B", "V (3) 0+36 gap",
                     "V (3) 36+24 clip C src 0 reel C", "V (3) 60+5 gap",
                     "V (3) 65+15 clip F src 0 reel F"}));
    EXPECT_EQ(lossPlaces(read.losses), (Lines{"line 3", "line 4", "line 6"}));

    // Extra tracks follow all of their kind's own, lane by lane: C, E and G
    // overlap on V, V (2), V (3), V (4); F and H on V2, V2 (2); A and B on A1,
    // A1 (2).
    const EdlRead kinds = readEdl("TITLE: order\n"
                                  "001 A AA C 0 24 0 24\n"
                                  "002 B A C 0 24 12 36\n"
                                  "003 C V C 0 24 0 24\n"
                                  "004 D V C 0 24 12 36\n"
                                  "005 E V KB 0 24 0 24\n"
                                  "005 F V K 000 0 24 0 24\n"
                                  "006 G V C 0 24 12 36\n"
                                  "006 H V K 000 0 24 12 36\n");
    Lines names;
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*kinds.composition, view));
    for (const TimelineTrack& track : view.tracks)
        names.push_back(track.name);
    EXPECT_EQ(names, (Lines{"V", "V2", "V (2)", "V2 (2)", "V (3)", "V (4)", "A1", "A2", "A1 (2)"}));
}

TEST(EdlRead, LinesEndInLfOrCrlfFieldsInAnyBlanksAndOtherBytesAreLatin1) {
    const std::string list = "\xEF\xBB\xBFTITLE:   caf\xE9  \r\n"
                             "001\tA\t\tV\t C\t00:00:00:00 00:00:01:00\t00:00:00:00 00:00:01:00\r\n"
                             "* FROM CLIP NAME: na\xEFve \xE2\x82\xAC\r\n"
                             "\r\n"
                             "002 A V C bad 0 24 48\r\n"
                             "003 B V C 0 24 24 48\n";
    const EdlRead read = readEdl(list);
    const TimelineView view = viewOf(read);
    EXPECT_EQ(view.name, "caf\xC3\xA9");
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 0+24 clip na\xC3\xAFve \xE2\x82\xAC src 0 reel A",
                     "V 24+24 clip B src 0 reel B"}));
    EXPECT_EQ(lossPlaces(read.losses), Lines{"line 5"});
}

TEST(EdlRead, NamesInUtf8StayAndOtherBytesAreLatin1) {
    struct Case {
        const char* bytes;
        const char* name; ///< as UTF-8
    };
    // Well-formed UTF-8 of each length, at the bounds of each first byte's
    // range, stays; any byte of a malformed sequence (overlong, a surrogate,
    // past U+10FFFF, cut short) is the Latin-1 character of its value.
    const Case cases[] = {
        {"a\xC2\x80", "a\xC2\x80"},                                 // U+0080
        {"a\xDF\xBF", "a\xDF\xBF"},                                 // U+07FF
        {"a\xC1\xBF", "a\xC3\x81\xC2\xBF"},                         // overlong
        {"a\xE0\xA0\x80", "a\xE0\xA0\x80"},                         // U+0800
        {"a\xE0\x9F\xBF", "a\xC3\xA0\xC2\x9F\xC2\xBF"},             // overlong
        {"a\xED\x9F\xBF", "a\xED\x9F\xBF"},                         // U+D7FF
        {"a\xED\xA0\x80", "a\xC3\xAD\xC2\xA0\xC2\x80"},             // a surrogate
        {"a\xEF\xBF\xBF", "a\xEF\xBF\xBF"},                         // U+FFFF
        {"a\xF0\x90\x80\x80", "a\xF0\x90\x80\x80"},                 // U+10000
        {"a\xF0\x8F\xBF\xBF", "a\xC3\xB0\xC2\x8F\xC2\xBF\xC2\xBF"}, // overlong
        {"a\xF4\x8F\xBF\xBF", "a\xF4\x8F\xBF\xBF"},                 // U+10FFFF
        {"a\xF4\x90\x80\x80", "a\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"}, // past it
        {"a\xF5\x80\x80\x80", "a\xC3\xB5\xC2\x80\xC2\x80\xC2\x80"},
        {"a\xE2\x82", "a\xC3\xA2\xC2\x82"},               // cut short at the end
        {"a\xE2\x82z", "a\xC3\xA2\xC2\x82z"},             // cut short by a letter
        {"a\xF0\x90z\x80", "a\xC3\xB0\xC2\x90z\xC2\x80"}, // four cut at the third byte
        {"a\xF0\x90\x80z", "a\xC3\xB0\xC2\x90\xC2\x80z"}, // and at the fourth
        {"\xF0\x9F\x8E\xAC", "\xF0\x9F\x8E\xAC"},         // a clapperboard, alone
    };
    for (const Case& c : cases) {
        const EdlRead read = readEdl(
            std::string("TITLE: t\n001 R V C 0 24 0 24\n* FROM CLIP NAME: ") + c.bytes + "\n");
        EXPECT_EQ(itemsOf(*read.composition),
                  Lines{std::string("V 0+24 clip ") + c.name + " src 0 reel R"})
            << c.name;
    }
}

TEST(EdlRead, HeaderLinesAreReadInAnySpelling) {
    struct Case {
        const char* header;
        const char* title;
        std::int64_t recordIn; ///< of 00:01:00:02 at 29.97: 1800 drop frame, 1802 not
    };
    const Case cases[] = {
        {"TITLE: reel 1\nFCM: DROP FRAME\n", "reel 1", 1800},
        {"title:reel 1  \nfcm drop frame\n", "reel 1", 1800},
        {"  Title :  reel 1\nFCM:NON-DROP FRAME\n", "reel 1", 1802},
        {"TITLE: reel 1\nFCM: NON DROP\nFCM: DROP FRAME\n", "reel 1", 1800},
        {"TITLE: reel 1\nFCM: DROP FRAME\nFCM: NON-DROP FRAME\n", "reel 1", 1802},
        // The first word alone says the mode.
        {"TITLE: reel 1\nFCM: DROP\n", "reel 1", 1800},
        {"TITLE: reel 1\nFCM: DROP FRAME\nFCM: NON\n", "reel 1", 1802},
        // No FCM line at all counts without dropping.
        {"TITLE: reel 1\n", "reel 1", 1802},
        // Neither is an FCM line: the list counts as before.
        {"TITLE: reel 1\nFCMX: DROP FRAME\n", "reel 1", 1802},
        {"TITLE: reel 1\nFCM: 25 FPS\n", "reel 1", 1802},
        // A TITLE needs its colon.
        {"TITLE reel 1\n", "", 1802},
    };
    for (const Case& c : cases) {
        const EdlRead read =
            readEdl(std::string(c.header) + "001 AX V C 0 0 00:01:00:02 00:01:00:02\n",
                    Rational(30000, 1001));
        const TimelineView view = viewOf(read);
        EXPECT_EQ(view.name, c.title) << c.header;
        EXPECT_EQ(view.start, c.recordIn) << c.header;
        EXPECT_TRUE(read.losses.empty()) << c.header;
    }
}

TEST(EdlRead, UnreadableEventLinesAreSkippedWithTheirCommentsAndReported) {
    struct Case {
        const char* line;
        const char* why;
    };
    const Case cases[] = {
        {"002 A V C 0 24 24", "it has 7 fields, and an event line at least 8"},
        {"002 A V C 010 0 24 24 48 9", "it has 10 fields, and an event line at most 9"},
        {"002 A X C 0 24 24 48", "its channels \"X\" are none an EDL names"},
        {"002 A V Q 0 24 24 48", "its transition \"Q\" is none an EDL names"},
        {"002 A V D 0 24 24 48", "its transition \"D\" has no duration"},
        {"002 A V D 1234567890 0 24 24 48",
         "its duration \"1234567890\" is not a number of frames"},
        {"002 A V C 0 24 00:00:01:24 48",
         "its record in cannot be read: frame 24 is not below the 24 frames a second "
         "timecodes count"},
        {"002 A V C 0 24 00:61:00:00 48",
         "its record in cannot be read: minutes and seconds run from 00 to 59"},
        // Past the last frame a list can say, at a minute's first second: at 24
        // frames a second nothing is dropped.
        {"002 A V C 0 24 999999999:01:00:00 48",
         "its record in cannot be read: it lies past the latest time read"},
        {"002 A V C 24 0 24 48", "its source out is before its in"},
        {"002 A V C 0 24 48 24", "its record out is before its in"},
        {"1234567 A V C 0 24 24 48", "its edit number is not one to six digits"},
        {"002 A V C 0 24 00:00:01 48", "\"00:00:01\" is not a timecode"},
    };
    for (const Case& c : cases) {
        const EdlRead read = readEdl(std::string("TITLE: t\n001 A V C 0 24 0 24\n") + c.line +
                                     "\n* FROM CLIP NAME: lost\n003 B V C 0 24 48 72\n");
        EXPECT_EQ(itemsOf(*read.composition), (Lines{"V 0+24 clip A src 0 reel A", "V 24+24 gap",
                                                     "V 48+24 clip B src 0 reel B"}))
            << c.line;
        EXPECT_EQ(read.losses,
                  Lines{std::string("line 3 | event | skipped with its comments: ") + c.why});
    }
    // At 29.97 drop frame: the frame numbers drop frame skips.
    const Case dropFrame[] = {
        {"00:01:00;00", "drop frame skips that frame number"},
        {"00:10:00;00", ""},
        {"00:01:00;30", "frame 30 is not below the 30 frames a second timecodes count"},
    };
    for (const Case& c : dropFrame) {
        const EdlRead read = readEdl(std::string("TITLE: t\nFCM: DROP FRAME\n001 A V C 0 0 ") +
                                         c.line + " " + c.line + "\n",
                                     Rational(30000, 1001));
        EXPECT_EQ(read.losses, *c.why ? Lines{std::string("line 3 | event | skipped with its "
                                                          "comments: its record in cannot be "
                                                          "read: ") +
                                              c.why}
                                      : Lines{})
            << c.line;
    }
}

TEST(EdlRead, OnlyATextThatIsNoEdlFails) {
    for (const std::string& text :
         {std::string(), std::string("hello\nworld\n"), std::string("{\"TITLE: x\": 1}"),
          std::string("FCM: DROP FRAME\n* a note\n"), std::string("001 A V C 0 24 0\n"),
          std::string("TITLE: t\0\n", 10)}) {
        const EdlRead read = readEdl(text);
        EXPECT_EQ(read.status.getCode(), Status::JsonConversionFailed) << text;
        EXPECT_FALSE(read.composition);
        EXPECT_EQ(read.message.rfind("not an EDL", 0), 0u) << read.message;
    }
    EXPECT_EQ(readEdl("TITLE: t\n", Rational(-24, 1)).status.getCode(), Status::NoFrameRateText);
    EXPECT_EQ(readEdl("TITLE: t\n", Rational(24, 0)).status.getCode(), Status::NoFrameRateText);
    // A title alone is an empty list.
    const EdlRead empty = readEdl("TITLE: nothing yet\n");
    EXPECT_TRUE(empty.status);
    EXPECT_EQ(viewOf(empty).duration, 0);
}

TEST(EdlRead, TheCompositionSpansTheEarliestEventToTheLatestEventBlackIncluded) {
    const EdlRead read = readEdl("TITLE: span\n"
                                 "001 BL V C 0 24 00:00:01:00 00:00:02:00\n"    // black, 24 to 48
                                 "002 A  V C 0 48 00:00:02:00 00:00:04:00\n"    // 48 to 96
                                 "003 Z  V C 0 0 00:00:00:12 00:00:00:12\n"     // nothing, at 12
                                 "004 BLK V C 0 24 00:00:04:00 00:00:05:00\n"); // black after
    const TimelineView view = viewOf(read);
    EXPECT_EQ(view.start, 12);
    EXPECT_EQ(view.duration, 108); // to the end of the black after clip A, 120
    // One layer from the start to its last item, a plain cut between items.
    Status status;
    EXPECT_EQ(layerShapes(read.composition->getTree(status)),
              std::vector<std::string>{"V 12+108: g c g c s c g"});
    EXPECT_EQ(itemsOf(*read.composition),
              (Lines{"V 12+12 gap", "V 24+24 gap reel BL", "V 48+48 clip A src 0 reel A",
                     "V 96+24 gap reel BLK"}));
}

TEST(EdlRead, LocatorsAreWrittenToStandardOtioAtTheirSourceFrame) {
    // A001 plays source 240 (00:00:10:00) from record 86400 (01:00:00:00) on: a
    // locator 5 frames in marks source frame 245, where OTIO counts a clip's
    // markers.
    const EdlRead read = readEdl("TITLE: notes\n"
                                 "001 A001 V C 00:00:10:00 00:00:20:00 01:00:00:00 01:00:10:00\n"
                                 "* LOC: 01:00:00:05 RED five in\n");
    ASSERT_TRUE(read.losses.empty()) << read.losses.front();
    String standard;
    ASSERT_TRUE(StandardOtio::write(*read.composition, standard));
    rapidjson::Document document;
    document.Parse(standard.c_str());
    const rapidjson::Value& clip = document["tracks"]["children"][0]["children"][0];
    ASSERT_EQ(clip["markers"].Size(), 1u) << standard.c_str();
    EXPECT_EQ(clip["markers"][0]["marked_range"]["start_time"]["value"].GetDouble(), 245.0);
    // The marker as the list said it, with the colour word it used.
    EXPECT_STREQ(clip["markers"][0]["metadata"]["cmx_3600"]["color"].GetString(), "RED");
}

TEST(EdlRead, ReelsAreKeptWhereStandardOtioKeepsThem) {
    const EdlRead read = readEdl("TITLE: reels\n001 A001 B C 0 24 0 24\n002 BLK V C 0 24 24 48\n");
    const auto reelsOf = [](const Composition& composition) {
        TimelineView view;
        EXPECT_TRUE(TimelineView::build(composition, view));
        Lines seen;
        for (std::size_t t = 0; t < view.tracks.size(); ++t)
            for (std::size_t i = 0; i < view.tracks[t].items.size(); ++i)
                if (!view.tracks[t].items[i].reel.empty())
                    seen.push_back(std::to_string(t) + "/" + std::to_string(i) + " " +
                                   view.tracks[t].items[i].reel);
        return seen;
    };
    EXPECT_EQ(reelsOf(*read.composition), (Lines{"0/0 A001", "0/1 BLK", "1/0 A001"}));
    // Written as standard OTIO and read back, as other tools read them.
    String standard;
    ASSERT_TRUE(StandardOtio::write(*read.composition, standard));
    EXPECT_NE(std::string(standard.c_str()).find(R"("cmx_3600":{"reel":"A001"})"),
              std::string::npos);
    SharedPtr<Composition> back;
    LossReport losses;
    ASSERT_TRUE(StandardOtio::read(standard.c_str(), standard.size(), "back", back, losses));
    EXPECT_EQ(reelsOf(*back), reelsOf(*read.composition));
}

} // namespace
} // namespace ZEM_0_81::test
