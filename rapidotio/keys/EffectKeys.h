#pragma once

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// What every effect writes after its own members, in this order: "visible",
/// "name", "effect_name", "layers" (only when a nested effect was written) and
/// "layer_range" (only on a nested effect with a valid range). Read: "visible",
/// "layer_range", "effect_name"; "layers" at traversal.
struct EffectKeys {
    static constexpr const char* visible = "visible";
    static constexpr const char* name = ObjectKeys::name;
    static constexpr const char* effectName = "effect_name";
    static constexpr const char* layers = "layers";
    static constexpr const char* layerRange = "layer_range";
};

/// What the drawn layers of an annotation (paint strokes and text captions) write
/// after the effect members, and read after them, in this order. Their colour,
/// "rgba", is a member of each drawn layer's own list.
struct LayerKeys {
    static constexpr const char* hold = "hold";
    static constexpr const char* ghost = "ghost";
    static constexpr const char* ghostBefore = "ghost_before";
    static constexpr const char* ghostAfter = "ghost_after";
    /// A list of colour components, written as doubles.
    static constexpr const char* rgba = "rgba";
};

} // namespace ZEM_0_81::rapidotio::keys
