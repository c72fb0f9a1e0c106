#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/ItemPlacement.h"
#include "rapidotio/keys/GapKeys.h"

class DmGapNode;

namespace ZEM_0_81::Interchange {

/// "Gap.1": empty time on a track. It stands for two things:
///
/// - a gap segment of the edit tree, lasting its record length at the
///   composition rate, with its effects; "metadata" → "zem" ("ZEM_SCHEMA":
///   "Gap.1") only when the segment has more to say (SegmentDescription);
/// - a filler: time between two segments of a layer (or before the first) that
///   the edit tree leaves empty, so that every segment sits at its record time in
///   the track. Fillers are marked "metadata" → "zem" → "ZEM_SCHEMA": "Filler.1"
///   and bring nothing into the edit tree when read back.
namespace GapSchema {

constexpr const char* kType = "Gap";
constexpr const char* kSchema = rapidotio::keys::GapKeys::schema;
/// The schema of a gap's "zem" metadata: the name of the gap's own.
constexpr const char* kZemSchema = kSchema;
constexpr const char* kFillerZemSchema = "Filler.1";

void write(OtioWriter& writer, const DmGapNode& gap, const ItemPlacement& placement);
/// A filler of `frames` frames at `compositionRate`.
void writeFiller(OtioWriter& writer, double frames, double compositionRate);

/// Reads the gap `gap` (entered by the caller) at `cursor`, which it advances.
ItemRead read(ReadContext& context, const Value& gap, const std::string& schema,
              LayerCursor& cursor);

} // namespace GapSchema

} // namespace ZEM_0_81::Interchange
