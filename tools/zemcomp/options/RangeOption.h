#pragma once

// The --range option: which frames of a timeline to draw, as "START-END".

#include "interchange/TimelineView.h"
#include "tools/zemcomp/text/TimeText.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace zemcomp {

/// A range as given: START and END, each a whole frame number ("86400") or a
/// timecode ("01:00:04:00", drop-frame "00:10:00;00").
struct RangeText {
    std::string start;
    std::string end;
};

/// Splits "START-END" at the '-' between the two (a leading '-' is START's
/// sign); nothing when either part is empty or is neither a whole number nor
/// shaped like a timecode.
std::optional<RangeText> splitRange(const std::string& text);

/// A check for the option's value: its shape, by splitRange. Any other value
/// is a usage error.
CLI::Validator rangeShape();

/// The frame a timecode "[-]H:MM:SS:FF" (or ";FF") names at `rate`,
/// drop-frame at 29.97 and 59.94 as Timecode::format writes it. Nothing, with
/// `error` set, when the rate is unknown, a field is out of its range (minutes
/// and seconds below 60, frames below the timecode's frames per second), the
/// frame number is one that drop-frame timecode skips, or the frame does not
/// fit 64 bits.
std::optional<std::int64_t> parseTimecode(const std::string& text, const ZEM_0_81::Rational& rate,
                                          std::string& error);

/// The frames `text` names at `clock`'s rate: from START for END - START
/// frames, END being the first frame not drawn. A timecode counts as the clock
/// shows timecodes (the picture's frames, on a timeline timed at its sound's
/// sample rate), a whole number is a frame at the clock's rate. Nothing, with
/// `error` set ("--range: …"), when a part does not name a frame or END is not
/// after START.
std::optional<ZEM_0_81::FrameRange> resolveRange(const std::string& text, const Clock& clock,
                                                 std::string& error);

} // namespace zemcomp
