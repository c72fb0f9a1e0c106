#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

/// The lines of an EDL text, one at a time, as UTF-8.
///
/// A line ends at LF, at CRLF, or at a CR that no LF follows (as older tools
/// end them); the last line needs no end. Lines are numbered from 1. Text is
/// UTF-8; a byte that does not start a well-formed UTF-8 sequence is read as
/// the Latin-1 character of that value, as older tools write them, so that the
/// text of every line is well-formed UTF-8.
class LineReader {
public:
    LineReader(const char* text, std::size_t length) : m_text(text), m_end(text + length) {}

    /// The next line, trailing spaces and tabs removed; false after the last.
    /// The text stays valid until the next call.
    bool next(std::string_view& line, std::size_t& number);

private:
    const char* m_text;
    const char* m_end;
    std::size_t m_number = 0;
    std::string m_decoded; ///< a line that held bytes that are not UTF-8
};

/// `line` as well-formed UTF-8 (see LineReader), in `decoded` when it is not
/// already; returns the text to use.
std::string_view asUtf8(std::string_view line, std::string& decoded);

/// Splits `line` into its fields: runs of characters other than spaces and tabs.
void splitFields(std::string_view line, std::vector<std::string_view>& fields);

/// `text` without its leading and trailing spaces and tabs.
std::string_view trimmed(std::string_view text);

/// True for a space or a tab, the only characters that separate fields.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

/// True when `text` is `word`, ASCII letters in any case.
bool equalsIgnoringCase(std::string_view text, std::string_view word);

/// True when `text` is one or more ASCII digits.
bool isDigits(std::string_view text);

} // namespace ZEM_0_81::Interchange::Cmx
