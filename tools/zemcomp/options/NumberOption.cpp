#include "tools/zemcomp/options/NumberOption.h"

#include <charconv>
#include <limits>

namespace zemcomp {

std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t min,
                                             std::int64_t max) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    std::int64_t value = 0;
    const std::from_chars_result result = std::from_chars(first, last, value, 10);
    if (result.ec != std::errc() || result.ptr != last || value < min || value > max)
        return std::nullopt;
    return value;
}

CLI::Validator wholeNumberIn(std::int64_t min, std::int64_t max) {
    const std::string range = std::to_string(min) + " to " + std::to_string(max);
    const bool full = min == std::numeric_limits<std::int64_t>::min() &&
                      max == std::numeric_limits<std::int64_t>::max();
    return CLI::Validator(
        [min, max, range](std::string& text) -> std::string {
            const std::optional<std::int64_t> value = parseWholeNumber(text, min, max);
            if (!value)
                return "'" + text + "' is not a whole number from " + range;
            text = std::to_string(*value);
            return {};
        },
        // The whole 64-bit range needs no mention in the help.
        full ? std::string() : "in " + range, "whole number");
}

} // namespace zemcomp
