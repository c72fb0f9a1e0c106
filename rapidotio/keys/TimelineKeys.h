#pragma once

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Timeline.1", members in the order they are written: "tracks" (the stack),
/// "name", "OTIO_SCHEMA", "metadata", "global_start_time". Read:
/// "global_start_time", then "metadata" → "zem" → "version"; "tracks" at traversal.
struct TimelineKeys {
    static constexpr const char* schema = "Timeline.1";
    static constexpr const char* tracks = "tracks";
    static constexpr const char* name = ObjectKeys::name;
    static constexpr const char* metadata = ObjectKeys::metadata;
    static constexpr const char* globalStartTime = "global_start_time";
};

/// "TimelineMetadata.1", the timeline's "metadata" → "zem": "ZEM_SCHEMA", "version".
struct TimelineMetadataKeys {
    static constexpr const char* zemSchema = "TimelineMetadata.1";
    static constexpr const char* version = "version";
};

} // namespace ZEM_0_81::rapidotio::keys
