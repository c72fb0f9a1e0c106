// Reading ASC CDL text: the three forms in each namespace and spelling, values
// that are not numbers, texts that are no CDL, and hostile texts.

#include "interchange/AscCdl.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::test {
namespace {

using Look = AscCdl::Look;

AscCdl::Contents readCdl(const std::string& text, LossReport& losses) {
    AscCdl::Contents contents;
    String message;
    EXPECT_TRUE(AscCdl::read(text.data(), text.size(), contents, losses, &message))
        << message.c_str();
    return contents;
}

void expectLook(const Look& expected, const Look& actual, const std::string& what) {
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_NEAR(expected.slope[c], actual.slope[c], 1e-9) << what;
        EXPECT_NEAR(expected.offset[c], actual.offset[c], 1e-9) << what;
        EXPECT_NEAR(expected.power[c], actual.power[c], 1e-9) << what;
    }
    EXPECT_NEAR(expected.saturation, actual.saturation, 1e-9) << what;
}

constexpr const char* kSop = "<SOPNode><Slope>1.0123456789 0.9 1.1</Slope>"
                             "<Offset>-0.0123456789 0 0.02</Offset>"
                             "<Power>1.2 1 0.8</Power></SOPNode>";
const Look kSopLook{{1.0123456789, 0.9, 1.1}, {-0.0123456789, 0, 0.02}, {1.2, 1, 0.8}, 1.0};

TEST(AscCdlRead, ReadsEachFormNamespaceAndSpelling) {
    Look saturated = kSopLook;
    saturated.saturation = 0.75;
    Look onlySaturation;
    onlySaturation.saturation = 0.75;
    struct Case {
        const char* what;
        std::string text;
        AscCdl::Form form;
        const char* version;
        std::vector<std::string> ids;
        Look first;
        Look last;
        std::uint32_t firstLine;
        std::uint32_t lastLine;
        std::vector<std::string> mediaOfLast;
    };
    const std::string sat = "<SatNode><Saturation>0.75</Saturation></SatNode>";
    const std::vector<Case> cases = {
        {".cc, 1.01, the older SATNode",
         "<?xml version=\"1.0\"?>\n<ColorCorrection xmlns=\"urn:ASC:CDL:v1.01\" id=\"sh010\">" +
             std::string(kSop) + "<SATNode><Saturation>0.75</Saturation></SATNode>" +
             "</ColorCorrection>",
         AscCdl::Form::Correction,
         "1.01",
         {"sh010"},
         saturated,
         saturated,
         2,
         2,
         {}},
        {".cc without a namespace or a SatNode",
         "<ColorCorrection id=\"a\">" + std::string(kSop) + "</ColorCorrection>",
         AscCdl::Form::Correction,
         "",
         {"a"},
         kSopLook,
         kSopLook,
         1,
         1,
         {}},
        {".ccc, 1.2, the second without a SOPNode",
         "<ColorCorrectionCollection xmlns=\"urn:ASC:CDL:v1.2\">\n<Description>reel 1</Description>"
         "\n<ColorCorrection id=\"a\">" +
             std::string(kSop) + sat + "</ColorCorrection>\n<ColorCorrection id=\"b\">" + sat +
             "</ColorCorrection></ColorCorrectionCollection>",
         AscCdl::Form::Collection,
         "1.2",
         {"a", "b"},
         saturated,
         onlySaturation,
         3,
         4,
         {}},
        {".ccc with its namespace on a prefix, CRLF line ends",
         "<cdl:ColorCorrectionCollection xmlns:cdl=\"urn:ASC:CDL:v1.2\">\r\n\r\n"
         "<cdl:ColorCorrection id=\"a\"><cdl:SatNode><cdl:Saturation>0.75</cdl:Saturation>"
         "</cdl:SatNode></cdl:ColorCorrection></cdl:ColorCorrectionCollection>",
         AscCdl::Form::Collection,
         "1.2",
         {"a"},
         onlySaturation,
         onlySaturation,
         3,
         3,
         {}},
        // The reference takes the correction it names, at its own place and line,
        // with the media of its own decision.
        {".cdl, a decision by reference",
         "<ColorDecisionList xmlns=\"urn:ASC:CDL:v1.2\">\n<ColorDecision>"
         "<MediaRef ref=\"file:///shots/A.mov\"/><ColorCorrection id=\"a\">" +
             std::string(kSop) +
             "</ColorCorrection></ColorDecision>\n<ColorDecision><MediaRef ref=\"B.mov\"/>\n"
             "<ColorCorrectionRef ref=\"a\"/></ColorDecision></ColorDecisionList>",
         AscCdl::Form::DecisionList,
         "1.2",
         {"a", "a"},
         kSopLook,
         kSopLook,
         2,
         4,
         {"B.mov"}},
    };
    for (const Case& c : cases) {
        LossReport losses;
        const AscCdl::Contents contents = readCdl(c.text, losses);
        EXPECT_EQ(contents.form, c.form) << c.what;
        EXPECT_EQ(contents.version, c.version) << c.what;
        std::vector<std::string> ids;
        for (const AscCdl::Correction& correction : contents.corrections)
            ids.push_back(correction.id);
        EXPECT_EQ(ids, c.ids) << c.what;
        EXPECT_TRUE(losses.isEmpty()) << c.what;
        if (contents.corrections.empty())
            continue;
        expectLook(c.first, contents.corrections.front().look, c.what);
        EXPECT_EQ(contents.corrections.front().line, c.firstLine) << c.what;
        expectLook(c.last, contents.corrections.back().look, c.what);
        EXPECT_EQ(contents.corrections.back().line, c.lastLine) << c.what;
        EXPECT_EQ(contents.corrections.back().mediaRefs, c.mediaOfLast) << c.what;
    }
}

