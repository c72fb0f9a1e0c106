// zemcomp compare and notes carry, as an editor runs them on two cuts of one
// edit. The cuts (tests/support/CutText.h), 24 frames a second from
// 01:00:00:00, media /shots/NAME.mov:
//   old: sh010 1000+48, sh020 2000+24, sh030 3000+24
//   new: sh010 1001+47 (head trimmed a frame), sh099 5000+12 (inserted),
//        sh020 2003+24 (slipped 3), sh030 removed
// In the new cut sh020 starts at 47 + 12 = 59 frames, 11 after its old 48.

#include "tests/support/CutText.h"
#include "tests/tools/SvgDocument.h"
#include "tests/tools/ToolTest.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace zemcomp::test {
namespace {

using ZEM_0_81::test::CutClip;
using ZEM_0_81::test::edlCut;
using ZEM_0_81::test::otioCut;

class ZemcompCompare : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        CutClip a{"sh010", 1000, 48}, b{"sh020", 2000, 24}, c{"sh030", 3000, 24};
        a.notes = {{1000, 1, "first frame"}, {1010, 1, "fix the edge"}};
        b.notes = {{2001, 1, "too dark"}};
        c.notes = {{3005, 1, "cut later"}};
        oldCut = scratchFile("old.edl", edlCut("cut 12", {a, b, c})).string();
        newCut =
            scratchFile(
                "new.edl",
                edlCut("cut 13", {{"sh010", 1001, 47}, {"sh099", 5000, 12}, {"sh020", 2003, 24}}))
                .string();
    }

    std::string oldCut, newCut;
};

TEST_F(ZemcompCompare, PrintsTheChangeListInRecordOrderWithASummary) {
    const ToolRun result = run("compare " + oldCut + " " + newCut);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Removed sh030 follows sh020's partner, the clip before it in the old cut.
    const std::string table =
        "track V -> V\n"
        "  CHANGE   ALSO   OLD REC IN   NEW REC IN   HEAD  TAIL  SHIFT  OLD NAME  NEW NAME  MEDIA\n"
        "  trimmed         01:00:00:00  01:00:00:00    -1     0      0  sh010     sh010     "
        "/shots/sh010.mov\n"
        "  added           -            01:00:01:23                               sh099     "
        "/shots/sh099.mov\n"
        "  slipped  moved  01:00:02:00  01:00:02:11    -3    +3    +11  sh020     sh020     "
        "/shots/sh020.mov\n"
        "  removed         01:00:03:00  -                               sh030               "
        "/shots/sh030.mov\n"
        "4 clips: 1 trimmed, 1 slipped, 1 added, 1 removed\n";
    EXPECT_NE(result.out.find(table), std::string::npos) << result.out;
    EXPECT_EQ(result.out.rfind("old: " + oldCut + ": \"cut 12\" at 24 fps", 0), 0u) << result.out;

    // --exit-code: 1 when a clip changed, 0 for a cut compared with itself.
    EXPECT_EQ(run("compare --exit-code " + oldCut + " " + newCut).exitCode, 1);
    const ToolRun itself = run("compare --exit-code " + oldCut + " " + oldCut);
    EXPECT_EQ(itself.exitCode, 0);
    EXPECT_NE(itself.out.find("3 clips: 3 same\n"), std::string::npos) << itself.out;
}

TEST_F(ZemcompCompare, JsonHoldsEachChangeWithTheItemsListGives) {
    const ToolRun result = run("compare --json " + oldCut + " " + newCut);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    rapidjson::Document json;
    ASSERT_FALSE(json.Parse(result.out.c_str()).HasParseError()) << result.out;
    EXPECT_EQ(std::string(json["old"].GetString()), oldCut);
    EXPECT_EQ(std::string(json["new"].GetString()), newCut);
    const rapidjson::Value& track = json["tracks"][0];
    EXPECT_EQ(std::string(track["old"].GetString()), "V");
    const rapidjson::Value& changes = track["changes"];
    ASSERT_EQ(changes.Size(), 4u);
    // sh020: slipped, and moved 11 frames; head -3 and tail +3.
    const rapidjson::Value& slipped = changes[2];
    EXPECT_EQ(std::string(slipped["change"].GetString()), "slipped");
    ASSERT_EQ(slipped["also"].Size(), 1u);
    EXPECT_EQ(std::string(slipped["also"][0].GetString()), "moved");
    EXPECT_EQ(slipped["head"].GetInt64(), -3);
    EXPECT_EQ(slipped["tail"].GetInt64(), 3);
    EXPECT_EQ(slipped["shift"].GetInt64(), 11);
    EXPECT_TRUE(changes[1]["old"].IsNull());
    EXPECT_TRUE(changes[3]["new"].IsNull());

    // Each side is the very object list --json gives for the item.
    rapidjson::Document listed;
    ASSERT_FALSE(listed.Parse(run("list --json " + oldCut).out.c_str()).HasParseError());
    EXPECT_TRUE(slipped["old"] == listed["tracks"][0]["items"][1]);
    EXPECT_EQ(slipped["old"]["source"]["start"].GetInt64(), 2000);
}

