#include "interchange/places/LossPlaces.h"

namespace ZEM_0_81::Interchange {

void appendPointerToken(std::string& pointer, const char* token, std::size_t length) {
    pointer += '/';
    for (std::size_t i = 0; i < length; ++i) {
        const char c = token[i];
        if (c == '~')
            pointer += "~0";
        else if (c == '/')
            pointer += "~1";
        else
            pointer += c;
    }
}

std::string linePlace(std::size_t line) {
    return "line " + std::to_string(line);
}

} // namespace ZEM_0_81::Interchange
