#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "rapidotio/keys/ClipKeys.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSourceNode.h"

#include <cstdint>

namespace ZEM_0_81::Interchange {

/// The media references of a clip: one per media input of the source, keyed in
/// the clip's "media_references" ("DEFAULT_MEDIA" for the primary input, the
/// clip's active reference; "MEDIA_2", "MEDIA_3", ... for the others).
///
/// An input whose source information names a first sequence is an
/// "ExternalReference.1" whose "target_url" is that sequence; any other input is a
/// "MissingReference.1". Both carry the input's "available_range" (its available
/// start and length at its own rate) and, when the input's resolution has all of
/// its bounds, "available_image_bounds" (the box they span). "metadata" → "zem"
/// ("ZEM_SCHEMA": "ClipNodeMediaReferenceMetadata.1") holds the rest:
///
///     "input": I                  the input's place among the source's inputs (not for the
///     primary) "fcm": S                    its frame-rate text, when the range's rate does not
///     name it "media_type": I             when not the layer's "flag": false               when
///     the input's flag is off "source_info": INFO|null    {"sequences": [S, ...] (when not just
///     the target URL),
///                                  "source_type": I, "file_type": I, "path": S,
///                                  "original_source_uid": S, "properties"}
///     resolution members          see ResolutionJson ("resolution": null when there is none)
///     "has_audio": B, "audio_sample_rate": D, "num_audio_channels": I
///                                 the audio properties, when there are any ("audio_properties")
///     "extra_data": [[KEY, VALUE], ...]   in order ([KEY, VALUE, PROPERTIES] for an entry
///                                 with properties); survives readers that sort keys
///     "properties"                the input's properties
namespace MediaReferenceSchema {

constexpr const char* kExternalReference = rapidotio::keys::MediaReferenceKeys::schema;
constexpr const char* kMissingReference = "MissingReference.1";
constexpr const char* kTargetUrl = rapidotio::keys::MediaReferenceKeys::targetUrl;
constexpr const char* kAvailableRange = rapidotio::keys::MediaReferenceKeys::availableRange;
constexpr const char* kAvailableImageBounds = "available_image_bounds";
constexpr const char* kDefaultKey = "DEFAULT_MEDIA";

/// The key of input `index` in a clip's "media_references" when it keeps none
/// of its own.
std::string keyOf(std::uint32_t index);

/// The keys of the inputs of `source` in its clip's "media_references", in order:
/// the key each reference came under when it was another tool's own ("HIGH_RES",
/// "PROXY"), else keyOf(its index); never the same twice.
std::vector<std::string> keysOf(const DmSourceNode& source);

/// Writes input `index` of a source, whose clip is written with the source range
/// `clipRange`, as a reference object. Throws Json::Exception with
/// JsonGenerationFailed for an input kind this system does not define.
void write(OtioWriter& writer, const DmSourceNode::Input& input, std::uint32_t index,
           eDmTreeMediaType layerMediaType, const TimeRange& clipRange);

/// What a reference's reader assumes where the reference says nothing.
struct Defaults {
    eDmTreeMediaType mediaType = eDmMediaUnset;
    /// The clip's source range, standing in for a reference without a range.
    bool hasRange = false;
    TimeRange range = kZeroRange;
};

/// One reference as read: a new input and its place among the source's inputs
/// ("input"; -1 when the reference does not say).
struct InputRead {
    CoSharedPtr<DmSourceNode::MediaInput> input;
    std::int64_t place = -1;
};

/// The input OTIO puts in place of a clip's absent media reference (a missing
/// reference): no source information, the clip's range as its available range.
CoSharedPtr<DmSourceNode::MediaInput> missing(const Defaults& defaults);

/// Reads the reference `reference` (entered by the caller), found under `key` in
/// its clip's "media_references" (null for a "Clip.1"'s one reference); a key
/// that is not one of this system's own is kept to be written back. A reference
/// of a schema other than the two above still gives an input, without source
/// information, and is reported as a loss.
InputRead read(ReadContext& context, const Value& reference, const Value* key,
               const Defaults& defaults);

} // namespace MediaReferenceSchema

} // namespace ZEM_0_81::Interchange
