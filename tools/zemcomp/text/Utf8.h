#pragma once

// Walking UTF-8 text one character at a time, for output that must stay valid
// whatever bytes a document's names hold.

#include <cstddef>
#include <string>
#include <string_view>

namespace zemcomp {

/// The character that stands in for bytes that are not UTF-8.
constexpr char32_t kReplacementCharacter = 0xFFFD;

/// Reads the character at `position` of `text` and moves `position` past it.
/// A byte that does not start a well-formed sequence (a stray continuation
/// byte, a truncated or overlong sequence, a surrogate, a value past U+10FFFF)
/// reads as kReplacementCharacter and moves `position` by that one byte.
/// `position` must be below text.size().
char32_t nextCharacter(std::string_view text, std::size_t& position);

/// Appends `character` to `text`, encoded as UTF-8.
void appendUtf8(std::string& text, char32_t character);

} // namespace zemcomp
