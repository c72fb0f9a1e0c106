#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace ZEM_0_81::Json {

// Conversions of the importer's and the queries' doubles to the narrower numbers
// the edit tree and the core library store. A plain cast of a double that the
// target cannot hold is undefined behaviour in C++, and documents may carry any
// number, so every such conversion goes through these functions.

/// `value` truncated toward zero to a signed 64-bit integer. Values beyond the
/// range are held at the nearest limit; NaN gives 0.
inline std::int64_t truncateToInt64(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return INT64_MAX;
    if (value <= -limit)
        return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

/// `value` truncated toward zero to an unsigned 32-bit integer. The whole number
/// is taken as a signed 64-bit integer first and then reduced modulo 2^32, so a
/// negative length wraps as the 32-bit field stores it instead of meeting an
/// undefined conversion.
inline std::uint32_t truncateToUint32(double value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(truncateToInt64(value)));
}

/// `value` truncated toward zero to a signed 32-bit integer, through a signed
/// 64-bit integer and the 32-bit two's-complement wrap.
inline std::int32_t truncateToInt32(double value) {
    return static_cast<std::int32_t>(truncateToUint32(value));
}

/// `value` in single precision, as the edit tree stores its channel values,
/// colours and widths. Magnitudes beyond the float range are held at the largest
/// float of their sign, so that no infinity enters the tree (the edit tree's JSON
/// and OTIO JSON cannot express one).
inline float toStoredFloat(double value) {
    if (value > static_cast<double>(FLT_MAX))
        return FLT_MAX;
    if (value < -static_cast<double>(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(value);
}

} // namespace ZEM_0_81::Json
