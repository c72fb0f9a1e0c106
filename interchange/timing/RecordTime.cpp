#include "interchange/timing/RecordTime.h"

#include "outside/core/FPSUtils.h"
#include "json/ExportContext.h"

#include <cmath>
#include <cstring>
#include <numeric>
#include <type_traits>

namespace ZEM_0_81::Interchange::RecordTime {

namespace {

/// The last rate a rule was asked about and what it gave for it. Every time of
/// a document is taken through canonicalRate or snapRate, and its rate through
/// fcmOf, nearly always at one or two rates, and the rules go through the rate's
/// text: the answer is kept for the next time of the same rate (compared bit for
/// bit, each thread its own).
template <class Rule> class LastRate {
public:
    using Answer = std::invoke_result_t<Rule, double>;

    explicit LastRate(Rule rule) : m_rule(rule), m_rate(24.0), m_answer(rule(24.0)) {}

    const Answer& get(double rate) {
        if (!identical(rate, m_rate)) {
            m_answer = m_rule(rate);
            m_rate = rate;
        }
        return m_answer;
    }

private:
    Rule m_rule;
    double m_rate;
    Answer m_answer;
};

std::string fcmTextOf(double rate) {
    Rational rational;
    String text;
    if (!FPSUtils::getFPSFromValue(rate, rational) || !FPSUtils::getFPSString(rational, text))
        return std::string();
    return std::string(text.c_str(), text.size());
}

} // namespace

double rateOf(const DmString& fcm) {
    return Json::frameRateOf(fcm);
}

std::string fcmOf(double rate) {
    thread_local LastRate last(fcmTextOf);
    return last.get(rate);
}

bool sameRate(double a, double b) {
    if (a == b)
        return true;
    return std::fabs(a - b) <= 1e-9 * std::fmax(std::fabs(a), std::fabs(b));
}

bool ratioOf(double rate, std::int64_t& numerator, std::int64_t& denominator) {
    Rational rational;
    if (FPSUtils::getFPSFromValue(rate, rational) && sameRate(rational.getValue(), rate)) {
        numerator = rational.getNumerator();
        denominator = rational.getDenominator();
        return true;
    }
    // Whole frames per 1001 seconds (120000/1001), which the core library reads
    // from a value only to a thousandth.
    const double whole = std::round(rate * 1001.0);
    if (!(rate > 0.0) || !(whole < 2147483648.0) || !sameRate(whole / 1001.0, rate))
        return false;
    const std::int64_t common = std::gcd(static_cast<std::int64_t>(whole), std::int64_t(1001));
    numerator = static_cast<std::int64_t>(whole) / common;
    denominator = 1001 / common;
    return true;
}

std::string fcmOf(std::int64_t numerator, std::int64_t denominator) {
    String text;
    if (numerator <= 0 || denominator <= 0 || numerator > 2147483647 || denominator > 4294967295 ||
        !FPSUtils::getFPSString(
            Rational(static_cast<int>(numerator), static_cast<unsigned>(denominator)), text))
        return std::string();
    return std::string(text.c_str(), text.size());
}

double rescale(double value, double from, double to) {
    if (sameRate(from, to) || !(from > 0.0))
        return value;
    // Through the rates' whole-number ratios: 1 frame at 24000/1001 is 2002
    // ticks at 48000, where 1 × 48000 ÷ 23.976... gives 2001.9999999999998.
    std::int64_t fromNumerator = 0, fromDenominator = 0, toNumerator = 0, toDenominator = 0;
    if (ratioOf(from, fromNumerator, fromDenominator) && ratioOf(to, toNumerator, toDenominator))
        return value * (static_cast<double>(toNumerator) * static_cast<double>(fromDenominator)) /
               (static_cast<double>(toDenominator) * static_cast<double>(fromNumerator));
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
    thread_local LastRate last([](double of) {
        const std::string fcm = fcmOf(of);
        if (fcm.empty())
            return of;
        const double exact = rateOf(DmString(fcm));
        return exact > 0.0 && sameRate(of, exact) ? exact : of;
    });
    return last.get(rate);
}

double snapRate(double rate) {
    thread_local LastRate last([](double of) {
        const std::string fcm = fcmOf(of);
        if (fcm.empty())
            return of;
        const double exact = rateOf(DmString(fcm));
        return exact > 0.0 && std::fabs(exact - of) <= 1e-3 ? exact : of;
    });
    return last.get(rate);
}

} // namespace ZEM_0_81::Interchange::RecordTime
