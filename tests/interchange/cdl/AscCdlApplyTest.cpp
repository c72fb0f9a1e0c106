// Applying ASC CDL corrections to a cut, and the looks of a cut written and
// applied again. tests/data/interchange/cdl/cut.otio, at 24 frames a second
// from 01:00:00:00, tracks and items counted from 1 as reports count them:
//   track 1: 1 "A001_C002" reel A001, file:///shots/day1/A001_C002.mov, 86400+48
//            2 gap 24
//            3 "A001_C002" reel A001, /shots/day1/A001_C002.mov, 86472+24
//              (01:00:03:00-01:00:04:00)
//            4 "sh010" reel B007, /shots/day2/B007_C001.mov, 86496+24
//            5 "B007", file:///shots/day2/C%20003.mov, 86520+1
//   track 2: 1 "title", /gfx/title.png, a look (slope 1.1 1 0.9, saturation 0.5)
//            2 "no_media" reel A001, no media

#include "interchange/AscCdl.h"
#include "interchange/StandardOtio.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

SharedPtr<Composition> cut() {
    LossReport losses;
    return readStandard(readTestData("interchange/cdl/cut.otio"), losses);
}

std::vector<AscCdl::Correction> correctionsOf(const std::string& text) {
    AscCdl::Contents contents;
    LossReport losses;
    EXPECT_TRUE(AscCdl::read(text.data(), text.size(), contents, losses));
    return contents.corrections;
}

/// "TRACK.ITEM RULE" of each match, counted from 1.
std::vector<std::string> matchesOf(const std::vector<AscCdl::Match>& matches) {
    std::vector<std::string> texts;
    for (const AscCdl::Match& match : matches)
        texts.push_back(std::to_string(match.track + 1) + "." + std::to_string(match.item + 1) +
                        " " + AscCdl::ruleName(match.rule));
    return texts;
}

TEST(AscCdlApply, EachRuleNamesItsClipsInTheirOrder) {
    struct Case {
        const char* media; ///< the MediaRef, or null
        const char* id;
        const char* description;
        std::vector<std::string> matches;
    };
    const char* place = "track 1, record 01:00:03:00-01:00:04:00";
    const std::vector<Case> cases = {
        // A MediaRef: the path in either spelling, the file name, the folder.
        {"/shots/day1/A001_C002.mov", "", "", {"1.1 media", "1.3 media"}},
        {"file://localhost/shots/day2/C%20003.mov", "", "", {"1.5 media"}},
        {"B007_C001.mov", "", "", {"1.4 media"}},
        {"/shots/day2/", "", "", {"1.4 media", "1.5 media"}},
        {"file:///shots/day2", "", "", {"1.4 media", "1.5 media"}},
        // The id: a name before a reel ("B007" is both), a reel, a media stem.
        {nullptr, "B007", "", {"1.5 name"}},
        {nullptr, "A001", "", {"1.1 reel", "1.3 reel", "2.2 reel"}},
        {nullptr, "C 003", "", {"1.5 media file name"}},
        // A MediaRef before the id; one naming nothing leaves the id to match.
        {"B007_C001.mov", "B007", "", {"1.4 media"}},
        {"elsewhere.mov", "sh010", "", {"1.4 name"}},
        // A place as the writer describes it, with an id that fits the clip's name
        // (made unique or not), before all; with one that does not, nothing.
        {"/gfx/title.png", "A001_C002", place, {"1.3 place"}},
        {nullptr, "A001_C002_2", place, {"1.3 place"}},
        {nullptr, "sh010", place, {"1.4 name"}},
        {nullptr, "A001_C002_x", place, {}},
    };
    for (const Case& c : cases) {
        const std::string text =
            std::string("<ColorDecisionList><ColorDecision>") +
            (c.media ? std::string("<MediaRef ref=\"") + c.media + "\"/>" : "") +
            "<ColorCorrection id=\"" + c.id + "\"><Description>" + c.description +
            "</Description></ColorCorrection></ColorDecision></ColorDecisionList>";
        const SharedPtr<Composition> composition = cut();
        std::vector<AscCdl::Match> matches;
        LossReport report;
        ASSERT_TRUE(AscCdl::apply(*composition, correctionsOf(text), matches, report));
        EXPECT_EQ(matchesOf(matches), c.matches) << c.id << " " << (c.media ? c.media : "");
        EXPECT_EQ(report.getCount(), c.matches.empty() ? 1u : 0u) << c.id;
    }
}

