#include "interchange/compare/ClipFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace ZEM_0_81::Interchange::Compare {

namespace {

/// `a` x `b` into `product`; false when it does not fit 64 bits.
bool multiplied(std::int64_t a, std::uint64_t b, std::int64_t& product) {
    const std::uint64_t magnitude = a < 0 ? 0u - static_cast<std::uint64_t>(a) : a;
    if (b != 0 && magnitude > static_cast<std::uint64_t>(INT64_MAX) / b)
        return false;
    product = a * static_cast<std::int64_t>(b);
    return true;
}

/// `numerator` / `denominator` to the nearest whole number, halves away from
/// zero; `denominator` is positive.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t remainder = numerator % denominator;
    // |remainder| < denominator: twice it fits 64 bits unsigned.
    const std::uint64_t twice = 2u * static_cast<std::uint64_t>(std::llabs(remainder));
    if (twice < static_cast<std::uint64_t>(denominator))
        return quotient;
    return numerator < 0 ? quotient - 1 : quotient + 1;
}

} // namespace

bool isCountable(const Rational& rate) {
    return rate.getNumerator() > 0 && rate.getDenominator() != 0;
}

std::int64_t rescale(std::int64_t frames, const Rational& from, const Rational& to) {
    if (from == to || !isCountable(from) || !isCountable(to))
        return frames;
    // frames x (to.num x from.den) / (to.den x from.num): each factor is below
    // 2^32, so both products fit once reduced by their common divisor.
    std::uint64_t up = static_cast<std::uint64_t>(to.getNumerator()) * from.getDenominator();
    std::uint64_t down = static_cast<std::uint64_t>(to.getDenominator()) *
                         static_cast<std::uint64_t>(from.getNumerator());
    const std::uint64_t common = std::gcd(up, down);
    up /= common;
    down /= common;
    std::int64_t product = 0;
    if (down <= static_cast<std::uint64_t>(INT64_MAX) && multiplied(frames, up, product))
        return roundedQuotient(product, static_cast<std::int64_t>(down));
    // Beyond 2^63 nothing exact can be said: the nearest in long double, kept in range.
    const long double scaled = static_cast<long double>(frames) * static_cast<long double>(up) /
                               static_cast<long double>(down);
    constexpr long double limit =
        static_cast<long double>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::round(std::clamp(scaled, -limit, limit)));
}

std::int64_t wholeFrames(const FrameCount& count) {
    return count.denominator > 0 ? roundedQuotient(count.numerator, count.denominator) : 0;
}

std::optional<SourceSpan> sourceSpanAt(const TimelineItem& clip, const Rational& rate) {
    if (!clip.source.start)
        return std::nullopt;
    const std::int64_t length = std::max<std::int64_t>(0, wholeFrames(clip.source.duration));
    const std::int64_t first = *clip.source.start;
    // A start within a length of the largest frame ends there.
    const std::int64_t last = first > INT64_MAX - length ? INT64_MAX : first + length;
    const std::int64_t start = rescale(first, clip.source.rate, rate);
    const std::int64_t end = rescale(last, clip.source.rate, rate);
    return SourceSpan{start, std::max(start, end)};
}

std::int64_t sharedFrames(const SourceSpan& a, const SourceSpan& b) {
    return std::max<std::int64_t>(0, std::min(a.end, b.end) - std::max(a.start, b.start));
}

} // namespace ZEM_0_81::Interchange::Compare
