// zemcomp with EDLs: known by name or by text, read at --rate, written with the
// writer's options, losses by line and --strict, reels in list.

#include "tests/tools/ToolTest.h"

namespace zemcomp::test {
namespace {

class ZemcompEdl : public ToolTest {};

// At 24 fps: A plays 01:00:00:00-01:00:02:00 (48 frames from 86400); B follows
// for 24 frames with a freeze the edit tree does not apply (line 4).
const char* const kList = "TITLE: two shots\n"
                          "001  A001 V C 00:00:01:00 00:00:03:00 01:00:00:00 01:00:02:00\n"
                          "002  B002 V C 00:00:05:00 00:00:06:00 01:00:02:00 01:00:03:00\n"
                          "M2   B002       000.0                00:00:05:00\n";

TEST_F(ZemcompEdl, AListIsReadByNameOrTextAndItsLossesFailStrictly) {
    const fs::path named = scratchFile("cut.edl", kList);
    const ToolRun info = run("info --json " + named.string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find(R"("dialect":"edl")"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(R"("duration":{"status":0,"ticks":72,"rate":[24,1]})"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.err.find(named.string() + ": line 4: M2: "), std::string::npos) << info.err;
    EXPECT_EQ(run("check --strict " + named.string()).exitCode, 1);

    // Without the extension, by its text; --rate 25 makes the same list 25 fps.
    const fs::path text = scratchFile("cut.txt", kList);
    EXPECT_NE(run("info --json --rate 25 " + text.string()).out.find(R"("rate":[25,1])"),
              std::string::npos);
    EXPECT_EQ(run("check --rate 0 " + text.string()).exitCode, 2);

    const ToolRun listed = run("list " + named.string());
    EXPECT_NE(listed.out.find("REEL"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("A001  "), std::string::npos) << listed.out;
    EXPECT_NE(run("list --json " + named.string()).out.find(R"("reel":"B002")"), std::string::npos);
}

TEST_F(ZemcompEdl, TheEdlExtensionInAnyCaseMakesAnyTextAList) {
    // A remark first: no TITLE or event line starts the text, so only a name
    // ending in ".edl" (in any case) reads it as a list, of one clip.
    const std::string list = "made by hand\n001 AX V C 0 24 0 24\n";
    struct Case {
        const char* name;
        bool edl;
    };
    const Case cases[] = {{"cut.edl", true},      {"CUT.EDL", true}, {"cut.Edl", true},
                          {"cut.edl.txt", false}, {"cutedl", false}, {"edl", false}};
    for (const Case& c : cases) {
        const fs::path path = scratchFile(c.name, list);
        const ToolRun checked = run("check " + path.string());
        // Else it is read as JSON, which it is not: the document fails.
        EXPECT_EQ(checked.exitCode, c.edl ? 0 : 1) << c.name << checked.err;
        if (c.edl) {
            EXPECT_NE(checked.out.find("1 clip,"), std::string::npos) << checked.out;
        }
    }
}

TEST_F(ZemcompEdl, RatesAreNamesFractionsOrDecimalsReadWhole) {
    struct Case {
        const char* rate;
        const char* read; ///< the list's rate in --json, or "" when refused
    };
    const Case cases[] = {
        {"24", "[24,1]"},
        {"+24", "[24,1]"},
        {"25.0", "[25,1]"},
        {"23.976", "[24000,1001]"},
        {"29.97", "[30000,1001]"},
        {"30000/1001", "[30000,1001]"},
        {"1e1", "[10,1]"},
        {"0.5", "[1,2]"},
        {"24fps", ""},
        {"24 ", ""},
        {"", ""},
        {"0x18", ""}, // hexadecimal 24
        {"0X1.8p4", ""},
        {"-24", ""},
        {"inf", ""},
    };
    const fs::path list = scratchFile("cut.edl", kList);
    for (const Case& c : cases) {
        const ToolRun info =
            run("info --json --rate '" + std::string(c.rate) + "' " + list.string());
        if (*c.read == 0) {
            EXPECT_EQ(info.exitCode, 2) << c.rate;
            EXPECT_NE(info.err.find(std::string("not a frame rate: ") + c.rate + " ("),
                      std::string::npos)
                << info.err;
        } else {
            EXPECT_EQ(info.exitCode, 0) << c.rate << info.err;
            EXPECT_NE(info.out.find(std::string(R"("rate":)") + c.read), std::string::npos)
                << c.rate << info.out;
        }
    }
    // Files are read up to 256 at once.
    EXPECT_EQ(run("check -j 256 " + list.string()).exitCode, 0);
    EXPECT_EQ(run("check -j 257 " + list.string()).exitCode, 2);
    EXPECT_EQ(run("check -j 0 " + list.string()).exitCode, 2);
}

TEST_F(ZemcompEdl, ConvertWritesAListThatReadsBackTheSameCut) {
    const std::string cut = example("short-cut.otio.json");
    const fs::path edl = scratch / "short.edl";
    const ToolRun written = run("convert " + cut + " --to edl --track V1 -o " + edl.string());
    ASSERT_EQ(written.exitCode, 0) << written.err;
    // short-cut has a second video track, V2 title, which the list cannot hold.
    EXPECT_NE(written.err.find(edl.string() + ": track V2 title"), std::string::npos)
        << written.err;
    // Read back: the clips of V1 and their record times, A1's sound beside them.
    EXPECT_EQ(run("check --strict " + edl.string()).exitCode, 0);
    const std::string back = run("list --json " + edl.string()).out;
    EXPECT_NE(back.find(R"("type":"clip","name":"sh010_comp_v003","reel":"sh010_co",)"
                        R"("record":{"start":86400,"duration":48})"),
              std::string::npos)
        << back;
    EXPECT_NE(back.find(R"("name":"A1","kind":"audio")"), std::string::npos) << back;
    // Under --strict what the list cannot hold fails the conversion.
    const fs::path refused = scratch / "refused.edl";
    const ToolRun strict = run("convert " + cut + " --to edl --strict -o " + refused.string());
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_NE(
        strict.err.find(refused.string() + ": 1 loss while writing (--strict): nothing written"),
        std::string::npos)
        << strict.err;
    EXPECT_FALSE(fs::exists(refused));
    EXPECT_EQ(run("convert " + cut + " --to edl --track nowhere").exitCode, 2);

    // At 29.97 a list is drop frame unless asked for non-drop.
    const fs::path ntsc = scratchFile("ntsc.edl", kList);
    EXPECT_NE(
        run("convert --rate 29.97 " + ntsc.string() + " --to edl").out.find("FCM: DROP FRAME"),
        std::string::npos);
    EXPECT_NE(run("convert --rate 29.97 " + ntsc.string() + " --to edl --non-drop")
                  .out.find("FCM: NON-DROP FRAME"),
              std::string::npos);
}

} // namespace
} // namespace zemcomp::test