TEST_F(ZemcompCompare, ATrackThatIsNotThereIsBadUsage) {
    const ToolRun result = run("compare --track A9 " + oldCut + " " + newCut);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--track A9: no track \"A9\" in either cut"), std::string::npos)
        << result.err;
    EXPECT_EQ(run("compare " + oldCut + " " + scratch.string() + "/none.edl").exitCode, 1);
    // Standard input holds one document: either cut, not both.
    for (const char* command : {"compare", "notes carry", "draw --compare"}) {
        const ToolRun twice = shell("cat " + oldCut + " | " + tool() + " " + command + " - -");
        EXPECT_EQ(twice.exitCode, 2) << command;
        EXPECT_NE(twice.err.find("standard input can be read only once"), std::string::npos)
            << twice.err;
        const ToolRun once =
            shell("cat " + newCut + " | " + tool() + " " + command + " " + oldCut + " -");
        EXPECT_EQ(once.exitCode, 0) << command << ": " << once.err;
    }
    // A cut that does not import fails, naming it and why.
    const std::string broken = scratchFile("broken.otio", "{\"OTIO_SCHEMA\": ").string();
    for (const std::string& cuts : {broken + " " + newCut, oldCut + " " + broken}) {
        const ToolRun bad = run("compare " + cuts);
        EXPECT_EQ(bad.exitCode, 1) << cuts;
        EXPECT_EQ(bad.err.rfind("zemcomp: " + broken + ":1:", 0), 0u) << bad.err;
        EXPECT_TRUE(bad.out.empty()) << bad.out;
    }
}