TEST(AscCdlApply, ReportsClipsTwoCorrectionsNameAndLooksThatChange) {
    const std::string ccc = "<ColorCorrectionCollection>\n"
                            "<ColorCorrection id=\"A001\"/>\n"
                            "<ColorCorrection id=\"A001_C002\"/>\n"
                            "<ColorCorrection id=\"no_media\"/>\n"
                            "<ColorCorrection id=\"no_media\"><SatNode><Saturation>0"
                            "</Saturation></SatNode></ColorCorrection>\n"
                            "<ColorCorrection id=\"title\"/>\n"
                            "<ColorCorrection id=\"nobody\"/>\n"
                            "</ColorCorrectionCollection>";
    const SharedPtr<Composition> composition = cut();
    std::vector<AscCdl::Match> matches;
    LossReport report;
    ASSERT_TRUE(AscCdl::apply(*composition, correctionsOf(ccc), matches, report));
    // The reel's claim loses to the name's on 1.1 and 1.3, and to the later of
    // the two "no_media" on 2.2; "title" replaces the look the clip had.
    EXPECT_EQ(matchesOf(matches),
              (std::vector<std::string>{"1.1 name", "1.3 name", "2.2 name", "2.1 name"}));
    EXPECT_EQ(matches[2].correction, 3u);
    EXPECT_TRUE(matches[3].hadLook && matches[3].changed);
    EXPECT_EQ(
        entriesOf(report),
        (std::vector<std::string>{
            "line 2 | ColorCorrection | correction \"A001\" names clip \"A001_C002\" (track 1, "
            "item 1) by reel, but correction \"A001_C002\" (line 3) names it by name, a rule "
            "tried first: the clip takes correction \"A001_C002\"; 2 more of the clips it names "
            "take another",
            "line 4 | ColorCorrection | correction \"no_media\" names clip \"no_media\" (track 2, "
            "item 2) by name, as does correction \"no_media\" (line 5), later in the list: the "
            "clip takes correction \"no_media\"",
            "line 7 | ColorCorrection | correction \"nobody\" names no clip: none has its place, "
            "media, name, reel or media file name",
            "line 6 | ColorCorrection | clip \"title\" (track 2, item 1) had a look of other "
            "values: it takes those of correction \"title\""}));

    std::vector<AscCdl::ClipLook> looks;
    ASSERT_TRUE(AscCdl::looks(*composition, looks));
    ASSERT_EQ(looks.size(), 4u);
    EXPECT_EQ(looks[3].name, "no_media");
    EXPECT_EQ(looks[3].look.saturation, 0.0);
    EXPECT_EQ(looks[2].look, AscCdl::Look()); // "title", the identity now
}

TEST(AscCdlApply, WrittenLooksApplyBackChangingNothing) {
    // Looks of awkward values: a third, a tiny one, many digits; the two clips
    // named "A001_C002" take different ones by their places.
    const std::string ccc =
        "<ColorCorrectionCollection>"
        "<ColorCorrection id=\"A001_C002\"><Description>track 1, record "
        "01:00:00:00-01:00:02:00</Description><SOPNode><Slope>0.3333333333333333 1 1</Slope>"
        "<Offset>1e-300 0 -0.1234567890123</Offset></SOPNode></ColorCorrection>"
        "<ColorCorrection id=\"A001_C002\"><Description>track 1, record "
        "01:00:03:00-01:00:04:00</Description><SatNode><Saturation>1.0000000001</Saturation>"
        "</SatNode></ColorCorrection>"
        "<ColorCorrection id=\"B007\"><SOPNode><Power>2 2 2</Power></SOPNode></ColorCorrection>"
        "</ColorCorrectionCollection>";
    const SharedPtr<Composition> composition = cut();
    std::vector<AscCdl::Match> matches;
    LossReport report;
    ASSERT_TRUE(AscCdl::apply(*composition, correctionsOf(ccc), matches, report));
    EXPECT_EQ(matchesOf(matches), (std::vector<std::string>{"1.1 place", "1.3 place", "1.5 name"}));
    std::vector<AscCdl::ClipLook> looks;
    ASSERT_TRUE(AscCdl::looks(*composition, looks));
    ASSERT_EQ(looks.size(), 4u); // and "title"'s own
    EXPECT_NEAR(looks[0].look.offset[2], -0.1234567890123, 1e-9);
    EXPECT_EQ(looks[0].recordIn + " " + looks[0].recordOut, "01:00:00:00 01:00:02:00");
    EXPECT_EQ(looks[0].media, std::vector<std::string>{"file:///shots/day1/A001_C002.mov"});

    for (const AscCdl::Form form : {AscCdl::Form::Collection, AscCdl::Form::DecisionList}) {
        String text;
        ASSERT_TRUE(AscCdl::write(*composition, form, text));
        const std::string written = text.c_str();
        const std::vector<AscCdl::Correction> back = correctionsOf(written);
        ASSERT_EQ(back.size(), looks.size()) << written;
        EXPECT_EQ(back[1].id, "A001_C002_2");
        for (std::size_t i = 0; i < looks.size(); ++i)
            EXPECT_EQ(back[i].look, looks[i].look) << written;
        const std::string json = dmTreeOf(*composition);
        ASSERT_TRUE(AscCdl::apply(*composition, back, matches, report));
        EXPECT_EQ(matches.size(), looks.size());
        for (const AscCdl::Match& match : matches)
            EXPECT_FALSE(match.changed) << match.id;
        EXPECT_TRUE(report.isEmpty()) << entriesOf(report).front();
        EXPECT_EQ(dmTreeOf(*composition), json);
    }
}

