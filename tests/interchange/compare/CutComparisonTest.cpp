// Two cuts compared clip by clip, and the notes of the old carried onto the
// new, through the public header: hand-written pairs of cuts, each read as an
// EDL and as standard OTIO, with every expected value worked out by hand.
//
// The shots of most cases, 24 frames a second, back to back from 01:00:00:00
// (86400), media "/shots/NAME.mov":
//   A sh010 source 1000+48, B sh020 2000+24, C sh030 3000+24, D sh040 4000+24
// so that in the old cut A, B, C, D start at record offsets 0, 48, 72, 96.

#include "interchange/CutComparison.h"
#include "interchange/Documents.h"
#include "tests/support/CutText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

const CutClip A{"sh010", 1000, 48};
const CutClip B{"sh020", 2000, 24};
const CutClip C{"sh030", 3000, 24};
const CutClip D{"sh040", 4000, 24};

CutClip with(CutClip clip, std::int64_t source, std::int64_t length) {
    clip.source = source;
    clip.length = length;
    return clip;
}

SharedPtr<Composition> read(const std::string& text, Rational rate = Rational(0, 1)) {
    DocumentReadOptions options;
    options.rate = rate;
    DocumentReading reading = Documents::read(text.c_str(), text.size(), String("cut"), options);
    EXPECT_TRUE(reading.status) << reading.where;
    return reading.composition;
}

/// "CHANGE[+ALSO...] HEAD/TAIL/SHIFT OLD>NEW" of each change of each track.
std::vector<std::string> rowsOf(const CutComparison::Result& result) {
    std::vector<std::string> rows;
    for (const CutComparison::TrackChanges& track : result.tracks)
        for (const CutComparison::ClipChange& change : track.changes) {
            std::string row = CutComparison::changeName(change.change);
            for (const CutComparison::Also also : change.also)
                row += std::string("+") + CutComparison::alsoName(also);
            row += " " + std::to_string(change.head) + "/" + std::to_string(change.tail) + "/" +
                   std::to_string(change.shift) + " ";
            if (change.oldItem)
                row += result.oldView.tracks[*track.oldTrack].items[*change.oldItem].name;
            row += ">";
            if (change.newItem)
                row += result.newView.tracks[*track.newTrack].items[*change.newItem].name;
            rows.push_back(row);
        }
    return rows;
}

std::vector<std::string> compared(const SharedPtr<Composition>& before,
                                  const SharedPtr<Composition>& after,
                                  const std::string& track = "") {
    CutComparison::Options options;
    options.track = track;
    CutComparison::Result result;
    EXPECT_TRUE(CutComparison::compare(*before, *after, options, result));
    return rowsOf(result);
}

struct Case {
    const char* what;
    std::vector<CutClip> before;
    std::vector<CutClip> after;
    std::vector<std::string> rows;
    std::int64_t newStart = 86400;
};

