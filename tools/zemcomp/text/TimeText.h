#pragma once

// How the tool writes times: timecode first, as editors read them, with the
// frame count, the rate and the seconds beside it.

#include "interchange/TimelineView.h"
#include "outside/core/Rational.h"

#include <cstdint>
#include <limits>
#include <string>

namespace zemcomp {

/// The largest and smallest frame numbers: the bounds of every frame the tool reads or draws.
constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSmallest = std::numeric_limits<std::int64_t>::min();

/// The rate a timeline's frame counts count at, and the rate its timecodes are
/// shown at. They differ for a timeline timed at its sound's sample rate, as a
/// timeline of another tool is read when its sound lands on whole frames only
/// there (48000): a timecode of 48000 "frames" a second ("00:59:59:46626") is
/// read by nobody, so such times are shown as the timecode of the nearest
/// frame at the picture's rate, with a leading "~" when they fall between two
/// of its frames ("~01:00:00:09"). Frame counts stay as they are.
struct Clock {
    /// The rate frame counts count at.
    ZEM_0_81::Rational rate;
    /// The rate timecodes count at: `rate` itself, unless `rate` is a sample
    /// rate (TimelineView::isSampleRate) and the timeline has a picture rate.
    ZEM_0_81::Rational shown;

    /// Times at `rate`, shown at `rate`.
    Clock(const ZEM_0_81::Rational& rate) : rate(rate), shown(rate) {} // NOLINT: implicit
    /// Times at `rate`, shown at `picture` when `rate` is a sample rate and
    /// `picture` is not.
    Clock(const ZEM_0_81::Rational& rate, const ZEM_0_81::Rational& picture);

    /// The clock of `view`'s record times: shown at its picture rate
    /// (TimelineView::pictureRate).
    static Clock of(const ZEM_0_81::TimelineView& view) {
        return Clock(view.rate, view.pictureRate);
    }
    /// Times at `other` (a source's rate), shown as this clock shows them when
    /// `other` is a sample rate.
    Clock at(const ZEM_0_81::Rational& other) const { return Clock(other, shown); }

    /// True when timecodes count at another rate than frames.
    bool converts() const { return shown != rate; }
    /// `frames` at `rate` counted in frames at `shown`: the nearest frame,
    /// halves away from zero; `exact` (when not null) tells whether it lands on
    /// one. `frames` itself when the clock does not convert or the frame does not
    /// fit 64 bits.
    std::int64_t shownFrame(std::int64_t frames, bool* exact = nullptr) const;
    /// The frame at `rate` nearest to the frame `shownFrame` at `shown`: the
    /// inverse of shownFrame on frames it lands on exactly.
    std::int64_t frameAt(std::int64_t shownFrame) const;
};

/// The frame-rate text of `rate` ("24", "23.976", "1000/3"), or "NUM/DEN" as
/// given when it has none.
std::string rateText(const ZEM_0_81::Rational& rate);

/// The timecode of `frames` as `clock` shows it ("01:00:00:00", "00:01:00;02",
/// "~01:00:00:09"; see Clock), or the bare frame count when the rate has no
/// timecode.
std::string timecodeText(std::int64_t frames, const Clock& clock);

/// `frames` at `rate` in seconds, rounded to milliseconds ("3600.000 s"), or
/// empty when the rate is not a positive rate.
std::string secondsText(std::int64_t frames, const ZEM_0_81::Rational& rate);

/// "01:00:00:00 (86400 frames at 24 fps, 3600.000 s)"; the timecode as `clock`
/// shows it: "00:59:56:09 (172798626 frames at 48000/1 fps, 3599.971 s)".
std::string timeText(std::int64_t frames, const Clock& clock);

} // namespace zemcomp
