#include "interchange/fcpxml/FcpxmlTime.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

__extension__ typedef __int128 Wide; // exact for every product of two 64-bit factors

constexpr Wide kMax = std::numeric_limits<std::int64_t>::max();

Wide wideGcd(Wide a, Wide b) {
    if (a < 0)
        a = -a;
    if (b < 0)
        b = -b;
    while (b != 0) {
        const Wide rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

/// `numerator` / `denominator` reduced, when both fit 64 bits.
Time reduced(Wide numerator, Wide denominator) {
    if (denominator == 0)
        return Time::invalid();
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const Wide common = wideGcd(numerator, denominator);
    if (common > 1) {
        numerator /= common;
        denominator /= common;
    }
    if (numerator > kMax || numerator < -kMax || denominator > kMax)
        return Time::invalid();
    return Time::raw(static_cast<std::int64_t>(numerator), static_cast<std::int64_t>(denominator));
}

const char* skipSpace(const char* at) {
    while (*at && std::isspace(static_cast<unsigned char>(*at)))
        ++at;
    return at;
}

/// Reads digits at `at` into `value` (which must fit `limit`), advancing `at`;
/// false when there are none or too many.
bool digits(const char*& at, Wide& value, int& count) {
    value = 0;
    count = 0;
    while (std::isdigit(static_cast<unsigned char>(*at))) {
        value = value * 10 + (*at - '0');
        if (value > kMax)
            return false;
        ++at;
        ++count;
    }
    return count > 0;
}

} // namespace

Time::Time(std::int64_t numerator, std::int64_t denominator) {
    const Time made = reduced(numerator, denominator);
    m_num = made.m_num;
    m_den = made.m_den;
}

Time Time::invalid() {
    return raw(0, 0);
}

Time Time::operator+(const Time& other) const {
    if (!valid() || !other.valid())
        return invalid();
    return reduced(Wide(m_num) * other.m_den + Wide(other.m_num) * m_den,
                   Wide(m_den) * other.m_den);
}

Time Time::operator-(const Time& other) const {
    if (!valid() || !other.valid())
        return invalid();
    return reduced(Wide(m_num) * other.m_den - Wide(other.m_num) * m_den,
                   Wide(m_den) * other.m_den);
}

Time Time::operator*(const Time& other) const {
    if (!valid() || !other.valid())
        return invalid();
    // Cross-reduced first, so that products of reduced fractions stay small.
    const Wide a = wideGcd(m_num, other.m_den), b = wideGcd(other.m_num, m_den);
    const Wide ga = a == 0 ? 1 : a, gb = b == 0 ? 1 : b;
    return reduced((Wide(m_num) / ga) * (Wide(other.m_num) / gb),
                   (Wide(m_den) / gb) * (Wide(other.m_den) / ga));
}

Time Time::operator/(const Time& other) const {
    if (!valid() || !other.valid() || other.m_num == 0)
        return invalid();
    return *this * reduced(other.m_den, other.m_num);
}

bool Time::operator<(const Time& other) const {
    if (!valid() || !other.valid())
        return !valid() && other.valid();
    return Wide(m_num) * other.m_den < Wide(other.m_num) * m_den;
}

std::int64_t Time::floor() const {
    if (!valid())
        return 0;
    std::int64_t quotient = m_num / m_den;
    if (m_num % m_den != 0 && m_num < 0)
        --quotient;
    return quotient;
}

std::int64_t Time::nearest() const {
    if (!valid())
        return 0;
    const Time half = *this + Time(1, 2);
    return half.valid() ? half.floor() : floor();
}

double Time::toDouble() const {
    return valid() ? static_cast<double>(m_num) / static_cast<double>(m_den) : 0.0;
}

std::string Time::text() const {
    if (!valid())
        return "0s";
    if (m_den == 1)
        return std::to_string(m_num) + "s";
    return std::to_string(m_num) + "/" + std::to_string(m_den) + "s";
}

bool parseTime(const char* text, Time& time) {
    if (!text)
        return false;
    const char* at = skipSpace(text);
    bool minus = false;
    if (*at == '-' || *at == '+') {
        minus = *at == '-';
        ++at;
    }
    Wide numerator = 0, denominator = 1;
    int count = 0;
    if (!digits(at, numerator, count))
        return false;
    if (*at == '/') {
        ++at;
        if (!digits(at, denominator, count) || denominator == 0)
            return false;
    } else if (*at == '.') {
        ++at;
        Wide fraction = 0;
        if (!digits(at, fraction, count) || count > 18)
            return false;
        Wide scale = 1;
        for (int i = 0; i < count; ++i)
            scale *= 10;
        numerator = numerator * scale + fraction;
        denominator = scale;
        if (numerator > kMax)
            return false;
    }
    if (*at != 's')
        return false;
    at = skipSpace(at + 1);
    if (*at != '\0')
        return false;
    const Time read = reduced(minus ? -numerator : numerator, denominator);
    if (!read.valid())
        return false;
    time = read;
    return true;
}

std::int64_t gcd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(wideGcd(a, b));
}

std::int64_t lcm(std::int64_t a, std::int64_t b) {
    if (a <= 0 || b <= 0)
        return 0;
    const Wide result = Wide(a) / wideGcd(a, b) * b;
    return result > kMax ? 0 : static_cast<std::int64_t>(result);
}

} // namespace ZEM_0_81::Interchange::Fcpx
