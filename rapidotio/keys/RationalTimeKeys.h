#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "RationalTime.1": "OTIO_SCHEMA", then "value" and "rate" when they are set.
struct RationalTimeKeys {
    static constexpr const char* schema = "RationalTime.1";
    static constexpr const char* value = "value";
    static constexpr const char* rate = "rate";
};

} // namespace ZEM_0_81::rapidotio::keys
