#pragma once

#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "rapidotio/keys/StackKeys.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmTrackNode.h"

#include <vector>

namespace ZEM_0_81::Interchange {

/// "Stack.1": a timeline's "tracks". Exactly one per timeline; its children are
/// the Tracks of every layer of every edit-tree track of the composition, track
/// after track (TrackSchema). The edit-tree tracks themselves are described in its
/// "metadata" → "zem" ("ZEM_SCHEMA": "Tracks.1"), one entry per track, each
/// layer's Track naming its entry by place:
///
///     "tracks": [{"name": S, "index": I, "media_type": I, "properties",
///                 "before": (other nodes of the composition before the track),
///                 "after": (other nodes of the track after its last layer)}, ...]
///
/// A stack without that description (not written by this system) stands for
/// one edit-tree track holding every Track.
namespace StackSchema {

constexpr const char* kType = "Stack";
constexpr const char* kSchema = rapidotio::keys::StackKeys::schema;

/// Writes the stack of a composition whose tracks are `tracks` (each with the
/// other nodes before it); record values count frames at `compositionRate` from
/// `recordBase`.
void write(OtioWriter& writer, const ChildGroups& tracks, double compositionRate,
           double recordBase);

/// An edit-tree track as read, with the other nodes of its composition before it.
struct TrackRead {
    CoSharedPtr<DmTrackNode> track;
    std::vector<CoSharedPtr<DmTreeNode>> before;
};

/// Where the content of a stack of another tool starts after its timeline's
/// "global_start_time", in frames at `compositionRate`: the record offset the
/// stack's trim names plus the least of those its tracks' trims name
/// (TrackTrim::recordOffsetOf; 0 for a track with content and another trim or
/// none). 0 when no trim names one. A timeline read from an EDL by the
/// OpenTimelineIO library starts so at the list's first record in.
double leadOf(const Value& stack, double compositionRate);

/// The tracks of the stack `stack` (entered by the caller), and through `end`
/// where the latest layer ends (frames at the composition rate). The stack's
/// trim is applied to every track as OTIO applies it (TrackTrim); one lasting
/// past every track ends the first layer in a gap; one naming a record offset
/// moves every track's items by it. `recordBase` is the composition's start,
/// `lead` (leadOf) frames after "global_start_time". With `rounds`, record
/// times are rounded to the nearest frame (LayerCursor::rounds).
std::vector<TrackRead> read(ReadContext& context, const Value& stack, double compositionRate,
                            double recordBase, double lead, bool rounds, double& end);

} // namespace StackSchema

} // namespace ZEM_0_81::Interchange
