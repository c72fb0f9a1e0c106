#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/TimeSchema.h"

class DmSegmentNode;

namespace ZEM_0_81::Interchange {

/// "Marker" (every version): a marked range of a clip or a gap, with a name, a
/// colour and a comment. The edit tree keeps it as a review note (ReviewNotes): an annotation
/// of the segment holding one text layer, whose one caption (the name, and the
/// comment after ": " when there is one) shows over the marked range in the
/// marker's colour. The layer's frame range is the marked range in record frames
/// (a marker lasting no frame shows for one); a marker without a usable range is
/// given the whole segment's (OTIO requires one), and is reported.
///
/// The annotation keeps the marker as it came (ForeignMembers::kMarkerId), its
/// range counted from where the item's range starts as this system writes it, so
/// that writing the segment gives the marker back as it was; a note changed since
/// (its range, caption or colour) is written as a new marker saying what the note
/// says, of the version the written release reads (SchemaVersions):
/// its colour the named colour nearest to the note's ("Marker.2"), or the note's
/// own in a "Color.1" ("Marker.3"), named when it is one OTIO names.
namespace MarkerSchema {

constexpr const char* kType = "Marker";

/// Where a segment's markers are counted from.
struct ItemTime {
    /// Where the item's range starts, as the OTIO item shows it when read...
    RationalTime actualStart = kZeroTime;
    /// ...and as this system writes it (a clip's source-in, 0 for a gap).
    RationalTime writtenStart = kZeroTime;
    /// The segment's record-in and length, in frames at the composition rate.
    double recordIn = 0.0;
    double recordLength = 0.0;
    double compositionRate = 0.0;
};

/// Reads the markers of `item` into review notes of `segment`; anything in
/// "markers" that is not a marker is reported and left out.
void readAll(const Members& item, const ItemTime& time, DmSegmentNode& segment);

/// Turns `marker` (another tool's, kept as it came) into "Marker." `version`,
/// as the OpenTimelineIO library upgrades and downgrades markers: a "Marker.1"'s
/// "range" becomes "marked_range"; towards 3 a colour name becomes the
/// "Color.1" it names (white, keeping the name, for a name OTIO does not know);
/// towards 2 a "Color.1" becomes its name (in capitals when OTIO knows it), or
/// the name OTIO knows nearest its components when it has none.
void convert(Value& marker, rapidotio::Allocator& allocator, int version);

/// Writes "markers": the segment's notes that stand for markers, in order.
void writeAll(OtioWriter& writer, const DmSegmentNode& segment, const ItemTime& time);

} // namespace MarkerSchema

} // namespace ZEM_0_81::Interchange
