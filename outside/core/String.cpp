#include "outside/core/String.h"

namespace ZEM_0_81 {

String::String(const char* text) : m_text(text ? text : "") {}

String::String(const char* text, std::size_t length) : m_text(text ? text : "", text ? length : 0) {}

String& String::operator=(const char* text) {
    m_text.assign(text ? text : "");
    return *this;
}

} // namespace ZEM_0_81
