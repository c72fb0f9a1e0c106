#include "tools/zemcomp/text/TimeText.h"

#include "composition/Timecode.h"
#include "tools/zemcomp/options/RangeOption.h"

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

TEST(Clock, AViewsClockShowsItsPictureRateForSamplesOnly) {
    TimelineView view;
    view.rate = kSamples;
    view.pictureRate = kFilm;
    EXPECT_EQ(Clock::of(view).shown, kFilm);
    EXPECT_TRUE(Clock::of(view).converts());
    // Source times: at the picture's rate for a sound's, at their own else.
    EXPECT_EQ(Clock::of(view).at(Rational(44100, 1)).shown, kFilm);
    EXPECT_FALSE(Clock::of(view).at(Rational(25, 1)).converts());
    // A picture rate that is itself a sample rate, or none, changes nothing.
    view.pictureRate = Rational(96000, 1);
    EXPECT_FALSE(Clock::of(view).converts());
    view.pictureRate = Rational(0, 1);
    EXPECT_FALSE(Clock::of(view).converts());
    // Nor does any picture rate for a timeline at a picture's rate.
    view.rate = Rational(24, 1);
    view.pictureRate = kFilm;
    EXPECT_FALSE(Clock::of(view).converts());
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
