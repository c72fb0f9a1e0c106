#include "tools/zemcomp/TimeText.h"

#include "composition/Timecode.h"
#include "outside/core/FPSUtils.h"
#include "outside/core/String.h"

#include <cstdio>

namespace zemcomp {

using namespace ZEM_0_81;

std::string rateText(const Rational& rate) {
    String text;
    if (FPSUtils::getFPSString(rate, text))
        return text.c_str();
    return std::to_string(rate.getNumerator()) + "/" + std::to_string(rate.getDenominator());
}

std::string timecodeText(std::int64_t frames, const Rational& rate) {
    std::string text;
    if (Timecode::format(frames, rate, text))
        return text;
    return std::to_string(frames);
}

std::string secondsText(std::int64_t frames, const Rational& rate) {
    if (rate.getNumerator() <= 0 || rate.getDenominator() == 0)
        return {};
        // frames x den / num seconds, in whole milliseconds rounded half away from
        // zero; exact in 128 bits, where the compiler has them.
#if defined(__SIZEOF_INT128__)
    __extension__ typedef __int128 Wide;
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
#else
    char text[64];
    std::snprintf(text, sizeof text, "%.3Lf s",
                  static_cast<long double>(frames) * rate.getDenominator() / rate.getNumerator());
    return text;
#endif
}

std::string timeText(std::int64_t frames, const Rational& rate) {
    std::string timecode;
    if (!Timecode::format(frames, rate, timecode))
        return std::to_string(frames) + " frames at " + rateText(rate) + " fps";
    return timecode + " (" + std::to_string(frames) + " frames at " + rateText(rate) + " fps, " +
           secondsText(frames, rate) + ")";
}

} // namespace zemcomp
