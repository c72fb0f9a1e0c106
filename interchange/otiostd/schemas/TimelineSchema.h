#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "rapidotio/keys/TimelineKeys.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmCompositionNode.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace ZEM_0_81::Interchange {

/// "Timeline.1": a composition. Its "name" is the composition's,
/// "global_start_time" its start timecode at the rate of its start-timecode
/// frame-rate text, and "tracks" one stack holding every layer (StackSchema).
/// "metadata" → "zem" ("ZEM_SCHEMA": "Composition.1"):
///
///     "fcm": S             the composition's frame-rate text; record values count
///                          frames at its rate
///     "start_tc_fcm": S    the start timecode's frame-rate text, when not "fcm"
///     "length": D          the composition's length
///     "resolution": RES    its resolution, or null (ResolutionJson)
///     "reel": I            the reel holding it, when not the first (DocumentSchema)
///     "properties", "before" (other nodes of the reel before it), "after" (other
///     nodes of the composition after its last track)
///
/// A timeline without that description (not written by this system) is read at
/// the rate that holds its times in whole frames (OtioTiming::timelineTiming).
namespace TimelineSchema {

constexpr const char* kType = "Timeline";
constexpr const char* kSchema = rapidotio::keys::TimelineKeys::schema;
constexpr const char* kZemSchema = "Composition.1";
constexpr const char* kReel = "reel";

/// Writes `composition`, in reel `reel`, after the other nodes `before` of that
/// reel. `more` writes further members of the description (the document's own,
/// on a document's only timeline), or is empty.
void write(OtioWriter& writer, const DmCompositionNode& composition, std::uint32_t reel,
           const std::vector<const DmTreeNode*>& before,
           const std::function<void(OtioWriter&)>& more);

/// A composition as read, with what the document's reader needs to place it.
struct CompositionRead {
    CoSharedPtr<DmCompositionNode> composition;
    std::uint32_t reel = 0;
    std::vector<CoSharedPtr<DmTreeNode>> before;
};

/// Reads the timeline `timeline` (entered by the caller).
CompositionRead read(ReadContext& context, const Value& timeline);

} // namespace TimelineSchema

} // namespace ZEM_0_81::Interchange
