#pragma once

#include "composition/CompositionApi.h"
#include "outside/core/Rational.h"
#include "outside/core/Status.h"

#include <cstdint>
#include <string>

namespace ZEM_0_81 {

/// Timecode for frame counts: "HH:MM:SS:FF", computed exactly from the rational
/// rate with integer arithmetic.
///
/// A timecode counts in whole frames per second, the rate rounded to the nearest
/// whole number (24 for 23.976, 30 for 29.97, 60 for 59.94; at least 1). The two
/// drop-frame rates, 30000/1001 (29.97) and 60000/1001 (59.94), are written
/// drop-frame: the first 2 (29.97) or 4 (59.94) frame numbers of every minute
/// that is not a multiple of ten are skipped, so the timecode keeps to the clock,
/// and the frames follow a ';' ("00:01:00;02"). Every other rate, 23.976
/// included, is written non-drop.
///
/// Hours keep counting past 24 ("25:00:00:00") rather than wrapping, so that a
/// duration or a position is never read as a smaller one; they take at least two
/// digits. Frames take at least two digits, more when the rate needs them. A
/// negative count is written as its magnitude with a leading '-'.
class ZEM_API Timecode {
public:
    /// True for the drop-frame rates 30000/1001 and 60000/1001 (in any terms,
    /// 60000/2002 included).
    static bool isDropFrame(const Rational& rate);

    /// The whole frames per second a timecode at `rate` counts: the rate rounded
    /// to the nearest whole number, halves up, and at least 1. Fails with
    /// NoFrameRateText, leaving `framesPerSecond` untouched, when the numerator
    /// is not positive or the denominator is 0.
    static Status framesPerSecond(const Rational& rate, std::int64_t& framesPerSecond);

    /// The timecode of `frames` at `rate`. Fails with NoFrameRateText, leaving
    /// `text` untouched, when the numerator is not positive or the denominator
    /// is 0.
    static Status format(std::int64_t frames, const Rational& rate, std::string& text);

    /// The same, drop frame only when `dropFrame` is true: false writes the two
    /// drop-frame rates non-drop, every frame number counted and ':' before the
    /// frames ("00:01:00:00" for 1800 frames at 29.97), as a cut list counting
    /// in non-drop frame holds them. True is format above.
    static Status format(std::int64_t frames, const Rational& rate, bool dropFrame,
                         std::string& text);

    /// The frame count of the timecode `hours`:`minutes`:`seconds`:`frame` at
    /// `rate`, the inverse of format: drop frame when `dropFrame` is true and the
    /// rate is one of the two drop-frame rates, non-drop otherwise. False, leaving
    /// `frames` untouched, when it is no timecode at that rate: a rate that is
    /// not positive, a negative field, minutes or seconds past 59, a frame at or
    /// past the whole frames per second, a frame number that drop frame skips
    /// ("00:01:00;00" at 29.97), or a count of 2^62 frames or more.
    static bool count(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t frame, const Rational& rate, bool dropFrame,
                      std::int64_t& frames);
};

} // namespace ZEM_0_81