TEST(CutComparison, EachKindOfChangeInEveryDialectThatHoldsACut) {
    CutClip v003{"sh010_comp_v003", 1000, 48};
    CutClip v004{"sh010_comp_v004", 1000, 46};
    const std::vector<Case> cases = {
        {"a cut compared with itself",
         {A, B, C, D},
         {A, B, C, D},
         {"same 0/0/0 sh010>sh010", "same 0/0/0 sh020>sh020", "same 0/0/0 sh030>sh030",
          "same 0/0/0 sh040>sh040"}},
        // A starts a frame later (1001): head 1000 - 1001 = -1; the rest come a frame earlier.
        {"a trim of one frame at the head",
         {A, B, C, D},
         {with(A, 1001, 47), B, C, D},
         {"trimmed -1/0/0 sh010>sh010", "moved 0/0/-1 sh020>sh020", "moved 0/0/-1 sh030>sh030",
          "moved 0/0/-1 sh040>sh040"}},
        // Other media, two frames fewer at the tail (1046 - 1048), B two frames earlier.
        {"a version up that is also trimmed",
         {v003, B},
         {v004, B},
         {"version+trimmed 0/-2/0 sh010_comp_v003>sh010_comp_v004", "moved 0/0/-2 sh020>sh020"}},
        // The second use of A (offset 48, frames 1000+24) goes: C moves from 72 to 48.
        {"a shot used twice and its second use removed",
         {with(A, 1000, 24), B, with(A, 1000, 24), C},
         {with(A, 1000, 24), B, C},
         {"same 0/0/0 sh010>sh010", "same 0/0/0 sh020>sh020", "removed 0/0/0 sh010>",
          "moved 0/0/-24 sh030>sh030"}},
        // Its first use goes: the use at 48 keeps the order of the cut with B and C
        // and pairs, moving to 24; the removed one stands first, where it was.
        {"a shot used twice and its first use removed",
         {with(A, 1000, 24), B, with(A, 1000, 24), C},
         {B, with(A, 1000, 24), C},
         {"removed 0/0/0 sh010>", "moved 0/0/-24 sh020>sh020", "moved 0/0/-24 sh010>sh010",
          "moved 0/0/-24 sh030>sh030"}},
        // Two uses of A of the same frames, one place left, where the second
        // was (offset 24, the first 24 away): the first goes.
        {"a shot used twice and kept where its second use was",
         {with(A, 1000, 24), with(A, 1000, 24)},
         {C, with(A, 1000, 24)},
         {"removed 0/0/0 sh010>", "added 0/0/0 >sh030", "same 0/0/0 sh010>sh010"}},
        // B and C keep their order ahead of both uses of A (0 and 24), which
        // end up at 48: the nearer (24) pairs, moving by 24.
        {"a shot used twice moved behind others",
         {with(A, 1000, 24), with(A, 1000, 24), B, C},
         {B, C, with(A, 1000, 24)},
         {"removed 0/0/0 sh010>", "moved 0/0/-48 sh020>sh020", "moved 0/0/-48 sh030>sh030",
          "moved 0/0/24 sh010>sh010"}},
        // A split in two uses, 1000+30 and 1020+28: the first shares 30 of
        // its frames, the second 28; the first pairs, trimmed by 18 at the tail.
        {"a shot split in two",
         {A},
         {with(A, 1000, 30), with(A, 1020, 28)},
         {"trimmed 0/-18/0 sh010>sh010", "added 0/0/0 >sh010"}},
        // The same, the second sharing more (1010+38 against 1000+10).
        {"a shot split, its later part the larger",
         {A},
         {with(A, 1000, 10), with(A, 1010, 38)},
         {"added 0/0/0 >sh010", "trimmed+moved -10/0/10 sh010>sh010"}},
        // A (48 frames) goes to the end: B, C, D 48 earlier, A from 0 to 72.
        {"a move across the cut",
         {A, B, C, D},
         {B, C, D, A},
         {"moved 0/0/-48 sh020>sh020", "moved 0/0/-48 sh030>sh030", "moved 0/0/-48 sh040>sh040",
          "moved 0/0/72 sh010>sh010"}},
        // B shows 2003+24 for 2000+24: head 2000 - 2003, tail 2027 - 2024.
        {"a slip",
         {A, B, C},
         {A, with(B, 2003, 24), C},
         {"same 0/0/0 sh010>sh010", "slipped -3/3/0 sh020>sh020", "same 0/0/0 sh030>sh030"}},
        // Twelve frames of a new shot first: everything after it 12 later.
        {"a whole cut shifted by an insert",
         {A, B},
         {{"sh099", 5000, 12}, A, B},
         {"added 0/0/0 >sh099", "moved 0/0/12 sh010>sh010", "moved 0/0/12 sh020>sh020"}},
        // Offsets from each cut's start: 90000 for 86400 changes nothing.
        {"a new start timecode",
         {A, B},
         {A, B},
         {"same 0/0/0 sh010>sh010", "same 0/0/0 sh020>sh020"},
         90000},
        // The same media, its only use each side, no frame in common: still a pair.
        {"the only use of a shot recut from elsewhere",
         {B},
         {with(B, 9000, 24)},
         {"slipped -7000/7000/0 sh020>sh020"}},
        // Two uses of B each side, the second of each sharing no frame with the
        // other cut's: the first pair, the others stand alone.
        {"a second use that shares no frames",
         {B, with(B, 2100, 24)},
         {B, with(B, 2200, 24)},
         {"same 0/0/0 sh020>sh020", "removed 0/0/0 sh020>", "added 0/0/0 >sh020"}},
        // A gap between two clips is no change of its own: C moves 12 later.
        {"a gap inserted",
         {B, C},
         {B, gap(12), C},
         {"same 0/0/0 sh020>sh020", "moved 0/0/12 sh030>sh030"}},
        {"cuts that share nothing", {A}, {B}, {"removed 0/0/0 sh010>", "added 0/0/0 >sh020"}},
        {"an empty old cut", {}, {B}, {"added 0/0/0 >sh020"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compared(read(edlCut("old", c.before)), read(edlCut("new", c.after, c.newStart))),
                  c.rows)
            << c.what << " (EDL)";
        EXPECT_EQ(
            compared(read(otioCut("old", c.before)), read(otioCut("new", c.after, 24, c.newStart))),
            c.rows)
            << c.what << " (standard OTIO)";
    }
}

TEST(CutComparison, AGraphicUsedThroughoutPairsUseByUse) {
    // Ten uses of one graphic (frames 0+24), each after a shot of its own
    // (sh101...sh110, 1000+24): with sh101 gone, every later clip comes 24
    // frames earlier, and every use keeps its place among them.
    const CutClip logo{"logo", 0, 24};
    std::vector<CutClip> before, after;
    std::vector<std::string> rows = {"same 0/0/0 logo>logo", "removed 0/0/0 sh101>"};
    for (int i = 1; i <= 10; ++i) {
        const CutClip shot{"sh" + std::to_string(100 + i), 1000, 24};
        before.push_back(logo);
        before.push_back(shot);
        if (i == 1)
            continue;
        rows.push_back("moved 0/0/-24 logo>logo");
        rows.push_back("moved 0/0/-24 " + shot.name + ">" + shot.name);
    }
    after = before;
    after.erase(after.begin() + 1);
    EXPECT_EQ(compared(read(otioCut("old", before)), read(otioCut("new", after))), rows);
    EXPECT_EQ(compared(read(otioCut("old", before)), read(otioCut("again", before))).size(), 20u);
}

TEST(CutComparison, CutsWithoutMediaPairByNameAndByReel) {
    // No media: names differing in their version are a version of one shot;
    // clips named after their reel pair only on frames they share.
    const CutClip v1{"sh010_v1", 1000, 24, "-", "A001"};
    const CutClip v2{"sh010_v2", 1000, 24, "-", "A001"};
    EXPECT_EQ(compared(read(edlCut("old", {v1})), read(edlCut("new", {v2}))),
              (std::vector<std::string>{"version 0/0/0 sh010_v1>sh010_v2"}));
    // 1010+24 shares 14 frames with 1000+24: a slip by 10. 5000+24 shares
    // none with 2000+24: removed and added, at the old one's place.
    const CutClip a{"A001", 1000, 24, "-", "A001"};
    const CutClip b{"B001", 2000, 24, "-", "B001"};
    EXPECT_EQ(compared(read(edlCut("old", {a, b})),
                       read(edlCut("new", {with(a, 1010, 24), with(b, 5000, 24)}))),
              (std::vector<std::string>{"slipped -10/10/0 A001>A001", "removed 0/0/0 B001>",
                                        "added 0/0/0 >B001"}));
}

TEST(CutComparison, VersionTokensInNamesAndMediaPaths) {
    // Each clip is the only use of its name, on reels of its own and without
    // media: a name that is the same without its version token pairs as a
    // version; any other stands alone.
    const auto rows = [](const std::string& before, const std::string& after,
                         const std::string& oldMedia = "-", const std::string& newMedia = "-") {
        return compared(read(edlCut("old", {{before, 1000, 24, oldMedia, "OLDREEL"}})),
                        read(edlCut("new", {{after, 1000, 24, newMedia, "NEWREEL"}})));
    };
    const auto version = [](const std::string& before, const std::string& after) {
        return std::vector<std::string>{"version 0/0/0 " + before + ">" + after};
    };
    const auto alone = [](const std::string& before, const std::string& after) {
        return std::vector<std::string>{"removed 0/0/0 " + before + ">", "added 0/0/0 >" + after};
    };
    for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
             {"sh010_comp_v003", "sh010_comp_v004"},
             {"sh010_comp.v3", "sh010_comp.v12"},
             {"sh010-v3", "sh010-v4"},
             {"sh010 v3", "sh010 V4"},
             {"v1_sh010", "v2_sh010"},
             {"sh010_v999999", "sh010_v000001"},
         })
        EXPECT_EQ(rows(before, after), version(before, after)) << before;
    // Against a name without one, the token goes with its separator.
    for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
             {"sh010_v3", "sh010"}, {"v2_sh010", "sh010"}, {"sh010.v3.exr", "sh010.exr"}})
        EXPECT_EQ(rows(before, after), version(before, after)) << before;
    // No tokens: run into the name, with letters after, seven digits.
    for (const auto& [before, after] :
         std::vector<std::pair<std::string, std::string>>{{"sh010v3", "sh010v4"},
                                                          {"sh010_v3a", "sh010_v4a"},
                                                          {"rev2", "rev3"},
                                                          {"sh010_v1234567", "sh010_v1234568"}})
        EXPECT_EQ(rows(before, after), alone(before, after)) << before;
    // Media in a folder of its version, under other names: the same shot.
    EXPECT_EQ(rows("plate", "plate new", "/shots/sh010/v003/sh010_v003.exr",
                   "/shots/sh010/v004/sh010_v004.exr"),
              version("plate", "plate new"));
    EXPECT_EQ(rows("plate", "plate new", "/shots/v003/sh010.exr", "/shots/v004/sh020.exr"),
              alone("plate", "plate new"));
    EXPECT_EQ(rows("plate", "plate new", "/shots/v003/sh010.exr", "/shots/sh010.exr"),
              version("plate", "plate new"));
}

