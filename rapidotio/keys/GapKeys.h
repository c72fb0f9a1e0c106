#pragma once

#include "rapidotio/keys/ItemKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Gap.1", members in the order they are written: "name", "OTIO_SCHEMA",
/// "effects", "source_range", "metadata" (always an empty object). Read:
/// "source_range"; "effects" at traversal.
struct GapKeys {
    static constexpr const char* schema = "Gap.1";
    static constexpr const char* name = ItemKeys::name;
    static constexpr const char* effects = ItemKeys::effects;
    static constexpr const char* sourceRange = ItemKeys::sourceRange;
    static constexpr const char* metadata = ItemKeys::metadata;
};

} // namespace ZEM_0_81::rapidotio::keys
