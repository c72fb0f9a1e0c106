#pragma once

// Fitting labels into the room a picture gives them. Labels are set in a
// monospace font, so a label's width is its number of columns times the
// font's advance: one column per character, two for the wide characters of
// East Asian scripts.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zemcomp {

/// The advance of one column, as a share of the font size. Monospace fonts
/// advance 0.6 em (DejaVu Sans Mono 0.602, Menlo and Consolas 0.55 to 0.6);
/// a little more keeps a fitted label inside its room in all of them.
constexpr double kColumnAdvance = 0.62;

/// The columns `text` (UTF-8; bytes that are not count one each) takes.
std::size_t displayColumns(std::string_view text);

/// The width in pixels of `text` at `fontSize`.
double textWidth(std::string_view text, double fontSize);

/// How many columns fit in `width` pixels at `fontSize`.
std::size_t columnsIn(double width, double fontSize);

/// Where a shortened text loses its characters.
enum class Elide {
    /// Keep the start and the end: a shot's name and its version suffix stay
    /// readable ("sh010_comp_v003" in 10 columns is "sh010…v003"). Below 10
    /// columns, as End.
    Middle,
    /// Keep the start, as a sentence is read ("Too dark ag…").
    End
};

/// `text` when it takes at most `columns` columns; otherwise shortened around
/// "…" to `columns` columns at most. Empty when `columns` is below 3, where
/// nothing readable fits. Never cuts a character in two.
std::string fitText(std::string_view text, std::size_t columns, Elide elide = Elide::End);

/// `text` broken into lines of at most `columns` columns at its spaces; a word
/// longer than a line is shortened by fitText.
std::vector<std::string> wrapText(std::string_view text, std::size_t columns);

} // namespace zemcomp