TEST(CutComparison, DropFrameOffsetsCountFramesNotTimecodeDigits) {
    // 29.97 drop frame: 00:00:59;28 is frame 1798 and 00:01:00;02 frame 1800
    // (;00 and ;01 are skipped at the minute). P lengthens its tail by two
    // frames (5028 -> 5030) and Q moves 1800 - 1798 = 2 frames, not 4.
    const std::string before = "TITLE: old\nFCM: DROP FRAME\n"
                               "001  P  V  C  5000 5028 00:00:59;00 00:00:59;28\n"
                               "002  Q  V  C  6000 6010 00:00:59;28 00:01:00;10\n";
    const std::string after = "TITLE: new\nFCM: DROP FRAME\n"
                              "001  P  V  C  5000 5030 00:00:59;00 00:01:00;02\n"
                              "002  Q  V  C  6000 6010 00:01:00;02 00:01:00;12\n";
    EXPECT_EQ(compared(read(before), read(after)),
              (std::vector<std::string>{"trimmed 0/2/0 P>P", "moved 0/0/2 Q>Q"}));
}

TEST(CutComparison, CutsAtTwoRatesCompareAtTheNewOnes) {
    // The old cut at 24, the new at 48 with the same media times: A 1000+48 at
    // 24 is 2000+96 at 48, and B's offset 48 at 24 is 96 at 48. B starting a
    // frame later at 48 is a head of -1 there; a move of one frame at 24 is 2.
    const SharedPtr<Composition> before = read(edlCut("old", {A, B}), Rational(24, 1));
    const SharedPtr<Composition> after =
        read(edlCut("new", {with(A, 2000, 96), with(B, 4001, 47)}), Rational(48, 1));
    EXPECT_EQ(compared(before, after),
              (std::vector<std::string>{"same 0/0/0 sh010>sh010", "trimmed -1/0/0 sh020>sh020"}));
    // Two frames at 48 before B: it moves by 98 - 96 = 2.
    const SharedPtr<Composition> moved = read(
        edlCut("new", {with(A, 2000, 96), gap(2), with(B, 4000, 48)}, 172800), Rational(48, 1));
    EXPECT_EQ(compared(before, moved),
              (std::vector<std::string>{"same 0/0/0 sh010>sh010", "moved 0/0/2 sh020>sh020"}));
}

