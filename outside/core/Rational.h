#pragma once

#include "outside/core/CoreApi.h"

namespace ZEM_0_81 {

/// A rate as a fraction: a signed numerator over an unsigned denominator.
/// Default 0/1. The fraction is kept as given, not reduced.
class ZEMCORE_API Rational {
public:
    Rational() = default;
    Rational(int numerator, unsigned denominator) : m_num(numerator), m_den(denominator) {}

    int getNumerator() const { return m_num; }
    unsigned getDenominator() const { return m_den; }

    /// Numerator divided by denominator (infinite or NaN for a zero denominator).
    double getValue() const { return static_cast<double>(m_num) / static_cast<double>(m_den); }

    bool operator<=(double value) const { return getValue() <= value; }

    /// Same numerator and same denominator (1/2 and 2/4 differ).
    bool operator==(const Rational& other) const {
        return m_num == other.m_num && m_den == other.m_den;
    }
    bool operator!=(const Rational& other) const { return !(*this == other); }

private:
    int m_num = 0;
    unsigned m_den = 1;
};

} // namespace ZEM_0_81
