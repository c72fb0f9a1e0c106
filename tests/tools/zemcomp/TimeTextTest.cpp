#include "tools/zemcomp/TimeText.h"

#include "composition/Timecode.h"
#include "tools/zemcomp/RangeOption.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace zemcomp {
namespace {

using namespace ZEM_0_81;

const Rational kSamples(48000, 1);
const Rational kFilm(24000, 1001);
const Rational kNtsc(30000, 1001);

TimelineItem clipAt(const Rational& sourceRate) {
    TimelineItem item;
    item.kind = TimelineItem::Kind::Clip;
    item.source.rate = sourceRate;
    return item;
}

TimelineView viewOf(const Rational& rate, std::vector<TimelineTrack> tracks) {
    TimelineView view;
    view.hasTimeline = true;
    view.rate = rate;
    view.tracks = std::move(tracks);
    return view;
}

TimelineTrack trackOf(TimelineTrack::Kind kind, std::vector<TimelineItem> items) {
    TimelineTrack track;
    track.kind = kind;
    track.items = std::move(items);
    return track;
}

TEST(Clock, PictureRateComesFromTheClipsWhenTheTimelineCountsSamples) {
    using Kind = TimelineTrack::Kind;
    // Sound first, then picture: the video track's clip gives the rate.
    const TimelineView mixed =
        viewOf(kSamples, {trackOf(Kind::Audio, {clipAt(kSamples), clipAt(Rational(25, 1))}),
                          trackOf(Kind::Video, {clipAt(kSamples), clipAt(kFilm)})});
    EXPECT_EQ(Clock::of(mixed).shown, kFilm);
    EXPECT_TRUE(Clock::of(mixed).converts());

    // Without a video track, the first clip of any track at a picture's rate.
    const TimelineView sound =
        viewOf(kSamples, {trackOf(Kind::Audio, {clipAt(kSamples), clipAt(Rational(25, 1))})});
    EXPECT_EQ(Clock::of(sound).shown, Rational(25, 1));

    // Nothing but samples, or no clips: times stay as they count.
    EXPECT_FALSE(
        Clock::of(viewOf(kSamples, {trackOf(Kind::Audio, {clipAt(kSamples)})})).converts());
    EXPECT_FALSE(Clock::of(viewOf(kSamples, {})).converts());

    // A timeline at a picture's rate (100 fps included) is shown at it,
    // whatever its clips run at.
    for (const Rational& rate : {kFilm, Rational(100, 1), Rational(1000, 1)}) {
        const Clock clock = Clock::of(viewOf(rate, {trackOf(Kind::Video, {clipAt(kNtsc)})}));
        EXPECT_EQ(clock.shown, rate);
        EXPECT_FALSE(clock.converts());
    }
    EXPECT_TRUE(Clock::isSampleRate(Rational(1001, 1)));
    EXPECT_TRUE(Clock::isSampleRate(Rational(44100, 1)));
    EXPECT_FALSE(Clock::isSampleRate(Rational(0, 1)));
    EXPECT_FALSE(Clock::isSampleRate(Rational(48000, 0)));
}

TEST(Clock, SampleTimesShowAsThePictureFramesTheyFallOn) {
    const Clock clock(kSamples, kFilm);
    // 2002 samples a frame at 23.976: whole frames read as the picture's own
    // timecode, times between frames as the nearest frame, marked.
    for (const std::int64_t frame : {std::int64_t(0), std::int64_t(1), std::int64_t(86313),
                                     std::int64_t(-24), std::int64_t(2589408)}) {
        std::string picture;
        ASSERT_TRUE(Timecode::format(frame, kFilm, picture));
        EXPECT_EQ(timecodeText(frame * 2002, clock), picture);
        EXPECT_EQ(clock.frameAt(frame), frame * 2002);
        bool exact = false;
        EXPECT_EQ(clock.shownFrame(frame * 2002 + 1000, &exact), frame);
        EXPECT_FALSE(exact);
        EXPECT_EQ(timecodeText(frame * 2002 + 1000, clock), "~" + picture);
        EXPECT_EQ(clock.shownFrame(frame * 2002 + (frame < 0 ? -1001 : 1001)),
                  frame + (frame < 0 ? -1 : 1))
            << "halves away from zero";
    }
    // 1601.6 samples a frame at 29.97: the nearest sample stands for a frame.
    const Clock ntsc(kSamples, kNtsc);
    for (std::int64_t frame = 0; frame < 20000; frame += 37) {
        bool exact = true;
        EXPECT_EQ(ntsc.shownFrame(ntsc.frameAt(frame), &exact), frame);
        EXPECT_EQ(exact, frame % 5 == 0) << frame;
    }
    EXPECT_EQ(timecodeText(107895 * 8008 / 5, ntsc), "01:00:00;03");
    EXPECT_EQ(timecodeText(ntsc.frameAt(107892), ntsc), "~01:00:00;00");

    // The frame count, its rate and the seconds stay those of the samples.
    EXPECT_EQ(timeText(172798626, clock), "00:59:56:09 (172798626 frames at 48000/1 fps, "
                                          "3599.971 s)");
    // A clock that does not convert writes what the rate's own timecode says.
    EXPECT_EQ(timecodeText(96000, Clock(kSamples)), "00:00:02:00000");
    EXPECT_EQ(timecodeText(86400, Clock(Rational(24, 1), kFilm)), "01:00:00:00");
    EXPECT_EQ(timecodeText(7, Clock(Rational(0, 1))), "7");
}

TEST(Clock, FramesAtTheEndsOf64BitsStayAsTheyAre) {
    const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    const std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
    const Clock clock(kSamples, kFilm);
    for (const std::int64_t frames : {largest, smallest, largest - 1, smallest + 1}) {
        const std::int64_t shown = clock.shownFrame(frames);
        EXPECT_EQ(shown, frames / 2002 + (frames % 2002 >= 1001 ? 1 : 0) -
                             (frames % 2002 <= -1001 ? 1 : 0));
        EXPECT_FALSE(timecodeText(frames, clock).empty());
        // Back at the sample rate these frames do not fit: they stay as given.
        EXPECT_EQ(clock.frameAt(frames), frames);
    }
}

TEST(Clock, RangesTypedAsTimecodeCountThePictureFrames) {
    const Clock clock(kSamples, kFilm);
    std::string error;
    const std::optional<FrameRange> typed = resolveRange("00:59:57:00-00:59:58:00", clock, error);
    ASSERT_TRUE(typed) << error;
    EXPECT_EQ(typed->start, 86328 * 2002);
    EXPECT_EQ(typed->duration, 24 * 2002);
    // Frame numbers count samples, as the listing's frame columns do.
    const std::optional<FrameRange> counted = resolveRange("172798626-172894722", clock, error);
    ASSERT_TRUE(counted) << error;
    EXPECT_EQ(counted->start, 172798626);
    EXPECT_EQ(counted->duration, 96096);
    // A picture timecode is checked against the picture's rate.
    EXPECT_FALSE(resolveRange("00:00:00:30-00:00:01:00", clock, error));
}

} // namespace
} // namespace zemcomp
