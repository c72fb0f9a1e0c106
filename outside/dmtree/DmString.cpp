#include "outside/dmtree/DmString.h"

DmString::DmString(const wchar_t* text) {
    if (!text)
        return;
    for (; *text; ++text) {
        const auto c = static_cast<unsigned long>(*text);
        if (c < 0x80) {
            m_text += static_cast<char>(c);
        } else if (c < 0x800) {
            m_text += static_cast<char>(0xC0 | (c >> 6));
            m_text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            m_text += static_cast<char>(0xE0 | (c >> 12));
            m_text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            m_text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            m_text += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            m_text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            m_text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            m_text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}
