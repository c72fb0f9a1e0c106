#include "tools/zemcomp/picture/TimelinePicture.h"

#include "tools/zemcomp/picture/TimelineSvg.h"

#include "tests/tools/SvgDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace zemcomp {
namespace {

using namespace ZEM_0_81;

TimelineItem clip(const std::string& name, std::int64_t start, std::int64_t duration) {
    TimelineItem item;
    item.kind = TimelineItem::Kind::Clip;
    item.name = name;
    item.record = FrameRange{start, duration};
    item.media.push_back(TimelineMedia{});
    item.media.back().path = "/m/" + name + ".mov";
    return item;
}

TimelineItem gap(std::int64_t start, std::int64_t duration) {
    TimelineItem item = clip("gap", start, duration);
    item.kind = TimelineItem::Kind::Gap;
    item.media.clear();
    return item;
}

TimelineTrack track(const std::string& name, TimelineTrack::Kind kind,
                    std::vector<TimelineItem> items = {}) {
    TimelineTrack result;
    result.name = name;
    result.kind = kind;
    result.items = std::move(items);
    return result;
}

TimelineView view(std::int64_t start, std::int64_t duration, std::vector<TimelineTrack> tracks) {
    TimelineView result;
    result.hasTimeline = true;
    result.name = "hand made";
    result.rate = Rational(24, 1);
    result.start = start;
    result.duration = duration;
    result.tracks = std::move(tracks);
    return result;
}

PictureOptions wide(double width) {
    PictureOptions options;
    options.width = width;
    return options;
}

TEST(TimelinePicture, RowsShowVideoAboveAudioAndTheHighestVideoOnTop) {
    const TimelineView tracks =
        view(0, 10,
             {track("A1", TimelineTrack::Kind::Audio), track("V1", TimelineTrack::Kind::Video),
              track("data", TimelineTrack::Kind::None), track("V2", TimelineTrack::Kind::Video),
              track("A2", TimelineTrack::Kind::Audio)});
    const TimelinePicture picture = TimelinePicture::layout(tracks, wide(800));
    std::vector<std::string> order;
    double previousBottom = picture.tracksTop;
    for (const PictureRow& row : picture.rows) {
        order.push_back(row.name.text);
        EXPECT_GE(row.y, previousBottom); // rows never overlap
        previousBottom = row.y + row.height;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"V2", "V1", "A1", "A2", "data"}));
    // A line between video and audio, and between audio and the rest.
    ASSERT_EQ(picture.separators.size(), 2u);
    EXPECT_GT(picture.separators[0], picture.rows[1].y + picture.rows[1].height - 0.5);
    EXPECT_LT(picture.separators[0], picture.rows[2].y);
    EXPECT_LE(previousBottom, picture.tracksBottom);
}

