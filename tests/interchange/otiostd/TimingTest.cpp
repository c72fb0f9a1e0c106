// Documents of other tools timed as the OpenTimelineIO library times them: the
// composition's rate, start and duration, and every item's record and source
// range, each worked out by hand from OTIO's rules in the comments.

#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"
#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmTree.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/support/OtioText.h"
#include "tests/support/TreeShape.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

std::string timeline(const std::string& start, const std::string& tracks) {
    return R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "global_start_time": )" + start +
           R"(, "tracks": {"OTIO_SCHEMA": "Stack.1", "name": "tracks", "children": [)" + tracks +
           "]}}";
}

TimelineView viewOf(const std::string& text, LossReport& losses) {
    TimelineView view;
    const SharedPtr<Composition> read = readStandard(text, losses);
    if (read) {
        EXPECT_TRUE(TimelineView::build(*read, view));
    }
    return view;
}

/// "name record-start+duration source-start+duration@rate-numerator" of each item.
std::vector<std::string> itemsOf(const TimelineTrack& track) {
    std::vector<std::string> items;
    for (const TimelineItem& item : track.items) {
        std::string text = item.name + " " + std::to_string(item.record.start) + "+" +
                           std::to_string(item.record.duration);
        if (item.isClip()) {
            text += " " + (item.source.start ? std::to_string(*item.source.start) : "?") + "+" +
                    std::to_string(item.source.duration.numerator) +
                    (item.source.duration.isWhole()
                         ? ""
                         : "/" + std::to_string(item.source.duration.denominator)) +
                    "@" + std::to_string(item.source.rate.getNumerator());
        }
        items.push_back(text);
    }
    return items;
}