TEST(AscCdlApply, MediaRefsAndIdsReadPathsAsAFileSystemDoes) {
    // One track at 24 of seven clips, a second each; their media:
    //   1 "one"   /shots/A001.v2.mov          (a stem with a dot)
    //   2 "two"   file:///shots/caf%C3%A9/B_002.mov, that is /shots/café/B_002.mov
    //   3 "three" C:\grade\C003.mov           (a Windows path)
    //   4 "four"  file://nas/share/D004.mov   (a network path: //nas/share/D004.mov)
    //   5 "five"  /shots/100%.mov             (a '%' that escapes nothing)
    //   6 "six"   /shots/a<tab>b.mov          (a control character)
    //   7 "seven" /shots/.grade               (a stem before no dot)
    const char* media[] = {"/shots/A001.v2.mov",
                           "file:///shots/caf%C3%A9/B_002.mov",
                           "C:\\\\grade\\\\C003.mov",
                           "file://nas/share/D004.mov",
                           "/shots/100%.mov",
                           "/shots/a\\tb.mov",
                           "/shots/.grade"};
    const char* names[] = {"one", "two", "three", "four", "five", "six", "seven"};
    std::string clips;
    for (std::size_t i = 0; i < 7; ++i)
        clips += std::string(i ? "," : "") + R"({"OTIO_SCHEMA":"Clip.2","name":")" + names[i] +
                 R"(","source_range":)" + timeRange(0, 24, 24) +
                 R"(,"media_references":{"DEFAULT_MEDIA":{"OTIO_SCHEMA":"ExternalReference.1",)"
                 R"("target_url":")" +
                 media[i] + R"("}},"active_media_reference_key":"DEFAULT_MEDIA"})";
    const std::string document =
        R"({"OTIO_SCHEMA":"Timeline.1","name":"paths","tracks":{"OTIO_SCHEMA":"Stack.1",)"
        R"("children":[{"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)" +
        clips + "]}]}}";

    struct Case {
        const char* media; ///< the MediaRef, or null
        const char* id;
        std::vector<std::string> matches;
    };
    const std::vector<Case> cases = {
        // A stem is the file name up to its last dot.
        {nullptr, "A001.v2", {"1.1 media file name"}},
        {nullptr, "A001", {}},
        {nullptr, ".grade", {"1.7 media file name"}},
        // Escapes of either case, each hexadecimal digit from 0 to f.
        {"file:///shots/caf%c3%a9/B%5f%30%302.mov", "", {"1.2 media"}},
        {"file:///shots/caf%C3%A9/B%5F002.mov", "", {"1.2 media"}},
        {"/shots/café/B_002.mov", "", {"1.2 media"}},
        {"file://localhost/shots/caf%C3%A9/", "", {"1.2 media"}},
        {"file:///shots/caf%C3%A9/B%5g002.mov", "", {}},
        // Backslashes are slashes; another host stays a network path.
        {"C:\\grade\\C003.mov", "", {"1.3 media"}},
        {"C:/grade", "", {"1.3 media"}},
        {"//nas/share/D004.mov", "", {"1.4 media"}},
        {"file://nas/share", "", {"1.4 media"}},
        {"file:///nas/share", "", {}},
        // A '%' before anything but two hexadecimal digits is itself.
        {"file:///shots/100%.mov", "", {"1.5 media"}},
        {"file:///shots/100%25.mov", "", {"1.5 media"}},
        {"file:///shots/100%", "", {}},
        {"file:///shots/100%2", "", {}},
        {"file:///shots/a%09b.mov", "", {"1.6 media"}},
    };
    for (const Case& c : cases) {
        const std::string text =
            std::string("<ColorDecisionList><ColorDecision>") +
            (c.media ? std::string("<MediaRef ref=\"") + c.media + "\"/>" : "") +
            "<ColorCorrection id=\"" + c.id + "\"/></ColorDecision></ColorDecisionList>";
        LossReport losses;
        const SharedPtr<Composition> composition = readStandard(document, losses);
        ASSERT_TRUE(composition);
        std::vector<AscCdl::Match> matches;
        LossReport report;
        ASSERT_TRUE(AscCdl::apply(*composition, correctionsOf(text), matches, report));
        EXPECT_EQ(matchesOf(matches), c.matches) << (c.media ? c.media : c.id);
    }
}

