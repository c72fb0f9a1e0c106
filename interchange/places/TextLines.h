#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ZEM_0_81::Interchange {

/// The lines of a text, to say where a byte of it is: line numbers count from 1,
/// a line ending at each LF (a CRLF ends one line too).
class TextLines {
public:
    TextLines(const char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i)
            if (text[i] == '\n')
                m_breaks.push_back(i);
    }

    /// The line holding the byte at `offset` (line 1 for a negative offset).
    std::uint32_t lineOf(std::ptrdiff_t offset) const {
        if (offset <= 0)
            return 1;
        const auto before =
            std::lower_bound(m_breaks.begin(), m_breaks.end(), static_cast<std::size_t>(offset));
        return static_cast<std::uint32_t>(before - m_breaks.begin()) + 1;
    }

private:
    std::vector<std::size_t> m_breaks; ///< the offsets of the LF bytes, in order
};

} // namespace ZEM_0_81::Interchange
