#include "outside/core/FPSUtils.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>

namespace ZEM_0_81 {

namespace {

struct StandardRate {
    int numerator;
    unsigned denominator;
    const char* text;
};

constexpr StandardRate kStandardRates[] = {
    {24000, 1001, "23.976"}, {24, 1, "24"},        {25, 1, "25"}, {30000, 1001, "29.97"},
    {30, 1, "30"},           {48000, 1001, "47.952"}, {48, 1, "48"}, {50, 1, "50"},
    {60000, 1001, "59.94"},  {60, 1, "60"},
};

Rational reduced(std::uint64_t numerator, std::uint64_t denominator) {
    const std::uint64_t divisor = std::gcd(numerator, denominator);
    return Rational(static_cast<int>(numerator / divisor),
                    static_cast<unsigned>(denominator / divisor));
}

// Parses a run of decimal digits that fits `limit`; false on anything else.
bool parseDigits(const char* begin, const char* end, std::uint64_t limit, std::uint64_t& out) {
    if (begin == end)
        return false;
    std::uint64_t value = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        if (value > limit)
            return false;
    }
    out = value;
    return true;
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 Wide; // exact for every product of two 64-bit factors
#else
using Wide = long double; // exact up to 64-bit operands only; the real library is exact
#endif

Wide floorDiv(Wide numerator, Wide denominator) {
#if defined(__SIZEOF_INT128__)
    Wide quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
        --quotient;
    return quotient;
#else
    return std::floor(numerator / denominator);
#endif
}

} // namespace

Status FPSUtils::getFPSString(const Rational& rate, String& text) {
    if (rate.getNumerator() <= 0 || rate.getDenominator() == 0)
        return Status(Status::NoFrameRateText);
    const Rational lowest = reduced(static_cast<std::uint64_t>(rate.getNumerator()),
                                    rate.getDenominator());
    for (const StandardRate& standard : kStandardRates) {
        if (lowest == Rational(standard.numerator, standard.denominator)) {
            text = standard.text;
            return Status();
        }
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%u", lowest.getNumerator(), lowest.getDenominator());
    text = buffer;
    return Status();
}

Status FPSUtils::getFPSFromString(const String& text, Rational& rate) {
    const char* begin = text.c_str();
    for (const StandardRate& standard : kStandardRates) {
        if (std::strcmp(begin, standard.text) == 0) {
            rate = Rational(standard.numerator, standard.denominator);
            return Status();
        }
    }
    const char* end = begin + text.size();
    const char* slash = std::strchr(begin, '/');
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
    const bool parsed =
        slash ? parseDigits(begin, slash, std::numeric_limits<int>::max(), numerator) &&
                    parseDigits(slash + 1, end, std::numeric_limits<unsigned>::max(), denominator)
              : parseDigits(begin, end, std::numeric_limits<int>::max(), numerator);
    if (!parsed || numerator == 0 || denominator == 0)
        return Status(Status::NoFrameRateText);
    rate = reduced(numerator, denominator);
    return Status();
}

Status FPSUtils::getFPSFromValue(double value, Rational& rate) {
    if (!std::isfinite(value) || value <= 0.0 || value > 1e6)
        return Status(Status::NoFrameRateText);
    for (const StandardRate& standard : kStandardRates) {
        const Rational candidate(standard.numerator, standard.denominator);
        if (std::fabs(value - candidate.getValue()) <= 0.001) {
            rate = candidate;
            return Status();
        }
    }
    if (value == std::floor(value)) {
        rate = Rational(static_cast<int>(value), 1);
        return Status();
    }
    const double thousandths = std::round(value * 1000.0);
    if (thousandths == 0.0)
        return Status(Status::NoFrameRateText);
    rate = reduced(static_cast<std::uint64_t>(thousandths), 1000);
    return Status();
}

Time FPSUtils::convertToRate(const Time& time, const Rational& target, RoundDir dir) {
    const Rational& source = time.getRate();
    Wide numerator = static_cast<Wide>(time.getNbTicks()) *
                     (static_cast<Wide>(target.getNumerator()) * source.getDenominator());
    Wide denominator = static_cast<Wide>(target.getDenominator()) * source.getNumerator();
    if (denominator == 0 || target.getNumerator() == 0)
        return Time(0, target);
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    Wide ticks = 0;
    switch (dir) {
    case RoundDown:
        ticks = floorDiv(numerator, denominator);
        break;
    case RoundUp:
        ticks = -floorDiv(-numerator, denominator);
        break;
    case RoundNearest:
    default:
        // Halves away from zero: round the magnitude up at .5, then restore the sign.
        if (numerator >= 0)
            ticks = floorDiv(2 * numerator + denominator, 2 * denominator);
        else
            ticks = -floorDiv(-2 * numerator + denominator, 2 * denominator);
        break;
    }
    return Time(static_cast<std::int64_t>(ticks), target);
}

} // namespace ZEM_0_81