TEST(CutComparison, SpeedLookEffectsAndSwitchAreFurtherChanges) {
    CutClip fast = B, graded = C, masked = D;
    fast.effects = R"({"OTIO_SCHEMA":"LinearTimeWarp.1","name":"","time_scalar":2})";
    graded.effects = R"({"OTIO_SCHEMA":"Effect.1","name":"grade","effect_name":"CDL",)"
                     R"("metadata":{"zem":{"ZEM_SCHEMA":"CDL.1","slope":[1.1,1,1],)"
                     R"("offset":[0,0,0],"power":[1,1,1],"saturation":1}}})";
    masked.effects = R"({"OTIO_SCHEMA":"Effect.1","name":"mask","effect_name":"AngularMask",)"
                     R"("metadata":{"zem":{"ZEM_SCHEMA":"AngularMask.1","pivot":[0,0],)"
                     R"("angle_in_radians":0.5}}})";
    // A is switched off; B plays twice as fast and loses its last frame; C and
    // D come a frame earlier, C with a look, D with a mask.
    const SharedPtr<Composition> before = read(otioCut("old", {A, B, C, D}));
    const SharedPtr<Composition> after =
        read(otioCut("new", {A, with(fast, 2000, 23), graded, masked}, 24, 86400, {0}));
    EXPECT_EQ(compared(before, after),
              (std::vector<std::string>{
                  "same+enabled 0/0/0 sh010>sh010", "trimmed+speed 0/-1/0 sh020>sh020",
                  "moved+look 0/0/-1 sh030>sh030", "moved+effects 0/0/-1 sh040>sh040"}));
    // Notes are not compared: a clip that gains one is the same.
    CutClip noted = A;
    noted.notes = {{1010, 4, "soften the edge"}};
    EXPECT_EQ(compared(read(otioCut("old", {A})), read(otioCut("new", {noted}))),
              (std::vector<std::string>{"same 0/0/0 sh010>sh010"}));
}