TEST(TimelinePicture, TransitionsSitOverTheirCutsOnTheirTracksRows) {
    // 100 frames over 1000 pixels from x = 180: 10 pixels a frame. The audio
    // track comes first in the view but is drawn under the video.
    TimelineView cut =
        view(0, 100,
             {track("A1", TimelineTrack::Kind::Audio, {clip("c", 0, 100)}),
              track("V1", TimelineTrack::Kind::Video, {clip("a", 0, 50), clip("b", 50, 50)})});
    const auto transition = [](std::int64_t cut, std::int64_t in, std::int64_t out) {
        TimelineTransition made;
        made.cut = cut;
        made.inOffset = in;
        made.outOffset = out;
        made.name = "mix";
        made.type = "SMPTE_Dissolve";
        return made;
    };
    cut.tracks[0].transitions = {transition(100, 0, 0)};
    cut.tracks[1].transitions = {transition(50, 5, 5), transition(300, 5, 5)};
    PictureOptions options = wide(1200);
    const TimelinePicture picture = TimelinePicture::layout(cut, options);
    ASSERT_EQ(picture.rows.size(), 2u);
    const PictureRow& video = picture.rows[0];
    const PictureRow& audio = picture.rows[1];
    // Across its offsets, over the boxes of its row.
    ASSERT_EQ(video.transitions.size(), 1u);
    EXPECT_DOUBLE_EQ(video.transitions[0].x, 630.0);
    EXPECT_DOUBLE_EQ(video.transitions[0].width, 100.0);
    EXPECT_DOUBLE_EQ(video.transitions[0].y, video.boxes[0].y);
    EXPECT_DOUBLE_EQ(video.transitions[0].height, video.boxes[0].height);
    EXPECT_NE(video.transitions[0].tooltip.find("mix (SMPTE_Dissolve)"), std::string::npos);
    // One of no length at the timeline's end: as narrow as allowed, inside the
    // time area. The one past the end is not drawn.
    ASSERT_EQ(audio.transitions.size(), 1u);
    EXPECT_DOUBLE_EQ(audio.transitions[0].width, PictureLayout::kTransitionWidth);
    EXPECT_DOUBLE_EQ(audio.transitions[0].x + audio.transitions[0].width, picture.timeRight);
    EXPECT_EQ(picture.transitions, 2u);
    // In the legend, and among what can be pointed at for details.
    const auto explained = [](const TimelinePicture& drawn) {
        std::string notes;
        for (const PictureText& line : drawn.legendNotes)
            notes += line.text + " ";
        const bool pointed = notes.find("gap, transition, note") != std::string::npos;
        const bool shown =
            std::any_of(drawn.legend.begin(), drawn.legend.end(), [](const LegendEntry& entry) {
                return entry.sample == LegendEntry::Sample::Transition;
            });
        EXPECT_EQ(pointed, shown) << notes;
        return shown;
    };
    EXPECT_TRUE(explained(picture));

    // A range that leaves them out draws none, and does not explain them.
    options.range = FrameRange{0, 40};
    const TimelinePicture part = TimelinePicture::layout(cut, options);
    EXPECT_EQ(part.transitions, 0u);
    EXPECT_FALSE(explained(part));

    // Ten a frame apart, 2.8 pixels a frame: one mark that names each.
    const PictureOptions narrow = wide(480);
    cut.tracks[0].transitions.clear();
    cut.tracks[1].transitions.clear();
    for (std::int64_t frame = 10; frame < 20; ++frame)
        cut.tracks[1].transitions.push_back(transition(frame, 0, 0));
    const TimelinePicture dense = TimelinePicture::layout(cut, narrow);
    ASSERT_EQ(dense.rows[0].transitions.size(), 1u);
    const PictureTransition& shared = dense.rows[0].transitions[0];
    EXPECT_EQ(shared.count, 10u);
    EXPECT_EQ(shared.tooltip.rfind("10 transitions too close to draw apart:", 0), 0u)
        << shared.tooltip;
    EXPECT_NE(shared.tooltip.find("mix (SMPTE_Dissolve) at 00:00:00:19"), std::string::npos)
        << shared.tooltip;
    EXPECT_NEAR(shared.width, 9 * 2.8 + PictureLayout::kTransitionWidth, 1e-9);
    EXPECT_EQ(dense.transitions, 10u);
}

TEST(TimelinePicture, RulerTicksFallOnRoundTimecodesFarEnoughApartForTheirLabels) {
    struct Case {
        std::int64_t duration; // at 24 fps, from 01:00:00:00
        double width;
    };
    for (const Case& one : {Case{12, 1600}, Case{240, 1600}, Case{86400, 1600},
                            Case{2073600 * 3, 1600}, Case{240, 480}, Case{1, 100000}}) {
        const TimelinePicture picture =
            TimelinePicture::layout(view(86400, one.duration, {}), wide(one.width));
        std::vector<double> majors;
        for (const PictureTick& tick : picture.ticks) {
            EXPECT_GE(tick.x, picture.timeLeft - 0.001);
            EXPECT_LE(tick.x, picture.timeRight + 0.001);
            if (!tick.major)
                continue;
            majors.push_back(tick.x);
            // Labels are timecodes, and stay inside the time area.
            if (!tick.label.text.empty()) {
                EXPECT_EQ(tick.label.text.size(), 11u) << tick.label.text;
                EXPECT_LE(tick.label.x + tick.label.text.size() * 10.0 * 0.62,
                          picture.timeRight + 0.001);
            }
        }
        ASSERT_GE(majors.size(), 1u) << one.duration;
        std::sort(majors.begin(), majors.end());
        for (std::size_t i = 1; i < majors.size(); ++i)
            EXPECT_GE(majors[i] - majors[i - 1], 11 * 10.0 * 0.62) << one.duration;
        EXPECT_LE(picture.ticks.size(), static_cast<std::size_t>(one.width / 6.0) + 2);
    }

    // A second 400 pixels wide: a label needs 82 pixels, so major ticks every
    // 6 frames (4 would be 67 pixels) and a minor tick at every frame; the
    // label at the end would run past the time area.
    const TimelinePicture picture = TimelinePicture::layout(view(86400, 24, {}), wide(600));
    std::vector<std::string> labels;
    std::size_t minor = 0;
    for (const PictureTick& tick : picture.ticks) {
        if (tick.major && !tick.label.text.empty())
            labels.push_back(tick.label.text);
        minor += tick.major ? 0 : 1;
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"01:00:00:00", "01:00:00:06", "01:00:00:12",
                                                "01:00:00:18"}));
    EXPECT_EQ(minor, 20u);
}

