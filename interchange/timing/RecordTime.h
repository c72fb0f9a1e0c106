#pragma once

#include "outside/dmtree/DmString.h"

#include <cstdint>
#include <string>

namespace ZEM_0_81::Interchange {

/// Record time at exact frame rates, which the readers and writers of every
/// format share: rates named by their texts, rescaling without a rounding error
/// between whole-number ratios, and the tolerances of rates other tools write
/// rounded. The standard OTIO writer leaves out of a document every value its
/// reader derives exactly; it finds out by running these same functions on
/// what it writes, so the two directions must never compute differently.
namespace RecordTime {

/// The frames per second of a frame-rate text ("24", "23.976", "24000/1001");
/// 0 for a text the core library does not understand.
double rateOf(const DmString& fcm);

/// The frame-rate text of `rate` frames per second, as the core library names
/// the rate nearest to it; "" when there is none (0, negative, not finite).
std::string fcmOf(double rate);

/// The frame-rate text of the rate `numerator` / `denominator` ("24",
/// "23.976", "120000/1001"); "" when either is not positive or too large.
std::string fcmOf(std::int64_t numerator, std::int64_t denominator);

/// `rate` as whole numbers `numerator` / `denominator` in lowest terms, when it
/// is a ratio the core library names exactly (24000/1001 for the double nearest
/// 23.976..., 30/1, 2997/100) or a whole number of frames per 1001 seconds
/// (120000/1001); false otherwise.
bool ratioOf(double rate, std::int64_t& numerator, std::int64_t& denominator);

/// True when `a` and `b` are the same rate. Rates are compared with a relative
/// tolerance of 1e-9, far below the difference of any two frame rates in use and
/// far above the rounding of a rate that another JSON reader parsed a bit off.
bool sameRate(double a, double b);

/// `value` units of 1/`from` second counted in units of 1/`to` second: `value`
/// itself for the same rate (or when `from` is not positive); otherwise value ×
/// (to's numerator × from's denominator) ÷ (to's denominator × from's numerator)
/// when both rates are whole-number ratios (ratioOf), so that whole
/// frames convert to whole ticks without a rounding error (one frame at
/// 24000/1001 is 2002 at 48000); value × to ÷ from for other rates.
double rescale(double value, double from, double to);

/// `frames`, or the whole number it differs from by no more than the rounding
/// of double arithmetic (a relative 1e-11): a duration OTIO sums through
/// fractional frames (84 at 24000/1001 is 84.084 at 24) lands a few units in the
/// last place off the whole count it stands for.
double wholeIfNear(double frames);

/// True when `a` and `b` are the same double, bit for bit (so -0.0 is not 0.0).
bool identical(double a, double b);

/// True for a whole number below 2^53 in magnitude: such a number is written and
/// read back exactly by any JSON reader, and sums and differences of such numbers
/// are exact. Values the writer leaves for the reader to derive are all of this
/// kind, so that a reader that parses other doubles a unit in the last place off
/// (as the OpenTimelineIO library may) still derives them exactly.
bool isSafeInteger(double value);

/// `rate`, or the exact frame rate it stands for when it lies within the
/// tolerance of sameRate of one (so that a rate another reader parsed a bit off
/// counts again as the rate that was written).
double canonicalRate(double rate);

/// The frame rate `rate` stands for: the exact standard rate it lies within
/// a thousandth of a frame per second of (23.976 → 24000/1001), else `rate`
/// itself. Documents of other tools write rates rounded to a few digits.
double snapRate(double rate);

} // namespace RecordTime

} // namespace ZEM_0_81::Interchange
