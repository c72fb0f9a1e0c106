// zemcomp looks apply and extract, and list --looks, as a grader's round trip
// runs them: looks out of one cut, onto another, and back.

#include "tests/tools/ToolTest.h"

namespace zemcomp::test {
namespace {

class ZemcompLooks : public ToolTest {};

// graded-shot.otio.json has one clip, sh040_plate_v001 on V1, with slope
// 1.08 1 0.94, offset 0.012 0 -0.008, power 1 1.02 1.05 and saturation 0.9.
const char* const kSlope = "1.08 1 0.94";

TEST_F(ZemcompLooks, ExtractedLooksGoBackToTheirClipsAndChangeNothing) {
    const std::string graded = example("graded-shot.otio.json");
    for (const char* form : {"ccc", "cdl", "cc"}) {
        const fs::path looks = scratch / (std::string("looks.") + form);
        const ToolRun extract = run("looks extract " + graded + " -o " + looks.string());
        ASSERT_EQ(extract.exitCode, 0) << extract.err;
        EXPECT_NE(read(looks).find(std::string("<Slope>") + kSlope + "</Slope>"), std::string::npos)
            << form;
        // With -o the matches are the command's output; the same look changes nothing.
        const fs::path back = scratch / "back.otio.json";
        const ToolRun apply = run("looks apply " + graded + " " + looks.string() + " -o " +
                                  back.string() + " --strict");
        ASSERT_EQ(apply.exitCode, 0) << apply.err;
        EXPECT_EQ(apply.out, looks.string() + ": sh040_plate_v001 -> track 1 V1 item 1 "
                                              "\"sh040_plate_v001\" by place (same look)\n");
        // The same table but for the headline, which names the file.
        const auto table = [](const std::string& listing) {
            return listing.substr(listing.find('\n'));
        };
        EXPECT_EQ(table(run("list --looks " + back.string()).out),
                  table(run("list --looks " + graded).out));
    }
}

TEST_F(ZemcompLooks, ACorrectionByNameGradesAnotherCutAndWhatMatchesNothingIsReported) {
    // sh010_comp_v003 is the first clip of short-cut's V1; nothing is named sh999.
    const fs::path looks = scratchFile(
        "grade.ccc",
        "<ColorCorrectionCollection xmlns=\"urn:ASC:CDL:v1.01\">\n"
        "<ColorCorrection id=\"sh010_comp_v003\"><SOPNode><Slope>2 2 2</Slope></SOPNode>"
        "</ColorCorrection>\n"
        "<ColorCorrection id=\"sh999\"><SatNode><Saturation>0</Saturation></SatNode>"
        "</ColorCorrection>\n</ColorCorrectionCollection>\n");
    const std::string cut = example("short-cut.otio.json");
    const fs::path graded = scratch / "graded.otio";
    const ToolRun apply =
        run("looks apply " + cut + " " + looks.string() + " --to otio-std -o " + graded.string());
    ASSERT_EQ(apply.exitCode, 0) << apply.err;
    EXPECT_NE(apply.out.find("sh010_comp_v003 -> track 1 V1 item 1 \"sh010_comp_v003\" by name "
                             "(new look)"),
              std::string::npos)
        << apply.out;
    EXPECT_NE(apply.err.find(looks.string() + ": line 3: ColorCorrection: correction \"sh999\""),
              std::string::npos)
        << apply.err;
    const ToolRun listed = run("list --looks " + graded.string());
    EXPECT_NE(listed.out.find("sh010_comp_v003  01:00:00:00  01:00:02:00  2 2 2  0 0 0   1 1 1  1"),
              std::string::npos)
        << listed.out;

    // Under --strict the unmatched correction fails the cut, and nothing is written.
    const fs::path refused = scratch / "refused.otio";
    EXPECT_EQ(run("looks apply " + cut + " " + looks.string() + " --strict -o " + refused.string())
                  .exitCode,
              1);
    EXPECT_FALSE(fs::exists(refused));
}

TEST_F(ZemcompLooks, WhatIsNoLooksFileFailsWithItsNameLineAndReason) {
    const std::string cut = example("short-cut.otio.json");
    const fs::path notXml = scratchFile("bad.ccc", "<ColorCorrectionCollection>\n<oops");
    const ToolRun bad = run("looks apply " + cut + " " + notXml.string());
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.rfind("zemcomp: " + notXml.string() + ": line 2", 0), 0u) << bad.err;
    // A looks file declaring entities is refused, and nothing is written.
    const fs::path laughs = scratchFile(
        "laughs.ccc", "<!DOCTYPE c [<!ENTITY a \"aaaa\">]>\n<ColorCorrection id=\"&a;\"/>");
    const fs::path graded = scratch / "graded.otio";
    const ToolRun refused =
        run("looks apply " + cut + " " + laughs.string() + " -o " + graded.string());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.rfind("zemcomp: " + laughs.string() + ": line 1: the document type "
                                "declares entities",
                                0),
              0u)
        << refused.err;
    EXPECT_FALSE(fs::exists(graded));
    // A cut without looks has none to extract.
    const ToolRun none = run("looks extract " + cut);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("no clip has a look"), std::string::npos) << none.err;
}

} // namespace
} // namespace zemcomp::test
