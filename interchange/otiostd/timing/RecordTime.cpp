#include "interchange/otiostd/timing/RecordTime.h"

#include "outside/core/FPSUtils.h"
#include "json/ExportContext.h"

#include <cmath>
#include <cstring>

namespace ZEM_0_81::Interchange::RecordTime {

double rateOf(const DmString& fcm) {
    return Json::frameRateOf(fcm);
}

std::string fcmOf(double rate) {
    Rational rational;
    String text;
    if (!FPSUtils::getFPSFromValue(rate, rational) || !FPSUtils::getFPSString(rational, text))
        return std::string();
    return std::string(text.c_str(), text.size());
}

bool sameRate(double a, double b) {
    if (a == b)
        return true;
    return std::fabs(a - b) <= 1e-9 * std::fmax(std::fabs(a), std::fabs(b));
}

namespace {

/// `rate` as whole numbers `numerator` / `denominator` when the core library
/// names it exactly (24000/1001 for the double nearest 23.976..., 30/1, 2997/100).
bool ratioOf(double rate, double& numerator, double& denominator) {
    Rational rational;
    if (!FPSUtils::getFPSFromValue(rate, rational) || !sameRate(rational.getValue(), rate))
        return false;
    numerator = rational.getNumerator();
    denominator = rational.getDenominator();
    return true;
}

} // namespace

double rescale(double value, double from, double to) {
    if (sameRate(from, to) || !(from > 0.0))
        return value;
    // Through the rates' whole-number ratios: 1 frame at 24000/1001 is 2002
    // ticks at 48000, where 1 × 48000 ÷ 23.976... gives 2001.9999999999998.
    double fromNumerator = 0.0, fromDenominator = 0.0, toNumerator = 0.0, toDenominator = 0.0;
    if (ratioOf(from, fromNumerator, fromDenominator) && ratioOf(to, toNumerator, toDenominator))
        return value * (toNumerator * fromDenominator) / (toDenominator * fromNumerator);
    return value * to / from;
}

double wholeIfNear(double frames) {
    const double whole = std::round(frames);
    return std::fabs(frames - whole) <= 1e-11 * std::fabs(whole) ? whole : frames;
}

bool identical(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool isSafeInteger(double value) {
    constexpr double limit = 9007199254740992.0; // 2^53
    return std::fabs(value) < limit && std::trunc(value) == value;
}

double canonicalRate(double rate) {
    const std::string fcm = fcmOf(rate);
    if (fcm.empty())
        return rate;
    const double exact = rateOf(DmString(fcm));
    return exact > 0.0 && sameRate(rate, exact) ? exact : rate;
}

} // namespace ZEM_0_81::Interchange::RecordTime
