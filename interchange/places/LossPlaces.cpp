#include "interchange/places/LossPlaces.h"

namespace ZEM_0_81::Interchange {

void appendPointerToken(std::string& pointer, const char* token, std::size_t length) {
    pointer += '/';
    // Appended a run at a time: most tokens have nothing to escape.
    const char* const end = token + length;
    for (const char* run = token; run != end;) {
        const char* special = run;
        while (special != end && *special != '~' && *special != '/')
            ++special;
        pointer.append(run, static_cast<std::size_t>(special - run));
        if (special == end)
            break;
        pointer += *special == '~' ? "~0" : "~1";
        run = special + 1;
    }
}

std::string linePlace(std::size_t line) {
    return "line " + std::to_string(line);
}

} // namespace ZEM_0_81::Interchange
