#pragma once

// How the tool writes times: timecode first, as editors read them, with the
// frame count, the rate and the seconds beside it.

#include "outside/core/Rational.h"

#include <cstdint>
#include <string>

namespace zemcomp {

/// The frame-rate text of `rate` ("24", "23.976", "1000/3"), or "NUM/DEN" as
/// given when it has none.
std::string rateText(const ZEM_0_81::Rational& rate);

/// The timecode of `frames` at `rate` ("01:00:00:00", "00:01:00;02"), or the
/// bare frame count when the rate has no timecode.
std::string timecodeText(std::int64_t frames, const ZEM_0_81::Rational& rate);

/// `frames` at `rate` in seconds, rounded to milliseconds ("3600.000 s"), or
/// empty when the rate is not a positive rate.
std::string secondsText(std::int64_t frames, const ZEM_0_81::Rational& rate);

/// "01:00:00:00 (86400 frames at 24 fps, 3600.000 s)".
std::string timeText(std::int64_t frames, const ZEM_0_81::Rational& rate);

} // namespace zemcomp
