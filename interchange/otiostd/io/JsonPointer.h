#pragma once

#include <string>

namespace ZEM_0_81::Interchange {

/// Appends `/token` to the JSON Pointer `pointer` (RFC 6901): "~" is written
/// "~0" and "/" is written "~1" inside the token.
void appendPointerToken(std::string& pointer, const char* token, std::size_t length);

inline void appendPointerToken(std::string& pointer, const std::string& token) {
    appendPointerToken(pointer, token.data(), token.size());
}

} // namespace ZEM_0_81::Interchange
