#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace zemcomp {

/// The decimal whole number `text` stands for ("-12", "+7", "0042"), when it is
/// one from `min` to `max`; nothing for any other text, out-of-range numbers
/// included.
std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t min,
                                             std::int64_t max);

/// A check for an option's value: a decimal whole number from `min` to `max`.
/// Any other value is a usage error naming the range; an accepted value is
/// rewritten in plain decimal, so that the option's conversion reads exactly
/// that number (never octal, never clamped).
CLI::Validator wholeNumberIn(std::int64_t min, std::int64_t max);

} // namespace zemcomp
