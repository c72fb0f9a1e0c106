#pragma once

// The picture of two cuts compared: each pair of tracks drawn as two rows, the
// old above the new on one time ruler, each clip coloured and lettered by its
// change and joined to its partner by a band. TimelinePicture lays out the
// rows; this adds the tags and the bands.

#include "interchange/CutComparison.h"
#include "tools/zemcomp/picture/TimelinePicture.h"

#include <string>

namespace zemcomp::ComparePicture {

/// Room between an old row and its new one, where the bands go, and below
/// each pair of rows.
constexpr double kBandSpace = 36.0;
constexpr double kPairSpace = 10.0;

/// The mark of a change: "=" same (light grey), "↔" moved (sky blue), "T"
/// trimmed (orange), "S" slipped (yellow), "V" version (reddish purple), "A"
/// added (bluish green, dotted), "R" removed (vermillion, hatched).
PictureTag tagOf(ZEM_0_81::CutComparison::Change change);

/// Lays out `result` by `options` (its width and range; the range in frames of
/// the new cut): the old cut's times counted from its start at the new cut's
/// rate, so that both share the ruler; the title names both cuts, `oldName`
/// and `newName`.
TimelinePicture layout(const ZEM_0_81::CutComparison::Result& result, PictureOptions options,
                       const std::string& oldName, const std::string& newName);

} // namespace zemcomp::ComparePicture
