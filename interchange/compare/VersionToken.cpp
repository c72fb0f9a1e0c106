#include "interchange/compare/VersionToken.h"

#include <cstddef>

namespace ZEM_0_81::Interchange::Compare {

namespace {

constexpr std::size_t kMaxVersionDigits = 6;

bool isSeparator(char c) {
    return c == '_' || c == '.' || c == '-' || c == ' ' || c == '/';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The length of the version token at `at` in `name`, or 0 when none starts
/// there.
std::size_t tokenAt(const std::string& name, std::size_t at) {
    if (name[at] != 'v' && name[at] != 'V')
        return 0;
    if (at > 0 && !isSeparator(name[at - 1]))
        return 0;
    std::size_t end = at + 1;
    while (end < name.size() && isDigit(name[end]))
        ++end;
    const std::size_t digits = end - at - 1;
    if (digits == 0 || digits > kMaxVersionDigits)
        return 0;
    if (end < name.size() && !isSeparator(name[end]))
        return 0;
    return end - at;
}

} // namespace

std::string withoutVersion(const std::string& name) {
    std::string kept;
    std::size_t copied = 0; // name[copied, i) is still to be kept
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t length = tokenAt(name, i);
        if (length == 0) {
            ++i;
            continue;
        }
        if (kept.empty())
            kept.reserve(name.size());
        kept.append(name, copied, i - copied);
        i += length;
        // The separator before the token goes with it; at the start of the name
        // or of a path's part, the one after it.
        if (!kept.empty() && kept.back() != '/')
            kept.pop_back();
        else if (i < name.size() && name[i] != '/' && isSeparator(name[i]))
            ++i;
        else if (!kept.empty() && i < name.size() && name[i] == '/')
            ++i;
        copied = i;
    }
    if (copied == 0)
        return name;
    kept.append(name, copied, std::string::npos);
    return kept;
}

} // namespace ZEM_0_81::Interchange::Compare
