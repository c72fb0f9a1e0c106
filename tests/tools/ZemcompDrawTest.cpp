// zemcomp draw as a user meets it: the SVG it writes is well-formed, holds each
// clip, gap and note where the layout rule puts it, escapes what documents hold,
// draws a part of the timeline when asked, stays small for huge timelines and
// never changes from one run to the next.
#include "tests/support/OtioText.h"
#include "tests/tools/SvgDocument.h"
#include "tests/tools/ToolTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using ZEM_0_81::test::timeRange;
using zemcomp::test::SvgDocument;
using zemcomp::test::SvgElement;
using zemcomp::test::ToolRun;

namespace {

// The layout rule of the picture: the time area runs from x = 180 to the width
// less 20, and frame f of the drawn range [from, to) is at
// 180 + (f - from) * (width - 200) / (to - from).
constexpr double kTimeAreaLeft = 180.0;
constexpr double kTimeAreaRightMargin = 20.0;
// Numbers are written with two decimals; an end is x plus width, two numbers
// rounded.
constexpr double kRounding = 0.011;

struct Span {
    double x0;
    double x1;
};

class ZemcompDraw : public zemcomp::test::ToolTest {
protected:
    /// Runs zemcomp with `arguments` in the folder `in` (the test's own when
    /// empty).
    ToolRun run(const std::string& arguments, const std::string& in = "") {
        return shell((in.empty() ? "" : "cd '" + in + "' && ") + tool() + " " + arguments);
    }

    // Draws `arguments` and parses the picture; fails the test when either fails.
    SvgDocument draw(const std::string& arguments) {
        const ToolRun result = run("draw " + arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        SvgDocument document = SvgDocument::parse(result.out);
        EXPECT_TRUE(document.root) << document.error;
        return document;
    }

    static std::string data(const char* name) {
        return std::string(ZEM_TEST_DATA_DIR) + "/draw/" + name;
    }
};

/// The first line of a tooltip: the name of what it describes.
std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

/// The groups of `kind` ("clip", "gap", "note") by the first line of their
/// tooltip, with the span of their box (the group's first rectangle).
std::vector<std::pair<std::string, Span>> spans(const SvgElement& root, const char* kind) {
    std::vector<std::pair<std::string, Span>> found;
    for (const SvgElement* group : root.all("g", kind)) {
        const SvgElement* box = group->child("rect");
        if (!box) {
            ADD_FAILURE() << kind << " without a box: " << group->title();
            continue;
        }
        found.emplace_back(firstLine(group->title()),
                           Span{box->number("x"), box->number("x") + box->number("width")});
    }
    return found;
}

struct Expected {
    std::string name;
    double x0;
    double x1;
};

void expectSpans(const SvgElement& root, const char* kind, const std::vector<Expected>& expected) {
    const std::vector<std::pair<std::string, Span>> found = spans(root, kind);
    ASSERT_EQ(found.size(), expected.size()) << kind;
    for (const Expected& one : expected) {
        const auto match = std::find_if(found.begin(), found.end(),
                                        [&](const auto& f) { return f.first == one.name; });
        ASSERT_NE(match, found.end()) << kind << " " << one.name;
        EXPECT_NEAR(match->second.x0, one.x0, kRounding) << kind << " " << one.name;
        EXPECT_NEAR(match->second.x1, one.x1, kRounding) << kind << " " << one.name;
    }
}

/// The y of the box of the clip or gap named `name`.
double rowOf(const SvgElement& root, const std::string& name) {
    for (const char* kind : {"clip", "gap"})
        for (const SvgElement* group : root.all("g", kind))
            if (firstLine(group->title()) == name)
                return group->child("rect")->number("y");
    ADD_FAILURE() << "no box for " << name;
    return -1.0;
}

// A product-dialect document of `clips` clips on one video track, from frame 0
// at 24 fps: clip i lasts 1 + i % 3 frames, every 50th place is a gap, and
// every 10th clip has a review note over its first frame.
std::string hugeTimeline(int clips) {
    std::string text =
        R"({"OTIO_SCHEMA":"Timeline.1","name":"Huge",)"
        R"("global_start_time":{"OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":24.0},)"
        R"("metadata":{"zem":{"ZEM_SCHEMA":"TimelineMetadata.1","version":"0.81"}},)"
        R"("tracks":{"OTIO_SCHEMA":"Stack.1","name":"tracks","children":[)"
        R"({"OTIO_SCHEMA":"Track.1","name":"V1","kind":"Video","children":[)";
    const auto range = [](long start, long duration) {
        return timeRange(std::to_string(start) + ".0", std::to_string(duration) + ".0", "24.0");
    };
    long frame = 0;
    for (int i = 0; i < clips; ++i) {
        const long length = 1 + i % 3;
        if (i != 0)
            text += ",";
        if (i % 50 == 49) {
            text += R"({"OTIO_SCHEMA":"Gap.1","name":"gap )" + std::to_string(i) +
                    R"(","source_range":)" + range(0, length) + R"(,"effects":[]})";
        } else {
            std::string effects;
            if (i % 10 == 0)
                effects = R"({"OTIO_SCHEMA":"Annotation.1","name":"r","effect_name":"Annotation",)"
                          R"("visible":true,"layers":[{"OTIO_SCHEMA":"Text.1","name":"n",)"
                          R"("effect_name":"Text","visible":true,"text":"note )" +
                          std::to_string(i) + R"(","layer_range":)" + range(frame, 1) + "}]}";
            text += R"({"OTIO_SCHEMA":"Clip.1","name":"shot )" + std::to_string(i) +
                    R"(","source_range":)" + range(1000, length) +
                    R"(,"media_reference":{"OTIO_SCHEMA":"ExternalReference.1","target_url":"/m/)" +
                    std::to_string(i) + R"(.mov","available_range":)" + range(1000, 100) +
                    R"(},"effects":[)" + effects + "]}";
        }
        frame += length;
    }
    return text + "]}]}}";
}

