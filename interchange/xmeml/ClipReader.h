#pragma once

#include "interchange/xmeml/SequenceContext.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTypes.h"

#include <pugixml.hpp>

#include <cstdint>

namespace ZEM_0_81::Interchange::Fcp7 {

/// Turns a "clipitem" or "generatoritem", placed on its track, into the segment
/// that plays it: a source whose media input is the clip's file (given in full
/// or by id), its source range the clip's in point on the file's own timecode,
/// at the clip's rate; with its name, its markers as review notes, a Time Remap
/// kept as a speed, "enabled" FALSE kept, and every element the edit tree has
/// no place for kept to be written back as it came (XmemlKept). A generator is
/// a clip without media standing for generated media, a nested sequence an
/// offline clip of its name, both kept as they came. What does not play as the
/// document says is reported.
class ClipReader {
public:
    ClipReader(const SequenceContext& context, eDmTreeMediaType mediaType)
        : m_context(context), m_mediaType(mediaType) {}

    /// The segment playing `item` from record frame `start` to `end` (later),
    /// counted from the sequence's start at its rate.
    CoSharedPtr<DmSegmentNode> read(const pugi::xml_node& item, std::int64_t start,
                                    std::int64_t end) const;

    /// The rate `item` counts its in and out points at: its own, else its
    /// file's, else the sequence's.
    FrameRate rateOf(const pugi::xml_node& item) const;

private:
    const SequenceContext& m_context;
    eDmTreeMediaType m_mediaType;
};

} // namespace ZEM_0_81::Interchange::Fcp7
