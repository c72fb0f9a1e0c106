#pragma once

#include <cstdint>
#include <string>

namespace zemcomp {

/// "1 clip", "2 clips": a count and its word, in the plural unless the count is one.
inline std::string plural(std::uint64_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace zemcomp