/// How many clips and gaps a box stands for: 1, or the count a merged block's
/// tooltip starts with ("37 items too short …").
std::size_t itemsOf(const SvgElement& group) {
    if (!group.hasClass("merged"))
        return 1;
    return std::stoul(group.title());
}

} // namespace

TEST_F(ZemcompDraw, DrawsEveryClipGapAndNoteWhereTheLayoutRulePutsThem) {
    const SvgDocument picture = draw(data("cut.otio.json") + " --width 1000");
    ASSERT_TRUE(picture.root);
    const SvgElement& svg = *picture.root;
    EXPECT_EQ(svg.name, "svg");
    EXPECT_EQ(svg.attribute("width"), "1000");

    // The document's items, in absolute frames at 24 fps from 01:00:00:00
    // (86400); the longest track (V1) ends at 86508.
    const double scale = (1000.0 - kTimeAreaLeft - kTimeAreaRightMargin) / 108.0;
    const auto x = [&](long frame) { return kTimeAreaLeft + (frame - 86400) * scale; };
    const std::string wide = "wide & <close> \"A\" 'B'";
    expectSpans(svg, "clip",
                {{wide, x(86400), x(86448)},
                 {"sh030", x(86472), x(86508)},
                 {"title", x(86460), x(86484)},
                 {"dialogue", x(86400), x(86496)}});
    expectSpans(svg, "gap", {{"missing shot", x(86448), x(86472)}, {"(gap)", x(86400), x(86460)}});
    // A note without a range of its own shows over its clip's.
    expectSpans(svg, "note",
                {{"Note: Too dark", x(86400), x(86448)},
                 {"Note: Shot goes here", x(86450), x(86456)},
                 {"Note: Kerning on the T", x(86462), x(86474)},
                 {"Note: Hold <2> frames & fade", x(86464), x(86476)}});

    // Video above audio, the higher video track on top.
    EXPECT_LT(rowOf(svg, "title"), rowOf(svg, wide));
    EXPECT_LT(rowOf(svg, wide), rowOf(svg, "dialogue"));
    EXPECT_EQ(rowOf(svg, wide), rowOf(svg, "missing shot"));
    std::vector<std::string> trackNames;
    for (const SvgElement* label : svg.all("text", "track-name"))
        trackNames.push_back(label->text);
    EXPECT_EQ(trackNames, (std::vector<std::string>{"V2 titles", "V1", "A1"}));

    // The two overlapping notes on the title take two lanes: their markers do
    // not overlap, though their ranges do.
    const auto notes = svg.all("g", "note");
    std::vector<double> noteRows;
    for (const SvgElement* note : notes)
        noteRows.push_back(note->child("rect")->number("y"));
    std::sort(noteRows.begin(), noteRows.end());
    EXPECT_EQ(std::unique(noteRows.begin(), noteRows.end()) - noteRows.begin(), 3);
    // The switched-off note is drawn hollow.
    for (const SvgElement* note : notes)
        EXPECT_EQ(note->child("rect")->hasClass("note-hidden"),
                  firstLine(note->title()) == "Note: Hold <2> frames & fade");

    // The effects of the wide clip are badges, the switched-off look struck
    // through; its paint is an icon. The annotation itself is no badge.
    const SvgElement* wideClip = nullptr;
    for (const SvgElement* group : svg.all("g", "clip"))
        if (firstLine(group->title()) == wide)
            wideClip = group;
    ASSERT_NE(wideClip, nullptr);
    std::vector<std::string> badges;
    for (const SvgElement* badge : wideClip->all("g", "badge")) {
        const SvgElement* letter = badge->child("text");
        badges.push_back(firstLine(badge->title()) + (letter ? " [" + letter->text + "]" : "") +
                         (badge->all("line", "strike").empty() ? "" : " struck"));
    }
    EXPECT_EQ(badges, (std::vector<std::string>{"Compositing (Comp) [C]", "Mask (AngularMask) [M]",
                                                "Look (CDL), switched off [L] struck",
                                                "Paint on " + wide}));
    EXPECT_NE(wideClip->title().find("media /shows/test/a&b<1>.mov (movie)"), std::string::npos)
        << wideClip->title();
    EXPECT_NE(wideClip->title().find("record 01:00:00:00 for 48 frames (86400 to 86447)"),
              std::string::npos);
    EXPECT_NE(wideClip->title().find("source 00:00:41:17 for 48 frames at 24 fps"),
              std::string::npos);
    // Its name is its label, whole, since it fits.
    EXPECT_EQ(wideClip->child("text")->text, wide);

    // The composition's start and end are marked where they are.
    std::vector<double> marks;
    for (const SvgElement* bound : svg.all("g", "bound"))
        marks.push_back(bound->child("line")->number("x1"));
    EXPECT_EQ(marks, (std::vector<double>{x(86400), x(86508)}));
}