TEST(TimelinePicture, MajorTicksTakeTheFirstRoundStepWideEnoughForALabel) {
    // Four steps of s seconds from 01:00:00:00 over 346 pixels (546 less the
    // 200 beside the time area): a step is 86.5 pixels, room for a label (82.2:
    // eleven characters of 6.2 and 14 of air); the round step below it is at
    // most two thirds of that, too narrow. The second label is s seconds on.
    // Past half an hour, whole hours, doubling; ticks fall on multiples of the
    // step: of two hours from 01:00:00:00 on, 02:00:00:00, then 04:00:00:00.
    const std::pair<std::int64_t, const char*> steps[] = {
        {1, "01:00:01:00"},    {2, "01:00:02:00"},   {5, "01:00:05:00"},   {10, "01:00:10:00"},
        {15, "01:00:15:00"},   {30, "01:00:30:00"},  {60, "01:01:00:00"},  {120, "01:02:00:00"},
        {300, "01:05:00:00"},  {600, "01:10:00:00"}, {900, "01:15:00:00"}, {1800, "01:30:00:00"},
        {3600, "02:00:00:00"}, {7200, "04:00:00:00"}};
    for (const auto& [seconds, second] : steps) {
        const TimelinePicture picture =
            TimelinePicture::layout(view(86400, 96 * seconds, {}), wide(546));
        std::vector<std::string> labels;
        for (const PictureTick& tick : picture.ticks)
            if (tick.major && !tick.label.text.empty())
                labels.push_back(tick.label.text);
        ASSERT_GE(labels.size(), 2u) << seconds;
        EXPECT_EQ(labels[1], second) << seconds;
    }
}

TEST(TimelinePicture, DropFrameTicksFallOnRoundTimecodesToo) {
    // Twelve minutes at 29.97 from 01:00:00;00: a tick each minute, at the
    // minute's first frame, whose number is ;02 but in every tenth minute.
    TimelineView dropFrame = view(107892, 12 * 1798 + 2, {});
    dropFrame.rate = Rational(30000, 1001);
    const TimelinePicture picture = TimelinePicture::layout(dropFrame, wide(1600));
    std::vector<std::string> labels;
    for (const PictureTick& tick : picture.ticks)
        if (tick.major && !tick.label.text.empty())
            labels.push_back(tick.label.text);
    ASSERT_GE(labels.size(), 11u);
    EXPECT_EQ(labels[0], "01:00:00;00");
    EXPECT_EQ(labels[1], "01:01:00;02");
    EXPECT_EQ(labels[9], "01:09:00;02");
    EXPECT_EQ(labels[10], "01:10:00;00");
    EXPECT_EQ(labels[11], "01:11:00;02");
    // Each at the frame that timecode names.
    EXPECT_NEAR(picture.ticks[1].x, picture.xOf(107892 + 1800), 1e-9);
    EXPECT_NEAR(picture.ticks[10].x, picture.xOf(107892 + 17982), 1e-9);
}

