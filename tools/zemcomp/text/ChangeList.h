#pragma once

// What `zemcomp compare` prints of two cuts compared: the change list as a
// table with a summary line, or as one JSON object.

#include "interchange/CutComparison.h"

#include <string>

namespace zemcomp {

/// For each pair of tracks, a heading ("track V1 -> V1") and a table of its
/// clips in record order, indented by two spaces: the change and what else
/// changed, each side's record in as timecode, the head, tail and shift
/// frames (signed), each side's name and the media ("OLD -> NEW" when they
/// differ).
std::string changeTable(const ZEM_0_81::CutComparison::Result& result);

/// "12 clips: 7 same, 2 moved, 1 trimmed, 1 added, 1 removed": the clips
/// listed, and how many of each change (those of none left out); "no clips"
/// when there is none.
std::string changeSummary(const ZEM_0_81::CutComparison::Result& result);

/// The change list as one JSON object, without a line end:
/// {"old":F,"new":F,"tracks":[{"old":NAME|null,"new":NAME|null,"changes":[
///  {"change":W,"also":[W...],"old":ITEM|null,"new":ITEM|null,"head":H,
///  "tail":T,"shift":S}...]}...]}, each ITEM the object `list --json` gives
/// for the item.
std::string changeJson(const ZEM_0_81::CutComparison::Result& result, const std::string& oldFile,
                       const std::string& newFile);

} // namespace zemcomp
