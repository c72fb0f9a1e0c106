#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "CDL.1": "OTIO_SCHEMA", "slope", "offset", "power" (three numbers each),
/// "saturation".
struct CDLKeys {
    static constexpr const char* schema = "CDL.1";
    static constexpr const char* typeWord = "CDL";
    static constexpr const char* slope = "slope";
    static constexpr const char* offset = "offset";
    static constexpr const char* power = "power";
    static constexpr const char* saturation = "saturation";
};

} // namespace ZEM_0_81::rapidotio::keys
