#pragma once

#include "interchange/AscCdl.h"
#include "interchange/TimelineSegments.h"
#include "interchange/clips/ClipLook.h"

class DmLookSettings;
class DmSegmentNode;

namespace ZEM_0_81::Interchange::Cdl {

using Clips::lookOf;
using Clips::valuesOf;

/// What giving a clip a look did.
struct LookChange {
    bool hadLook = false;
    bool changed = false;
};

/// Gives `segment` the values `values`: its look takes them, or a new look is
/// added after its other effects when it has none.
LookChange setLook(DmSegmentNode& segment, const AscCdl::Look& values);

/// The looks of the clips of `view`, whose segments are `segments`, in order.
std::vector<AscCdl::ClipLook> clipLooks(const TimelineView& view, const TimelineSegments& segments);

} // namespace ZEM_0_81::Interchange::Cdl
