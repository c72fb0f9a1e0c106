#include "interchange/edl/EdlComments.h"

#include "interchange/edl/EdlLines.h"
#include "interchange/edl/EventLine.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

struct NamedKeyword {
    Keyword keyword;
    const char* name; ///< its words, one space apart
};

// Longer keywords first, where one starts with another ("FROM CLIP NAME" and
// "FROM CLIP").
constexpr NamedKeyword kKeywords[] = {
    {Keyword::FromClipName, "FROM CLIP NAME"},
    {Keyword::ToClipName, "TO CLIP NAME"},
    {Keyword::SourceFile, "SOURCE FILE"},
    {Keyword::FromFile, "FROM FILE"},
    {Keyword::FromClip, "FROM CLIP"},
    {Keyword::ToFile, "TO FILE"},
    {Keyword::ToClip, "TO CLIP"},
    {Keyword::Loc, "LOC"},
    {Keyword::AscSop, "ASC_SOP"},
    {Keyword::AscSat, "ASC_SAT"},
    {Keyword::M2, "M2"},
    {Keyword::FreezeFrame, "FREEZE FRAME"},
    {Keyword::Split, "SPLIT"},
    {Keyword::Aud, "AUD"},
};

constexpr std::array<const char*, 11> kColours = {"RED",     "GREEN",  "BLUE",  "CYAN",
                                                  "MAGENTA", "YELLOW", "BLACK", "WHITE",
                                                  "PINK",    "ORANGE", "PURPLE"};

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// Where `name` ends in `text` from `at`, its words separated by any blanks and
/// followed by the end, a blank, a colon or a parenthesis; npos when it does not
/// stand there.
std::size_t matchWords(std::string_view text, std::size_t at, std::string_view name) {
    std::size_t i = at;
    for (std::size_t k = 0; k < name.size(); ++k) {
        if (name[k] == ' ') {
            if (i >= text.size() || !isBlank(text[i]))
                return std::string_view::npos;
            while (i < text.size() && isBlank(text[i]))
                ++i;
            continue;
        }
        if (i >= text.size() || upper(text[i]) != name[k])
            return std::string_view::npos;
        ++i;
    }
    if (i < text.size() && !isBlank(text[i]) && text[i] != ':' && text[i] != '(')
        return std::string_view::npos;
    return i;
}

} // namespace

Keyword keywordOf(std::string_view line, std::string_view& value) {
    std::size_t at = 0;
    while (at < line.size() && isBlank(line[at]))
        ++at;
    if (at < line.size() && line[at] == '*')
        ++at;
    while (at < line.size() && isBlank(line[at]))
        ++at;
    for (const NamedKeyword& named : kKeywords) {
        std::size_t end = matchWords(line, at, named.name);
        if (end == std::string_view::npos)
            continue;
        std::string_view rest = trimmed(line.substr(end));
        if (!rest.empty() && rest.front() == ':')
            rest = trimmed(rest.substr(1));
        value = rest;
        return named.keyword;
    }
    value = std::string_view();
    return Keyword::None;
}

const char* keywordName(Keyword keyword) {
    for (const NamedKeyword& named : kKeywords)
        if (named.keyword == keyword)
            return named.name;
    return "comment";
}

bool isSingle(Keyword keyword) {
    return keyword != Keyword::None && keyword != Keyword::Loc && keyword != Keyword::Aud &&
           keyword != Keyword::Split;
}

const std::array<const char*, 11>& locatorColours() {
    return kColours;
}

const char* locatorColourOf(std::string_view word) {
    for (const char* name : kColours)
        if (equalsIgnoringCase(word, name))
            return name;
    return nullptr;
}

bool parseLocator(std::string_view value, Locator& out) {
    std::size_t i = 0;
    while (i < value.size() && !isBlank(value[i]))
        ++i;
    Locator read;
    if (!parseTimecodeText(value.substr(0, i), read.time))
        return false;
    std::string_view rest = trimmed(value.substr(i));
    std::size_t word = 0;
    while (word < rest.size() && !isBlank(rest[word]))
        ++word;
    if (word > 0 && locatorColourOf(rest.substr(0, word))) {
        read.colour.assign(rest.substr(0, word));
        rest = trimmed(rest.substr(word));
    }
    read.caption.assign(rest);
    out = std::move(read);
    return true;
}

bool parseNumber(std::string_view text, double& out) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || text.front() == 'i' || text.front() == 'I' ||
        text.front() == 'n' || text.front() == 'N')
        return false;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool parseSop(std::string_view value, std::array<double, 9>& out) {
    // Parentheses and commas only group the numbers: read as blanks, they must
    // still stand where groups of three begin and end.
    std::string spaced(value);
    std::vector<std::size_t> opens, closes;
    std::size_t numbers = 0;
    bool inNumber = false;
    for (char& c : spaced) {
        if (c == '(' || c == ')') {
            (c == '(' ? opens : closes).push_back(numbers);
            c = ' ';
        } else if (c == ',') {
            c = ' ';
        }
        const bool blank = isBlank(c);
        if (!blank && !inNumber)
            ++numbers;
        inNumber = !blank;
    }
    const bool grouped = opens.size() == 3 && closes.size() == 3 && opens[0] == 0 &&
                         closes[0] == 3 && opens[1] == 3 && closes[1] == 6 && opens[2] == 6 &&
                         closes[2] == 9;
    if (!grouped && (!opens.empty() || !closes.empty()))
        return false;
    std::vector<std::string_view> fields;
    splitFields(spaced, fields);
    if (fields.size() != 9)
        return false;
    std::array<double, 9> read{};
    for (std::size_t i = 0; i < 9; ++i)
        if (!parseNumber(fields[i], read[i]))
            return false;
    out = read;
    return true;
}

bool parseSat(std::string_view value, double& out) {
    return parseNumber(value, out);
}

bool parseSpeedChange(std::string_view value, SpeedChange& out) {
    std::vector<std::string_view> fields;
    splitFields(value, fields);
    SpeedChange read;
    if (fields.size() != 3 || !parseNumber(fields[1], read.speed) ||
        !parseTimecodeText(fields[2], read.sourceIn))
        return false;
    read.reel.assign(fields[0]);
    out = std::move(read);
    return true;
}

std::uint8_t audChannels(std::string_view value) {
    std::vector<std::string_view> fields;
    splitFields(value, fields);
    if (fields.size() > 2)
        return 0;
    std::uint8_t read = 0;
    for (const std::string_view field : fields) {
        if (field == "3")
            read |= kAudio3;
        else if (field == "4")
            read |= kAudio4;
        else
            return 0;
    }
    return read;
}

} // namespace ZEM_0_81::Interchange::Cmx
