#pragma once

#include "outside/core/CoreApi.h"
#include "outside/core/Rational.h"
#include "outside/core/Status.h"
#include "outside/core/String.h"
#include "outside/core/Time.h"

namespace ZEM_0_81 {

/// Frame-rate helpers: rates to and from their text, rates from numbers, and
/// exact conversion of a time to another rate.
///
/// Frame-rate text: the ten standard rates have a decimal name (24000/1001 is
/// "23.976", 24/1 is "24", 30000/1001 "29.97", ...); any other rate with a positive
/// numerator and denominator is written "NUM/DEN" in lowest terms ("12/1", "1000/3").
class ZEMCORE_API FPSUtils {
public:
    /// How convertToRate rounds a result that falls between two ticks.
    enum RoundDir {
        RoundDown = 0,    ///< toward negative infinity
        RoundNearest = 1, ///< to the nearest tick, halves away from zero
        RoundUp = 2,      ///< toward positive infinity
    };

    /// The frame-rate text of `rate`. Fails with NoFrameRateText, leaving `text`
    /// untouched, when the numerator is not positive or the denominator is 0.
    static Status getFPSString(const Rational& rate, String& text);

    /// The rate of a frame-rate text: every text getFPSString makes, "NUM/DEN"
    /// with positive parts (reduced to lowest terms) and a plain positive integer
    /// "NUM". Any other text fails with NoFrameRateText, leaving `rate` untouched.
    static Status getFPSFromString(const String& text, Rational& rate);

    /// The rate for a number of frames per second: within 0.001 of a standard rate
    /// gives that rate exactly; another whole number v gives v/1; any other value
    /// round(v x 1000)/1000 in lowest terms. Fails with NoFrameRateText, leaving
    /// `rate` untouched, for v <= 0, NaN, infinities, v above 1e6, and values so
    /// small that round(v x 1000) is 0.
    static Status getFPSFromValue(double value, Rational& rate);

    /// The same instant at `target`: ticks x (target.num x source.den) /
    /// (target.den x source.num), computed exactly and rounded as `dir` says.
    /// When either rate is zero (no conversion exists) the result is 0 ticks.
    static Time convertToRate(const Time& time, const Rational& target, RoundDir dir);
};

} // namespace ZEM_0_81