TEST_F(ZemcompCompare, NotesCarryWritesTheNewCutAndReportsWhatStayedBehind) {
    const std::string out = (scratch / "carried.edl").string();
    const ToolRun result = run("notes carry " + oldCut + " " + newCut + " -o " + out);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // "fix the edge" on 1010 lands on 86400 + 1010 - 1001 = 86409; "first frame"
    // (1000) and "too dark" (2001) were trimmed and slipped away; sh030 is gone.
    const std::string written = read(out);
    EXPECT_NE(written.find("* LOC: 01:00:00:09 RED fix the edge\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("too dark"), std::string::npos) << written;
    EXPECT_EQ(result.err,
              oldCut +
                  ": 01:00:00:00: note \"first frame\": left behind: none of its frames is "
                  "in the new cut's clip\n" +
                  oldCut +
                  ": 01:00:02:01: note \"too dark\": left behind: none of its frames is "
                  "in the new cut's clip\n" +
                  oldCut +
                  ": 01:00:03:05: note \"cut later\": left behind: its clip is not in "
                  "the new cut\n" +
                  oldCut + ": carried 1 note and 0 paint layers onto " + newCut +
                  ", 3 left behind or carried in part, 0 already there\n");

    // As standard OTIO the note is a marker on sh010's source frame 1010.
    const ToolRun std = run("notes carry " + oldCut + " " + newCut + " --to otio-std");
    ASSERT_EQ(std.exitCode, 0) << std.err;
    rapidjson::Document json;
    ASSERT_FALSE(json.Parse(std.out.c_str()).HasParseError());
    const rapidjson::Value& marker = json["tracks"]["children"][0]["children"][0]["markers"][0];
    EXPECT_EQ(std::string(marker["name"].GetString()), "fix the edge");
    EXPECT_EQ(marker["marked_range"]["start_time"]["value"].GetDouble(), 1010.0);

    // --strict: a note left behind fails, and nothing is written.
    const std::string refused = (scratch / "refused.edl").string();
    const ToolRun strict = run("notes carry --strict " + oldCut + " " + newCut + " -o " + refused);
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_NE(strict.err.find("3 notes or paint layers not carried whole (--strict): nothing "
                              "written"),
              std::string::npos)
        << strict.err;
    EXPECT_FALSE(fs::exists(refused));
}

TEST_F(ZemcompCompare, ANoteCarriedInPartSaysWhereItNowShows) {
    // A 10-frame note on 1040+10 of sh010 (1000+48), whose tail is trimmed to
    // 1000+45: frames 1040..1044 remain, at 86440 for 5 frames.
    CutClip a{"sh010", 1000, 48};
    a.notes = {{1040, 10, "grain"}};
    const std::string before = scratchFile("old.otio", otioCut("old", {a})).string();
    const std::string after =
        scratchFile("new.otio", otioCut("new", {{"sh010", 1000, 45}})).string();
    const ToolRun result = run("notes carry " + before + " " + after);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find(before + ": 01:00:01:16: note \"grain\": carried over 5 of its 10 "
                                       "frames, from 01:00:01:16: only part of its frames is in "
                                       "the new cut's clip\n"),
              std::string::npos)
        << result.err;
}

TEST_F(ZemcompCompare, DrawsBothCutsOnOneRulerWithBandsBetweenPairs) {
    const ToolRun result = run("draw --compare " + oldCut + " " + newCut + " --width 1000");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const SvgDocument picture = SvgDocument::parse(result.out);
    ASSERT_TRUE(picture.root) << picture.error;
    // The old cut lasts 96 frames, the longer: 800 pixels from x = 180 for 96
    // frames. sh010 spans 0..48 (x 180..580) old and 0..47 (x 571.67) new;
    // sh020 48..72 (x 580..780) old and 59..83 (x 671.67..871.67) new.
    const auto bands = picture.root->all("g", "pair");
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0]->title(), "sh010: trimmed: head -1, tail 0, shift 0 frames");
    const std::string first = bands[0]->child("polygon")->attribute("points");
    EXPECT_EQ(first.substr(0, 4), "180,");
    EXPECT_NE(first.find(" 580,"), std::string::npos) << first;
    EXPECT_NE(first.find(" 571.67,"), std::string::npos) << first;
    EXPECT_EQ(bands[0]->child("polygon")->attribute("fill"), "#E69F00");
    EXPECT_EQ(bands[1]->title(), "sh020: slipped, also moved: head -3, tail +3, shift +11 frames");
    const std::string second = bands[1]->child("polygon")->attribute("points");
    EXPECT_EQ(second.substr(0, 4), "580,");
    EXPECT_NE(second.find(" 871.67,"), std::string::npos) << second;
    EXPECT_NE(second.find(" 671.67,"), std::string::npos) << second;

    // Every clip carries its change's letter; the added and removed stand alone.
    std::vector<std::string> letters;
    for (const SvgElement* clip : picture.root->all("g", "clip"))
        for (const SvgElement* letter : clip->all("text", "tag-letter"))
            letters.push_back(letter->text);
    EXPECT_EQ(letters, (std::vector<std::string>{"T", "S", "R", "T", "A", "S"}));
    // The legend names each change beside its sample, the removed one hatched.
    std::vector<std::string> legend;
    for (const SvgElement* text : picture.root->all("text", "small"))
        legend.push_back(text->text);
    for (const char* change :
         {"same", "moved", "trimmed", "slipped", "version", "added", "removed"})
        EXPECT_NE(std::find(legend.begin(), legend.end(), change), legend.end()) << change;
    EXPECT_FALSE(picture.root->all("rect", "tag-dotted").empty());
}

