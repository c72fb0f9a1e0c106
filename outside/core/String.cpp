#include "outside/core/String.h"

#include <cstring>
#include <utility>

namespace ZEM_0_81 {

String::String(const char* text) : String(text, text ? std::strlen(text) : 0) {}

String::String(const char* text, std::size_t length)
    : String(text ? std::string(text, length) : std::string()) {}

String::String(std::string&& text) {
    if (text.empty())
        return;
    // One block holds the count and the text; the pointer is to its characters.
    const auto holder = std::make_shared<const std::string>(std::move(text));
    m_chars = std::shared_ptr<const char>(holder, holder->c_str());
    m_size = holder->size();
}

String& String::operator=(const char* text) {
    *this = String(text);
    return *this;
}

String String::adopt(char* text, std::size_t length, Release release) {
    String adopted;
    if (!text)
        return adopted;
    // Should the count's block not be made, the text is released at once.
    adopted.m_chars = std::shared_ptr<const char>(
        text, [release](const char* chars) { release(const_cast<char*>(chars)); });
    adopted.m_size = length;
    return adopted;
}

bool String::operator==(const String& other) const {
    return m_size == other.m_size &&
           (m_chars == other.m_chars || std::memcmp(c_str(), other.c_str(), m_size) == 0);
}

} // namespace ZEM_0_81
