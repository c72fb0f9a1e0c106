#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "rapidotio/keys/TrackKeys.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmLayerNode.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ZEM_0_81::Interchange {

/// "Track.1": a layer of the edit tree. Every layer of every edit-tree track is
/// one Track of the timeline's one stack, so that OTIO tools see the layers as
/// the timeline's tracks; "kind" is "Audio" for an audio layer and "Video"
/// otherwise.
///
/// Its children are the layer's sources (ClipSchema) and gaps (GapSchema) in
/// order, with a filler gap wherever the record time of a segment is later than
/// the end of the one before (the first one: the composition's start), so that
/// each clip sits at its record time in OTIO's view of the timeline. The cut
/// between two segments is not shown: the reader puts one back between every two
/// segments; any other cut is kept in the next segment's "before".
///
/// A layer whose first segment starts before the composition's start (which
/// the edit tree allows) is written with a "source_range" starting that many
/// frames into the track ("lead_in"), so that OTIO sees every item where the
/// edit tree has it, the part before the start hidden as the edit tree does not
/// play it either; read back, a trim starting at the layer's "lead_in" only
/// moves the items back. Any other trim is applied as OTIO applies it
/// (TrackTrim), and the layer is written back without one.
///
/// "metadata" → "zem" ("ZEM_SCHEMA": "Layer.1"):
///
///     "track": I         which edit-tree track the layer belongs to (its place in the
///                        stack's "tracks")
///     "index": I         the layer's index
///     "start_tc": D, "length": D     the layer's start and length
///     "media_type": I    when not what "kind" says (2 for audio, 1 otherwise)
///     "parameter": I     when not 0
///     "first_layer": B   when not (index is 0)
///     "lead_in": D       the frames its first segment starts before the
///                        composition's start, when it does (see below)
///     "properties", "before" (other nodes of the track before this layer),
///     "after" (the cuts and other nodes after the layer's last segment)
namespace TrackSchema {

constexpr const char* kType = "Track";
constexpr const char* kSchema = rapidotio::keys::TrackKeys::schema;
constexpr const char* kKind = rapidotio::keys::TrackKeys::kind;
/// The member of a Track's description naming its edit-tree track.
constexpr const char* kTrack = "track";
constexpr const char* kVideo = rapidotio::keys::TrackKeys::video;
constexpr const char* kAudio = rapidotio::keys::TrackKeys::audio;

/// Writes `layer` as the Track of edit-tree track `track`. `before` are the other
/// nodes of that track before the layer; record values count frames at
/// `compositionRate` from `recordBase`, the composition's start.
void write(OtioWriter& writer, const DmLayerNode& layer, std::uint32_t track,
           const std::vector<const DmTreeNode*>& before, double compositionRate, double recordBase);

/// How the stack times the tracks it holds, as read.
struct StackTiming {
    /// Record values count frames at this rate, from `recordBase` (the
    /// composition's start).
    double compositionRate = 0.0;
    double recordBase = 0.0;
    /// The stack's own trim ("source_range"), which every track shows through.
    std::optional<TrackTrim::Range> trim;
    /// Frames every track's items land later than the trims alone put them:
    /// the stack's record offset (TrackTrim::recordOffsetOf) less the frames
    /// the composition starts after "global_start_time" (StackSchema::leadOf).
    double moved = 0.0;
    /// Record times are rounded to the nearest frame (LayerCursor::rounds).
    bool rounds = false;
};

/// A layer as read, with what the stack's reader needs to place it.
struct LayerRead {
    CoSharedPtr<DmLayerNode> layer;
    /// The edit-tree track it belongs to; -1 when the Track does not say.
    std::int64_t track = -1;
    std::vector<CoSharedPtr<DmTreeNode>> before;
    /// Where its last item ends, in frames at the composition rate.
    double end = 0.0;
};

/// Reads the Track `track` (entered by the caller), timed by `stack`, with its
/// trim applied as OTIO applies it (TrackTrim). `position` is its place among
/// the Tracks, the index a Track without a description gets.
LayerRead read(ReadContext& context, const Value& track, const std::string& schema,
               std::uint32_t position, const StackTiming& stack);

} // namespace TrackSchema

} // namespace ZEM_0_81::Interchange
