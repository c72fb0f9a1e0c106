#include "tools/zemcomp/text/TimeText.h"

#include "composition/Timecode.h"
#include "outside/core/FPSUtils.h"
#include "outside/core/String.h"

#include <cstdio>
#include <limits>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

// 64 bits by 32 by 32 bits: exact in 128 bits, which both compilers the
// project builds with have on every 64-bit target.
__extension__ typedef __int128 Wide;

bool isRate(const Rational& rate) {
    return rate.getNumerator() > 0 && rate.getDenominator() != 0;
}

/// numerator / denominator (denominator > 0) rounded to the nearest whole
/// number, halves away from zero; false when it does not fit 64 bits.
bool nearest(Wide numerator, Wide denominator, std::int64_t& out, bool& exact) {
    const bool negative = numerator < 0;
    const Wide magnitude = negative ? -numerator : numerator;
    Wide quotient = magnitude / denominator;
    const Wide remainder = magnitude % denominator;
    exact = remainder == 0;
    if (remainder >= denominator - remainder)
        ++quotient;
    if (quotient > static_cast<Wide>(std::numeric_limits<std::int64_t>::max()))
        return false;
    out = negative ? -static_cast<std::int64_t>(quotient) : static_cast<std::int64_t>(quotient);
    return true;
}

} // namespace

Clock::Clock(const Rational& rate, const Rational& picture) : rate(rate), shown(rate) {
    if (TimelineView::isSampleRate(rate) && isRate(picture) && !TimelineView::isSampleRate(picture))
        shown = picture;
}

std::int64_t Clock::shownFrame(std::int64_t frames, bool* exact) const {
    bool lands = true;
    std::int64_t out = frames;
    // frames / rate seconds x shown: frames x rate's denominator x shown's
    // numerator / (rate's numerator x shown's denominator), exact in 128 bits.
    if (converts() &&
        !nearest(static_cast<Wide>(frames) * rate.getDenominator() * shown.getNumerator(),
                 static_cast<Wide>(rate.getNumerator()) * shown.getDenominator(), out, lands)) {
        out = frames;
        lands = true;
    }
    if (exact)
        *exact = lands;
    return out;
}

std::int64_t Clock::frameAt(std::int64_t shownFrame) const {
    bool lands = true;
    std::int64_t out = shownFrame;
    if (converts() &&
        !nearest(static_cast<Wide>(shownFrame) * shown.getDenominator() * rate.getNumerator(),
                 static_cast<Wide>(shown.getNumerator()) * rate.getDenominator(), out, lands))
        out = shownFrame;
    return out;
}

std::string rateText(const Rational& rate) {
    String text;
    if (FPSUtils::getFPSString(rate, text))
        return text.c_str();
    return std::to_string(rate.getNumerator()) + "/" + std::to_string(rate.getDenominator());
}

std::string timecodeText(std::int64_t frames, const Clock& clock) {
    bool exact = true;
    const std::int64_t shown = clock.shownFrame(frames, &exact);
    std::string text;
    if (Timecode::format(shown, clock.shown, text))
        return exact ? text : "~" + text;
    return std::to_string(frames);
}

std::string secondsText(std::int64_t frames, const Rational& rate) {
    if (rate.getNumerator() <= 0 || rate.getDenominator() == 0)
        return {};
    // frames x den / num seconds, in whole milliseconds rounded half away from
    // zero, exactly.
    const Wide numerator = static_cast<Wide>(frames) * rate.getDenominator() * 1000;
    const Wide denominator = rate.getNumerator();
    const Wide magnitude = numerator < 0 ? -numerator : numerator;
    const Wide millis = (magnitude * 2 + denominator) / (denominator * 2);
    const Wide whole = millis / 1000;
    const auto fraction = static_cast<int>(millis % 1000);
    std::string digits;
    Wide rest = whole;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(rest % 10)));
        rest /= 10;
    } while (rest != 0);
    char tail[8];
    std::snprintf(tail, sizeof tail, ".%03d s", fraction);
    return (numerator < 0 && millis != 0 ? "-" : "") + digits + tail;
}

std::string timeText(std::int64_t frames, const Clock& clock) {
    const Rational& rate = clock.rate;
    std::string timecode;
    if (!Timecode::format(0, clock.shown, timecode))
        return std::to_string(frames) + " frames at " + rateText(rate) + " fps";
    return timecodeText(frames, clock) + " (" + std::to_string(frames) + " frames at " +
           rateText(rate) + " fps, " + secondsText(frames, rate) + ")";
}

} // namespace zemcomp
