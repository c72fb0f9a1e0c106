#pragma once

#include "rapidotio/JsonAccess.h"
#include "rapidotio/MemberWriter.h"

#include <cfloat>

namespace ZEM_0_81::rapidotio {

/// An OTIO "RationalTime.1": a time in units of 1/rate. The largest finite
/// double as value and 0 as rate mean "unset".
struct RationalTime {
    double value = DBL_MAX;
    double rate = 0;
};

/// An OTIO "TimeRange.1": a start time and a duration.
struct TimeRange {
    RationalTime start_time;
    RationalTime duration;
};

/// An OTIO "Point.1" of a paint stroke: a position and the stroke width there.
struct Point {
    double x = 0, y = 0, width = 0;
};

/// True when value differs from the unset marker and rate from 0, each by at
/// least DBL_EPSILON.
bool isValid(const RationalTime& time);
/// True when both times of the range are valid.
bool isValid(const TimeRange& range);

/// Reads a "RationalTime.1" object into `time`. An object whose "OTIO_SCHEMA" is
/// not exactly "RationalTime.1" leaves `time` as it is. "rate" is taken as a
/// double, else as a signed 32-bit integer, else as a numeric string; "value" as
/// a double, else as a signed 32-bit integer.
void parseRationalTime(const Value& object, RationalTime& time);

/// Reads the "start_time" and "duration" objects of a "TimeRange.1" into `range`.
/// The range's own "OTIO_SCHEMA" is not examined.
void parseTimeRange(const Value& object, TimeRange& range);

/// Reads a "Point.1" object into `point`; `point` is left as it is unless
/// "OTIO_SCHEMA" is exactly "Point.1". Coordinates must be stored as doubles.
void parsePoint(const Value& object, Point& point);

/// Writes the members of a "RationalTime.1" into the object being written:
/// "OTIO_SCHEMA", then "value" and "rate" only when they are set.
void writeRationalTime(const RationalTime& time, MemberWriter& writer);

/// Writes the members of a "TimeRange.1": "start_time", "duration" and then
/// "OTIO_SCHEMA".
void writeTimeRange(const TimeRange& range, MemberWriter& writer);

/// Writes the members of a "Point.1": "OTIO_SCHEMA", "x", "y" and "width".
void writePoint(const Point& point, MemberWriter& writer);

} // namespace ZEM_0_81::rapidotio
