#pragma once

#include <cstdint>
#include <string>

namespace ZEM_0_81::Interchange::Fcpx {

/// A time of FCPXML: an exact rational number of seconds, as the format writes
/// them ("1001/30000s", "5s", "0s"), kept in lowest terms with a positive
/// denominator. Arithmetic is exact: a result that does not fit 64 bits leaves
/// the time invalid (`valid()` false), and so does every result computed from
/// an invalid time; readers report the element and go on.
class Time {
public:
    /// Zero seconds.
    Time() = default;
    /// `numerator` / `denominator` seconds, reduced; invalid for a denominator of 0.
    Time(std::int64_t numerator, std::int64_t denominator);
    /// A whole number of seconds.
    static Time seconds(std::int64_t whole) { return Time(whole, 1); }
    static Time invalid();

    std::int64_t numerator() const { return m_num; }
    std::int64_t denominator() const { return m_den; }
    bool valid() const { return m_den > 0; }
    bool isZero() const { return valid() && m_num == 0; }
    bool negative() const { return valid() && m_num < 0; }
    bool positive() const { return valid() && m_num > 0; }

    Time operator+(const Time& other) const;
    Time operator-(const Time& other) const;
    Time operator-() const { return valid() ? Time(-m_num, m_den) : invalid(); }
    Time operator*(const Time& other) const;
    /// Invalid for a divisor of 0.
    Time operator/(const Time& other) const;

    /// Ordering of valid times (an invalid time orders first).
    bool operator<(const Time& other) const;
    bool operator==(const Time& other) const {
        return m_num == other.m_num && m_den == other.m_den;
    }
    bool operator!=(const Time& other) const { return !(*this == other); }
    bool operator<=(const Time& other) const { return !(other < *this); }
    bool operator>(const Time& other) const { return other < *this; }
    bool operator>=(const Time& other) const { return !(*this < other); }

    /// True for a whole number.
    bool whole() const { return valid() && m_den == 1; }
    /// The whole number nearest below (floor).
    std::int64_t floor() const;
    /// The nearest whole number, halves up.
    std::int64_t nearest() const;
    double toDouble() const;

    /// The text FCPXML writes: "N/Ds", or "Ns" for a whole number of seconds.
    std::string text() const;

    /// `numerator` / `denominator` as given: already reduced, the denominator
    /// positive (0 for an invalid time).
    static Time raw(std::int64_t numerator, std::int64_t denominator) {
        Time time;
        time.m_num = numerator;
        time.m_den = denominator;
        return time;
    }

private:
    std::int64_t m_num = 0;
    std::int64_t m_den = 1;
};

inline Time min(const Time& a, const Time& b) {
    return b < a ? b : a;
}
inline Time max(const Time& a, const Time& b) {
    return a < b ? b : a;
}

/// Reads a time attribute: "N/Ds", "Ns", a decimal "N.NNNs" (which some tools
/// write), each with an optional sign, white space around it allowed. False for
/// anything else, a denominator of 0, or a number beyond 64 bits.
bool parseTime(const char* text, Time& time);

/// The lowest common multiple and greatest common divisor of positive 64-bit
/// numbers; 0 when the multiple does not fit.
std::int64_t lcm(std::int64_t a, std::int64_t b);
std::int64_t gcd(std::int64_t a, std::int64_t b);

} // namespace ZEM_0_81::Interchange::Fcpx
