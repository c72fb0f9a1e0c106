#pragma once

// A text table for the terminal: a header row and rows of cells, each column as
// wide as its widest cell.

#include <string>
#include <vector>

namespace zemcomp {

class Table {
public:
    /// A table with these column titles. A title ending in '>' names a column
    /// of numbers, aligned right (the '>' is not printed).
    explicit Table(std::vector<std::string> titles);

    /// Appends a row; missing cells are empty, extra cells are dropped.
    void add(std::vector<std::string> cells);

    bool empty() const { return m_rows.empty(); }

    /// The header and the rows, each line indented by `indent` and ended by a
    /// line end; trailing spaces are left out. Widths count characters, not
    /// bytes, of UTF-8 text.
    std::string text(const std::string& indent = "") const;

private:
    std::vector<std::string> m_titles;
    std::vector<bool> m_right;
    std::vector<std::vector<std::string>> m_rows;
};

} // namespace zemcomp
