#include "tools/zemcomp/picture/TimelineCaptions.h"

#include "composition/Timecode.h"
#include "tools/zemcomp/text/TimeText.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace zemcomp::TimelineCaptions {

using namespace ZEM_0_81;

namespace {

std::int64_t lastFrame(const FrameRange& range) {
    // start + duration - 1 without overflow, for ranges at the ends of 64 bits.
    if (range.duration <= 0)
        return range.start;
    if (range.start > std::numeric_limits<std::int64_t>::max() - (range.duration - 1))
        return std::numeric_limits<std::int64_t>::max();
    return range.start + (range.duration - 1);
}

/// A count of frames that may be fractional: "48", "47.952".
std::string frameCount(const FrameCount& frames) {
    if (frames.isWhole() || frames.denominator <= 0)
        return std::to_string(frames.numerator);
    // Three decimals, rounded half away from zero, from the exact fraction;
    // whole frames alone where thousandths would not fit 64 bits.
    if (frames.numerator / frames.denominator > 1000000000000000 ||
        frames.numerator / frames.denominator < -1000000000000000)
        return std::to_string(frames.numerator / frames.denominator);
    const long double value =
        static_cast<long double>(frames.numerator) / static_cast<long double>(frames.denominator);
    const long long thousandths = std::llround(static_cast<double>(value * 1000.0L));
    const bool negative = thousandths < 0;
    const unsigned long long magnitude =
        negative ? 0ull - static_cast<unsigned long long>(thousandths) : thousandths;
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 1000);
    std::string decimals = std::to_string(magnitude % 1000 + 1000).substr(1);
    while (!decimals.empty() && decimals.back() == '0')
        decimals.pop_back();
    if (!decimals.empty())
        text += "." + decimals;
    return text;
}

std::string frames(std::int64_t n) {
    return n == 1 || n == -1 ? std::to_string(n) + " frame" : std::to_string(n) + " frames";
}

} // namespace

std::string timecode(std::int64_t frameNumber, const Clock& clock) {
    std::string text;
    if (!Timecode::format(0, clock.shown, text))
        return "frame " + std::to_string(frameNumber);
    return timecodeText(frameNumber, clock);
}

std::string rate(const Rational& value) {
    if (value.getNumerator() <= 0 || value.getDenominator() == 0)
        return "unknown rate";
    const std::uint64_t numerator = static_cast<std::uint64_t>(value.getNumerator());
    const std::uint64_t denominator = value.getDenominator();
    std::string text;
    if (numerator % denominator == 0) {
        text = std::to_string(numerator / denominator);
    } else {
        // Three decimals at most, exactly rounded from the fraction: 24000/1001
        // is 23.976, 30000/1001 is 29.97.
        const std::uint64_t thousandths = (numerator * 1000 + denominator / 2) / denominator;
        text = std::to_string(thousandths / 1000);
        std::string decimals = std::to_string(thousandths % 1000 + 1000).substr(1);
        while (!decimals.empty() && decimals.back() == '0')
            decimals.pop_back();
        if (!decimals.empty())
            text += "." + decimals;
    }
    text += " fps";
    if (Timecode::isDropFrame(value))
        text += " drop-frame";
    return text;
}

std::string count(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string range(const FrameRange& value, const Clock& clock) {
    return timecode(value.start, clock) + " for " + frames(value.duration) + " (" +
           std::to_string(value.start) + " to " + std::to_string(lastFrame(value)) + ")";
}

std::string effect(const TimelineEffect& value) {
    std::string text;
    switch (value.kind) {
    case TimelineEffect::Kind::Comp:
        text = "Compositing (Comp)";
        break;
    case TimelineEffect::Kind::AngularMask:
        text = "Mask (AngularMask)";
        break;
    case TimelineEffect::Kind::Look:
        text = "Look (CDL)";
        break;
    case TimelineEffect::Kind::Annotation:
        text = "Annotation";
        break;
    default:
        text = "Effect " + value.name;
    }
    if (value.muted)
        text += ", switched off";
    return text;
}

namespace {

std::string nameOf(const TimelineItem& value) {
    return value.name.empty() ? std::string(value.isGap() ? "(gap)" : "(clip)") : value.name;
}

} // namespace

std::string itemLine(const TimelineItem& value, const Clock& clock) {
    return nameOf(value) + " at " + range(value.record, clock);
}

std::string item(const TimelineItem& value, const Clock& clock) {
    std::string text = nameOf(value);
    if (value.isGap())
        text += "\ngap";
    else
        text += value.offline ? "\nclip, offline: no media" : "\nclip";
    text += "\nrecord " + range(value.record, clock);
    if (value.isClip()) {
        text += "\nsource ";
        text += value.source.start ? timecode(*value.source.start, clock.at(value.source.rate))
                                   : std::string("start unknown");
        text +=
            " for " + frameCount(value.source.duration) + " frames at " + rate(value.source.rate);
        for (const TimelineMedia& media : value.media) {
            text += "\nmedia ";
            text += media.path.empty() ? std::string("(no path)") : media.path;
            text += std::string(" (") + TimelineMedia::kindName(media.kind) + ")";
        }
    }
    for (const TimelineEffect& effectOf : value.effects)
        text += "\neffect: " + effect(effectOf);
    if (!value.notes.empty())
        text += "\n" + count(value.notes.size(), "note", "notes");
    std::uint64_t strokes = 0;
    for (const TimelinePaint& layer : value.paint)
        strokes += layer.strokes;
    if (strokes != 0)
        text += "\npaint: " + count(strokes, "stroke", "strokes");
    return text;
}

std::string note(const TimelineNote& value, const TimelineItem& on, const Clock& clock) {
    std::string text = "Note: " + value.text;
    text += "\non " + std::string(on.isGap() ? "gap " : "clip ") + on.name;
    text += "\nshows from " + range(value.range, clock);
    if (!value.visible)
        text += "\nswitched off";
    return text;
}

std::string paint(const TimelineItem& value, const Clock& clock) {
    std::string text = "Paint on " + value.name;
    for (const TimelinePaint& layer : value.paint) {
        if (layer.strokes == 0)
            continue;
        text += "\n" + count(layer.strokes, "stroke", "strokes") + ", " +
                count(layer.points, "point", "points") + ", from " + range(layer.range, clock);
        if (!layer.visible)
            text += ", switched off";
    }
    return text;
}

} // namespace zemcomp::TimelineCaptions
