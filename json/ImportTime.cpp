#include "json/ImportTime.h"

#include "outside/core/FPSUtils.h"
#include "outside/core/Time.h"
#include "json/Narrowing.h"

#include <cfloat>
#include <cmath>

namespace ZEM_0_81::Json {

double convertTime(const rapidotio::RationalTime& time, double targetRate) {
    Rational source;
    if (!FPSUtils::getFPSFromValue(time.rate, source))
        return 0.0;
    Rational target;
    if (!FPSUtils::getFPSFromValue(targetRate, target))
        return 0.0;
    // std::round takes halves away from zero: 1.5 gives 2 and -1.5 gives -2.
    const std::int64_t ticks = truncateToInt64(std::round(time.value));
    const Time converted =
        FPSUtils::convertToRate(Time(ticks, source), target, FPSUtils::RoundNearest);
    return static_cast<double>(converted.getNbTicks());
}

namespace {

struct SnapRow {
    const Rational& compared;
    const Rational& result;
};

} // namespace

Rational toStandardRate(double rate) {
    // Built once, on first use; the function-local statics are initialised
    // thread-safely.
    static const Rational fps60(60, 1);
    static const Rational fps59(60000, 1001);
    static const Rational fps50(50, 1);
    static const Rational fps48(48, 1);
    static const Rational fps47(48000, 1001);
    static const Rational fps30(30, 1);
    static const Rational fps29(30000, 1001);
    static const Rational fps25(25, 1);
    static const Rational fps24(24, 1);
    static const Rational fps23(24000, 1001);

    // The double rates 47.952 and 48 run at their halves: they snap to 23.976 and 24.
    const SnapRow rows[] = {
        {fps60, fps60}, {fps59, fps59}, {fps50, fps50}, {fps48, fps24}, {fps47, fps23},
        {fps30, fps30}, {fps29, fps29}, {fps25, fps25}, {fps24, fps24},
    };
    for (const SnapRow& row : rows) {
        if (std::fabs(rate - row.compared.getValue()) < 0.0001 || row.compared <= rate)
            return row.result;
    }
    return fps23;
}

String frameRateText(const Rational& rate) {
    String text;
    FPSUtils::getFPSString(rate, text); // every standard rate has a text
    return text;
}

eDmTreeMediaType mediaTypeOf(rapidotio::TrackKind kind) {
    switch (kind) {
    case rapidotio::None:
    case rapidotio::Video:
        return eDmMediaVideo;
    case rapidotio::Audio:
        return eDmMediaAudio;
    }
    return eDmMediaUnset;
}

bool isAbsentValue(double value) {
    return std::fabs(value - DBL_MAX) < DBL_EPSILON;
}

bool isAbsentRate(double rate) {
    return std::fabs(rate) < DBL_EPSILON;
}

} // namespace ZEM_0_81::Json
