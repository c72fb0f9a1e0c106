#pragma once

#include "interchange/xmeml/ClipReader.h"
#include "interchange/xmeml/SequenceContext.h"

#include "outside/dmtree/DmTypes.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

class DmTrackNode;

namespace ZEM_0_81::Interchange::Fcp7 {

/// Reads one "track" of a sequence into layers of the edit tree: its clips and
/// generators at their record frames (a start or end of -1 resolved at the cut
/// of the transition beside it, by its start, end, alignment or cutPointTicks),
/// gaps where nothing plays and a plain cut between every two segments; its
/// transitions kept on the segment after their cut; an item overlapping what
/// the track holds before it on an extra layer ("V1 (2)"), reported; the
/// track's attributes and other children kept as they came.
class TrackReader {
public:
    TrackReader(const SequenceContext& context, eDmTreeMediaType mediaType)
        : m_context(context), m_mediaType(mediaType), m_clips(context, mediaType) {}

    /// Adds the layers of `track`, named `name` (extra ones "NAME (2)", ...), to
    /// `into`, their indexes from `index` on (which it advances). `end` grows to
    /// the latest record frame placed (counted from the sequence's start).
    void read(const pugi::xml_node& track, const std::string& name, DmTrackNode& into,
              std::int32_t& index, std::int64_t& end) const;

private:
    const SequenceContext& m_context;
    eDmTreeMediaType m_mediaType;
    ClipReader m_clips;
};

} // namespace ZEM_0_81::Interchange::Fcp7