TEST(TimelinePicture, FrameByFrameTicksAtDropFrameGiveEachFrameOneTick) {
    // Eight frames over a minute's boundary at 29.97: 00:00:59;26 to
    // 00:01:00;05, the numbers ;00 and ;01 skipped.
    TimelineView dropFrame = view(1796, 8, {});
    dropFrame.rate = Rational(30000, 1001);
    const TimelinePicture picture = TimelinePicture::layout(dropFrame, wide(1600));
    std::vector<double> xs;
    std::vector<std::string> labels;
    for (const PictureTick& tick : picture.ticks) {
        xs.push_back(tick.x);
        if (tick.major && !tick.label.text.empty())
            labels.push_back(tick.label.text);
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_EQ(std::adjacent_find(xs.begin(), xs.end()), xs.end()) << "two ticks at one frame";
    EXPECT_EQ(labels, (std::vector<std::string>{"00:00:59;26", "00:00:59;27", "00:00:59;28",
                                                "00:00:59;29", "00:01:00;02", "00:01:00;03",
                                                "00:01:00;04", "00:01:00;05"}));
}

TEST(TimelinePicture, NarrowItemsMergeIntoBlocksThatAccountForEachOfThem) {
    // Two wide clips around a thousand one-frame clips and gaps.
    std::vector<TimelineItem> items = {clip("opening", 0, 2000)};
    for (int i = 0; i < 1000; ++i)
        items.push_back(i % 7 == 0 ? gap(2000 + i, 1) : clip("c" + std::to_string(i), 2000 + i, 1));
    items.push_back(clip("closing", 3000, 2000));
    // A lone short clip between two long ones is drawn on its own.
    items.push_back(clip("blip", 5000, 1));
    items.push_back(clip("end", 5001, 1999));
    const TimelinePicture picture = TimelinePicture::layout(
        view(0, 7000, {track("V1", TimelineTrack::Kind::Video, items)}), wide(1000));

    ASSERT_EQ(picture.rows.size(), 1u);
    const std::vector<PictureBox>& boxes = picture.rows[0].boxes;
    std::size_t accounted = 0;
    std::vector<std::string> kinds;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        accounted += boxes[i].items;
        kinds.push_back(boxes[i].kind == PictureBox::Kind::Merged ? "merged" : boxes[i].label.text);
        EXPECT_GE(boxes[i].width, 0.0);
        if (i != 0) {
            EXPECT_LE(boxes[i - 1].x + boxes[i - 1].width, boxes[i].x + 1e-9);
        }
    }
    EXPECT_EQ(accounted, items.size());
    // The thousand short items span 114 pixels: five blocks of at most 24,
    // end to end from the first item's start to the last one's end.
    EXPECT_EQ(picture.mergedItems, 1000u);
    EXPECT_EQ(picture.mergedBlocks, 5u);
    ASSERT_EQ(boxes.size(), 9u);
    EXPECT_EQ(kinds, (std::vector<std::string>{"opening", "merged", "merged", "merged", "merged",
                                               "merged", "closing", "", "end"}));
    EXPECT_NEAR(boxes[1].x, picture.xOf(2000), 1e-9);
    for (std::size_t i = 1; i <= 5; ++i) {
        EXPECT_LE(boxes[i].width, PictureLayout::kMergedBlockWidth);
        if (i != 1) {
            EXPECT_NEAR(boxes[i].x, boxes[i - 1].x + boxes[i - 1].width, 1e-9);
        }
    }
    EXPECT_NEAR(boxes[5].x + boxes[5].width, picture.xOf(3000), 1e-9);
    // The lone short clip between two long ones is drawn on its own, too
    // narrow for its name.
    EXPECT_EQ(boxes[7].items, 1u);
    EXPECT_NEAR(boxes[7].x, picture.xOf(5000), 1e-9);
    // The legend says so.
    bool said = false;
    for (const PictureText& line : picture.legendNotes)
        said = said || line.text.find("hatched block") != std::string::npos;
    EXPECT_TRUE(said);
}

