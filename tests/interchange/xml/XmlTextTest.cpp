// The root element every XML format is told apart by, found without a parse.

#include "interchange/xml/XmlText.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

TEST(XmlText, TheRootElementLiesPastTheProlog) {
    const std::pair<std::string, std::string> cases[] = {
        {"<xmeml version=\"5\">", "xmeml"},
        {"\xEF\xBB\xBF  \r\n<?xml version=\"1.0\"?>\n<!DOCTYPE xmeml>\n<xmeml>", "xmeml"},
        {"<!-- a <b> comment --><?pi x?><fcpxml version=\"1.8\"/>", "fcpxml"},
        // The document type's quoted text and internal subset, declarations too.
        {"<!DOCTYPE c PUBLIC \"a>b\" [<!ENTITY x \"y\"> <!ELEMENT c ANY>]><cdl:Root>", "cdl:Root"},
        {"", ""},
        {"  {\"OTIO_SCHEMA\": \"Timeline.1\"}", ""},
        {"TITLE: <not xml>", ""},
        {"<!-- never closed", ""},
        {"<", ""},
    };
    for (const auto& [text, root] : cases)
        EXPECT_EQ(Interchange::Xml::rootElementOf(text.data(), text.size()), root) << text;
    EXPECT_EQ(Interchange::Xml::rootElementOf(nullptr, 5), "");
}

} // namespace
} // namespace ZEM_0_81::test
