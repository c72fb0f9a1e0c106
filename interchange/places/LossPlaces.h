#pragma once

#include <cstddef>
#include <string>

namespace ZEM_0_81::Interchange {

// The place of a loss (LossReport), as every format names it: a JSON Pointer
// (RFC 6901) in a JSON document, "line N" in a text format.

/// Appends `/token` to the JSON Pointer `pointer` (RFC 6901): "~" is written
/// "~0" and "/" is written "~1" inside the token.
void appendPointerToken(std::string& pointer, const char* token, std::size_t length);

inline void appendPointerToken(std::string& pointer, const std::string& token) {
    appendPointerToken(pointer, token.data(), token.size());
}

/// "line N": line `line` (counted from 1) of a text.
std::string linePlace(std::size_t line);

} // namespace ZEM_0_81::Interchange
