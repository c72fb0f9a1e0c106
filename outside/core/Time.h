#pragma once

#include "outside/core/CoreApi.h"
#include "outside/core/Rational.h"

#include <cstdint>

namespace ZEM_0_81 {

/// An instant: a signed 64-bit count of ticks at a rate (ticks per second).
class ZEMCORE_API Time {
public:
    Time() = default;
    Time(std::int64_t ticks, const Rational& rate) : m_ticks(ticks), m_rate(rate) {}

    std::int64_t getNbTicks() const { return m_ticks; }
    void setNbTicks(std::int64_t ticks) { m_ticks = ticks; }

    const Rational& getRate() const { return m_rate; }
    void setRate(const Rational& rate) { m_rate = rate; }

private:
    std::int64_t m_ticks = 0;
    Rational m_rate;
};

} // namespace ZEM_0_81