TEST(CutComparison, WhatElseChangedOfOneClip) {
    // sh020 in the old cut as given, in the new one as the second: only the
    // further change tells them apart.
    const auto also = [](const std::string& before, const std::string& after) {
        CutClip was = B, is = B;
        was.effects = before;
        is.effects = after;
        return compared(read(otioCut("old", {was})), read(otioCut("new", {is}))).front();
    };
    const std::string freeze = R"({"OTIO_SCHEMA":"FreezeFrame.1","name":""})";
    const auto warp = [](const char* scalar) {
        return std::string(R"({"OTIO_SCHEMA":"LinearTimeWarp.1","name":"","time_scalar":)") +
               scalar + "}";
    };
    const auto look = [](const char* slope, const char* enabled) {
        return std::string(R"({"OTIO_SCHEMA":"Effect.1","name":"grade","effect_name":"CDL",)") +
               R"("enabled":)" + enabled + R"(,"metadata":{"zem":{"ZEM_SCHEMA":"CDL.1","slope":[)" +
               slope + R"(,1,1],"offset":[0,0,0],"power":[1,1,1],"saturation":1}}})";
    };
    const auto mask = [](const char* enabled) {
        return std::string(R"({"OTIO_SCHEMA":"Effect.1","name":"m","effect_name":"AngularMask",)") +
               R"("enabled":)" + enabled + R"(,"metadata":{"zem":{"ZEM_SCHEMA":"AngularMask.1",)" +
               R"("pivot":[0,0],"angle_in_radians":0.5}}})";
    };
    // A freeze plays at 0; two warps at the product of their scalars (2 x 0.5 = 1).
    EXPECT_EQ(also("", freeze), "same+speed 0/0/0 sh020>sh020");
    EXPECT_EQ(also(warp("2") + "," + warp("0.5"), ""), "same 0/0/0 sh020>sh020");
    EXPECT_EQ(also(warp("2"), warp("-2")), "same+speed 0/0/0 sh020>sh020");
    // A scalar that is no number, or none, plays at 1.
    EXPECT_EQ(also(warp("\"2\""), ""), "same 0/0/0 sh020>sh020");
    EXPECT_EQ(also(R"({"OTIO_SCHEMA":"LinearTimeWarp.1","name":""})", ""),
              "same 0/0/0 sh020>sh020");
    // A look of other values, switched off, or gone; the same look.
    EXPECT_EQ(also(look("1.1", "true"), look("1.2", "true")), "same+look 0/0/0 sh020>sh020");
    EXPECT_EQ(also(look("1.1", "true"), look("1.1", "false")), "same+look 0/0/0 sh020>sh020");
    EXPECT_EQ(also(look("1.1", "true"), ""), "same+look 0/0/0 sh020>sh020");
    EXPECT_EQ(also(look("1.1", "true"), look("1.1", "true")), "same 0/0/0 sh020>sh020");
    // An effect switched off, another kind, one more; a look aside from them.
    EXPECT_EQ(also(mask("true"), mask("false")), "same+effects 0/0/0 sh020>sh020");
    EXPECT_EQ(also(mask("true"), mask("true") + "," + mask("true")),
              "same+effects 0/0/0 sh020>sh020");
    EXPECT_EQ(also(mask("true") + "," + look("1", "true"), look("1", "true") + "," + mask("true")),
              "same 0/0/0 sh020>sh020");
}

