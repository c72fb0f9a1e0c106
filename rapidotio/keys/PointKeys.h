#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "Point.1" of a paint stroke: "OTIO_SCHEMA", "x", "y", "width".
struct PointKeys {
    static constexpr const char* schema = "Point.1";
    static constexpr const char* x = "x";
    static constexpr const char* y = "y";
    static constexpr const char* width = "width";
};

} // namespace ZEM_0_81::rapidotio::keys
