#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "AngularMask.1": "OTIO_SCHEMA", "pivot" ([x, y]), "angle_in_radians".
struct AngularMaskKeys {
    static constexpr const char* schema = "AngularMask.1";
    static constexpr const char* typeWord = "AngularMask";
    static constexpr const char* pivot = "pivot";
    static constexpr const char* angleInRadians = "angle_in_radians";
};

} // namespace ZEM_0_81::rapidotio::keys
