#include "tools/zemcomp/text/Table.h"

#include <algorithm>
#include <utility>

namespace zemcomp {

namespace {

/// Characters of UTF-8 text: every byte but the continuation bytes.
std::size_t widthOf(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

Table::Table(std::vector<std::string> titles) {
    for (std::string& title : titles) {
        const bool right = !title.empty() && title.back() == '>';
        if (right)
            title.pop_back();
        m_right.push_back(right);
        m_titles.push_back(std::move(title));
    }
}

void Table::add(std::vector<std::string> cells) {
    cells.resize(m_titles.size());
    m_rows.push_back(std::move(cells));
}

std::string Table::text(const std::string& indent) const {
    std::vector<std::size_t> widths;
    for (const std::string& title : m_titles)
        widths.push_back(widthOf(title));
    for (const std::vector<std::string>& row : m_rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], widthOf(row[c]));

    std::string text;
    const auto addLine = [&](const std::vector<std::string>& cells) {
        std::string line = indent;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string padding(widths[c] - widthOf(cells[c]), ' ');
            if (c != 0)
                line += "  ";
            line += m_right[c] ? padding + cells[c] : cells[c] + padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    };
    addLine(m_titles);
    for (const std::vector<std::string>& row : m_rows)
        addLine(row);
    return text;
}

} // namespace zemcomp
