#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/timing/ItemPlacement.h"

namespace ZEM_0_81::Interchange {

/// The members of a segment's "zem" description that sources and gaps share:
/// what the item itself does not show of the segment.
///
///     "record_in": D       the record-in, when it does not follow from the items before
///     "record_length": D   the record length, when the item's duration does not give it exactly
///     "media_type": I      the segment's media type, when not the default
///     "segment_id": S      the segment id (gaps; a clip's id is its "id"), when not ""
///     "properties": ...    the segment's properties
///     "before": [...]      the nodes before it (ItemPlacement::before)
///     "after": [...]       its own children, which no segment has in standard OTIO
namespace SegmentDescription {

constexpr const char* kRecordIn = "record_in";
constexpr const char* kRecordLength = "record_length";
using ZemKeys::kMediaType;
constexpr const char* kSegmentId = "segment_id";

/// What a segment's description must hold besides its kind's own members.
struct Needs {
    bool recordIn = false;
    bool recordLength = false;
    bool mediaType = false;
    bool segmentId = false;
    bool properties = false;
    bool before = false;
    bool children = false;

    bool any() const {
        return recordIn || recordLength || mediaType || segmentId || properties || before ||
               children;
    }
};

/// What `segment` placed as `placement` needs written; `defaultMediaType` is what
/// the reader assumes for its kind, `recordLengthExact` whether the item's
/// duration gives the record length back exactly, `segmentIdShown` whether the
/// kind writes the segment id itself.
Needs needsOf(const DmSegmentNode& segment, const ItemPlacement& placement,
              eDmTreeMediaType defaultMediaType, bool recordLengthExact, bool segmentIdShown);

/// Writes the members `needs` names.
void write(OtioWriter& writer, const DmSegmentNode& segment, const ItemPlacement& placement,
           const Needs& needs);

/// What a description read from the input says of its segment.
struct Read {
    double recordIn = 0.0;
    double recordLength = 0.0;
    /// True when the description gave the record length.
    bool recordLengthGiven = false;
    eDmTreeMediaType mediaType = eDmMediaUnset;
    DmString segmentId;
    /// What the segment takes once it exists: its properties and its own
    /// children ("after"); see complete.
    PropertyJson::Held properties;
    std::vector<CoSharedPtr<DmTreeNode>> after;
};

/// Reads the members above from `zem` (the description, entered by the caller,
/// once): `values` holds the reader's derived values on entry and what the
/// description overrides on return; `item` receives "before".
void read(const Members& zem, Read& values, ItemRead& item);

/// Gives `segment` what its description held for it: its properties and its
/// own children.
void complete(const Read& values, DmSegmentNode& segment);

} // namespace SegmentDescription

} // namespace ZEM_0_81::Interchange
