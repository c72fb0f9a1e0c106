#pragma once

#include "interchange/AscCdl.h"

class DmLookSettings;
class DmSegmentNode;

namespace ZEM_0_81::Interchange::Clips {

/// The look of a clip in the edit tree: the first DmLookSettings among its
/// segment's effects (the one the dialects' writers write first), or null.
DmLookSettings* lookOf(const DmSegmentNode& segment);

/// The slope, offset, power and saturation of `look`.
AscCdl::Look valuesOf(const DmLookSettings& look);

} // namespace ZEM_0_81::Interchange::Clips
