#pragma once

#include "interchange/LossReport.h"
#include "interchange/TimelineSegments.h"
#include "interchange/TimelineView.h"

#include <cstdint>
#include <string>

class DmCompositionNode;

namespace ZEM_0_81::Interchange::Fcpx {

/// Writes `view` (the composition `node` shows, with `segments` behind its
/// items) as an FCPXML document of version 1.`version`: its resources (one
/// format for the sequence and one for each other picture rate, an asset
/// for each media file, an effect for each title or generator), a library
/// holding one event holding one project. The first video track is the
/// primary storyline, its holes gaps, its kept transitions between its
/// items; every clip of the other tracks is connected to the item of the
/// primary storyline under its start, on the lane its track keeps (else
/// 1, 2, ... for video, -1, -2, ... for audio). What FCPXML cannot hold goes
/// to `losses` as "track NAME, TIMECODE" and the object's kind.
std::string writeDocument(const TimelineView& view, const TimelineSegments& segments,
                          const DmCompositionNode& node, std::int32_t version, LossReport& losses);

} // namespace ZEM_0_81::Interchange::Fcpx