TEST(AscCdlWrite, EachFormWritesEachLookWhole) {
    // Two clips named alike: the second takes "_2"; the first has media, the
    // second none, so no MediaRef and no media Description.
    std::vector<AscCdl::ClipLook> looks(2);
    looks[0].name = "sh010";
    looks[0].recordIn = "01:00:00:00";
    looks[0].recordOut = "01:00:01:00";
    looks[0].media = {"/shots/sh010.mov", "/shots/sh010.wav"};
    looks[0].look = {{1.1, 1, 0.9}, {0.01, 0, -0.02}, {1, 1, 1.2}, 0.8};
    looks[1].track = 1;
    looks[1].name = "sh010";
    looks[1].recordIn = "01:00:01:00";
    looks[1].recordOut = "01:00:03:12";
    const std::string first = R"(<ColorCorrection id="sh010">
        <Description>track 1, record 01:00:00:00-01:00:01:00</Description>
        <Description>media /shots/sh010.mov</Description>
        <SOPNode>
            <Slope>1.1 1 0.9</Slope>
            <Offset>0.01 0 -0.02</Offset>
            <Power>1 1 1.2</Power>
        </SOPNode>
        <SatNode>
            <Saturation>0.8</Saturation>
        </SatNode>
    </ColorCorrection>)";
    const std::string second = R"(<ColorCorrection id="sh010_2">
        <Description>track 2, record 01:00:01:00-01:00:03:12</Description>
        <SOPNode>
            <Slope>1 1 1</Slope>
            <Offset>0 0 0</Offset>
            <Power>1 1 1</Power>
        </SOPNode>
        <SatNode>
            <Saturation>1</Saturation>
        </SatNode>
    </ColorCorrection>)";
    const auto indented = [](std::string text) {
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + 5))
            text.insert(at + 1, "    ");
        return "        " + text;
    };
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    struct Case {
        AscCdl::Form form;
        std::vector<AscCdl::ClipLook> looks;
        std::string text;
    };
    const std::vector<Case> cases = {
        {AscCdl::Form::Collection, looks,
         head + "<ColorCorrectionCollection xmlns=\"urn:ASC:CDL:v1.2\">\n    " + first + "\n    " +
             second + "\n</ColorCorrectionCollection>\n"},
        {AscCdl::Form::DecisionList, looks,
         head +
             "<ColorDecisionList xmlns=\"urn:ASC:CDL:v1.2\">\n    <ColorDecision>\n"
             "        <MediaRef ref=\"/shots/sh010.mov\" />\n" +
             indented(first) + "\n    </ColorDecision>\n    <ColorDecision>\n" + indented(second) +
             "\n    </ColorDecision>\n</ColorDecisionList>\n"},
    };
    for (const Case& c : cases) {
        String text;
        ASSERT_TRUE(AscCdl::write(c.looks, c.form, text));
        EXPECT_EQ(text.c_str(), c.text);
    }
}

TEST(AscCdlApply, FailuresChangeNothing) {
    SharedPtr<Composition> empty;
    ASSERT_TRUE(Composition::create(empty, "empty", "Empty", Rational(24, 1)));
    std::vector<AscCdl::ClipLook> looks;
    ASSERT_TRUE(AscCdl::looks(*empty, looks));
    String text("untouched");
    String message;
    EXPECT_EQ(AscCdl::write(*empty, AscCdl::Form::Collection, text, &message).getCode(),
              Status::NoData);
    EXPECT_STREQ(text.c_str(), "untouched");
    EXPECT_STREQ(message.c_str(), "no clip has a look");
    EXPECT_EQ(
        AscCdl::write(std::vector<AscCdl::ClipLook>(2), AscCdl::Form::Correction, text, &message)
            .getCode(),
        Status::NoData);
    EXPECT_STREQ(message.c_str(), "a ColorCorrection file holds one look, and 2 clips have one");

    // A composition whose text cannot be imported keeps its text.
    const SharedPtr<Composition> broken = cut()->clone();
    broken->setJson(Composition::JsonType::DmTree, "{");
    std::vector<AscCdl::Match> matches;
    LossReport report;
    EXPECT_EQ(AscCdl::apply(*broken, correctionsOf("<ColorCorrection id=\"a\"/>"), matches, report,
                            &message)
                  .getCode(),
              Status::DmTreeJsonImportFailed);
    EXPECT_STREQ(message.c_str(), "the composition has no edit tree: the edit-tree JSON could not "
                                  "be imported");
    String json;
    broken->getJson(Composition::JsonType::DmTree, json);
    EXPECT_STREQ(json.c_str(), "{");
}

} // namespace
} // namespace ZEM_0_81::test
