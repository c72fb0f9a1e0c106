#include "interchange/edl/HeaderLines.h"

#include "interchange/edl/EdlLines.h"

namespace ZEM_0_81::Interchange::Cmx {

namespace {

/// What follows `word` (any case) at the start of `line`, blanks and one colon
/// after it skipped; false when the line does not start with it, or when
/// `needsColon` and no colon follows.
bool after(std::string_view line, std::string_view word, bool needsColon, std::string_view& rest) {
    const std::string_view text = trimmed(line);
    if (text.size() < word.size() || !equalsIgnoringCase(text.substr(0, word.size()), word))
        return false;
    std::string_view tail = trimmed(text.substr(word.size()));
    const bool colon = !tail.empty() && tail.front() == ':';
    if (needsColon && !colon)
        return false;
    // "FCMX" is no FCM line: the word ends at a blank or a colon.
    if (!colon && text.size() > word.size() && !isBlank(text[word.size()]))
        return false;
    rest = colon ? trimmed(tail.substr(1)) : tail;
    return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && equalsIgnoringCase(text.substr(0, word.size()), word);
}

} // namespace

bool parseTitle(std::string_view line, std::string_view& title) {
    return after(line, "TITLE", true, title);
}

bool parseFcm(std::string_view line, bool& dropFrame) {
    std::string_view mode;
    if (!after(line, "FCM", false, mode))
        return false;
    if (startsWithIgnoringCase(mode, "NON")) {
        dropFrame = false;
        return true;
    }
    if (startsWithIgnoringCase(mode, "DROP")) {
        dropFrame = true;
        return true;
    }
    return false;
}

} // namespace ZEM_0_81::Interchange::Cmx
