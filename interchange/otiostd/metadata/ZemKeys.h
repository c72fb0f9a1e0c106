#pragma once

// Member names of the "zem" descriptions of standard OTIO (what this system
// writes under "metadata" → "zem") that descriptions of several schemas share.
// A member that one schema alone writes is declared where that schema is read
// and written; the product dialect's own names, which descriptions reuse, are
// rapidotio/keys' (ClipMetadataKeys, MediaMetadataKeys, ...).

namespace ZEM_0_81::Interchange::ZemKeys {

/// An edit-tree media type (eDmTreeMediaType) of a segment, layer, track or
/// media input, when not the one its OTIO object implies.
constexpr const char* kMediaType = "media_type";
/// A frame-rate text ("23.976"): of a composition, or of a media input.
constexpr const char* kFcm = "fcm";
/// A length in frames: of a composition, or of a layer.
constexpr const char* kLength = "length";
/// A frame resolution (ResolutionJson): of a composition, or of a media input.
constexpr const char* kResolution = "resolution";
/// The place of an edit-tree track among its composition's, by which a layer's
/// Track names the track's entry in the stack's description.
constexpr const char* kIndex = "index";

} // namespace ZEM_0_81::Interchange::ZemKeys
