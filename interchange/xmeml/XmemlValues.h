#pragma once

#include "outside/core/Rational.h"

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <string>

namespace ZEM_0_81::Interchange::Fcp7 {

/// The frames an xmeml document may count: starts, ends, in and out points,
/// durations and timecodes within ±2^40 (about 580 years at 60 frames a
/// second) are read, so that their sums and differences never overflow.
constexpr std::int64_t kMaxFrames = std::int64_t(1) << 40;

/// `text` without the characters XML cannot hold (control characters but
/// tab, line feed and carriage return), which a parser may have let through:
/// what the reader reads and keeps is what a writer can write back.
std::string withoutControls(std::string text);

/// True when `element` is named `name`.
inline bool named(const pugi::xml_node& element, const char* name) {
    return std::strcmp(element.name(), name) == 0;
}

/// The text of the first child element `name` of `element`, white space at
/// both ends and characters XML cannot hold taken off; empty when there is
/// none.
std::string childText(const pugi::xml_node& element, const char* name);

/// A whole number written in decimal digits with an optional sign, white space
/// around it allowed, within ±`limit`. False for anything else.
bool parseWhole(const std::string& text, std::int64_t limit, std::int64_t& value);

/// parseWhole within ±kMaxFrames.
bool parseFrames(const std::string& text, std::int64_t& value);

/// The whole number of the child element `name` of `element` (parseFrames);
/// false when there is none or it is not one.
bool childFrames(const pugi::xml_node& element, const char* name, std::int64_t& value);

/// A boolean as xmeml writes them: "TRUE" or "FALSE" (in any case), also "1"
/// and "0"; false, leaving `value` untouched, for anything else.
bool parseFlag(const std::string& text, bool& value);

/// A frame rate as xmeml writes it: a whole "timebase", and "ntsc" TRUE when
/// the rate is the timebase × 1000/1001 (30 → 30000/1001, 24 → 24000/1001).
struct FrameRate {
    std::int64_t timebase = 0;
    bool ntsc = false;

    bool isSet() const { return timebase > 0; }
    /// The exact rate: timebase/1, or timebase × 1000/1001 in lowest terms.
    Rational rational() const;
    /// Frames a second, as a double.
    double value() const;
    /// The frame-rate text the edit tree keeps ("24", "29.97").
    std::string fcm() const;
    bool operator==(const FrameRate& other) const {
        return timebase == other.timebase && ntsc == other.ntsc;
    }
    bool operator!=(const FrameRate& other) const { return !(*this == other); }
};

/// The largest timebase read: its NTSC rate still fits the rational rates of
/// the core library (timebase × 1000 below 2^31).
constexpr std::int64_t kMaxTimebase = 2000000;

/// The rate of the "rate" child of `element`; false when it has none, or its
/// timebase is not a whole number from 1 to kMaxTimebase (an "ntsc" that is
/// neither TRUE nor FALSE counts as FALSE).
bool rateOf(const pugi::xml_node& element, FrameRate& rate);

/// The xmeml rate of `rate` frames a second: a whole number, or one × 1000/1001;
/// false for any other rate.
bool frameRateOf(const Rational& rate, FrameRate& out);

/// A "timecode" element: its frame count at its rate, and whether it counts
/// drop frame.
struct TimecodeValue {
    std::int64_t frames = 0;
    FrameRate rate;
    bool dropFrame = false;
};

/// Reads the "timecode" element `timecode`, whose rate is its own "rate", else
/// `inherited`: "frame" when it holds a whole number, else "string"
/// ("HH:MM:SS:FF", drop frame with a ';' anywhere or "displayformat" DF).
/// False with `why` for a person when neither can be read.
bool readTimecode(const pugi::xml_node& timecode, const FrameRate& inherited, TimecodeValue& value,
                  std::string& why);

/// `frames` counted at `from` as a count at `to`. Timecodes count frames at the
/// timebase whatever "ntsc" says, so a count at the same timebase stays as it
/// is; across timebases it is scaled by their ratio, rounded to the nearest
/// frame. False when it had to be rounded.
bool framesAt(std::int64_t frames, const FrameRate& from, const FrameRate& to, std::int64_t& out);

/// The media the "file" element `file` declares, counted at `rate` as a clip
/// at that rate reads it: its first frame from its timecode (0 without one that
/// reads) and its length from its "duration", each to the nearest frame at
/// `rate`. False when it gives no duration (`first` is set all the same).
bool fileSpanAt(const pugi::xml_node& file, const FrameRate& rate, std::int64_t& first,
                std::int64_t& length);

/// The path a "pathurl" names: a "file:" URL (file://localhost/..., file:///...,
/// file://host/...) as the file's path, percent-decoded ("/Volumes/Media/A
/// 001.mov"; "C:/Media/a.mov" for a drive; "//host/share/a.mov" for another
/// host); any other text as it stands.
std::string pathOfUrl(const std::string& url);

/// The "pathurl" of `path`: "file://localhost" and the path percent-encoded
/// (a drive's path after a '/', another host's after "file:"); a text that is
/// already a URL (holding "://") as it stands.
std::string urlOfPath(const std::string& path);

/// The last part of a path, after its last '/' or '\\': a file's name.
std::string fileNameOf(const std::string& path);

/// The XML text of `node` as it stands, without indentation, and without the
/// characters XML cannot hold.
std::string xmlOf(const pugi::xml_node& node);

} // namespace ZEM_0_81::Interchange::Fcp7
