#pragma once

// The time objects of OTIO documents that tests write by hand, in the members'
// order the writers print them, and documents as other tools write them.

#include <string>

namespace ZEM_0_81::test {

/// A "RationalTime.1" of the printed `value` and `rate` ("" leaves that member
/// out), so that a test can give the literal form it reads or expects.
std::string rationalTime(const std::string& value, const std::string& rate);

/// A "RationalTime.1" of `value` at `rate`.
std::string rationalTime(double value, double rate);

/// A "TimeRange.1" of two printed times at one printed rate.
std::string timeRange(const std::string& start, const std::string& duration,
                      const std::string& rate);

/// A "TimeRange.1" of two times at one rate.
std::string timeRange(double start, double duration, double rate);

/// The OTIO document `text` without the members only this system writes
/// ("zem", at any depth): the same timeline as another tool would have written
/// it. Compact.
std::string asAnotherTools(const std::string& text);

} // namespace ZEM_0_81::test