TEST(AscCdlRead, ReportsValuesThatAreNotNumbersAndReadsTheRest) {
    struct Case {
        const char* slope;
        const char* saturation;
        std::vector<std::string> entries;
    };
    // Each bad value keeps the identity and is reported at its line; the good
    // Power (2 2 2, line 3) is read whatever happens to the others.
    const std::vector<Case> cases = {
        {"1 2",
         "0.5",
         {"line 2 | Slope | \"1 2\" is not three finite numbers: read as 1 1 1, the "
          "identity"}},
        {"1 2 3 4",
         "0.5",
         {"line 2 | Slope | \"1 2 3 4\" is not three finite numbers: read as 1 "
          "1 1, the identity"}},
        {"1e999 1 1",
         "nan",
         {"line 2 | Slope | \"1e999 1 1\" is not three finite numbers: read as 1 1 1, the "
          "identity",
          "line 4 | Saturation | \"nan\" is not one finite number: read as 1, the identity"}},
        {"+1.5,1 1",
         "",
         {"line 4 | Saturation | \"\" is not one finite number: read as 1, the "
          "identity"}},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("<ColorCorrection id=\"x\"><SOPNode>\n<Slope>") +
                                 c.slope + "</Slope>\n<Power>2 2 2</Power></SOPNode>\n" +
                                 "<SatNode><Saturation>" + c.saturation +
                                 "</Saturation></SatNode></ColorCorrection>";
        LossReport losses;
        const AscCdl::Contents contents = readCdl(text, losses);
        EXPECT_EQ(entriesOf(losses), c.entries) << c.slope;
        ASSERT_EQ(contents.corrections.size(), 1u);
        EXPECT_EQ(contents.corrections[0].look.power, (std::array<double, 3>{2, 2, 2}));
    }
}

TEST(AscCdlRead, NumbersAreSeparatedByAnyBlankOrComma) {
    struct Case {
        const char* slope;
        std::array<double, 3> read; ///< {1, 1, 1} with a loss when refused
        bool refused;
    };
    // Spaces, tabs, line breaks and commas each part two numbers, any run of
    // them one; a '+' is a sign as good as none, but not before a '-'.
    const std::vector<Case> cases = {
        {"0.5 0.6 0.7", {0.5, 0.6, 0.7}, false},
        {"0.5\t0.6\t0.7", {0.5, 0.6, 0.7}, false},
        {"0.5\n0.6\r\n0.7", {0.5, 0.6, 0.7}, false},
        {"0.5,0.6,0.7", {0.5, 0.6, 0.7}, false},
        {" \t0.5 ,\t0.6  0.7\t ", {0.5, 0.6, 0.7}, false},
        {"+0.5 -0.6 +7e-1", {0.5, -0.6, 0.7}, false},
        {"+-0.5 0.6 0.7", {1, 1, 1}, true},
        {"0.5;0.6;0.7", {1, 1, 1}, true},
        {"0.5 0.6 0.7x", {1, 1, 1}, true},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("<ColorCorrection id=\"x\"><SOPNode><Slope>") +
                                 c.slope + "</Slope></SOPNode></ColorCorrection>";
        LossReport losses;
        const AscCdl::Contents contents = readCdl(text, losses);
        ASSERT_EQ(contents.corrections.size(), 1u);
        EXPECT_EQ(contents.corrections[0].look.slope, c.read) << c.slope;
        EXPECT_EQ(losses.getCount(), c.refused ? 1u : 0u) << c.slope;
    }
}

