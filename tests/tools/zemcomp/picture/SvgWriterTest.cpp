#include "tools/zemcomp/picture/SvgWriter.h"

#include "tests/tools/SvgDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace zemcomp {
namespace {

TEST(SvgWriter, NumbersHaveAtMostTwoDecimalsAndOneSpelling) {
    EXPECT_EQ(SvgWriter::number(12.0), "12");
    EXPECT_EQ(SvgWriter::number(12.5), "12.5");
    EXPECT_EQ(SvgWriter::number(-0.25), "-0.25");
    EXPECT_EQ(SvgWriter::number(1.0 / 3.0), "0.33");
    EXPECT_EQ(SvgWriter::number(2.0 / 3.0), "0.67");
    EXPECT_EQ(SvgWriter::number(0.999), "1");
    EXPECT_EQ(SvgWriter::number(-0.001), "0");
    EXPECT_EQ(SvgWriter::number(1234567.891), "1234567.89");
    EXPECT_EQ(SvgWriter::number(1e300), "1000000000");
    EXPECT_EQ(SvgWriter::number(-std::numeric_limits<double>::infinity()), "-1000000000");
    EXPECT_EQ(SvgWriter::number(std::nan("")), "0");
}

TEST(SvgWriter, EscapesWhatXmlReservesAndReplacesWhatItForbids) {
    EXPECT_EQ(SvgWriter::escape("a<b>&\"c\" 'd'"), "a&lt;b&gt;&amp;&quot;c&quot; &apos;d&apos;");
    EXPECT_EQ(SvgWriter::escape("one\ntwo\tthree\r"), "one&#10;two&#9;three&#13;");
    // Control characters and bytes that are not UTF-8 become U+FFFD.
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(SvgWriter::escape(std::string("a\x01"
                                            "b",
                                            3)),
              "a" + replacement + "b");
    EXPECT_EQ(SvgWriter::escape(std::string("\0", 1)), replacement);
    EXPECT_EQ(SvgWriter::escape("\xFF"), replacement);
    EXPECT_EQ(SvgWriter::escape("\xC3"), replacement);                   // truncated
    EXPECT_EQ(SvgWriter::escape("\xC0\xAF"), replacement + replacement); // overlong
    EXPECT_EQ(SvgWriter::escape("\xED\xA0\x80"),
              replacement + replacement + replacement);        // surrogate
    EXPECT_EQ(SvgWriter::escape("\xEF\xBF\xBE"), replacement); // U+FFFE is no XML character
    // Well-formed UTF-8 passes unchanged.
    EXPECT_EQ(SvgWriter::escape("caf\xC3\xA9 \xF0\x9F\x8E\xAC"), "caf\xC3\xA9 \xF0\x9F\x8E\xAC");
}

TEST(SvgWriter, AnyTextGivesAWellFormedDocument) {
    // Every byte value, in an attribute and as character data.
    std::string everything;
    for (int byte = 0; byte < 256; ++byte)
        everything += static_cast<char>(byte);
    SvgWriter svg(100.0, 50.5, {{"data-name", everything}});
    svg.open("g", {{"class", "x"}});
    svg.text("title", {}, everything);
    svg.empty("rect", {{"x", 1.5}, {"width", 2.0}});
    svg.open("g");
    // Left open: finish() closes what is open.
    const std::string text = svg.finish();

    const test::SvgDocument document = test::SvgDocument::parse(text);
    ASSERT_TRUE(document.root) << document.error << "\n" << text;
    EXPECT_EQ(document.root->attribute("viewBox"), "0 0 100 50.5");
    const auto titles = document.root->all("title");
    ASSERT_EQ(titles.size(), 1u);
    // Line ends and tabs survive; the printable ASCII range is intact.
    EXPECT_NE(titles[0]->text.find("\t\n"), std::string::npos);
    EXPECT_NE(titles[0]->text.find(" !\"#$%&'()*+,-./0123456789:;<=>?@"), std::string::npos);
    EXPECT_EQ(document.root->attribute("data-name").substr(0, 3), "\xEF\xBF\xBD");
    EXPECT_EQ(document.root->all("rect").front()->attribute("x"), "1.5");
}

} // namespace
} // namespace zemcomp
