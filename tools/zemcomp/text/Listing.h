#pragma once

// What `zemcomp list` prints of a composition's timeline view: tables of its
// tracks, clips, media or review notes, or the whole view as JSON.

#include "interchange/AscCdl.h"
#include "interchange/TimelineView.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>
#include <vector>

namespace zemcomp {

/// Which table `list` prints.
enum class ListSelection { Clips, Tracks, Media, Notes, Looks };

/// A one-line description of the view: name, rate, start, duration and the
/// number of tracks ("\"Short cut\" at 24 fps, start 01:00:00:00 ...").
std::string viewHeadline(const ZEM_0_81::TimelineView& view);

/// The table `selection` names, indented by two spaces, with one line per
/// track, clip or gap, media input, or note or paint layer. The clips table
/// shows each of a track's transitions as a line of type "transition" before
/// the item it leads into, spanning its offsets around the cut.
std::string listText(const ZEM_0_81::TimelineView& view, ListSelection selection);

/// The looks table: one line per clip with a CDL look (ZEM_0_81::AscCdl::looks),
/// its record range and its slope, offset and power (red, green, blue) and
/// saturation, each value as the shortest text that reads back to it.
std::string looksTable(const ZEM_0_81::TimelineView& view,
                       const std::vector<ZEM_0_81::AscCdl::ClipLook>& looks);

/// The view as one JSON object, without a line end:
/// {"file":F,"dialect":D,"name":N,"rate":[NUM,DEN],"start":S,"duration":D,
///  "tracks":[{"name":N,"kind":K,"items":[{"type":"clip"|"gap","name":N,
///  "record":{"start":S,"duration":D},"source":{"start":S,"duration":D,
///  "rate":[NUM,DEN]},"media":[PATH...],"effects":[KIND...],"notes":[{"text":T,
///  "start":S,"duration":D,...}],...}]}]}. Record frames are absolute at the
/// composition's rate; a source duration that is not a whole number of frames
/// is written as a decimal number, an unknown source start as null. A track
/// with transitions also has "transitions":[{"name":N,"type":T,"cut":C,
/// "in_offset":I,"out_offset":O,"record":{"start":S,"duration":D}}...].
std::string listJson(const ZEM_0_81::TimelineView& view, const std::string& file,
                     const std::string& dialect);

/// Writes one item's object of listJson ({"type":"clip"|"gap","name":N,...})
/// as the next value of `writer`.
void writeItemJson(rapidjson::Writer<rapidjson::StringBuffer>& writer,
                   const ZEM_0_81::TimelineItem& item);

} // namespace zemcomp