TEST(TimelinePicture, MergedBlocksNameTheirItemsInTheirTooltips) {
    const auto lines = [](const std::string& text) {
        std::vector<std::string> split;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
            split.push_back(text.substr(from, at - from));
        split.push_back(text.substr(from));
        return split;
    };
    const auto contains = [](const std::vector<std::string>& all, const std::string& start,
                             const std::string& end) {
        return std::count_if(all.begin(), all.end(), [&](const std::string& line) {
            return line.rfind(start, 0) == 0 && line.size() >= end.size() &&
                   line.compare(line.size() - end.size(), end.size(), end) == 0;
        });
    };

    // A few short items: every one by name and range.
    TimelineItem unnamedGap = gap(5001, 2);
    unnamedGap.name.clear();
    std::vector<TimelineItem> few = {clip("before", 0, 5000), clip("a", 5000, 1), unnamedGap,
                                     clip("", 5003, 1), clip("after", 5004, 5000)};
    TimelinePicture picture = TimelinePicture::layout(
        view(0, 10004, {track("V1", TimelineTrack::Kind::Video, few)}), wide(1000));
    ASSERT_EQ(picture.rows[0].boxes.size(), 3u);
    ASSERT_EQ(picture.rows[0].boxes[1].kind, PictureBox::Kind::Merged);
    std::vector<std::string> tooltip = lines(picture.rows[0].boxes[1].tooltip);
    EXPECT_EQ(contains(tooltip, "a at ", "(5000 to 5000)"), 1);
    EXPECT_EQ(contains(tooltip, "(gap) at ", "(5001 to 5002)"), 1);
    EXPECT_EQ(contains(tooltip, "(clip) at ", "(5003 to 5003)"), 1);
    EXPECT_EQ(contains(tooltip, "", " more items)"), 0);

    // Many: the first ones, how many more, and the last, so that a block's
    // tooltip stays short however many items it holds.
    std::vector<TimelineItem> many = {clip("before", 0, 5000)};
    for (int i = 0; i < 100; ++i)
        many.push_back(clip("c" + std::to_string(i), 5000 + i, 1));
    many.push_back(clip("after", 5100, 5000));
    picture = TimelinePicture::layout(
        view(0, 10100, {track("V1", TimelineTrack::Kind::Video, many)}), wide(1000));
    ASSERT_EQ(picture.rows[0].boxes[1].kind, PictureBox::Kind::Merged);
    const PictureBox& block = picture.rows[0].boxes[1];
    ASSERT_GT(block.items, PictureLayout::kMergedItemsNamed);
    tooltip = lines(block.tooltip);
    std::size_t named = 0;
    for (std::size_t i = 0; i < block.items; ++i)
        named += contains(tooltip, "c" + std::to_string(i) + " at ", ")");
    EXPECT_EQ(named, PictureLayout::kMergedItemsNamed);
    EXPECT_EQ(contains(tooltip,
                       "(" + std::to_string(block.items - PictureLayout::kMergedItemsNamed) +
                           " more items)",
                       ""),
              1);
    const std::string last = "c" + std::to_string(block.items - 1) + " at ";
    EXPECT_EQ(contains(tooltip, last, ")"), 1);
}

TEST(TimelinePicture, ShortGapsTogetherStayEmpty) {
    std::vector<TimelineItem> items = {clip("before", 0, 1000)};
    for (int i = 0; i < 10; ++i)
        items.push_back(gap(1000 + i, 1));
    items.push_back(clip("after", 1010, 1000));
    const TimelinePicture picture = TimelinePicture::layout(
        view(0, 2010, {track("A1", TimelineTrack::Kind::Audio, items)}), wide(1000));
    const std::vector<PictureBox>& boxes = picture.rows[0].boxes;
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].kind, PictureBox::Kind::Merged);
    EXPECT_TRUE(boxes[1].gapsOnly);
    EXPECT_EQ(boxes[1].items, 10u);
    // Drawn as a gap is, in a group that says it is merged.
    const std::string svg = TimelineSvg::write(picture);
    const test::SvgDocument document = test::SvgDocument::parse(svg);
    ASSERT_TRUE(document.root) << document.error;
    const auto merged = document.root->all("g", "merged");
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_TRUE(merged[0]->child("rect")->hasClass("gap-box"));
    EXPECT_FALSE(merged[0]->child("rect")->has("rx"));
    EXPECT_EQ(merged[0]->title().substr(0, 9), "10 items ");
}

TEST(TimelinePicture, OverlappingNotesTakeUpToThreeLanesThenShareMarkers) {
    TimelineItem shot = clip("shot", 0, 100);
    for (int i = 0; i < 5; ++i) {
        TimelineNote note;
        note.text = "note " + std::to_string(i);
        note.range = FrameRange{10 + i, 20};
        note.ownRange = true;
        shot.notes.push_back(note);
    }
    TimelineNote apart;
    apart.text = "later";
    apart.range = FrameRange{80, 5};
    shot.notes.push_back(apart);
    const TimelinePicture picture = TimelinePicture::layout(
        view(0, 100, {track("V1", TimelineTrack::Kind::Video, {shot})}), wide(1200));

    const PictureRow& row = picture.rows[0];
    ASSERT_EQ(row.notes.size(), 4u);
    std::vector<std::size_t> counts;
    for (const PictureNote& note : row.notes)
        counts.push_back(note.count);
    // Notes 0, 1 and 2 take a lane each; 3 joins the marker that ends first
    // (note 0's), which then ends after note 1's, so 4 joins that one; the
    // later note fits in the first lane again.
    EXPECT_EQ(counts, (std::vector<std::size_t>{2, 2, 1, 1}));
    EXPECT_EQ(picture.sharedNotes, 4u);
    EXPECT_EQ(picture.sharedMarkers, 2u);
    EXPECT_EQ(row.notes[0].y, row.notes[3].y);
    EXPECT_LT(row.notes[0].y, row.notes[1].y);
    EXPECT_LT(row.notes[1].y, row.notes[2].y);
    // The shared marker covers all its notes and lists them.
    EXPECT_NEAR(row.notes[0].x, picture.xOf(10), 1e-9);
    EXPECT_NEAR(row.notes[0].x + row.notes[0].width, picture.xOf(33), 1e-9);
    EXPECT_NE(row.notes[0].tooltip.find("note 3"), std::string::npos);
    EXPECT_NE(row.notes[1].tooltip.find("note 4"), std::string::npos);
    EXPECT_EQ(row.notes[1].label.text.substr(0, 8), "2 notes:");
    // Boxes sit under the lanes.
    EXPECT_GE(row.boxes[0].y, row.notes[2].y + row.notes[2].height);
}

