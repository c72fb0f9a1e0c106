#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "TimeRange.1": "start_time", "duration", then "OTIO_SCHEMA" last.
struct TimeRangeKeys {
    static constexpr const char* schema = "TimeRange.1";
    static constexpr const char* startTime = "start_time";
    static constexpr const char* duration = "duration";
};

} // namespace ZEM_0_81::rapidotio::keys
