#pragma once

// The member names that every schema object of the product's OTIO dialect may
// carry, and those of the product's metadata container. The per-schema key
// headers beside this one refer to these instead of spelling them again.

namespace ZEM_0_81::rapidotio::keys {

/// Members common to the dialect's schema objects.
struct ObjectKeys {
    /// The schema of an object: its type word, a dot and its version.
    static constexpr const char* schema = "OTIO_SCHEMA";
    static constexpr const char* name = "name";
    static constexpr const char* metadata = "metadata";
    /// The child array of nodes that have no key of their own for it.
    static constexpr const char* children = "children";
};

/// The product's metadata containers under "metadata".
struct MetadataKeys {
    /// The container this system reads and writes.
    static constexpr const char* zem = "zem";
    /// The schema of a "zem" container, written first and never read.
    static constexpr const char* zemSchema = "ZEM_SCHEMA";
    /// Production-tracking records, read on clips and media references only.
    static constexpr const char* zm = "zm";
};

/// The top level of a document.
struct DocumentKeys {
    /// The member that holds the timeline when the document is not the timeline itself.
    static constexpr const char* timeline = "timeline";
};

} // namespace ZEM_0_81::rapidotio::keys