TEST(AscCdlRead, ReferencesTakeTheCorrectionTheyNameAtTheirOwnPlace) {
    // A reference before the correction it names, two after one, and one that
    // names none: each keeps its place, line and media, with the values of the
    // correction of its id.
    const std::string text =
        "<ColorDecisionList>\n" // 1
        "<ColorDecision><MediaRef ref=\"A.mov\"/><ColorCorrectionRef ref=\"b\"/></ColorDecision>\n"
        "<ColorDecision><MediaRef ref=\"B.mov\"/><ColorCorrection id=\"a\"><SatNode>" // 3
        "<Saturation>0.5</Saturation></SatNode></ColorCorrection></ColorDecision>\n"
        "<ColorDecision><MediaRef ref=\"C.mov\"/><ColorCorrectionRef ref=\"a\"/></ColorDecision>\n"
        "<ColorDecision><MediaRef ref=\"D.mov\"/><ColorCorrectionRef ref=\"a\"/></ColorDecision>\n"
        "<ColorDecision><MediaRef ref=\"E.mov\"/><ColorCorrection id=\"b\"><SatNode>" // 6
        "<Saturation>0.25</Saturation></SatNode></ColorCorrection></ColorDecision>\n"
        "<ColorDecision><ColorCorrectionRef ref=\"c\"/></ColorDecision>\n" // 7
        "</ColorDecisionList>";
    LossReport losses;
    const AscCdl::Contents contents = readCdl(text, losses);
    std::vector<std::string> read;
    for (const AscCdl::Correction& c : contents.corrections)
        read.push_back(c.id + " line " + std::to_string(c.line) + " " + c.mediaRefs.at(0) + " " +
                       std::to_string(c.look.saturation));
    EXPECT_EQ(read, (std::vector<std::string>{"b line 2 A.mov 0.250000", "a line 3 B.mov 0.500000",
                                              "a line 4 C.mov 0.500000", "a line 5 D.mov 0.500000",
                                              "b line 6 E.mov 0.250000"}));
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{"line 7 | ColorCorrectionRef | names no ColorCorrection "
                                       "of this text (\"c\"): not read"});
}

TEST(AscCdlRead, FormsAreNamedByTheirExtensionInAnyCase) {
    struct Case {
        const char* path;
        bool named;
        AscCdl::Form form;
    };
    const Case cases[] = {
        {"look.cc", true, AscCdl::Form::Correction},
        {"looks/reel1.ccc", true, AscCdl::Form::Collection},
        {"C:\\grade\\cut.CDL", true, AscCdl::Form::DecisionList},
        {"cut.v2.Ccc", true, AscCdl::Form::Collection},
        {"looks.cdl/cut", false, AscCdl::Form::Correction}, // the dot is a folder's
        {"cut.xml", false, AscCdl::Form::Correction},
        {"cut", false, AscCdl::Form::Correction},
        {"cut.cdlx", false, AscCdl::Form::Correction},
    };
    for (const Case& c : cases) {
        AscCdl::Form form = AscCdl::Form::Correction;
        EXPECT_EQ(AscCdl::formOfPath(c.path, form), c.named) << c.path;
        EXPECT_EQ(form, c.form) << c.path;
    }
    EXPECT_STREQ(AscCdl::extensionOf(AscCdl::Form::Correction), "cc");
    EXPECT_STREQ(AscCdl::extensionOf(AscCdl::Form::Collection), "ccc");
    EXPECT_STREQ(AscCdl::extensionOf(AscCdl::Form::DecisionList), "cdl");
    EXPECT_STREQ(AscCdl::extensionOf(static_cast<AscCdl::Form>(3)), "");
}