TEST(CutComparison, RescaleCountsFramesAtAnotherRate) {
    struct Case {
        std::int64_t frames;
        Rational from, to;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {48, Rational(24, 1), Rational(48, 1), 96},
        {12, Rational(24, 1), Rational(25, 1), 13},          // 12.5, halves away from zero
        {-12, Rational(24, 1), Rational(25, 1), -13},        // -12.5
        {11, Rational(24, 1), Rational(25, 1), 11},          // 11.46
        {1001, Rational(30000, 1001), Rational(24, 1), 802}, // 801.6
        {5, Rational(0, 1), Rational(24, 1), 5},             // no rate: as they stand
        {7, Rational(25, 1), Rational(25, 1), 7},
        // Past 2^63 the nearest that fits.
        {std::int64_t(1) << 62, Rational(1, 1), Rational(4, 1), INT64_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutComparison::rescale(c.frames, c.from, c.to), c.expected) << c.frames;
}

TEST(CutComparison, OneTrackByNameOrNumberAndTracksMatchedByName) {
    const std::string cut = edlCut("cut", {A}) + "002  RA  A  C  1000 1048 86400 86448\n";
    const SharedPtr<Composition> before = read(cut);
    const SharedPtr<Composition> after = read(cut);
    // Tracks V and A1, each compared with the one of its name.
    EXPECT_EQ(compared(before, after),
              (std::vector<std::string>{"same 0/0/0 sh010>sh010", "same 0/0/0 RA>RA"}));
    EXPECT_EQ(compared(before, after, "A1"), (std::vector<std::string>{"same 0/0/0 RA>RA"}));
    EXPECT_EQ(compared(before, after, "1"), (std::vector<std::string>{"same 0/0/0 sh010>sh010"}));
    // Numbers count the new cut's tracks from 1; anything else names no track.
    EXPECT_EQ(compared(before, after, "2"), (std::vector<std::string>{"same 0/0/0 RA>RA"}));
    for (const char* track : {"A9", "0", "3", "1x", "-1"}) {
        CutComparison::Options options;
        options.track = track;
        CutComparison::Result result;
        String message;
        EXPECT_EQ(CutComparison::compare(*before, *after, options, result, &message).getCode(),
                  Status::NoData)
            << track;
        EXPECT_NE(std::string(message.c_str()).find("no track \"" + std::string(track) + "\""),
                  std::string::npos);
        EXPECT_TRUE(result.tracks.empty());
    }

    // Tracks of other names pair by kind and order: the new cut's "Main"
    // (video) with the old V; the old A1 has no audio track to go to.
    std::string renamed = otioCut("new", {A});
    renamed.replace(renamed.find("\"V1\""), 4, "\"Main\"");
    CutComparison::Result result;
    ASSERT_TRUE(CutComparison::compare(*before, *read(renamed), {}, result));
    ASSERT_EQ(result.tracks.size(), 2u);
    EXPECT_EQ(result.tracks[0].oldTrack, std::optional<std::size_t>(0));
    EXPECT_EQ(result.tracks[0].newTrack, std::optional<std::size_t>(0));
    EXPECT_EQ(result.tracks[1].oldTrack, std::optional<std::size_t>(1));
    EXPECT_FALSE(result.tracks[1].newTrack);
    EXPECT_EQ(rowsOf(result),
              (std::vector<std::string>{"same 0/0/0 sh010>sh010", "removed 0/0/0 RA>"}));
    EXPECT_TRUE(result.changed());
}

// --- notes carried -------------------------------------------------------------

/// "TEXT@START+DURATION" of each note of the new cut's clips, in order.
std::vector<std::string> notesOf(const Composition& composition) {
    TimelineView view;
    EXPECT_TRUE(TimelineView::build(composition, view));
    std::vector<std::string> notes;
    for (const TimelineTrack& track : view.tracks)
        for (const TimelineItem& item : track.items)
            for (const TimelineNote& note : item.notes)
                notes.push_back(note.text + "@" + std::to_string(note.range.start) + "+" +
                                std::to_string(note.range.duration));
    return notes;
}

/// "TEXT REASON@OLD-START" of each note left behind (or carried in part).
std::vector<std::string> leftOf(const CutComparison::Carried& carried) {
    std::vector<std::string> left;
    for (const CutComparison::LeftBehind& entry : carried.left)
        left.push_back(entry.text + " " + std::to_string(static_cast<int>(entry.why)) + "@" +
                       std::to_string(entry.record.start));
    return left;
}

/// `text` (the product dialect) with its first clip's source range changed:
/// its start to `start` or, without one, left out (the edit tree then does
/// not know it), its duration to `duration` frames.
std::string withFirstRange(const std::string& text, std::optional<double> start, double duration) {
    rapidjson::Document document;
    document.Parse(text.c_str());
    // A document holds its timeline, or is one.
    rapidjson::Value& timeline = document.HasMember("timeline") ? document["timeline"] : document;
    rapidjson::Value& range = timeline["tracks"]["children"][0]["children"][0]["source_range"];
    if (start)
        range["start_time"]["value"].SetDouble(*start);
    else
        range["start_time"].RemoveMember("value");
    range["duration"]["value"].SetDouble(duration);
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    return buffer.GetString();
}

std::string withoutFirstStart(const char* name, double duration) {
    return withFirstRange(readExample(name), std::nullopt, duration);
}

struct CarryCase {
    const char* what;
    std::vector<CutClip> before;
    std::vector<CutClip> after;
    std::vector<std::string> notes; ///< on the new cut, after
    std::vector<std::string> left;  ///< reason 0 removed, 1 gap, 2 gone, 3 in part
};

TEST(CutComparison, NotesLandOnTheSameSourceFramesOrAreLeftBehind) {
    // Notes on source frames of A (1000+48 at 86400) and B (2000+24 at 86448).
    CutClip a = A, b = B;
    a.notes = {{1000, 1, "head"}, {1010, 1, "middle"}};
    b.notes = {{2020, 1, "late"}};
    const std::vector<CarryCase> cases = {
        // A from 1001 at 86400: frame 1010 at 86409; 1000 is gone.
        {"a trim at the head",
         {a, b},
         {with(A, 1001, 47), B},
         {"middle@86409+1", "late@86467+1"},
         {"head 2@86400"}},
        // B moves first (86400), A after it (86424): 1000 -> 86424, 1010 -> 86434.
        {"a move across the cut",
         {a, b},
         {B, A},
         {"late@86420+1", "head@86424+1", "middle@86434+1"},
         {}},
        // B slipped to 2003+24: 2020 at 86448 + 17 = 86465.
        {"a slip",
         {a, b},
         {A, with(B, 2003, 24)},
         {"head@86400+1", "middle@86410+1", "late@86465+1"},
         {}},
        // Twelve frames inserted first: every note 12 later (B now at 86460).
        {"an insert",
         {a, b},
         {{"sh099", 5000, 12}, A, B},
         {"head@86412+1", "middle@86422+1", "late@86480+1"},
         {}},
        // B removed: its note with it, from where it was (2020 at 86468).
        {"a shot removed", {a, b}, {A}, {"head@86400+1", "middle@86410+1"}, {"late 0@86468"}},
    };
    for (const CarryCase& c : cases)
        for (const bool edl : {true, false}) {
            const SharedPtr<Composition> before =
                read(edl ? edlCut("old", c.before) : otioCut("old", c.before));
            const SharedPtr<Composition> after =
                read(edl ? edlCut("new", c.after) : otioCut("new", c.after));
            CutComparison::Carried carried;
            ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, carried));
            EXPECT_EQ(notesOf(*after), c.notes) << c.what << (edl ? " (EDL)" : " (OTIO)");
            EXPECT_EQ(leftOf(carried), c.left) << c.what << (edl ? " (EDL)" : " (OTIO)");
            EXPECT_EQ(carried.notes, c.notes.size()) << c.what;
        }
}