TEST_F(ZemcompDraw, NamesWithMarkupCharactersAreEscaped) {
    const ToolRun result = run("draw " + data("cut.otio.json"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The markup characters of names, notes and paths never reach the text raw.
    for (const char* raw : {"<close>", "<cut>", "<2>", "a&b", "& \"friends\""})
        EXPECT_EQ(result.out.find(raw), std::string::npos) << raw;
    for (const char* escaped :
         {"&lt;close&gt;", "&lt;cut&gt;", "a&amp;b&lt;1&gt;.mov", "&apos;B&apos;"})
        EXPECT_NE(result.out.find(escaped), std::string::npos) << escaped;
    const SvgDocument picture = SvgDocument::parse(result.out);
    ASSERT_TRUE(picture.root) << picture.error;
    EXPECT_EQ(picture.root->title(), "Drawing test <cut> & \"friends\"");
}

TEST_F(ZemcompDraw, RangeDrawsOnlyThePartAsked) {
    // Frames 86450 to 86470, given as frames and as timecodes.
    const ToolRun frames =
        run("draw " + data("cut.otio.json") + " --width 1000 --range 86450-86470");
    const ToolRun timecodes =
        run("draw " + data("cut.otio.json") + " --width 1000 --range 01:00:02:02-01:00:02:22");
    ASSERT_EQ(frames.exitCode, 0) << frames.err;
    ASSERT_EQ(timecodes.exitCode, 0) << timecodes.err;
    EXPECT_EQ(frames.out, timecodes.out);

    const SvgDocument picture = SvgDocument::parse(frames.out);
    ASSERT_TRUE(picture.root) << picture.error;
    const SvgElement& svg = *picture.root;
    // 20 frames over 800 pixels; what reaches past the range is cut at its edges.
    const auto x = [](long frame) { return kTimeAreaLeft + (frame - 86450) * 40.0; };
    const double right = 1000.0 - kTimeAreaRightMargin;
    expectSpans(svg, "clip", {{"title", x(86460), right}, {"dialogue", kTimeAreaLeft, right}});
    expectSpans(svg, "gap",
                {{"missing shot", kTimeAreaLeft, right}, {"(gap)", kTimeAreaLeft, x(86460)}});
    expectSpans(svg, "note",
                {{"Note: Shot goes here", x(86450), x(86456)},
                 {"Note: Kerning on the T", x(86462), right},
                 {"Note: Hold <2> frames & fade", x(86464), right}});
    // Neither the start nor the end of the composition is in the range.
    EXPECT_TRUE(svg.all("g", "bound").empty());
    // The ruler counts in this range's timecode.
    std::vector<std::string> labels;
    for (const SvgElement* label : svg.all("g", "ruler").front()->all("text"))
        labels.push_back(label->text);
    ASSERT_FALSE(labels.empty());
    for (const std::string& label : labels)
        EXPECT_EQ(label.substr(0, 9), "01:00:02:") << label;
}

TEST_F(ZemcompDraw, RangeDrawsWhatOverlapsItAndNothingThatOnlyTouchesIt) {
    // The document's items in absolute frames, each [start, end): V1 the wide
    // clip 86400-86448, the gap "missing shot" 86448-86472, sh030 86472-86508;
    // V2 a gap 86400-86460, title 86460-86484; A1 dialogue 86400-86496. Notes:
    // "Too dark" 86400-86448, "Shot goes here" 86450-86456, "Kerning on the T"
    // 86462-86474, "Hold <2> frames & fade" 86464-86476.
    const std::string wide = "wide & <close> \"A\" 'B'";
    struct Case {
        const char* range;
        std::vector<std::string> clips, gaps, notes; ///< sorted
    };
    const std::vector<Case> cases = {
        // Wide ends where the range starts, sh030 starts where it ends.
        {"86448-86472",
         {"dialogue", "title"},
         {"(gap)", "missing shot"},
         {"Note: Shot goes here", "Note: Hold <2> frames & fade", "Note: Kerning on the T"}},
        // The last frame of the wide clip and of its note.
        {"86447-86448", {"dialogue", wide}, {"(gap)"}, {"Note: Too dark"}},
        // Between two notes, touching both.
        {"86456-86462", {"dialogue", "title"}, {"(gap)", "missing shot"}, {}},
        // The first frame of sh030, past the V2 gap.
        {"86472-86473",
         {"dialogue", "sh030", "title"},
         {},
         {"Note: Hold <2> frames & fade", "Note: Kerning on the T"}},
    };
    const auto names = [](const SvgElement& svg, const char* kind) {
        std::vector<std::string> found;
        for (const auto& [name, span] : spans(svg, kind))
            found.push_back(name);
        std::sort(found.begin(), found.end());
        return found;
    };
    for (const Case& c : cases) {
        const SvgDocument picture = draw(data("cut.otio.json") + " --range " + c.range);
        ASSERT_TRUE(picture.root) << c.range;
        std::vector<std::string> notes = c.notes;
        std::sort(notes.begin(), notes.end());
        EXPECT_EQ(names(*picture.root, "clip"), c.clips) << c.range;
        EXPECT_EQ(names(*picture.root, "gap"), c.gaps) << c.range;
        EXPECT_EQ(names(*picture.root, "note"), notes) << c.range;
    }
}

TEST_F(ZemcompDraw, ClipsWithoutMediaAreDrawnOffline) {
    const SvgDocument picture = draw("--from dmtree " + data("offline.dmtree.json"));
    ASSERT_TRUE(picture.root);
    std::vector<std::string> drawn;
    for (const SvgElement* clip : picture.root->all("g", "clip")) {
        const SvgElement* box = clip->child("rect");
        std::string line = firstLine(clip->title()) + ": " + box->attribute("class");
        for (const SvgElement* word : clip->all("text"))
            line += " / " + word->text;
        drawn.push_back(line);
    }
    EXPECT_EQ(drawn, (std::vector<std::string>{"found: box video / found",
                                               "lost: box offline / lost / offline"}));
}

TEST_F(ZemcompDraw, HugeTimelinesGiveASmallPictureThatStillAccountsForEveryItem) {
    const int items = 20000;
    const fs::path huge = scratch / "huge.otio.json";
    write(huge, hugeTimeline(items));
    const ToolRun result = run("draw " + huge.string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // About 40 000 frames over 1400 pixels: every item is narrower than a pixel.
    EXPECT_LT(result.out.size(), 1000000u);
    const SvgDocument picture = SvgDocument::parse(result.out);
    ASSERT_TRUE(picture.root) << picture.error;
    const SvgElement& svg = *picture.root;

    // Every clip and gap is in exactly one box, and no two boxes overlap.
    std::vector<Span> boxes;
    std::size_t accounted = 0;
    for (const char* kind : {"clip", "gap", "merged"})
        for (const SvgElement* group : svg.all("g", kind)) {
            accounted += itemsOf(*group);
            const SvgElement* box = group->child("rect");
            boxes.push_back({box->number("x"), box->number("x") + box->number("width")});
        }
    EXPECT_EQ(accounted, static_cast<std::size_t>(items));
    EXPECT_LT(boxes.size(), 1000u);
    std::sort(boxes.begin(), boxes.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_GE(boxes[i].x0, kTimeAreaLeft - kRounding);
        EXPECT_LE(boxes[i].x1, 1600.0 - kTimeAreaRightMargin + kRounding);
        if (i != 0) {
            EXPECT_LE(boxes[i - 1].x1, boxes[i].x0 + kRounding) << i;
        }
    }

    // Notes too close together share markers that say how many they hold, in
    // at most three lanes.
    std::size_t notes = 0;
    std::vector<double> lanes;
    for (const SvgElement* marker : svg.all("g", "note")) {
        const std::string title = marker->title();
        notes += title.rfind("Note: ", 0) == 0 ? 1 : std::stoul(title);
        lanes.push_back(marker->child("rect")->number("y"));
    }
    std::sort(lanes.begin(), lanes.end());
    EXPECT_LE(std::unique(lanes.begin(), lanes.end()) - lanes.begin(), 3);
    std::size_t expectedNotes = 0;
    for (int i = 0; i < items; ++i)
        expectedNotes += (i % 10 == 0 && i % 50 != 49) ? 1 : 0;
    EXPECT_EQ(notes, expectedNotes);

    // The legend says what was merged.
    std::string legend;
    for (const SvgElement* line : svg.all("g", "legend").front()->all("text"))
        legend += line->text + " ";
    EXPECT_NE(legend.find("hatched blocks"), std::string::npos) << legend;
    EXPECT_NE(legend.find("share"), std::string::npos) << legend;
}

TEST_F(ZemcompDraw, TheSamePictureEveryTimeOnStandardOutputOrInAFile) {
    const fs::path out = scratch / "cut.svg";
    const ToolRun first = run("draw " + data("cut.otio.json"));
    const ToolRun second = run("draw " + data("cut.otio.json") + " -o " + out.string());
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(read(out), first.out);
    EXPECT_EQ(run("draw " + data("cut.otio.json")).out, first.out);

    // Without a file, the bundled example.
    const ToolRun bundled = run("draw");
    ASSERT_EQ(bundled.exitCode, 0) << bundled.err;
    EXPECT_EQ(bundled.out, run("draw " + example("short-cut.otio.json")).out);
    // No scripts, nothing fetched from elsewhere.
    for (const std::string& text : {first.out, bundled.out}) {
        EXPECT_EQ(text.find("<script"), std::string::npos);
        EXPECT_EQ(text.find("http:", text.find("<svg") + 60), std::string::npos);
        EXPECT_EQ(text.find("@import"), std::string::npos);
    }
}

TEST_F(ZemcompDraw, BadRangesWidthsAndDocumentsAreRefusedAndWriteNothing) {
    const fs::path out = scratch / "never.svg";
    const std::string cut = data("cut.otio.json");
    struct Case {
        std::string arguments;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {cut + " --range 86470-86450", 2, "must come after the start"},
        {cut + " --range 86450-86450", 2, "must come after the start"},
        {cut + " --range 86450", 2, "START-END"},
        {cut + " --range 01:00:00-01:00:01", 2, "START-END"},
        {cut + " --range 01:00:00:24-01:00:01:00", 2, "frames past 23"},
        {cut + " --range 01:60:00:00-01:61:00:00", 2, "past 59"},
        {cut + " --width 100", 2, "480 to 100000"},
        {cut + " --width 1e3", 2, "whole number"},
        {scratch.string() + "/missing.otio.json", 1, "cannot open"},
    };
    for (const Case& one : cases) {
        const ToolRun result = run("draw " + one.arguments + " -o " + out.string());
        EXPECT_EQ(result.exitCode, one.exitCode) << one.arguments << "\n" << result.err;
        EXPECT_NE(result.err.find(one.message), std::string::npos) << one.arguments << "\n"
                                                                   << result.err;
        EXPECT_FALSE(fs::exists(out)) << one.arguments;
    }

    // A document that is not JSON, and one without a timeline.
    const fs::path broken = scratch / "broken.otio.json";
    write(broken, "{\"OTIO_SCHEMA\": \"Timeline.1\",\n  \"name\": [}");
    ToolRun result = run("draw " + broken.string() + " -o " + out.string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(broken.string() + ":2:"), std::string::npos) << result.err;
    const fs::path empty = scratch / "empty.otio.json";
    write(empty, "{}");
    result = run("draw " + empty.string() + " -o " + out.string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no timeline"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(out));

    // A drop-frame timecode that does not exist is named as such.
    const fs::path dropFrame = scratch / "drop-frame.otio.json";
    write(dropFrame,
          R"({"OTIO_SCHEMA":"Timeline.1","name":"df",)"
          R"("global_start_time":{"OTIO_SCHEMA":"RationalTime.1","value":0.0,"rate":29.97},)"
          R"("tracks":{"OTIO_SCHEMA":"Stack.1","name":"tracks","children":[]}})");
    result = run("draw " + dropFrame.string() + " --range '00:01:00;00-00:01:00;10'");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("skips"), std::string::npos) << result.err;
    result = run("draw " + dropFrame.string() + " --range '00:01:00;02-00:01:00;10'");
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST_F(ZemcompDraw, StandardOtioIsDetectedAndWhatReadingItLostIsReported) {
    // A standard OTIO document: a clip with a marker, a dissolve, a gap, a clip
    // without media and an audio clip counted at 48 kHz.
    const std::string standard = data("standard.otio");
    const ToolRun result = run("draw " + standard);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const SvgDocument picture = SvgDocument::parse(result.out);
    ASSERT_TRUE(picture.root) << picture.error;
    // 72 frames over 1400 pixels from x = 180; the dissolve takes no frames of
    // its own, and the audio clip's 96 000 samples are 48 frames of the timeline.
    const double frame = 1400.0 / 72.0;
    expectSpans(*picture.root, "clip",
                {{"a & <b>", 180.0, 180.0 + 24 * frame},
                 {"c", 180.0 + 36 * frame, 1580.0},
                 {"snd", 180.0, 180.0 + 48 * frame}});
    expectSpans(*picture.root, "gap", {{"(gap)", 180.0 + 24 * frame, 180.0 + 36 * frame}});
    // The dissolve, 4 + 4 frames across the cut between the first clip and the
    // gap, is drawn over the boxes of its track, and the legend says what it is.
    expectSpans(*picture.root, "transition",
                {{"transition d (SMPTE_Dissolve)", 180.0 + 20 * frame, 180.0 + 28 * frame}});
    EXPECT_NEAR(picture.root->all("g", "transition")[0]->child("rect")->number("y"),
                rowOf(*picture.root, "a & <b>"), kRounding);
    EXPECT_NE(result.out.find("transition (kept, not played)"), std::string::npos);
    // What the edit tree cannot hold (the dissolve) is named, one line each, on
    // standard error; the marker is kept, as a review note.
    EXPECT_EQ(result.err.find("markers/0"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(standard + ": /tracks/children/0/children/1: Transition.1: "),
              std::string::npos)
        << result.err;

    // --strict makes a loss fail the file, and nothing is written.
    const fs::path out = scratch / "strict.svg";
    const ToolRun strict = run("draw " + standard + " --strict -o " + out.string());
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_NE(strict.err.find(standard + ": 1 loss while reading (--strict)"), std::string::npos)
        << strict.err;
    EXPECT_FALSE(fs::exists(out));
    // --from otio reads the same text as the product dialect, which knows none
    // of its clips and keeps no loss report.
    const ToolRun product = run("draw " + standard + " --from otio");
    ASSERT_EQ(product.exitCode, 0) << product.err;
    EXPECT_EQ(product.err, "");
    const SvgDocument productPicture = SvgDocument::parse(product.out);
    ASSERT_TRUE(productPicture.root) << productPicture.error;
    EXPECT_TRUE(productPicture.root->all("g", "clip").empty());
}

TEST_F(ZemcompDraw, TheReadmePictureIsWhatTheToolDrawsToday) {
    // docs/short-cut.svg is drawn from the repository's root, so that the
    // heading names the example as the README's commands do.
    const fs::path root = fs::path(ZEM_EXAMPLES_DIR).parent_path();
    const ToolRun now = run("draw examples/short-cut.otio.json --width 1100", root.string());
    ASSERT_EQ(now.exitCode, 0) << now.err;
    EXPECT_EQ(now.out, read(root / "docs" / "short-cut.svg"))
        << "draw the picture again: zemcomp draw examples/short-cut.otio.json --width 1100 -o "
           "docs/short-cut.svg";
}
