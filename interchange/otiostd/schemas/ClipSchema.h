#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/ItemPlacement.h"
#include "rapidotio/keys/ClipKeys.h"

#include <string>
#include <vector>

class DmSourceNode;

namespace ZEM_0_81::Interchange {

/// "Clip.2": a source segment. What the OpenTimelineIO library sees:
///
/// - "source_range": where the segment starts in its media (its source-in
///   counted from the start of the primary input's available range, plus that
///   start) and how long it plays, at the primary input's rate; when the record
///   length does not convert to that rate exactly, the duration is given at the
///   composition rate instead (OTIO allows each time its own rate);
/// - "media_references": one per media input (MediaReferenceSchema), the
///   primary input under "active_media_reference_key" "DEFAULT_MEDIA";
/// - "effects": the segment's effects (EffectSchema).
///
/// "metadata" → "zem" ("ZEM_SCHEMA": "ClipMetadata.1") holds the clip identity
/// as the product writes it ("entity", "paths"; written for readers that know the
/// product's metadata, not read back: the inputs carry it), the segment id as
/// "id", and what else the item does not show:
///
///     "rel_in": D             the source-in, when the start does not give it back exactly
///     "flags": [B, B]         the source's two flags, when not [true, false]
///     "no_input": true        a source without any input (its one reference is a placeholder)
///     and the members of SegmentDescription
///
/// Read back, "Clip.1" (one "media_reference") is taken as OTIO upgrades it: that
/// reference under "DEFAULT_MEDIA".
namespace ClipSchema {

constexpr const char* kType = "Clip";
constexpr const char* kSchema = "Clip.2";
/// The clip of OpenTimelineIO 0.14 and before: one "media_reference".
constexpr const char* kOlderSchema = "Clip.1";
constexpr const char* kMediaReferences = "media_references";
constexpr const char* kActiveKey = "active_media_reference_key";
/// The one reference of "Clip.1", the product dialect's own key.
constexpr const char* kMediaReference = rapidotio::keys::ClipKeys::mediaReference;

/// Writes `source` as the clip of the writer's release (SchemaVersions): for
/// one that reads only "Clip.1", its primary input is the one
/// "media_reference", and each other input is reported as not written, at the
/// place of that member.
void write(OtioWriter& writer, const DmSourceNode& source, const ItemPlacement& placement);

/// Turns `clip` (another tool's, kept as it came) into "Clip." `version`, as the
/// OpenTimelineIO library upgrades and downgrades clips: towards 1 its active
/// reference becomes its "media_reference" and the keys of the others go to
/// `dropped`; towards 2 its "media_reference" (a missing one without it) goes
/// under "DEFAULT_MEDIA", the active key.
void convert(Value& clip, rapidotio::Allocator& allocator, int version,
             std::vector<std::string>& dropped);

/// What the report says of the reference under `key`, which a "Clip.1" has no
/// place for.
std::string droppedWhy(const std::string& key);

/// Reads the clip `clip` (entered by the caller) at `cursor`, which it advances.
ItemRead read(ReadContext& context, const Value& clip, const std::string& schema, int version,
              LayerCursor& cursor);

} // namespace ClipSchema

} // namespace ZEM_0_81::Interchange
