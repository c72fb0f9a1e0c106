#pragma once

#include "outside/core/Rational.h"
#include "outside/core/String.h"
#include "outside/dmtree/DmTypes.h"
#include "rapidotio/Node.h"
#include "rapidotio/TimeValues.h"

namespace ZEM_0_81::Json {

// Time and rate helpers of the OTIO import. Record values of the edit tree are
// whole frame counts at the composition's rate, source values whole frame counts
// at the source's rate; both are carried in doubles.

/// The frame count of `time` at `targetRate`: the value is rounded to a whole
/// number of ticks (halves away from zero) at its own rate, then converted
/// exactly to the target rate, rounding to the nearest frame (halves away from
/// zero). Both rates are first matched to a rate of the core library
/// (FPSUtils::getFPSFromValue); when either has no match (0, negative, not a
/// number, above a million) the result is 0. A value beyond the signed 64-bit
/// range is held at the nearest limit before the conversion.
double convertTime(const rapidotio::RationalTime& time, double targetRate);

/// The standard rate a composition or a source runs at for the frame rate
/// `rate`: the largest of 23.976, 24, 25, 29.97, 30, 50, 59.94 and 60 that is not
/// above `rate` (with a tolerance of 0.0001), except that rates from 47.952 up to
/// 48 give 23.976 and rates from 48 up to 50 give 24. Rates below 23.976 (0,
/// negatives and NaN included) give 23.976 (24000/1001).
Rational toStandardRate(double rate);

/// The frame-rate text of a standard rate (FPSUtils::getFPSString); "" when the
/// rate has none, which no standard rate lacks.
String frameRateText(const Rational& rate);

/// The edit-tree media type of a track kind: none and video give video, audio
/// gives audio, any other value gives unset. Clips, gaps and tracks outside a
/// typed track are therefore imported as video.
eDmTreeMediaType mediaTypeOf(rapidotio::TrackKind kind);

/// True when a time's value was absent from the document: it still holds the
/// unset marker (the largest finite double), within DBL_EPSILON.
bool isAbsentValue(double value);

/// True when a time's rate was absent from the document: within DBL_EPSILON of 0.
bool isAbsentRate(double rate);

} // namespace ZEM_0_81::Json
