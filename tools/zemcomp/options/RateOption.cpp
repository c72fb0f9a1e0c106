#include "tools/zemcomp/options/RateOption.h"

#include "outside/core/FPSUtils.h"

#include <cstdlib>

namespace zemcomp {

using namespace ZEM_0_81;

std::optional<Rational> parseRate(const std::string& text) {
    Rational rate;
    if (FPSUtils::getFPSFromString(String(text.c_str()), rate))
        return rate;
    // Not a rate's name: a decimal number, read whole.
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() ||
        text.find_first_of("xXpP") != std::string::npos)
        return std::nullopt;
    if (!FPSUtils::getFPSFromValue(value, rate))
        return std::nullopt;
    return rate;
}

} // namespace zemcomp
