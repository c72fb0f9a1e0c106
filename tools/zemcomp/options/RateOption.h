#pragma once

#include "outside/core/Rational.h"

#include <optional>
#include <string>

namespace zemcomp {

/// The frame rate `text` names: a rate's name ("24", "25", "23.976", "29.97",
/// "59.94"), a fraction ("30000/1001"), or a decimal number within 0.001 of a
/// standard rate (which gives that rate exactly) or of a number of thousandths;
/// nothing for any other text, and for rates of 0 or less.
std::optional<ZEM_0_81::Rational> parseRate(const std::string& text);

} // namespace zemcomp