TEST(StandardOtioTiming, LeadingGapsMissingMediaTransitionsAndNestedStacks) {
    // No global start. V1: a 48-frame gap; a 20-frame clip whose missing media has
    // no range; a transition (no track time); a clip without a source range that
    // plays its media's 19 available frames from 10; a nested stack whose longest
    // track, the second after an empty one, lasts 10 + 6 frames; a transition last, whose out
    // offset of 3 the track adds to its duration. All at 48: V1 lasts 48 + 20 + 19 + 16 + 3 = 106.
    // A2: one clip of 24 frames at 24, that is 48 at 48. The timeline lasts 106 at
    // 48, the rate at which everything is whole.
    const std::string clip24 = R"({"OTIO_SCHEMA": "Clip.2", "name": "sound", "source_range": )" +
                               timeRange(0, 24, 24) + R"(, "media_references": {}})";
    const std::string text =
        timeline("null",
                 R"({"OTIO_SCHEMA": "Track.1", "name": "V1", "kind": "Video", "children": [
            {"OTIO_SCHEMA": "Gap.1", "name": "lead", "source_range": )" +
                     timeRange(0, 48, 48) + R"(},
            {"OTIO_SCHEMA": "Clip.2", "name": "offline", "source_range": )" +
                     timeRange(100, 20, 48) + R"(,
             "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "MissingReference.1",
                                  "available_range": null}},
             "active_media_reference_key": "DEFAULT_MEDIA"},
            {"OTIO_SCHEMA": "Transition.1", "name": "mix", "transition_type": "SMPTE_Dissolve",
             "in_offset": )" +
                     rationalTime(4, 48) + R"(, "out_offset": )" + rationalTime(4, 48) + R"(},
            {"OTIO_SCHEMA": "Clip.2", "name": "whole",
             "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1",
                 "target_url": "file:///w.mov", "available_range": )" +
                     timeRange(10, 19, 48) + R"(}},
             "active_media_reference_key": "DEFAULT_MEDIA"},
            {"OTIO_SCHEMA": "Stack.1", "name": "nest", "children": [
                {"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": []},
                {"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [
                    {"OTIO_SCHEMA": "Clip.1", "name": "deep", "source_range": )" +
                     timeRange(0, 10, 48) + R"(},
                    {"OTIO_SCHEMA": "Clip.1", "name": "deeper", "source_range": )" +
                     timeRange(0, 6, 48) + R"(}]}]},
            {"OTIO_SCHEMA": "Transition.1", "name": "out", "transition_type": "SMPTE_Dissolve",
             "in_offset": )" +
                     rationalTime(3, 48) + R"(, "out_offset": )" + rationalTime(3, 48) + R"(}]},
        {"OTIO_SCHEMA": "Track.1", "name": "A2", "kind": "Audio", "children": [)" +
                     clip24 + "]}");
    LossReport losses;
    const TimelineView view = viewOf(text, losses);
    ASSERT_TRUE(view.hasTimeline);
    EXPECT_EQ(view.rate.getNumerator(), 48);
    EXPECT_EQ(view.rate.getDenominator(), 1u);
    EXPECT_EQ(view.start, 0);
    EXPECT_EQ(view.duration, 106);
    ASSERT_EQ(view.tracks.size(), 2u);
    EXPECT_EQ(itemsOf(view.tracks[0]),
              (std::vector<std::string>{"lead 0+48", "offline 48+20 100+20@48",
                                        "whole 68+19 10+19@48", "nest 87+16 0+16@48"}));
    EXPECT_TRUE(view.tracks[0].items[1].offline);
    EXPECT_TRUE(view.tracks[0].items[3].offline);
    EXPECT_EQ(view.tracks[1].kind, TimelineTrack::Kind::Audio);
    EXPECT_EQ(itemsOf(view.tracks[1]), (std::vector<std::string>{"sound 0+48 0+24@24"}));

    // The transitions, the nested stack and what is inside it are named.
    const std::vector<std::string> entries = entriesOf(losses);
    const auto named = [&](const std::string& prefix) {
        for (const std::string& entry : entries)
            if (entry.rfind(prefix, 0) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(named("/tracks/children/0/children/2 | Transition.1 |"));
    EXPECT_TRUE(named("/tracks/children/0/children/4 | Stack.1 | approximated"));
    EXPECT_TRUE(named("/tracks/children/0/children/4/children/1/children/0 | Clip.1 |"));
    EXPECT_TRUE(named("/tracks/children/0/children/4/children/1/children/1 | Clip.1 |"));
    EXPECT_TRUE(named("/tracks/children/0/children/5 | Transition.1 |"));
}

TEST(StandardOtioTiming, TheRateHoldsTheStartAndEveryItemInWholeFrames) {
    // Start 01:00:00:00 at 24 (86400); clips of 30 and 15 frames at 48. At 24 the
    // second clip would start on a half frame, so the composition runs at 48: start
    // 172800, clips at 172800 and 172830, duration 45.
    const std::string clip = R"({"OTIO_SCHEMA": "Clip.2", "name": "%", "source_range": %})";
    const auto clipOf = [&](const std::string& name, double frames) {
        std::string text = clip;
        text.replace(text.find('%'), 1, name);
        text.replace(text.find('%'), 1, timeRange(0, frames, 48));
        return text;
    };
    LossReport losses;
    TimelineView view =
        viewOf(timeline(rationalTime(86400, 24),
                        R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                            clipOf("a", 30) + "," + clipOf("b", 15) + "]}"),
               losses);
    EXPECT_EQ(view.rate.getNumerator(), 48);
    EXPECT_EQ(view.start, 172800);
    EXPECT_EQ(view.duration, 45);
    ASSERT_EQ(view.tracks.size(), 1u);
    EXPECT_EQ(itemsOf(view.tracks[0]),
              (std::vector<std::string>{"a 172800+30 0+30@48", "b 172830+15 0+15@48"}));

    // The same clips of 30 and 16: whole at 24 too, so the start's rate stands.
    view = viewOf(timeline(rationalTime(86400, 24),
                           R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                               clipOf("a", 30) + "," + clipOf("b", 16) + "]}"),
                  losses);
    EXPECT_EQ(view.rate.getNumerator(), 24);
    EXPECT_EQ(view.start, 86400);
    EXPECT_EQ(view.duration, 23);
    EXPECT_EQ(itemsOf(view.tracks[0]),
              (std::vector<std::string>{"a 86400+15 0+30@48", "b 86415+8 0+16@48"}));

    // Rates written rounded (23.976, 59.94) are the frame rates they stand for.
    view = viewOf(timeline(rationalTime(86400, 23.976),
                           R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                               std::string(R"({"OTIO_SCHEMA": "Clip.2", "name": "ntsc", )") +
                               R"("source_range": )" + timeRange(1001, 100, 23.976023976023978) +
                               "}]}"),
                  losses);
    EXPECT_EQ(view.rate.getNumerator(), 24000);
    EXPECT_EQ(view.rate.getDenominator(), 1001u);
    EXPECT_EQ(view.start, 86400);
    EXPECT_EQ(view.duration, 100);
    EXPECT_EQ(itemsOf(view.tracks[0]), (std::vector<std::string>{"ntsc 86400+100 1001+100@24000"}));
    // Written to four places, within a thousandth of the frame rate they stand
    // for: the clip is at the timeline's exact rate, so its 100 frames are not
    // rescaled (23.9765 taken as it came would make them 99.998 frames at
    // 24000/1001, since 100 x 23.976024 / 23.9765 = 99.998).
    struct Rounded {
        const char* timelineRate;
        const char* clipRate;
        std::uint32_t numerator;
    };
    for (const Rounded& rounded : {Rounded{"23.976023976023978", "23.9765", 24000},
                                   Rounded{"59.94005994005994", "59.9405", 60000},
                                   Rounded{"29.97002997002997", "29.9705", 30000}}) {
        SCOPED_TRACE(rounded.clipRate);
        view = viewOf(timeline(rationalTime("0", rounded.timelineRate),
                               R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                                   std::string(R"({"OTIO_SCHEMA": "Clip.2", "name": "r", )") +
                                   R"("source_range": )" +
                                   timeRange("1001", "100", rounded.clipRate) + "}]}"),
                      losses);
        EXPECT_EQ(view.rate.getNumerator(), rounded.numerator);
        EXPECT_EQ(view.duration, 100);
        EXPECT_EQ(
            itemsOf(view.tracks[0]),
            (std::vector<std::string>{"r 0+100 1001+100@" + std::to_string(rounded.numerator)}));
    }
    view = viewOf(timeline(rationalTime(0, 59.94),
                           "{\"OTIO_SCHEMA\": \"Track.1\", \"kind\": \"Video\", "
                           "\"children\": []}"),
                  losses);
    EXPECT_EQ(view.rate.getNumerator(), 60000);
    EXPECT_EQ(view.duration, 0);
    // A rate half a thousandth off 24000/1001 (23.976023...) is that rate: a
    // start of 86400 frames at 23.9765 is frame 86400 at 24000/1001, and a clip
    // of 100 frames at 23.9765 is 100 frames.
    view = viewOf(timeline(rationalTime(86400, 23.9765),
                           R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                               std::string(R"({"OTIO_SCHEMA": "Clip.2", "name": "off", )") +
                               R"("source_range": )" + timeRange(1001, 100, 23.9765) + "}]}"),
                  losses);
    EXPECT_EQ(view.rate.getNumerator(), 24000);
    EXPECT_EQ(view.rate.getDenominator(), 1001u);
    EXPECT_EQ(view.start, 86400);
    EXPECT_EQ(itemsOf(view.tracks[0]), (std::vector<std::string>{"off 86400+100 1001+100@24000"}));

    // A rate under a frame a second (a time-lapse at one frame every two
    // seconds) is a rate too: start 10 and a clip of 3 frames, at 1/2.
    view =
        viewOf(timeline(rationalTime(10, 0.5), R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", )"
                                               R"("children": [{"OTIO_SCHEMA": "Clip.2", "name": )"
                                               R"("lapse", "source_range": )" +
                                                   timeRange(0, 3, 0.5) + "}]}"),
               losses);
    EXPECT_EQ(view.rate.getNumerator(), 1);
    EXPECT_EQ(view.rate.getDenominator(), 2u);
    EXPECT_EQ(view.start, 10);
    EXPECT_EQ(view.duration, 3);
    // A clip of 2.000000123456789 frames at 1/2 is two frames within the rounding
    // of the numbers a tool writes, and no fraction of a small rate holds it: the
    // start's rate holds it all the same.
    view = viewOf(timeline(rationalTime(10, 0.5),
                           R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)"
                           R"({"OTIO_SCHEMA": "Clip.2", "name": "lapse", "source_range": )" +
                               timeRange("0", "2.000000123456789", "0.5") + "}]}"),
                  losses);
    EXPECT_EQ(view.rate.getNumerator(), 1);
    EXPECT_EQ(view.rate.getDenominator(), 2u);
    EXPECT_EQ(view.start, 10);
    EXPECT_EQ(view.duration, 2);
}

TEST(StandardOtioTiming, OlderAndOtherRootsAndLiteralsTheOtioLibraryWrites) {
    // A collection holding the timeline, whose one track is a "Sequence.1" (the
    // older name of a track) of two clips at 25; metadata holding NaN and
    // Infinity, which the OpenTimelineIO library writes. No start: 0; duration 75.
    const std::string text =
        R"({"OTIO_SCHEMA": "SerializableCollection.1", "name": "bin", "children": [
        {"OTIO_SCHEMA": "Timeline.1", "name": "old", "metadata": {"tool": {"gain": NaN,
                                                                 "peak": -Infinity}},
         "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
            {"OTIO_SCHEMA": "Sequence.1", "name": "V", "kind": "Video", "children": [
                {"OTIO_SCHEMA": "Clip.1", "name": "one", "source_range": )" +
        timeRange(5, 50, 25) + R"(},
                {"OTIO_SCHEMA": "Clip.1", "name": "two", "source_range": )" +
        timeRange(0, 25, 25) + R"(}]}]}}]})";
    LossReport losses;
    const TimelineView view = viewOf(text, losses);
    ASSERT_TRUE(view.hasTimeline);
    EXPECT_EQ(view.name, "old");
    EXPECT_EQ(view.rate.getNumerator(), 25);
    EXPECT_EQ(view.start, 0);
    EXPECT_EQ(view.duration, 75);
    ASSERT_EQ(view.tracks.size(), 1u);
    EXPECT_EQ(view.tracks[0].name, "V");
    EXPECT_EQ(itemsOf(view.tracks[0]),
              (std::vector<std::string>{"one 0+50 5+50@25", "two 50+25 0+25@25"}));
}

TEST(StandardOtioTiming, MediaAtItsOwnRateUnderAClipCountingAtTheTimelines) {
    // The clip plays 100+48 at 24 of media whose available range is 0+1000 at
    // 23.976: OTIO times the clip by its source range alone, so it sits at 0+48
    // and plays 100+48 at 24; its media counts at the clip's rate too.
    const std::string text =
        timeline(rationalTime(0, 24), R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [
        {"OTIO_SCHEMA": "Clip.2", "name": "ntsc", "source_range": )" +
                                          timeRange(100, 48, 24) + R"(,
         "media_references": {"DEFAULT_MEDIA": {"OTIO_SCHEMA": "ExternalReference.1",
             "target_url": "file:///n.mov", "available_range": )" +
                                          timeRange(0, 1000, 23.976) + R"(}},
         "active_media_reference_key": "DEFAULT_MEDIA"}]})");
    LossReport losses;
    const TimelineView view = viewOf(text, losses);
    EXPECT_EQ(entriesOf(losses), std::vector<std::string>());
    ASSERT_EQ(view.tracks.size(), 1u);
    EXPECT_EQ(view.rate.getNumerator(), 24);
    EXPECT_EQ(view.duration, 48);
    EXPECT_EQ(itemsOf(view.tracks[0]), (std::vector<std::string>{"ntsc 0+48 100+48@24"}));
    ASSERT_EQ(view.tracks[0].items[0].media.size(), 1u);
    EXPECT_EQ(view.tracks[0].items[0].media[0].availableStart, 0);
    EXPECT_EQ(view.tracks[0].items[0].media[0].rate.getNumerator(), 24);
}

TEST(StandardOtioTiming, PictureAt23976WithSoundAt48kCountsWholeSamples) {
    // Sound of 2 s at 48000 is 47.952 frames at 24000/1001, so the composition
    // runs at 48000, where a frame at 24000/1001 is exactly 2002 samples: 1 frame
    // is 2002 (not 2001.9999999999998, which truncates to 2001), 83 frames 166166,
    // and a nested stack of 24 frames at 24 lasts 48000. OTIO sums the picture
    // track through 84 frames at 24000/1001 = 84.084 at 24, a fraction no double
    // holds; the track still lasts 2002 + 166166 + 48000 = 216168 samples.
    const std::string ntsc = "23.976023976023978";
    const auto clipRange = [](const std::string& frames, const std::string& rate) {
        return R"({"OTIO_SCHEMA": "TimeRange.1", "start_time": {"OTIO_SCHEMA": "RationalTime.1", )"
               R"("rate": )" +
               rate + R"(, "value": 0}, "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": )" +
               rate + R"(, "value": )" + frames + "}}";
    };
    const auto clipOf = [&](const std::string& name, const std::string& frames,
                            const std::string& rate) {
        return R"({"OTIO_SCHEMA": "Clip.2", "name": ")" + name + R"(", "source_range": )" +
               clipRange(frames, rate) + "}";
    };
    const std::string nested =
        R"({"OTIO_SCHEMA": "Stack.1", "name": "nest", "children": [{"OTIO_SCHEMA": "Track.1", )"
        R"("kind": "Video", "children": [)" +
        clipOf("inner", "24", "24") + "]}]}";
    const std::string text = R"({"OTIO_SCHEMA": "Timeline.1", "name": "t", "global_start_time": )"
                             R"({"OTIO_SCHEMA": "RationalTime.1", "rate": )" +
                             ntsc +
                             R"(, "value": 86313}, "tracks": {"OTIO_SCHEMA": "Stack.1", )"
                             R"("children": [{"OTIO_SCHEMA": "Track.1", "kind": "Video", )"
                             R"("children": [)" +
                             clipOf("one", "1", ntsc) + "," + clipOf("more", "83", ntsc) + "," +
                             nested +
                             R"(]}, {"OTIO_SCHEMA": "Track.1", "kind": "Audio", "children": [)" +
                             clipOf("sound", "96000", "48000") + "]}]}}";
    LossReport losses;
    const TimelineView view = viewOf(text, losses);
    EXPECT_EQ(view.rate.getNumerator(), 48000);
    EXPECT_EQ(view.start, 86313 * 2002);
    EXPECT_EQ(view.duration, 216168);
    ASSERT_EQ(view.tracks.size(), 2u);
    EXPECT_EQ(itemsOf(view.tracks[0]), (std::vector<std::string>{"one 172798626+2002 0+1@24000",
                                                                 "more 172800628+166166 0+83@24000",
                                                                 "nest 172966794+48000 0+24@24"}));

    // Every length in the edit tree is the whole count, not a unit in the last
    // place off it.
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    Status status;
    const auto* composition =
        dynamic_cast<const DmCompositionNode*>(read->getTree(status).getChild(0)->getChild(0));
    ASSERT_NE(composition, nullptr);
    EXPECT_EQ(composition->getCompLength(), 216168.0);
    const DmTreeNode* track = composition->getChild(0);
    ASSERT_EQ(track->getNbChildren(), 2u);
    EXPECT_EQ(static_cast<const DmLayerNode*>(track->getChild(0))->getLayerLength(), 216168.0);
    EXPECT_EQ(static_cast<const DmLayerNode*>(track->getChild(1))->getLayerLength(), 96000.0);
}

/// A clip of `frames` frames at 24 from `in` in its media, `more` members after.
std::string clip24(const std::string& name, double in, double frames,
                   const std::string& more = "") {
    return R"({"OTIO_SCHEMA": "Clip.2", "name": ")" + name + R"(", "source_range": )" +
           timeRange(in, frames, 24) + more + "}";
}

std::string track24(const std::string& trim, const std::string& items) {
    return R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "source_range": )" + trim +
           R"(, "children": [)" + items + "]}";
}

TEST(StandardOtioTiming, TrimsAreAppliedAsOtioAppliesThem) {
    // Each track trims clips of 10 frames at 24 (sources from 100, 200, 300): the
    // trim selects [start, start + duration) of the track and puts it at 0.
    const std::string dissolve = R"({"OTIO_SCHEMA": "Transition.1", "transition_type": )"
                                 R"("SMPTE_Dissolve", "in_offset": )" +
                                 rationalTime(2, 24) + R"(, "out_offset": )" + rationalTime(2, 24) +
                                 "}";
    const std::string marker = R"(, "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "m", )"
                               R"("color": "RED", "marked_range": )" +
                               timeRange(107, 1, 24) + "}]";
    const std::string text = timeline(
        rationalTime(0, 24),
        // -10 + 40: a gap of 10 first, a at 10, b at 20, a gap from 30 to 40.
        track24(timeRange(-10, 40, 24), clip24("a", 100, 10) + "," + clip24("b", 200, 10)) + "," +
            // 5 + 12: a [0, 10) lands at [-5, 5): 0+5 from 105, its marker at 107
            // at 2; b [10, 20) at [5, 15) ends at 12: 5+7 from 200; c [20, 30) at
            // [15, 25) is hidden, and so is the transition beside it.
            track24(timeRange(5, 12, 24), clip24("a", 100, 10, marker) + "," + dissolve + "," +
                                              clip24("b", 200, 10) + "," + dissolve + "," +
                                              clip24("c", 300, 10)) +
            "," +
            // 0 + 20 over 20 frames, and 0 + 0 over none: nothing changes.
            track24(timeRange(0, 20, 24), clip24("a", 100, 10) + "," + clip24("b", 200, 10)) + "," +
            track24(timeRange(0, 0, 24), ""));
    LossReport losses;
    const TimelineView view = viewOf(text, losses);
    EXPECT_EQ(view.duration, 40); // the longest track, trimmed
    ASSERT_EQ(view.tracks.size(), 4u);
    const std::vector<std::string> expected[] = {
        {" 0+10", "a 10+10 100+10@24", "b 20+10 200+10@24", " 30+10"},
        {"a 0+5 105+5@24", "b 5+7 200+7@24"},
        {"a 0+10 100+10@24", "b 10+10 200+10@24"},
        {}};
    for (std::size_t t = 0; t < 4; ++t)
        EXPECT_EQ(itemsOf(view.tracks[t]), expected[t]) << t;
    ASSERT_EQ(view.tracks[1].items[0].notes.size(), 1u);
    EXPECT_EQ(view.tracks[1].items[0].notes[0].range.start, 2);
    EXPECT_EQ(entriesOf(losses),
              (std::vector<std::string>{
                  "/tracks/children/1/children/1 | Transition.1 | not applied: the edit tree has "
                  "no transitions, and one takes no track time: nothing moves (kept, and written "
                  "back as it came)",
                  "/tracks/children/1/children/3 | Transition.1 | dropped: beside an item the "
                  "track's trim hides",
                  "/tracks/children/1/children/4 | Clip.2 | dropped: outside what the track's "
                  "trim shows"}));

    // The stack's trim does the same to every track: 3 + 5 shows a's [3, 8) at
    // 0+5 from 103; -2 + 20 puts a at 2, after a gap, and ends the track in one;
    // 3 + 20 shows a's [3, 10) at 0+7 from 103, the stack's 13 frames after it
    // a gap.
    const std::string oneClip = R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
                                clip24("a", 100, 10) + "]}";
    const std::pair<std::string, std::vector<std::string>> stacks[] = {
        {timeRange(3, 5, 24), {"a 0+5 103+5@24"}},
        {timeRange(-2, 20, 24), {" 0+2", "a 2+10 100+10@24", " 12+8"}},
        {timeRange(3, 20, 24), {"a 0+7 103+7@24", " 7+13"}}};
    for (const auto& [trim, items] : stacks) {
        std::string trimmed = timeline(rationalTime(0, 24), oneClip);
        trimmed.insert(trimmed.find(R"("children")"), R"("source_range": )" + trim + ", ");
        const TimelineView stacked = viewOf(trimmed, losses);
        ASSERT_EQ(stacked.tracks.size(), 1u) << trim;
        EXPECT_EQ(itemsOf(stacked.tracks[0]), items) << trim;
        EXPECT_EQ(entriesOf(losses), std::vector<std::string>()) << trim;
    }

    // Written back without trims, it reads back into the same tree.
    const SharedPtr<Composition> read = readStandard(text, losses);
    ASSERT_TRUE(read);
    const std::string written = writeStandard(*read);
    rapidjson::Document document;
    document.Parse(written.c_str());
    for (const auto& track : document["tracks"]["children"].GetArray())
        EXPECT_TRUE(track["source_range"].IsNull());
    const SharedPtr<Composition> again = readStandard(written, losses);
    ASSERT_TRUE(again);
    EXPECT_EQ(dmTreeOf(*again), dmTreeOf(*read));
}

TEST(StandardOtioTiming, TrimsWhollyBeforeTheContentNameItsRecordStart) {
    // The OpenTimelineIO library's EDL reader keeps a list's record start as a
    // track trim [-R, -R + D) over content lasting D; the library places the
    // content at R. Clips of 10 frames at 24, sources from 100, 200, 300.
    const std::string dissolve = R"({"OTIO_SCHEMA": "Transition.1", "transition_type": )"
                                 R"("SMPTE_Dissolve", "in_offset": )" +
                                 rationalTime(0, 24) + R"(, "out_offset": )" + rationalTime(4, 24) +
                                 "}";
    const std::string marker = R"(, "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "m", )"
                               R"("color": "RED", "marked_range": )" +
                               timeRange(203, 1, 24) + "}]";
    const std::string gap5 =
        R"({"OTIO_SCHEMA": "Gap.1", "source_range": )" + timeRange(0, 5, 24) + "}";
    const std::string nested = R"({"OTIO_SCHEMA": "Stack.1", "name": "n", "source_range": )" +
                               timeRange(-30, 10, 24) + R"(, "children": [)" +
                               track24("null", clip24("x", 300, 10)) + "]}";
    struct Case {
        std::string what;
        std::string tracks;
        std::int64_t start;
        std::int64_t duration;
        std::vector<std::vector<std::string>> items;
    };
    const Case cases[] = {
        // 00:59:53:11 at 24 is 86243: a at 86243, b after it; 20 frames. An
        // empty track beside it names no start.
        {"one track",
         track24(timeRange(-86243, 20, 24), clip24("a", 100, 10) + "," + clip24("b", 200, 10)) +
             "," + track24("null", ""),
         86243,
         20,
         {{"a 86243+10 100+10@24", "b 86253+10 200+10@24"}, {}}},
        // The trim's end at 0 still lies wholly before: a at 10.
        {"ends at the content",
         track24(timeRange(-10, 10, 24), clip24("a", 100, 10)),
         10,
         10,
         {{"a 10+10 100+10@24"}}},
        // A gap first, a transition between the clips and a marker on b (at
        // source 203, b from 200: record 48 + 5 + 10 + 3 = 66).
        {"gap, transition, marker",
         track24(timeRange(-48, 25, 24), gap5 + "," + clip24("a", 100, 10) + "," + dissolve + "," +
                                             clip24("b", 200, 10, marker)),
         48,
         25,
         {{" 48+5", "a 53+10 100+10@24", "b 63+10 200+10@24"}}},
        // Two tracks of one list share the record start; the sound's content
        // is shorter.
        {"two tracks",
         track24(timeRange(-100, 20, 24), clip24("a", 100, 10) + "," + clip24("b", 200, 10)) + "," +
             track24(timeRange(-100, 15, 24), gap5 + "," + clip24("c", 300, 10)),
         100,
         20,
         {{"a 100+10 100+10@24", "b 110+10 200+10@24"}, {" 100+5", "c 105+10 300+10@24"}}},
        // Tracks naming other starts: the composition starts at the earliest
        // (90) and lasts to the latest end (110).
        {"two starts",
         track24(timeRange(-100, 10, 24), clip24("a", 100, 10)) + "," +
             track24(timeRange(-90, 10, 24), clip24("c", 300, 10)),
         90,
         20,
         {{"a 100+10 100+10@24"}, {"c 90+10 300+10@24"}}},
        // A nested stack so trimmed is read as an offline clip lasting its 10
        // frames, here at 24, its source the stack's own range from -30.
        {"nested stack", track24(timeRange(-24, 10, 24), nested), 24, 10, {{"n 24+10 -30+10@24"}}},
        // Content of one frame.
        {"one frame",
         track24(timeRange(-5, 1, 24), clip24("a", 100, 1)),
         5,
         1,
         {{"a 5+1 100+1@24"}}},
    };
    for (const Case& c : cases) {
        LossReport losses;
        const TimelineView view = viewOf(timeline("null", c.tracks), losses);
        EXPECT_EQ(view.start, c.start) << c.what;
        EXPECT_EQ(view.duration, c.duration) << c.what;
        ASSERT_EQ(view.tracks.size(), c.items.size()) << c.what;
        for (std::size_t t = 0; t < c.items.size(); ++t)
            EXPECT_EQ(itemsOf(view.tracks[t]), c.items[t]) << c.what << " " << t;
        // Only the transition (kept) and the nested stack's content are
        // reported; no clip is dropped.
        for (const std::string& entry : entriesOf(losses))
            EXPECT_EQ(entry.find("dropped"), std::string::npos) << c.what << ": " << entry;
    }

    // Content nested 64 levels deep (63 stacks around a track of a 10 frame
    // clip) is timed: the trim [-24, -14) lies wholly before its 10 frames and
    // names the record start, 24. A level deeper it is not timed: the trim is
    // applied as OTIO applies it and shows none of it, a gap of 10 frames.
    const std::pair<int, std::pair<std::int64_t, std::vector<std::string>>> depths[] = {
        {64, {24, {"n 24+10 0+10@24"}}}, {65, {0, {" 0+10"}}}};
    for (const auto& [levels, expected] : depths) {
        std::string deep = R"({"OTIO_SCHEMA": "Track.1", "name": "in", "children": [)" +
                           clip24("x", 300, 10) + "]}";
        for (int level = 1; level < levels; ++level)
            deep = R"({"OTIO_SCHEMA": "Stack.1", "name": "n", "children": [)" + deep + "]}";
        LossReport deepLosses;
        const TimelineView view =
            viewOf(timeline("null", track24(timeRange(-24, 10, 24), deep)), deepLosses);
        EXPECT_EQ(view.start, expected.first) << levels;
        EXPECT_EQ(view.duration, 10) << levels;
        ASSERT_EQ(view.tracks.size(), 1u) << levels;
        EXPECT_EQ(itemsOf(view.tracks[0]), expected.second) << levels;
    }

    // Each layer starts with the composition and lasts to its own end: V from
    // 90 to 110 (its clip at 100, after a hole), A from 90 to 100.
    {
        LossReport twoStarts;
        const SharedPtr<Composition> read =
            readStandard(timeline("null", cases[4].tracks), twoStarts);
        ASSERT_TRUE(read);
        Status status;
        EXPECT_EQ(layerShapes(read->getTree(status)),
                  (std::vector<std::string>{" 90+20: s", " 90+10: s"}));
    }

    // A stack without items, or whose items are no array, names no start.
    for (const char* stack :
         {R"({"OTIO_SCHEMA": "Stack.1"})", R"({"OTIO_SCHEMA": "Stack.1", "children": {}})"}) {
        LossReport none;
        const TimelineView empty =
            viewOf(R"({"OTIO_SCHEMA": "Timeline.1", "global_start_time": null, "tracks": )" +
                       std::string(stack) + "}",
                   none);
        EXPECT_EQ(empty.start, 0) << stack;
        EXPECT_TRUE(empty.tracks.empty()) << stack;
    }

    // The marker lands on b's fourth frame, and the transition is kept at b.
    LossReport losses;
    const TimelineView marked = viewOf(timeline("null", cases[2].tracks), losses);
    ASSERT_EQ(marked.tracks[0].items[2].notes.size(), 1u);
    EXPECT_EQ(marked.tracks[0].items[2].notes[0].range.start, 66);
    ASSERT_EQ(marked.tracks[0].transitions.size(), 1u);
    EXPECT_EQ(marked.tracks[0].transitions[0].cut, 63);

    // One frame less of trim, or one past the content, is a window as any
    // other: [-29, 1) shows a gap of 29 and a's first frame; [-30, 11) shows a
    // and ends in a gap of one; [-5, 5), as long as a, a gap of 5 and a's first
    // 5 frames.
    const std::pair<std::string, std::vector<std::string>> windows[] = {
        {timeRange(-29, 30, 24), {" 0+29", "a 29+1 100+1@24"}},
        {timeRange(-5, 10, 24), {" 0+5", "a 5+5 100+5@24"}},
        {timeRange(-30, 41, 24), {" 0+30", "a 30+10 100+10@24", " 40+1"}}};
    for (const auto& [trim, items] : windows) {
        const TimelineView view =
            viewOf(timeline("null", track24(trim, clip24("a", 100, 10))), losses);
        EXPECT_EQ(view.start, 0) << trim;
        ASSERT_EQ(view.tracks.size(), 1u) << trim;
        EXPECT_EQ(itemsOf(view.tracks[0]), items) << trim;
    }

    // A stack so trimmed moves every track, after the tracks' own: 50 + 100.
    std::string stacked =
        timeline("null", track24(timeRange(-100, 10, 24), clip24("a", 100, 10)) + "," +
                             track24("null", gap5 + "," + clip24("c", 300, 5)));
    stacked.insert(stacked.find(R"("children")"),
                   R"("source_range": )" + timeRange(-50, 10, 24) + ", ");
    const TimelineView moved = viewOf(stacked, losses);
    EXPECT_EQ(moved.start, 50);
    EXPECT_EQ(moved.duration, 110);
    ASSERT_EQ(moved.tracks.size(), 2u);
    EXPECT_EQ(itemsOf(moved.tracks[0]), (std::vector<std::string>{"a 150+10 100+10@24"}));
    EXPECT_EQ(itemsOf(moved.tracks[1]), (std::vector<std::string>{" 50+5", "c 55+5 300+5@24"}));

    // The same trim of the stack over content nested 64 levels below it (a
    // track, 62 stacks, a track of a 10 frame clip) names the start 50; a
    // level deeper the content is not timed: the trim is applied as OTIO
    // applies it and shows none of it, 10 empty frames.
    const std::pair<int, std::pair<std::int64_t, std::vector<std::string>>> stackDepths[] = {
        {63, {50, {"n 50+10 0+10@24"}}}, {64, {0, {}}}};
    for (const auto& [levels, expected] : stackDepths) {
        std::string deep = R"({"OTIO_SCHEMA": "Track.1", "name": "in", "children": [)" +
                           clip24("x", 300, 10) + "]}";
        for (int level = 1; level < levels; ++level)
            deep = R"({"OTIO_SCHEMA": "Stack.1", "name": "n", "children": [)" + deep + "]}";
        std::string deepStack = timeline("null", track24("null", deep));
        deepStack.insert(deepStack.find(R"("children")"),
                         R"("source_range": )" + timeRange(-50, 10, 24) + ", ");
        const TimelineView view = viewOf(deepStack, losses);
        EXPECT_EQ(view.start, expected.first) << levels;
        EXPECT_EQ(view.duration, 10) << levels;
        std::vector<std::string> items;
        for (const auto& track : view.tracks)
            for (const std::string& item : itemsOf(track))
                items.push_back(item);
        EXPECT_EQ(items, expected.second) << levels;
    }

    // Written back, the start is "global_start_time" and the tracks hold no
    // trim: the items lie where they were, and read back the same.
    const SharedPtr<Composition> read = readStandard(timeline("null", cases[3].tracks), losses);
    ASSERT_TRUE(read);
    const std::string written = writeStandard(*read);
    rapidjson::Document document;
    document.Parse(written.c_str());
    EXPECT_EQ(document["global_start_time"]["value"].GetDouble(), 100.0);
    for (const auto& track : document["tracks"]["children"].GetArray())
        EXPECT_TRUE(track["source_range"].IsNull());
    const TimelineView again = viewOf(written, losses);
    EXPECT_EQ(again.start, 100);
    EXPECT_EQ(again.duration, 20);
    EXPECT_EQ(itemsOf(again.tracks[1]), cases[3].items[1]);
}

TEST(StandardOtioTiming, MarkersShowAtTheRecordFramesTheyMark) {
    struct Case {
        double start, duration, rate; ///< the marked range
        std::int64_t noteStart;       ///< absolute record frames at 24
        std::int64_t noteDuration;
    };
    // A gap of 24 frames from 01:00:00:00 (86400), then a clip playing its
    // source from 240 at 24: source frame s shows at record 86424 + s - 240,
    // a marked range at another rate counted in seconds, rounded to the
    // nearest frame; a note lasts a frame at least.
    const Case cases[] = {
        {240, 1, 24, 86424, 1},    // the clip's first frame
        {263, 1, 24, 86447, 1},    // its last
        {250, 5, 24, 86434, 5},    // 10 frames in, for 5
        {500, 10, 48, 86434, 5},   // the same at 48: 500 / 2 = 250, 10 / 2 = 5
        {481, 1, 48, 86425, 1},    // 240.5 rounds up; half a frame lasts one
        {10.5, 0.25, 1, 86436, 6}, // 10.5 s = 252 at 24; 0.25 s = 6 frames
        {200, 1, 20, 86424, 1},    // 10 s at 20 fps = 240 at 24
    };
    for (const Case& c : cases) {
        const std::string marker = R"(, "markers": [{"OTIO_SCHEMA": "Marker.2", "name": "m", )"
                                   R"("marked_range": )" +
                                   timeRange(c.start, c.duration, c.rate) + "}]";
        const std::string text = timeline(
            rationalTime(86400, 24),
            track24("null", R"({"OTIO_SCHEMA": "Gap.1", "source_range": )" + timeRange(0, 24, 24) +
                                "}," + clip24("a", 240, 24, marker)));
        LossReport losses;
        const TimelineView view = viewOf(text, losses);
        ASSERT_EQ(view.tracks.size(), 1u);
        ASSERT_EQ(view.tracks[0].items.size(), 2u);
        const std::vector<TimelineNote>& notes = view.tracks[0].items[1].notes;
        ASSERT_EQ(notes.size(), 1u) << c.start << " at " << c.rate;
        EXPECT_EQ(notes[0].range, (FrameRange{c.noteStart, c.noteDuration}))
            << c.start << " at " << c.rate << ": " << notes[0].range.start << "+"
            << notes[0].range.duration;
        EXPECT_TRUE(notes[0].ownRange);
    }
}

TEST(StandardOtioTiming, MixedRatesAreExactOrRoundedAndSaySo) {
    const std::string ntsc = "23.976023976023978", ntsc30 = "29.97002997002997",
                      ntsc60 = "59.94005994005994";
    const auto clipAt = [](const std::string& name, int frames, const std::string& rate) {
        return R"({"OTIO_SCHEMA": "Clip.2", "name": ")" + name +
               R"(", "source_range": {"OTIO_SCHEMA": "TimeRange.1", "start_time": )"
               R"({"OTIO_SCHEMA": "RationalTime.1", "rate": )" +
               rate + R"(, "value": 0}, "duration": {"OTIO_SCHEMA": "RationalTime.1", "rate": )" +
               rate + R"(, "value": )" + std::to_string(frames) + "}}}";
    };
    const auto track = [](const std::string& items) {
        return R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" + items + "]}";
    };
    struct Case {
        std::string start, items;
        std::string fcm;
        std::int64_t startFrame, duration;
        std::vector<std::string> seen, losses;
    };
    const std::string earlier = " frames earlier";
    const std::string rounded = "approximated: no frame rate up to 192000 frames a second holds "
                                "every record time of the timeline in whole frames; rounded to "
                                "whole frames at 23.976 fps, it ";
    const Case cases[] = {
        // About a second at each of six rates: 24 frames at 24000/1001 last 1.001 s,
        // 120120 frames at 120000 (every frame of the six rates is whole there).
        {"null",
         clipAt("a", 24, ntsc) + "," + clipAt("b", 24, "24") + "," + clipAt("c", 30, ntsc30) + "," +
             clipAt("d", 30, "30") + "," + clipAt("e", 60, ntsc60) + "," + clipAt("f", 60, "60"),
         "120000/1",
         0,
         720360,
         {"a 0+120120 0+24@24000", "b 120120+120000 0+24@24", "c 240120+120120 0+30@30000",
          "d 360240+120000 0+30@30", "e 480240+120120 0+60@60000", "f 600360+120000 0+60@60"},
         {}},
        // 01:00:00:00 at 24 (3600 s) over a frame at 23.976 and a second at 24:
        // neither rate holds both; 24000 does: 86400000, then 1001 and 24000.
        {rationalTime(86400, 24),
         clipAt("a", 1, ntsc) + "," + clipAt("b", 24, "24"),
         "24000/1",
         86400000,
         25001,
         {"a 86400000+1001 0+1@24000", "b 86401001+24000 0+24@24"},
         {}},
        // A frame at 23.976, a sample at 44100, a frame at 23.976: only 3528000
        // holds them all. Read at 23.976, the clips' most common rate, the sample
        // of 0.000543674 frames (24000 / (1001 x 44100)) rounds away, and so
        // does what it plays.
        {"null",
         clipAt("p", 1, ntsc) + "," + clipAt("s", 1, "44100") + "," + clipAt("q", 1, ntsc),
         "23.976",
         0,
         2,
         {"p 0+1 0+1@24000", "s 1+0 0+0@44100", "q 1+1 0+1@24000"},
         {"/tracks/children/0/children/1 | Clip.2 | " + rounded + "ends 0.000543674" + earlier,
          "/tracks/children/0/children/2 | Clip.2 | " + rounded + "starts 0.000543674" + earlier +
              " and ends 0.000543674" + earlier}},
    };
    for (const Case& test : cases) {
        LossReport losses;
        const TimelineView view = viewOf(timeline(test.start, track(test.items)), losses);
        String fcm;
        FPSUtils::getFPSString(view.rate, fcm);
        EXPECT_EQ(std::string(fcm.c_str()), test.fcm);
        EXPECT_EQ(view.start, test.startFrame) << test.fcm;
        EXPECT_EQ(view.duration, test.duration) << test.fcm;
        ASSERT_EQ(view.tracks.size(), 1u);
        EXPECT_EQ(itemsOf(view.tracks[0]), test.seen);
        EXPECT_EQ(entriesOf(losses), test.losses);
    }
}

} // namespace
} // namespace ZEM_0_81::test