TEST(AscCdlRead, FailsOnTextsThatHoldNoCorrection) {
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    std::string open = "<ColorCorrection>\n";
    for (int i = 0; i < 200000; ++i)
        open += "<a>";
    const std::vector<Case> cases = {
        {"empty", "", "line 1: the text is not XML: no document element found"},
        {"unclosed", "<ColorCorrection>\n<SOPNode>\n</ColorCorrection>",
         "line 3: the text is not XML: start-end tags mismatch"},
        {"200 000 open elements", open, "line 2: the text is not XML: start-end tags mismatch"},
        {"another root", "<ColorList/>",
         "line 1: the root element \"ColorList\" is none of ColorCorrection, "
         "ColorCorrectionCollection and ColorDecisionList"},
        {"an empty collection", "\n<ColorCorrectionCollection/>",
         "line 2: the ColorCorrectionCollection holds no ColorCorrection"},
        {"UTF-16", std::string("\xFF\xFE<\0C\0", 6),
         "line 1: the text is UTF-16; ASC CDL files are read as UTF-8"},
        {"UTF-16, big-endian", std::string("\xFE\xFF\0<\0C", 6),
         "line 1: the text is UTF-16; ASC CDL files are read as UTF-8"},
    };
    for (const Case& c : cases) {
        AscCdl::Contents contents;
        contents.version = "untouched";
        LossReport losses;
        String message;
        EXPECT_EQ(AscCdl::read(c.text.data(), c.text.size(), contents, losses, &message).getCode(),
                  Status::JsonConversionFailed)
            << c.what;
        EXPECT_STREQ(message.c_str(), c.message) << c.what;
        EXPECT_EQ(contents.version, "untouched") << c.what;
    }
}