TEST(TimelinePicture, ExtremeFramesAndEmptyTimelinesStillLayOut) {
    const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    const std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
    const std::vector<TimelineView> views = {
        view(smallest, largest,
             {track("V1", TimelineTrack::Kind::Video,
                    {clip("first", smallest, largest), clip("last", -1, largest),
                     clip("none", 0, 0), clip("negative", 5, -10)})}),
        view(largest - 5, 100,
             {track("V1", TimelineTrack::Kind::Video, {clip("x", largest - 1, 100)})}),
        view(0, 0, {}),
        view(0, 0, {track("empty", TimelineTrack::Kind::Audio)}),
    };
    for (const TimelineView& one : views) {
        for (const std::optional<FrameRange>& range :
             {std::optional<FrameRange>(), std::optional<FrameRange>(FrameRange{-5, 10})}) {
            PictureOptions options = wide(480);
            options.range = range;
            const TimelinePicture picture = TimelinePicture::layout(one, options);
            EXPECT_LT(picture.from, picture.to);
            for (const PictureRow& row : picture.rows)
                for (const PictureBox& box : row.boxes) {
                    EXPECT_TRUE(std::isfinite(box.x) && std::isfinite(box.width));
                    EXPECT_GE(box.x, picture.timeLeft - 1e-9);
                    EXPECT_LE(box.x + box.width, picture.timeRight + 1.0);
                }
            const test::SvgDocument document =
                test::SvgDocument::parse(TimelineSvg::write(picture));
            EXPECT_TRUE(document.root) << document.error;
        }
    }
    const TimelinePicture empty = TimelinePicture::layout(views[2], wide(480));
    ASSERT_TRUE(empty.emptyMessage);
    EXPECT_TRUE(empty.rows.empty());
}

TEST(TimelinePicture, BadgesThatDoNotFitLeaveAPlusThatNamesTheRest) {
    TimelineItem shot = clip("shot", 0, 10);
    for (const TimelineEffect::Kind kind :
         {TimelineEffect::Kind::Comp, TimelineEffect::Kind::AngularMask, TimelineEffect::Kind::Look,
          TimelineEffect::Kind::Annotation, TimelineEffect::Kind::Other}) {
        TimelineEffect effect;
        effect.kind = kind;
        effect.name = kind == TimelineEffect::Kind::Other ? "Blur" : "";
        shot.effects.push_back(effect);
    }
    // Badges are 11 pixels with 2 between, inside 4 pixels of padding. 10
    // frames of 500 over 4000 pixels are 80: room for all four (50); of 800,
    // 50 pixels leave 42, room for three.
    for (const std::int64_t duration : {std::int64_t(500), std::int64_t(800)}) {
        const TimelinePicture picture = TimelinePicture::layout(
            view(0, duration, {track("V1", TimelineTrack::Kind::Video, {shot})}), wide(4200));
        const PictureBox& box = picture.rows[0].boxes.front();
        std::string letters;
        for (const PictureBadge& badge : box.badges) {
            letters += PictureBadge::letter(badge.kind);
            EXPECT_LE(badge.x + 11.0, box.x + box.width);
        }
        if (duration == 500) {
            EXPECT_EQ(letters, "CMLE");
        } else {
            EXPECT_EQ(letters, "CM+");
            EXPECT_NE(box.badges.back().tooltip.find("Effect Blur"), std::string::npos);
        }
    }
}

} // namespace
} // namespace zemcomp
