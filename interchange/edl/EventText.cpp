#include "interchange/edl/EventText.h"

#include "interchange/edl/EdlComments.h"
#include "interchange/edl/EventLine.h"

#include <algorithm>
#include <charconv>

#include <cmath>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

constexpr std::uint64_t kNumbers = 1000000; // edit numbers have at most six digits

void padded(const std::string& text, std::size_t width, std::string& out) {
    out += text;
    if (text.size() < width)
        out.append(width - text.size(), ' ');
}

/// `number` in at least three digits, zeros first: "007", "012", "1234".
std::string threeDigits(std::uint64_t number) {
    const std::string text = std::to_string(number);
    return std::string(3 - std::min<std::size_t>(text.size(), 3), '0') + text;
}

std::string editNumber(std::uint64_t number) {
    return threeDigits(number % kNumbers);
}

void comment(const char* keyword, const std::string& value, std::string& out) {
    if (value.empty())
        return;
    out += "* ";
    out += keyword;
    out += ": ";
    out += value;
    out += '\n';
}

/// True when a comment `event` keeps is one of `keywords` with a value.
bool keepsStatement(const WrittenEvent& event, std::initializer_list<Keyword> keywords) {
    for (const std::string& kept : event.comments) {
        std::string_view value;
        const Keyword keyword = keywordOf(kept, value);
        for (const Keyword wanted : keywords)
            if (keyword == wanted && !value.empty())
                return true;
    }
    return false;
}

} // namespace

const std::string& writtenName(const WrittenEvent& event) {
    return event.name.empty() && !event.black ? event.reel : event.name;
}

std::string numberText(double value) {
    // Six decimals read back the same number exactly when the number is its
    // millionths divided by a million: written then from those millionths, in
    // integers. Otherwise std::to_chars's shortest text, which reads back the
    // same number. Never the C library's conversions, which follow the host's
    // locale (a decimal comma).
    const double millionths = std::round(value * 1e6);
    if (std::fabs(millionths) < 9e15 && millionths / 1e6 == value) {
        auto whole = static_cast<std::uint64_t>(std::fabs(millionths));
        char digits[32];
        char* at = digits + sizeof digits;
        for (int digit = 0; digit <= 6 || whole != 0; ++digit) {
            if (digit == 6)
                *--at = '.';
            *--at = static_cast<char>('0' + whole % 10);
            whole /= 10;
        }
        if (std::signbit(value))
            *--at = '-';
        return std::string(at, static_cast<std::size_t>(digits + sizeof digits - at));
    }
    char text[64];
    const auto shortest = std::to_chars(text, text + sizeof text, value);
    return shortest.ec == std::errc() ? std::string(text, shortest.ptr) : std::string("0");
}

std::string speedText(double speed) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, std::fabs(speed), std::chars_format::fixed, 1);
    std::string digits = result.ec == std::errc() ? std::string(text, result.ptr) : "0.0";
    // At least three digits before the point.
    digits.insert(0, 5 - std::min<std::size_t>(digits.size(), 5), '0');
    return speed < 0 ? "-" + digits : digits;
}

void EventText::header(const std::string& title, std::string& out) const {
    out += "TITLE: ";
    out += title;
    out += '\n';
    if (m_report.counter().dropRate())
        out += m_report.dropFrame() ? "FCM: DROP FRAME\n" : "FCM: NON-DROP FRAME\n";
    out += '\n';
}

void EventText::line(std::uint64_t number, const std::string& reel, std::uint8_t channels,
                     const std::string& transition, const std::string& duration,
                     std::int64_t sourceIn, std::int64_t sourceOut, std::int64_t recordIn,
                     std::int64_t recordOut, std::string& out) const {
    out += editNumber(number);
    out += "  ";
    padded(reel, m_reelWidth, out);
    out += ' ';
    padded(channelCode(channels), 5, out);
    out += ' ';
    padded(transition, 4, out);
    out += ' ';
    padded(duration, 3, out);
    for (const std::int64_t frames : {sourceIn, sourceOut, recordIn, recordOut}) {
        out += ' ';
        out += m_report.timecode(frames);
    }
    out += '\n';
}

void EventText::event(const WrittenEvent& event, std::uint64_t number, std::string& out) const {
    if (event.hasTransition) {
        const Kept::TransitionData& t = event.transition;
        line(number, t.from.reel, event.channels, "C", "", t.from.sourceIn, t.from.sourceIn,
             event.recordIn, event.recordIn, out);
        // The writer holds a duration from 0 to 999999999 frames.
        line(number, event.reel, event.channels, t.code,
             threeDigits(static_cast<std::uint64_t>(t.duration)), event.sourceIn, event.sourceOut,
             event.recordIn, event.recordOut, out);
    } else {
        line(number, event.reel, event.channels, "C", "", event.sourceIn, event.sourceOut,
             event.recordIn, event.recordOut, out);
    }
    const std::uint8_t extra = event.channels & (kAudio3 | kAudio4);
    const std::uint8_t coded = event.channels & (kVideo | kAudio1 | kAudio2);
    // A3 or A4 alone is the channel code itself; beside other channels, an AUD line.
    if (extra != 0 && !(coded == 0 && (extra == kAudio3 || extra == kAudio4))) {
        const bool three = (extra & kAudio3) && coded != 0;
        out += "AUD";
        if (three)
            out += " 3";
        if (extra & kAudio4)
            out += " 4";
        out += '\n';
    }
    const std::string& name = writtenName(event);
    if (event.hasTransition) {
        comment("FROM CLIP NAME", event.transition.from.name, out);
        comment("TO CLIP NAME", name, out);
        comment("FROM FILE", event.transition.from.file, out);
    } else {
        comment("FROM CLIP NAME", name, out);
    }
    // An incoming source's media goes on SOURCE FILE, as most readers take it,
    // unless a kept comment is a TO FILE or TO CLIP statement, which a reader
    // takes first: then on TO FILE, so that the comment stays a plain one.
    comment(event.hasTransition && keepsStatement(event, {Keyword::ToFile, Keyword::ToClip})
                ? "TO FILE"
                : "SOURCE FILE",
            event.path, out);
    if (event.hasLook) {
        out += "*ASC_SOP";
        for (int group = 0; group < 3; ++group) {
            out += " (";
            for (int c = 0; c < 3; ++c) {
                if (c > 0)
                    out += ' ';
                out += numberText(event.sop[static_cast<std::size_t>(group * 3 + c)]);
            }
            out += ')';
        }
        out += "\n*ASC_SAT ";
        out += numberText(event.saturation);
        out += '\n';
    }
    for (const std::string& speed : event.speedLines) {
        out += speed;
        out += '\n';
    }
    for (const WrittenNote& note : event.notes) {
        out += "* LOC: ";
        out += m_report.timecode(note.frame);
        out += ' ';
        out += note.colour;
        if (!note.caption.empty()) {
            out += ' ';
            out += note.caption;
        }
        out += '\n';
    }
    for (const std::string& kept : event.comments) {
        out += kept;
        out += '\n';
    }
}

} // namespace ZEM_0_81::Interchange::Cmx
