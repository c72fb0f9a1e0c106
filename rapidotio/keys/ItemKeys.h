#pragma once

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// What clips and gaps, the items of a track, have in common. Both write "name",
/// "OTIO_SCHEMA", "effects" and "source_range" first, in this order.
struct ItemKeys {
    static constexpr const char* name = ObjectKeys::name;
    static constexpr const char* effects = "effects";
    static constexpr const char* sourceRange = "source_range";
    static constexpr const char* metadata = ObjectKeys::metadata;
};

} // namespace ZEM_0_81::rapidotio::keys
