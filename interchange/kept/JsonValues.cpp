#include "interchange/kept/JsonValues.h"

#include <cfloat>
#include <cmath>

namespace ZEM_0_81::Interchange {

bool finiteNumber(const Value& value, double& out) {
    if (!value.IsNumber())
        return false;
    const double number = value.GetDouble();
    if (!std::isfinite(number))
        return false;
    out = number;
    return true;
}

bool singleFloat(const Value& value, float& out) {
    double number = 0.0;
    if (!finiteNumber(value, number) || std::fabs(number) > static_cast<double>(FLT_MAX))
        return false;
    out = static_cast<float>(number);
    return true;
}

std::string textOf(const Value& value) {
    return std::string(value.GetString(), value.GetStringLength());
}

} // namespace ZEM_0_81::Interchange
