#include "tools/zemcomp/text/TextFit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zemcomp {
namespace {

TEST(TextFit, ShortTextsStayWholeLongOnesLoseTheirMiddleOrEnd) {
    EXPECT_EQ(fitText("sh010_comp_v003", 15, Elide::Middle), "sh010_comp_v003");
    EXPECT_EQ(fitText("sh010_comp_v003", 10, Elide::Middle), "sh010\xE2\x80\xA6v003");
    EXPECT_EQ(fitText("Boat wake too bright", 8, Elide::End), "Boat wa\xE2\x80\xA6");
    // A tail of one to four columns says little: short rooms keep the start.
    EXPECT_EQ(fitText("sh010_comp_v003", 9, Elide::Middle), "sh010_co\xE2\x80\xA6");
    EXPECT_EQ(fitText("abcdef", 3, Elide::Middle), "ab\xE2\x80\xA6");
    // Below three columns nothing readable fits.
    EXPECT_EQ(fitText("abcdef", 2), "");
    EXPECT_EQ(fitText("ab", 2), "ab");
    EXPECT_EQ(fitText("", 0), "");
    // The result never takes more than the columns given.
    const std::string name = "a rather long name for one clip";
    for (std::size_t columns = 3; columns < name.size(); ++columns)
        for (const Elide elide : {Elide::Middle, Elide::End})
            EXPECT_LE(displayColumns(fitText(name, columns, elide)), columns) << columns;
}

TEST(TextFit, CharactersAreCountedAndNeverCutInTwo) {
    // "é" is two bytes, one column; "日本" two characters of two columns each.
    EXPECT_EQ(displayColumns("caf\xC3\xA9"), 4u);
    EXPECT_EQ(displayColumns("\xE6\x97\xA5\xE6\x9C\xAC"), 4u);
    // Bytes that are not UTF-8 count one column each.
    EXPECT_EQ(displayColumns("a\xFF\xC3"), 3u);

    const std::string accents =
        "\xC3\xA9t\xC3\xA9_\xC3\xA9t\xC3\xA9_\xC3\xA9t\xC3\xA9"; // été_été_été
    EXPECT_EQ(fitText(accents, 10, Elide::Middle),
              "\xC3\xA9t\xC3\xA9_\xC3\xA9\xE2\x80\xA6_\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(fitText(accents, 5, Elide::Middle), "\xC3\xA9t\xC3\xA9_\xE2\x80\xA6");
    // A wide character that would overrun the room is left out whole.
    EXPECT_EQ(fitText("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 4, Elide::End),
              "\xE6\x97\xA5\xE2\x80\xA6");
}

TEST(TextFit, WrapBreaksAtSpacesAndShortensLongWords) {
    EXPECT_EQ(wrapText("one two three four", 9),
              (std::vector<std::string>{"one two", "three", "four"}));
    EXPECT_EQ(wrapText("  spaced   out  ", 20), (std::vector<std::string>{"spaced out"}));
    EXPECT_EQ(wrapText("abcdefghijkl xy", 6),
              (std::vector<std::string>{"abcde\xE2\x80\xA6", "xy"}));
    EXPECT_TRUE(wrapText("", 10).empty());
    // No room at all, or no font size, fits nothing.
    EXPECT_EQ(columnsIn(-5.0, 10.0), 0u);
    EXPECT_EQ(columnsIn(100.0, 0.0), 0u);
}

} // namespace
} // namespace zemcomp
