#include "interchange/TimelineChoice.h"

#include <algorithm>

namespace ZEM_0_81::Interchange {

namespace {

/// The timelines listed in a failure, at most.
constexpr std::size_t kListed = 10;

/// `text` as a whole number from 1 without sign or blanks; 0 otherwise.
std::size_t ordinalOf(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return static_cast<std::size_t>(std::stoul(text));
}

} // namespace

bool chooseTimeline(const std::string& choice, const std::vector<std::string>& names,
                    std::size_t& index, std::string& why) {
    if (choice.empty() && !names.empty()) {
        index = 0;
        return true;
    }
    const auto named = std::find(names.begin(), names.end(), choice);
    if (named != names.end()) {
        index = static_cast<std::size_t>(named - names.begin());
        return true;
    }
    const std::size_t ordinal = ordinalOf(choice);
    if (ordinal >= 1 && ordinal <= names.size()) {
        index = ordinal - 1;
        return true;
    }
    why = "no timeline \"" + choice + "\": the document holds " + std::to_string(names.size());
    for (std::size_t i = 0; i < names.size() && i < kListed; ++i)
        why += (i == 0 ? ": " : ", ") + std::to_string(i + 1) + " \"" + names[i] + "\"";
    if (names.size() > kListed)
        why += ", ...";
    return false;
}

} // namespace ZEM_0_81::Interchange