TEST(CutComparison, ANoteThatPartlyFitsIsCarriedOverWhatRemains) {
    // A 12-frame note on 1040+12 of a version trimmed to 1000+46: frames
    // 1040..1045 remain (86440+6); one on 1046+2 is gone; a 4-frame note
    // at 1000 stays whole.
    CutClip v003{"sh010_comp_v003", 1000, 48};
    v003.notes = {{1000, 4, "whole"}, {1040, 12, "tail"}, {1046, 2, "gone"}};
    const SharedPtr<Composition> before = read(otioCut("old", {v003}));
    const SharedPtr<Composition> after = read(otioCut("new", {{"sh010_comp_v004", 1000, 46}}));
    CutComparison::Carried carried;
    ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, carried));
    EXPECT_EQ(notesOf(*after), (std::vector<std::string>{"whole@86400+4", "tail@86440+6"}));
    EXPECT_EQ(leftOf(carried), (std::vector<std::string>{"tail 3@86440", "gone 2@86446"}));
    EXPECT_EQ(carried.left[0].carried, (FrameRange{86440, 6}));
    EXPECT_EQ(carried.notes, 2u);

    // Carried again, nothing is doubled: both notes are already there.
    CutComparison::Carried again;
    ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, again));
    EXPECT_EQ(notesOf(*after), (std::vector<std::string>{"whole@86400+4", "tail@86440+6"}));
    EXPECT_EQ(again.alreadyThere, 2u);
    EXPECT_EQ(again.notes, 0u);
}

TEST(CutComparison, NotesFollowTheRateOfTheNewCutAndStayOffGaps) {
    // At 24, a note on source frame 1010 of A, one frame; at 48 that is
    // frames 2020 and 2021 of A (2000+96 from 172800): record 172820 + 2.
    CutClip a = A;
    a.notes = {{1010, 1, "edge"}};
    const SharedPtr<Composition> before = read(edlCut("old", {a}), Rational(24, 1));
    const SharedPtr<Composition> after =
        read(edlCut("new", {with(A, 2000, 96)}, 172800), Rational(48, 1));
    CutComparison::Carried carried;
    ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, carried));
    EXPECT_EQ(notesOf(*after), (std::vector<std::string>{"edge@172820+2"}));

    // A note on a gap (a marker of standard OTIO's Gap) stays behind.
    const std::string withGapNote = otioCut("old", {gap(24), B});
    std::string text = withGapNote;
    const std::string gapRange = R"("OTIO_SCHEMA":"Gap.1","name":"")";
    text.replace(text.find(gapRange), gapRange.size(),
                 gapRange +
                     R"(,"markers":[{"OTIO_SCHEMA":"Marker.2","name":"black",)"
                     R"("marked_range":{"OTIO_SCHEMA":"TimeRange.1","start_time":)"
                     R"({"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":2},)"
                     R"("duration":{"OTIO_SCHEMA":"RationalTime.1","rate":24,"value":1}}}])");
    CutComparison::Carried offGap;
    const SharedPtr<Composition> target = read(otioCut("new", {gap(24), B}));
    ASSERT_TRUE(CutComparison::carryNotes(*read(text), *target, {}, offGap));
    EXPECT_EQ(leftOf(offGap), (std::vector<std::string>{"black 1@86402"}));
    EXPECT_TRUE(notesOf(*target).empty());
}

