#include "interchange/edl/EdlTimecode.h"

#include "composition/Timecode.h"
#include "interchange/edl/EdlLines.h"
#include "outside/core/FPSUtils.h"
#include "outside/core/String.h"

namespace ZEM_0_81::Interchange::Cmx {

namespace {

bool isSeparator(char c) {
    return c == ':' || c == ';' || c == '.';
}

/// `digits` (1 to `most` of them) as a number.
bool number(std::string_view digits, std::size_t most, std::int64_t& out) {
    if (digits.size() > most || !isDigits(digits))
        return false;
    std::int64_t value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    out = value;
    return true;
}

} // namespace

bool parseTimecodeText(std::string_view field, TimecodeText& out) {
    TimecodeText read;
    std::string_view groups[4];
    std::size_t count = 0;
    char last = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= field.size(); ++i) {
        if (i < field.size() && !isSeparator(field[i]))
            continue;
        if (count == 4)
            return false;
        groups[count++] = field.substr(start, i - start);
        if (i < field.size())
            last = field[i];
        start = i + 1;
    }
    if (count == 1) {
        // A bare frame count: fifteen digits are far more than kMaxFrames.
        read.isCount = true;
        if (!number(groups[0], 15, read.frame) || read.frame >= kMaxFrames)
            return false;
        out = read;
        return true;
    }
    // Nine digits of hours and ten of frames hold every count below kMaxFrames
    // at every rate the writer writes (a frame a second and more), which counts
    // far below overflow; a field beyond the rate fails where it is counted.
    if (count != 4 || !number(groups[0], 9, read.hours) || !number(groups[1], 2, read.minutes) ||
        !number(groups[2], 2, read.seconds) || !number(groups[3], 10, read.frame))
        return false;
    read.marksDropFrame = last == ';' || last == '.';
    out = read;
    return true;
}

FrameCounter::FrameCounter(const Rational& rate)
    : m_rate(rate), m_dropRate(Timecode::isDropFrame(rate)) {
    Timecode::framesPerSecond(rate, m_fps);
}

bool FrameCounter::frames(const TimecodeText& text, bool dropFrame, std::int64_t& frames,
                          std::string& why) const {
    if (text.isCount) {
        frames = text.frame;
        return true;
    }
    const bool drop = m_dropRate && (dropFrame || text.marksDropFrame);
    std::int64_t counted = 0;
    if (Timecode::count(text.hours, text.minutes, text.seconds, text.frame, m_rate, drop,
                        counted) &&
        counted < kMaxFrames) {
        frames = counted;
        return true;
    }
    if (text.minutes > 59 || text.seconds > 59)
        why = "minutes and seconds run from 00 to 59";
    else if (text.frame >= m_fps)
        why = "frame " + std::to_string(text.frame) + " is not below the " + std::to_string(m_fps) +
              " frames a second timecodes count";
    else if (drop && text.seconds == 0 && text.minutes % 10 != 0)
        why = "drop frame skips that frame number";
    else
        why = "it lies past the latest time read";
    return false;
}

std::string FrameCounter::timecode(std::int64_t frames, bool dropFrame) const {
    std::string text;
    Timecode::format(frames, m_rate, dropFrame && m_dropRate, text);
    return text;
}

std::string rateText(const Rational& rate) {
    String text;
    if (!FPSUtils::getFPSString(rate, text))
        return "?";
    return std::string(text.c_str(), text.size());
}

} // namespace ZEM_0_81::Interchange::Cmx
