#pragma once

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Stack.1", written under the timeline's "tracks": "OTIO_SCHEMA", "children".
/// Its name is read but not written.
struct StackKeys {
    static constexpr const char* schema = "Stack.1";
    static constexpr const char* children = ObjectKeys::children;
};

} // namespace ZEM_0_81::rapidotio::keys