TEST(CutComparison, WholeClipNotesPaintAndTheNotesOfTracksAndGapsThatGo) {
    // draw/cut.otio.json (the product dialect, 24 fps from 86400): V1 holds
    // a clip of /shows/test/a&b<1>.mov, 1001+48, with a note over the whole
    // clip ("Too dark") and paint on 86410+10, then a gap with a note on
    // 86450+6; V2 "titles" holds two notes on 86462 and 86464. The new cut
    // has V1 only, the clip trimmed by 4 at its head: 1005+44 from 86400.
    const SharedPtr<Composition> before = read(readTestData("draw/cut.otio.json"));
    const SharedPtr<Composition> after =
        read(otioCut("new", {{"wide", 1005, 44, "/shows/test/a&b<1>.mov"}}));
    CutComparison::Carried carried;
    ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, carried));
    // The note covers its new clip; the paint's 1011+10 now starts at 86406.
    EXPECT_EQ(notesOf(*after), (std::vector<std::string>{"Too dark@86400+44"}));
    TimelineView view;
    ASSERT_TRUE(TimelineView::build(*after, view));
    const TimelineItem& clip = view.tracks[0].items[0];
    ASSERT_EQ(clip.paint.size(), 1u);
    EXPECT_EQ(clip.paint[0].range, (FrameRange{86406, 10}));
    EXPECT_EQ(clip.paint[0].strokes, 1u);
    EXPECT_EQ(clip.paint[0].points, 3u);
    EXPECT_FALSE(clip.notes[0].ownRange);
    EXPECT_EQ(carried.notes, 1u);
    EXPECT_EQ(carried.paint, 1u);
    // The gap's note, and the titles' (their track has no partner).
    EXPECT_EQ(leftOf(carried),
              (std::vector<std::string>{"Shot goes here 1@86450", "Kerning on the T 0@86462",
                                        "Hold <2> frames & fade 0@86464"}));
    EXPECT_EQ(carried.left[1].track, 1u);
    EXPECT_EQ(carried.left[1].item, 1u);

    // Carried again: the note and the paint are already there.
    CutComparison::Carried again;
    ASSERT_TRUE(CutComparison::carryNotes(*before, *after, {}, again));
    EXPECT_EQ(again.alreadyThere, 2u);
    EXPECT_EQ(notesOf(*after).size(), 1u);

    // The same paint (1 stroke, 3 points) of a clip starting at 1005, on
    // 1015+10, lands on 86410+10; the paint of 86406+10 is no paint there.
    const SharedPtr<Composition> target =
        read(otioCut("new", {{"wide", 1005, 44, "/shows/test/a&b<1>.mov"}}));
    CutComparison::Carried first, second;
    ASSERT_TRUE(CutComparison::carryNotes(
        *read(withFirstRange(readTestData("draw/cut.otio.json"), 1005, 48)), *target, {}, first));
    EXPECT_EQ(first.paint, 1u);
    ASSERT_TRUE(CutComparison::carryNotes(*before, *target, {}, second));
    EXPECT_EQ(second.paint, 1u);
    EXPECT_EQ(second.alreadyThere, 1u); // the note over the whole clip
    TimelineView twice;
    ASSERT_TRUE(TimelineView::build(*target, twice));
    ASSERT_EQ(twice.tracks[0].items[0].paint.size(), 2u);
    EXPECT_EQ(twice.tracks[0].items[0].paint[0].range, (FrameRange{86410, 10}));
    EXPECT_EQ(twice.tracks[0].items[0].paint[1].range, (FrameRange{86406, 10}));
}

TEST(CutComparison, ACarriedMarkerKeepsWhatItCameWith) {
    // A marker's own metadata goes with its note: B's note on 2010, B
    // slipped to 2005+24, written back as standard OTIO.
    CutClip b = B;
    b.notes = {{2010, 2, "grain"}};
    std::string text = otioCut("old", {b});
    const std::string colour = R"("color":"RED")";
    text.replace(text.find(colour), colour.size(),
                 colour + R"(,"metadata":{"review":{"id":"n42"}})");
    const SharedPtr<Composition> after = read(otioCut("new", {with(B, 2005, 24)}));
    CutComparison::Carried carried;
    ASSERT_TRUE(CutComparison::carryNotes(*read(text), *after, {}, carried));
    EXPECT_EQ(notesOf(*after), (std::vector<std::string>{"grain@86405+2"}));
    String written;
    LossReport losses;
    ASSERT_TRUE(Documents::write(*after, Dialect::OtioStandard, written, losses));
    EXPECT_NE(std::string(written.c_str()).find(R"("review":{"id":"n42"})"), std::string::npos)
        << written.c_str();
}

TEST(CutComparison, WithoutKnownSourceFramesLengthsAreComparedAndRangedNotesStay) {
    // short-cut's sh010 (1009+48 at 86400) without a start and two frames
    // shorter: a trim at the tail by 2, the clips after it 2 earlier.
    const SharedPtr<Composition> before = read(readExample("short-cut.otio.json"));
    EXPECT_EQ(compared(before, read(withoutFirstStart("short-cut.otio.json", 46)), "V1"),
              (std::vector<std::string>{"trimmed 0/-2/0 sh010_comp_v003>sh010_comp_v003",
                                        "moved 0/0/-2 sh020_comp_v007>sh020_comp_v007",
                                        "moved 0/0/-2 sh030_anim_v002>sh030_anim_v002"}));
    EXPECT_EQ(compared(before, read(withoutFirstStart("short-cut.otio.json", 48)), "V1").front(),
              "same 0/0/0 sh010_comp_v003>sh010_comp_v003");
    // review-notes' sh010 carries paint and a note on its frames from 1010
    // (from 00:00:41:16, frame 1000): without a start they cannot be placed.
    CutComparison::Carried carried;
    ASSERT_TRUE(CutComparison::carryNotes(*read(readExample("review-notes.otio.json")),
                                          *read(withoutFirstStart("review-notes.otio.json", 48)),
                                          {}, carried));
    ASSERT_GE(carried.left.size(), 2u);
    EXPECT_FALSE(carried.left[0].isNote);
    EXPECT_EQ(carried.left[0].strokes, 1u);
    EXPECT_EQ(leftOf(carried)[1], "Boat wake too bright, bring down 1/2 stop 4@1010");
}

} // namespace
} // namespace ZEM_0_81::test
