#pragma once

#include "rapidotio/keys/EffectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Text.1", a caption: "OTIO_SCHEMA", "text", "justification", "fontName",
/// "fontSize", "width", "orientation", "position" ([x, y]), "rgba", then the
/// effect and layer members.
struct TextKeys {
    static constexpr const char* schema = "Text.1";
    static constexpr const char* typeWord = "Text";
    static constexpr const char* text = "text";
    static constexpr const char* justification = "justification";
    static constexpr const char* fontName = "fontName";
    static constexpr const char* fontSize = "fontSize";
    static constexpr const char* width = "width";
    static constexpr const char* orientation = "orientation";
    static constexpr const char* position = "position";
    static constexpr const char* rgba = LayerKeys::rgba;
};

} // namespace ZEM_0_81::rapidotio::keys
