#pragma once

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Track.1", members in the order they are written: "name", "OTIO_SCHEMA",
/// "children", "kind" (only when the kind has a text). The kind texts are written
/// as they stand here and read ignoring letter case.
struct TrackKeys {
    static constexpr const char* schema = "Track.1";
    static constexpr const char* name = ObjectKeys::name;
    static constexpr const char* children = ObjectKeys::children;
    static constexpr const char* kind = "kind";
    static constexpr const char* video = "Video";
    static constexpr const char* audio = "Audio";
};

} // namespace ZEM_0_81::rapidotio::keys
