#include "tools/zemcomp/text/TextFit.h"

#include "tools/zemcomp/text/Utf8.h"

#include <cmath>
#include <vector>

namespace zemcomp {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // "…"

/// Characters drawn two columns wide: Hangul, CJK ideographs and syllables,
/// full-width forms.
bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

struct Character {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t columns = 1;
};

std::vector<Character> charactersOf(std::string_view text) {
    std::vector<Character> characters;
    std::size_t position = 0;
    while (position < text.size()) {
        Character character;
        character.begin = position;
        character.columns = isWide(nextCharacter(text, position)) ? 2 : 1;
        character.end = position;
        characters.push_back(character);
    }
    return characters;
}

} // namespace

std::size_t displayColumns(std::string_view text) {
    std::size_t columns = 0;
    std::size_t position = 0;
    while (position < text.size())
        columns += isWide(nextCharacter(text, position)) ? 2 : 1;
    return columns;
}

double textWidth(std::string_view text, double fontSize) {
    return static_cast<double>(displayColumns(text)) * fontSize * kColumnAdvance;
}

std::size_t columnsIn(double width, double fontSize) {
    if (!(width > 0.0) || !(fontSize > 0.0))
        return 0;
    const double columns = std::floor(width / (fontSize * kColumnAdvance));
    return columns >= 1e9 ? std::size_t(1000000000) : static_cast<std::size_t>(columns);
}

std::string fitText(std::string_view text, std::size_t columns, Elide elide) {
    if (displayColumns(text) <= columns)
        return std::string(text);
    if (columns < 3)
        return {};

    // The room left beside the ellipsis, a little more of it for the start.
    const std::vector<Character> characters = charactersOf(text);
    const std::size_t room = columns - 1;
    // Too short a tail says nothing: below 10 columns only the start is kept.
    const std::size_t tailRoom = elide == Elide::Middle && columns >= 10 ? room / 2 : 0;
    const std::size_t headRoom = room - tailRoom;

    std::size_t headEnd = 0; // characters taken from the start
    std::size_t used = 0;
    while (headEnd < characters.size() && used + characters[headEnd].columns <= headRoom)
        used += characters[headEnd++].columns;
    std::size_t tailBegin = characters.size(); // first character taken from the end
    std::size_t tailUsed = 0;
    while (tailBegin > headEnd && tailUsed + characters[tailBegin - 1].columns <= tailRoom)
        tailUsed += characters[--tailBegin].columns;

    std::string fitted;
    fitted.append(text.substr(0, headEnd == 0 ? 0 : characters[headEnd - 1].end));
    fitted.append(kEllipsis);
    if (tailBegin < characters.size())
        fitted.append(text.substr(characters[tailBegin].begin));
    return fitted;
}

std::vector<std::string> wrapText(std::string_view text, std::size_t columns) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t lineColumns = 0;
    std::size_t position = 0;
    while (position <= text.size()) {
        std::size_t space = text.find(' ', position);
        if (space == std::string_view::npos)
            space = text.size();
        const std::string_view word = text.substr(position, space - position);
        position = space + 1;
        if (word.empty())
            continue;
        const std::size_t wordColumns = displayColumns(word);
        if (lineColumns != 0 && lineColumns + 1 + wordColumns <= columns) {
            line += ' ';
            line.append(word);
            lineColumns += 1 + wordColumns;
            continue;
        }
        if (lineColumns != 0)
            lines.push_back(std::move(line));
        line = fitText(word, columns);
        lineColumns = displayColumns(line);
    }
    if (lineColumns != 0)
        lines.push_back(std::move(line));
    return lines;
}

} // namespace zemcomp
