#include "interchange/RecordTime.h"

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

double rescale(double value, double from, double to) {
    if (sameRate(from, to) || !(from > 0.0))
        return value;
    return value * to / from;
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
