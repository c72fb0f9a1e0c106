// Which dialect a document's text is in, by the one rule every reader of
// documents shares, and the dialects' names.

#include "interchange/Dialect.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZEM_0_81::test {
namespace {

Dialect of(const std::string& text) {
    return detectDialect(text.c_str(), text.size());
}

TEST(Dialect, EditTreeJsonByItsFormatMember) {
    EXPECT_EQ(of(R"({"format":"KRdmtree-json","version":1,"tree":{}})"), Dialect::DmTree);
    // Wherever it stands among the top-level members, whatever it says.
    EXPECT_EQ(of(R"({"tree":{"kind":"root"},"version":1,"format":"anything"})"), Dialect::DmTree);
    // Not below the top.
    EXPECT_EQ(of(R"({"OTIO_SCHEMA":"Timeline.1","metadata":{"format":"x"}})"),
              Dialect::OtioStandard);
}

TEST(Dialect, TheProductDialectByItsTimelineMetadata) {
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"})
        EXPECT_EQ(of(readExample(name)), Dialect::Otio) << name;
    // At the top, or in the "timeline" member; after the tracks, however long.
    const std::string tracks =
        R"("tracks":{"OTIO_SCHEMA":"Stack.1","children":[)" + std::string(100000, ' ') + "]}";
    EXPECT_EQ(of("{" + tracks +
                 R"(,"metadata":{"zem":{"version":"0.81","ZEM_SCHEMA":"TimelineMetadata.1"}}})"),
              Dialect::Otio);
    EXPECT_EQ(of(R"({"timeline":{"metadata":{"zem":{"ZEM_SCHEMA":"TimelineMetadata.1"}}}})"),
              Dialect::Otio);
    // Another schema, the marker somewhere else, or a value of another type.
    EXPECT_EQ(of(R"({"metadata":{"zem":{"ZEM_SCHEMA":"Composition.1"}}})"), Dialect::OtioStandard);
    EXPECT_EQ(of(R"({"tracks":{"metadata":{"zem":{"ZEM_SCHEMA":"TimelineMetadata.1"}}}})"),
              Dialect::OtioStandard);
    EXPECT_EQ(of(R"({"metadata":{"ZEM_SCHEMA":"TimelineMetadata.1"}})"), Dialect::OtioStandard);
    EXPECT_EQ(of(R"({"metadata":{"zem":[{"ZEM_SCHEMA":"TimelineMetadata.1"}]}})"),
              Dialect::OtioStandard);
    EXPECT_EQ(of(R"({"metadata":{"zem":{"ZEM_SCHEMA":["TimelineMetadata.1"]}}})"),
              Dialect::OtioStandard);
}

TEST(Dialect, EverythingElseIsStandardOtio) {
    for (const std::string& text :
         {std::string(), std::string("not json"), std::string("[1,2]"), std::string("42"),
          std::string(R"({"OTIO_SCHEMA":"Timeline.1","metadata":{"x":NaN}})"),
          std::string(R"({"OTIO_SCHEMA":"Timeline.1")"), std::string(50000, '[')})
        EXPECT_EQ(of(text), Dialect::OtioStandard) << text.substr(0, 40);
    EXPECT_EQ(detectDialect(nullptr, 10), Dialect::OtioStandard);
    // The marker after malformed text is not seen.
    EXPECT_EQ(of(R"({"a":,"metadata":{"zem":{"ZEM_SCHEMA":"TimelineMetadata.1"}}})"),
              Dialect::OtioStandard);
}

TEST(Dialect, AnEdlByItsFirstStatement) {
    const std::string event = "001  AX V C 00:00:00:00 00:00:01:00 01:00:00:00 01:00:01:00\n";
    for (const std::string& text : std::vector<std::string>{
             "TITLE: cut\n", "title:x", "\n\r\n  TITLE: cut\r\n", "\xEF\xBB\xBFTITLE: cut\n",
             "FCM: DROP FRAME\n" + event, "fcm non-drop\n" + event, "* note\n\t\n" + event, event,
             "001\tAX\tAA/V\tD\t030\t0\t30\t0\t30"})
        EXPECT_EQ(of(text), Dialect::Edl) << text;
    for (const std::string& text : std::vector<std::string>{
             "FCM: DROP FRAME\n", "TITLE cut\n", " {\"TITLE: x\":1}", "[\"TITLE: x\"]",
             "hello\n" + event, "FCM: 25 FPS\n" + event, "FCMX: DROP FRAME\n" + event,
             "001 AX V C 0 1 0\n", std::string("TITLE\0: x", 9)})
        EXPECT_EQ(of(text), Dialect::OtioStandard) << text;
}

TEST(Dialect, FcpxmlByItsRootElement) {
    for (const std::string& text : std::vector<std::string>{
             "<fcpxml version=\"1.8\"/>",
             "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE fcpxml>\n<!-- c -->\n<fcpxml>"})
        EXPECT_EQ(of(text), Dialect::Fcpxml) << text;
    // Another root, or not XML at all.
    for (const std::string& text : std::vector<std::string>{"<fcpxmld/>", "{\"fcpxml\":1}"})
        EXPECT_NE(of(text), Dialect::Fcpxml) << text;
    Dialect named = Dialect::Otio;
    EXPECT_TRUE(dialectFromName("fcpxml", named));
    EXPECT_EQ(named, Dialect::Fcpxml);
    EXPECT_STREQ(dialectName(Dialect::Fcpxml), "fcpxml");
}

TEST(Dialect, XmlByItsFirstCharacter) {
    // Its root names the format; XML of any other root is read as xmeml too,
    // whose reader then says what the root is.
    for (const std::string& text : std::vector<std::string>{
             "<?xml version=\"1.0\"?>\n<!DOCTYPE xmeml>\n<xmeml version=\"4\">",
             "\xEF\xBB\xBF \r\n\t<xmeml>", "<!-- TITLE: x -->\n<xmeml/>", "<other/>", "<"})
        EXPECT_EQ(of(text), Dialect::Xmeml) << text;
    for (const std::string& text :
         std::vector<std::string>{"x<xmeml/>", "TITLE: <xmeml>\n", "{\"a\":\"<xmeml/>\"}"})
        EXPECT_NE(of(text), Dialect::Xmeml) << text;
}

TEST(Dialect, Names) {
    for (const Dialect dialect :
         {Dialect::DmTree, Dialect::Otio, Dialect::OtioStandard, Dialect::Edl, Dialect::Xmeml,
          Dialect::Fcpxml}) {
        Dialect back = dialect == Dialect::DmTree ? Dialect::Otio : Dialect::DmTree;
        EXPECT_TRUE(dialectFromName(dialectName(dialect), back));
        EXPECT_EQ(back, dialect);
    }
    EXPECT_STREQ(dialectName(Dialect::OtioStandard), "otio-std");
    EXPECT_STREQ(dialectName(Dialect::Edl), "edl");
    EXPECT_STREQ(dialectName(Dialect::Xmeml), "xmeml");
    EXPECT_STREQ(dialectName(static_cast<Dialect>(7)), "");
    Dialect untouched = Dialect::Otio;
    EXPECT_FALSE(dialectFromName("OTIO", untouched));
    EXPECT_FALSE(dialectFromName(nullptr, untouched));
    EXPECT_EQ(untouched, Dialect::Otio);
}

} // namespace
} // namespace ZEM_0_81::test