TEST_F(ZemcompCompare, ABandHoldsItsLetterInItsMiddleWhenThirteenPixelsWide) {
    // 800 frames over 800 pixels from x = 180, one a frame: sh010 775 frames
    // (x 180..955), sh020 13 (955..968), sh030 12 (968..980); sh020 and sh030
    // slipped by 2. The bands, as tall as the space between the rows, are
    // read from their polygons' corners.
    const std::string before =
        scratchFile(
            "wide.edl",
            edlCut("cut 12", {{"sh010", 1000, 775}, {"sh020", 5000, 13}, {"sh030", 6000, 12}}))
            .string();
    const std::string after =
        scratchFile(
            "wide2.edl",
            edlCut("cut 13", {{"sh010", 1000, 775}, {"sh020", 5002, 13}, {"sh030", 6002, 12}}))
            .string();
    const SvgDocument picture =
        SvgDocument::parse(run("draw --compare " + before + " " + after + " --width 1000").out);
    ASSERT_TRUE(picture.root) << picture.error;
    const auto bands = picture.root->all("g", "pair");
    ASSERT_EQ(bands.size(), 3u);
    // A letter centred on its band: sh010's at (180 + 955) / 2 = 567.5, its
    // 11-pixel white square 5.5 to the left of and above the middle, the
    // text's baseline 3.1 below it; sh020's band, 13 wide, holds its "S" at
    // 955 + 6.5.
    const std::vector<std::pair<std::string, std::string>> expected{{"=", "567.5"}, {"S", "961.5"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SvgElement* letter = bands[i]->child("text");
        ASSERT_NE(letter, nullptr) << i;
        EXPECT_EQ(letter->text, expected[i].first);
        EXPECT_EQ(letter->attribute("x"), expected[i].second);
        // "x1,top x2,top x3,bottom x4,bottom"
        std::istringstream corners(bands[i]->child("polygon")->attribute("points"));
        double x = 0, top = 0, bottom = 0;
        char comma = 0;
        corners >> x >> comma >> top >> x >> comma >> top >> x >> comma >> bottom;
        EXPECT_GE(bottom - top, 13.0);
        EXPECT_NEAR(letter->number("y"), (top + bottom) / 2.0 + 3.1, 0.01);
        const SvgElement* square = bands[i]->child("rect");
        ASSERT_NE(square, nullptr) << i;
        EXPECT_NEAR(square->number("x"), std::stod(expected[i].second) - 5.5, 0.01);
        EXPECT_NEAR(square->number("y"), (top + bottom) / 2.0 - 5.5, 0.01);
    }
    // sh030's band, 12 wide, is too narrow for one.
    EXPECT_EQ(bands[2]->child("text"), nullptr);
    EXPECT_EQ(bands[2]->child("rect"), nullptr);
}

TEST_F(ZemcompCompare, WhatADialectCannotHoldOfTheNotesIsReportedAndStrictWritesNothing) {
    // A 4-frame note on 1010 of sh010, carried onto the same shot: an EDL
    // marks it with a locator at its first frame (86410) and says so.
    CutClip a{"sh010", 1000, 48};
    a.notes = {{1010, 4, "grain"}};
    const std::string before = scratchFile("old.otio", otioCut("old", {a})).string();
    const std::string after =
        scratchFile("new.otio", otioCut("new", {{"sh010", 1000, 48}})).string();
    const ToolRun listed = run("notes carry " + before + " " + after + " --to edl");
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("* LOC: 01:00:00:10 RED grain\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.err.find("<stdout>: track V1, 01:00:00:00: note: written at its first frame"),
              std::string::npos)
        << listed.err;
    const std::string out = (scratch / "out.edl").string();
    const ToolRun strict =
        run("notes carry " + before + " " + after + " --to edl --strict -o " + out);
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_NE(strict.err.find(out + ": 1 loss while writing (--strict): nothing written"),
              std::string::npos)
        << strict.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ZemcompCompare, ATrackOfOneCutOnlyIsComparedWithNothing) {
    // The old cut also has an audio event (A1, 86400+48): its clip is removed,
    // on a track the new cut does not have.
    const std::string withAudio =
        scratchFile("audio.edl", edlCut("cut 12", {{"sh010", 1000, 48}}) +
                                     "002  RA  A  C  1000 1048 86400 86448\n")
            .string();
    const std::string video =
        scratchFile("video.edl", edlCut("cut 13", {{"sh010", 1000, 48}})).string();
    const ToolRun table = run("compare " + withAudio + " " + video);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find("track V -> V\n"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("track A1 -> (none)\n"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("2 clips: 1 same, 1 removed\n"), std::string::npos) << table.out;
    const ToolRun json = run("compare --json " + withAudio + " " + video);
    rapidjson::Document parsed;
    ASSERT_FALSE(parsed.Parse(json.out.c_str()).HasParseError()) << json.out;
    ASSERT_EQ(parsed["tracks"].Size(), 2u);
    EXPECT_EQ(std::string(parsed["tracks"][1]["old"].GetString()), "A1");
    EXPECT_TRUE(parsed["tracks"][1]["new"].IsNull());
    EXPECT_EQ(std::string(parsed["tracks"][1]["changes"][0]["change"].GetString()), "removed");
    // --track picks the audio pair by its name in the old cut.
    const ToolRun audio = run("compare --track A1 " + withAudio + " " + video);
    EXPECT_EQ(audio.exitCode, 0) << audio.err;
    EXPECT_EQ(audio.out.find("track V"), std::string::npos) << audio.out;
    EXPECT_NE(audio.out.find("1 clip: 1 removed\n"), std::string::npos) << audio.out;
    // Drawn, the audio track's partner row is of its kind too.
    const SvgDocument picture =
        SvgDocument::parse(run("draw --compare " + withAudio + " " + video).out);
    ASSERT_TRUE(picture.root) << picture.error;
    std::vector<std::string> rows;
    for (const SvgElement* label : picture.root->all("g", "track-label"))
        rows.push_back(label->all("text").at(0)->text + " " + label->all("text").at(1)->text);
    EXPECT_EQ(rows,
              (std::vector<std::string>{"old: V video track", "new: V video track",
                                        "old: A1 audio track", "new: (no track) audio track"}));
    // Two empty cuts: no clips, and no change.
    const std::string empty = scratchFile("empty.edl", "TITLE: nothing\n").string();
    const ToolRun none = run("compare --exit-code " + empty + " " + empty);
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_NE(none.out.find("no clips\n"), std::string::npos) << none.out;
}

TEST_F(ZemcompCompare, EachPairOfTracksHasItsBands) {
    // Both cuts have V and A1; in the new one the sound starts 12 frames
    // later: over 800 pixels for 60 frames (13.33 a frame) its band runs
    // from x 180..820 above to 340..980 below, under the video's.
    const std::string sound = "002  RA  A  C  1000 1048 ";
    const std::string before =
        scratchFile("a.edl", edlCut("cut 12", {{"sh010", 1000, 60}}) + sound + "86400 86448\n")
            .string();
    const std::string after =
        scratchFile("b.edl", edlCut("cut 13", {{"sh010", 1000, 60}}) + sound + "86412 86460\n")
            .string();
    const SvgDocument picture =
        SvgDocument::parse(run("draw --compare " + before + " " + after + " --width 1000").out);
    ASSERT_TRUE(picture.root) << picture.error;
    const auto bands = picture.root->all("g", "pair");
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[1]->title(), "RA: moved: head 0, tail 0, shift +12 frames");
    const std::string points = bands[1]->child("polygon")->attribute("points");
    EXPECT_EQ(points.substr(0, 4), "180,");
    EXPECT_NE(points.find(" 820,"), std::string::npos) << points;
    EXPECT_NE(points.find(" 980,"), std::string::npos) << points;
    EXPECT_NE(points.find(" 340,"), std::string::npos) << points;
    EXPECT_GT(std::stod(points.substr(points.find(',') + 1)),
              std::stod(bands[0]->child("polygon")->attribute("points").substr(4)));
}

TEST_F(ZemcompCompare, ARangeDrawsPartOfBothCutsWithItsBandsCut) {
    // Frames 86448 to 86496 (01:00:02:00-01:00:04:00) over 800 pixels, 16.67
    // a frame: sh010 ends before it and its band is left out; sh020 (old
    // 86448..86472, new 86459..86483) joins x 180..580 to 363.33..763.33.
    const ToolRun result = run("draw --compare " + oldCut + " " + newCut +
                               " --width 1000 --range 01:00:02:00-01:00:04:00");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const SvgDocument picture = SvgDocument::parse(result.out);
    ASSERT_TRUE(picture.root) << picture.error;
    const auto bands = picture.root->all("g", "pair");
    ASSERT_EQ(bands.size(), 1u);
    const std::string points = bands[0]->child("polygon")->attribute("points");
    EXPECT_EQ(points.substr(0, 4), "180,");
    EXPECT_NE(points.find(" 580,"), std::string::npos) << points;
    EXPECT_NE(points.find(" 763.33,"), std::string::npos) << points;
    EXPECT_NE(points.find(" 363.33,"), std::string::npos) << points;
    // Each clip's tooltip opens with its change.
    std::vector<std::string> firstLines;
    for (const SvgElement* clip : picture.root->all("g", "clip"))
        firstLines.push_back(clip->title().substr(0, clip->title().find('\n')));
    EXPECT_NE(std::find(firstLines.begin(), firstLines.end(),
                        "slipped, also moved: head -3, tail +3, shift +11 frames"),
              firstLines.end());
    EXPECT_NE(std::find(firstLines.begin(), firstLines.end(), "removed"), firstLines.end());
    // A range that is none is bad usage.
    EXPECT_EQ(run("draw --compare " + oldCut + " " + newCut + " --range 5-2").exitCode, 2);
}

} // namespace
} // namespace zemcomp::test
