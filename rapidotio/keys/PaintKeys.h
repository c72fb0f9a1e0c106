#pragma once

#include "rapidotio/keys/EffectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Paint.1", a stroke: "OTIO_SCHEMA", "points" ("Point.1" objects), "rgba",
/// "type", "brush", then the effect and layer members.
struct PaintKeys {
    static constexpr const char* schema = "Paint.1";
    static constexpr const char* typeWord = "Paint";
    static constexpr const char* points = "points";
    static constexpr const char* rgba = LayerKeys::rgba;
    static constexpr const char* type = "type";
    static constexpr const char* brush = "brush";
};

} // namespace ZEM_0_81::rapidotio::keys
