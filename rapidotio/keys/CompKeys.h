#pragma once

namespace ZEM_0_81::rapidotio::keys {

/// "Comp.1", its own members in the order they are read and written:
/// "OTIO_SCHEMA", "blend_mode", "opacity".
struct CompKeys {
    static constexpr const char* schema = "Comp.1";
    /// Its "effect_name" when built by name.
    static constexpr const char* typeWord = "Comp";
    static constexpr const char* blendMode = "blend_mode";
    static constexpr const char* opacity = "opacity";
};

} // namespace ZEM_0_81::rapidotio::keys
