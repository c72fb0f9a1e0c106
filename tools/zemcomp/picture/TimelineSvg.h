#pragma once

#include "tools/zemcomp/picture/TimelinePicture.h"

#include <string>

namespace zemcomp::TimelineSvg {

/// The picture as one self-contained SVG document: its styles, patterns and
/// icon inside, no scripts, fonts or images from elsewhere. Every clip, gap,
/// merged block and note is one group ("clip", "gap", "merged", "note") whose
/// first shape is its box, with its details in a <title> tooltip. The same
/// picture always gives the same bytes.
std::string write(const TimelinePicture& picture);

} // namespace zemcomp::TimelineSvg
