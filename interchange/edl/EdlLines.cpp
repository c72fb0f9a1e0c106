#include "interchange/edl/EdlLines.h"

#include <cstring>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

bool inRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

/// The length of the well-formed UTF-8 sequence at `p` (RFC 3629: no overlong
/// forms, no surrogates, nothing past U+10FFFF), or 0 when none starts there.
std::size_t sequenceLength(const unsigned char* p, const unsigned char* end) {
    const std::size_t left = static_cast<std::size_t>(end - p);
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    const auto follows = [&](std::size_t i) { return i < left && inRange(p[i], 0x80, 0xBF); };
    if (inRange(c, 0xC2, 0xDF))
        return follows(1) ? 2 : 0;
    if (inRange(c, 0xE0, 0xEF)) {
        if (left < 3)
            return 0;
        const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = c == 0xED ? 0x9F : 0xBF;
        return inRange(p[1], low, high) && follows(2) ? 3 : 0;
    }
    if (inRange(c, 0xF0, 0xF4)) {
        if (left < 4)
            return 0;
        const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
        return inRange(p[1], low, high) && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

std::string_view asUtf8(std::string_view line, std::string& decoded) {
    const auto* begin = reinterpret_cast<const unsigned char*>(line.data());
    const auto* end = begin + line.size();
    const auto* p = begin;
    // Most lines are ASCII, or already UTF-8: nothing is copied for them.
    while (p < end) {
        const std::size_t length = sequenceLength(p, end);
        if (length == 0)
            break;
        p += length;
    }
    if (p == end)
        return line;
    decoded.assign(line.data(), static_cast<std::size_t>(p - begin));
    while (p < end) {
        const std::size_t length = sequenceLength(p, end);
        if (length > 0) {
            decoded.append(reinterpret_cast<const char*>(p), length);
            p += length;
            continue;
        }
        // The Latin-1 character of the byte: U+0080 to U+00FF in two bytes.
        decoded += static_cast<char>(0xC0 | (*p >> 6));
        decoded += static_cast<char>(0x80 | (*p & 0x3F));
        ++p;
    }
    return decoded;
}

bool LineReader::next(std::string_view& line, std::size_t& number) {
    if (m_text >= m_end)
        return false;
    const char* start = m_text;
    const char* stop = start;
    while (stop < m_end && *stop != '\n' && *stop != '\r')
        ++stop;
    m_text = stop;
    if (m_text < m_end && *m_text == '\r')
        ++m_text;
    if (m_text < m_end && *m_text == '\n' && (m_text == stop || m_text[-1] == '\r'))
        ++m_text;
    while (stop > start && isBlank(stop[-1]))
        --stop;
    number = ++m_number;
    line = asUtf8(std::string_view(start, static_cast<std::size_t>(stop - start)), m_decoded);
    return true;
}

void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
}

std::string_view trimmed(std::string_view text) {
    std::size_t start = 0;
    std::size_t stop = text.size();
    while (start < stop && isBlank(text[start]))
        ++start;
    while (stop > start && isBlank(text[stop - 1]))
        --stop;
    return text.substr(start, stop - start);
}

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char a = text[i];
        char b = word[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

bool isDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace ZEM_0_81::Interchange::Cmx
