#pragma once

// The words of a timeline picture: timecodes, rates, counts and the tooltips
// of clips, gaps, notes, paint and effects.

#include "interchange/TimelineView.h"
#include "tools/zemcomp/text/TimeText.h"

#include <cstdint>
#include <string>

namespace zemcomp::TimelineCaptions {

/// "01:00:00:00" (drop-frame "01:00:00;00", between two frames of the picture
/// "~01:00:00:09"; see Clock); "frame N" when the rate is unknown.
std::string timecode(std::int64_t frames, const Clock& clock);

/// "24 fps", "23.976 fps", "29.97 fps drop-frame"; "unknown rate" for 0/1.
std::string rate(const ZEM_0_81::Rational& rate);

/// "1 clip", "3 clips".
std::string count(std::uint64_t n, const char* one, const char* many);

/// "01:00:00:00 for 48 frames (86400 to 86447)": where a range plays.
std::string range(const ZEM_0_81::FrameRange& range, const Clock& clock);

/// "Compositing (Comp)", "Look (CDL), switched off", …
std::string effect(const ZEM_0_81::TimelineEffect& effect);

/// "sh010 at 01:00:00:00 for 48 frames (86400 to 86447)": an item's name
/// ("(gap)" or "(clip)" when it has none) and where it plays.
std::string itemLine(const ZEM_0_81::TimelineItem& item, const Clock& clock);

/// A clip's or gap's tooltip: name and kind, record and source ranges, media,
/// effects, notes and paint, one per line.
std::string item(const ZEM_0_81::TimelineItem& item, const Clock& clock);

/// A note's tooltip: its text, the item it is on, where it shows.
std::string note(const ZEM_0_81::TimelineNote& note, const ZEM_0_81::TimelineItem& on,
                 const Clock& clock);

/// The tooltip of an item's paint icon: each paint layer's strokes, points and
/// range.
std::string paint(const ZEM_0_81::TimelineItem& item, const Clock& clock);

} // namespace zemcomp::TimelineCaptions
