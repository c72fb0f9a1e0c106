#pragma once

#include "rapidotio/TimeValues.h"

namespace ZEM_0_81::Interchange {

/// Times are the product dialect's own (rapidotio/TimeValues.h): `value` units
/// of 1/`rate` second, and a range's start and duration. Their defaults are that
/// dialect's unset marker; the readers of other formats start from zero instead.
using rapidotio::RationalTime;
using rapidotio::TimeRange;
constexpr RationalTime kZeroTime{0.0, 0.0};
constexpr TimeRange kZeroRange{kZeroTime, kZeroTime};

} // namespace ZEM_0_81::Interchange
