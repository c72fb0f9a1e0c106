#pragma once

#include "outside/core/Rational.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ZEM_0_81::Interchange::Cmx {

/// A timecode field of an EDL as written, before its rate is known: four
/// numbers "HH:MM:SS:FF" (hours of one to nine digits, minutes and seconds of
/// one or two, frames of one to ten), or a bare frame count.
struct TimecodeText {
    bool isCount = false;
    std::int64_t hours = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
    std::int64_t frame = 0; ///< the frames field, or the whole count
    /// Written drop frame, whatever the list's frame-count mode: ';' or '.'
    /// before the frames, or ';' between every field.
    bool marksDropFrame = false;
};

/// Reads `field` as a timecode; false when it is none. Separators are ':', ';'
/// and '.'.
bool parseTimecodeText(std::string_view field, TimecodeText& out);

/// The frames a list may count: record and source times, durations and
/// locators below this (about 580 years at 60 frames a second) are read, so
/// that sums and differences of them never overflow.
constexpr std::int64_t kMaxFrames = std::int64_t(1) << 40;

/// Counts the timecodes of a list at its rate.
class FrameCounter {
public:
    explicit FrameCounter(const Rational& rate);

    const Rational& rate() const { return m_rate; }
    /// True at 29.97 and 59.94, where drop frame means something.
    bool dropRate() const { return m_dropRate; }
    /// The whole frames per second timecodes count (30 at 29.97).
    std::int64_t framesPerSecond() const { return m_fps; }

    /// The frames `text` counts, drop frame when it marks it or `dropFrame` (the
    /// list's mode) says so and the rate has drop frame. False, with a reason
    /// for a person in `why`, when it is no timecode at the rate.
    bool frames(const TimecodeText& text, bool dropFrame, std::int64_t& frames,
                std::string& why) const;

    /// The timecode of `frames`, drop frame when `dropFrame` and the rate has it.
    std::string timecode(std::int64_t frames, bool dropFrame) const;

private:
    Rational m_rate;
    bool m_dropRate = false;
    std::int64_t m_fps = 1;
};

/// The text of a rate for a person: "24", "29.97", "1000/3".
std::string rateText(const Rational& rate);

} // namespace ZEM_0_81::Interchange::Cmx