TEST(AscCdlRead, DocumentsDeclaringOrReferringToEntitiesAreRefused) {
    // Nothing is expanded or fetched: a document type that declares entities,
    // or a reference to one that is not XML's own, fails the read at its line.
    const char* refusedDeclaration = "line 3: the document type declares entities, which are "
                                     "not read: a document that declares them is refused";
    struct Case {
        const char* what;
        std::string text;
        const char* message; // null: read, its id as given
        const char* id;
    };
    const Case cases[] = {
        {"billion laughs",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE ColorCorrection [\n<!ENTITY lol \"lol\">\n"
         "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]>\n"
         "<ColorCorrection id=\"&lol2;\"/>",
         refusedDeclaration, nullptr},
        {"external entity",
         "<!DOCTYPE ColorCorrection\n  PUBLIC \"a>b\" \"c.dtd\" [\n<!ENTITY secret SYSTEM "
         "\"file:///etc/passwd\">]>\n<ColorCorrection id=\"&secret;\"/>",
         refusedDeclaration, nullptr},
        {"parameter entity", "\n\n<!DOCTYPE c [<!ENTITY % p \"x\">]><ColorCorrection id=\"a\"/>",
         refusedDeclaration, nullptr},
        {"undeclared reference", "<ColorCorrection\n id=\"a&nbsp;b\"/>",
         "line 2: the entity reference &nbsp; is not one of XML's five (&lt; &gt; &amp; &apos; "
         "&quot;): entities are not read",
         nullptr},
        // A name holds letters, digits, '_', ':', '-', '.' and any letter
        // beyond ASCII (UTF-8 bytes from 0x80, as in "\xC3\x80", an A with a
        // grave accent): each reference is named whole.
        {"name with a dot", "<ColorCorrection id=\"&a.b;\"/>",
         "line 1: the entity reference &a.b; is not one of XML's five (&lt; &gt; &amp; &apos; "
         "&quot;): entities are not read",
         nullptr},
        {"name with marks and digits", "<ColorCorrection id=\"&_x:y-z9;\"/>",
         "line 1: the entity reference &_x:y-z9; is not one of XML's five (&lt; &gt; &amp; "
         "&apos; &quot;): entities are not read",
         nullptr},
        {"name beyond ASCII", "<ColorCorrection id=\"&\xC3\x80t\xC3\xA9;\"/>",
         "line 1: the entity reference &\xC3\x80t\xC3\xA9; is not one of XML's five (&lt; "
         "&gt; &amp; &apos; &quot;): entities are not read",
         nullptr},
        // XML's five and character references are read; a declaration inside a
        // comment, references in comments and CDATA, and a document type
        // naming an outside DTD declare nothing.
        {"XML's own", "<ColorCorrection id=\"a&amp;b&lt;&#65;&#x42;&quot;\"/>", nullptr,
         "a&b<AB\""},
        {"commented out",
         "<!DOCTYPE c [<!-- <!ENTITY x \"y\"> -->]>\n<!-- &x; --><ColorCorrection id=\"c\">"
         "<![CDATA[&x;]]></ColorCorrection>",
         nullptr, "c"},
        {"outside DTD", "<!DOCTYPE ColorCorrection SYSTEM \"cdl.dtd\"><ColorCorrection id=\"d\"/>",
         nullptr, "d"},
    };
    for (const Case& c : cases) {
        AscCdl::Contents contents;
        LossReport losses;
        String message;
        const Status status =
            AscCdl::read(c.text.data(), c.text.size(), contents, losses, &message);
        if (c.message) {
            EXPECT_EQ(status.getCode(), Status::JsonConversionFailed) << c.what;
            EXPECT_STREQ(message.c_str(), c.message) << c.what;
            EXPECT_TRUE(contents.corrections.empty()) << c.what;
        } else {
            ASSERT_TRUE(status) << c.what << ": " << message.c_str();
            ASSERT_EQ(contents.corrections.size(), 1u) << c.what;
            EXPECT_EQ(contents.corrections[0].id, c.id) << c.what;
        }
    }
}

TEST(AscCdlRead, HostileTextsReadNothingFromOutside) {
    LossReport losses;
    AscCdl::Contents contents;
    // 200 000 nested elements inside a correction, and a number of 100 000
    // digits, quoted in the report by its first 40 bytes.
    std::string nested;
    for (int i = 0; i < 200000; ++i)
        nested += "<n>";
    for (int i = 0; i < 200000; ++i)
        nested += "</n>";
    const std::string huge = "<ColorCorrection id=\"deep\">" + nested + "<SatNode><Saturation>" +
                             std::string(100000, '9') + "</Saturation></SatNode></ColorCorrection>";
    contents = readCdl(huge, losses);
    ASSERT_EQ(contents.corrections.size(), 1u);
    EXPECT_EQ(contents.corrections[0].look, Look());
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{"line 1 | Saturation | \"" + std::string(40, '9') +
                                       "...\" is not one finite number: read as 1, the identity"});

    // The cut never splits a character: 39 digits and "é" (two bytes) end before
    // the "é"; bytes that are all UTF-8 continuations have no character to keep.
    const std::pair<std::string, std::string> cuts[] = {
        {std::string(39, '9') + "\xC3\xA9\xC3\xA9", std::string(39, '9')},
        {std::string(50, '\x80'), ""},
    };
    for (const auto& [number, kept] : cuts) {
        readCdl("<ColorCorrection id=\"c\"><SatNode><Saturation>" + number +
                    "</Saturation></SatNode></ColorCorrection>",
                losses);
        EXPECT_EQ(
            entriesOf(losses),
            std::vector<std::string>{"line 1 | Saturation | \"" + kept +
                                     "...\" is not one finite number: read as 1, the identity"});
    }

    // A decision of 100 000 MediaRefs and 100 000 corrections is its first
    // correction, the media copied once.
    std::string decision = "<ColorDecisionList><ColorDecision>";
    for (int i = 0; i < 100000; ++i)
        decision += "<MediaRef ref=\"m\"/><ColorCorrection id=\"c\"/>";
    contents = readCdl(decision + "</ColorDecision></ColorDecisionList>", losses);
    ASSERT_EQ(contents.corrections.size(), 1u);
    EXPECT_EQ(contents.corrections[0].mediaRefs.size(), 100000u);
    EXPECT_EQ(entriesOf(losses),
              std::vector<std::string>{"line 1 | ColorCorrection | a second correction of one "
                                       "ColorDecision: not read, the decision is its first"});
}

} // namespace
} // namespace ZEM_0_81::test
