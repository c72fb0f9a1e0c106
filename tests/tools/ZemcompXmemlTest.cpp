// zemcomp with Final Cut Pro 7 XML: known by name or by text, every sequence
// read and counted, --sequence picking one, losses by element path and
// --strict, and converted documents that read back as the same cut.

#include "tests/tools/ToolTest.h"

namespace zemcomp::test {
namespace {

class ZemcompXmeml : public ToolTest {};

/// A sequence named `name` at 25 fps from 10:00:00:00 (900000) of one clip of
/// 50 frames, and `more` in its clip.
std::string sequence(const std::string& name, const std::string& more = "") {
    return "<sequence><name>" + name +
           "</name><rate><timebase>25</timebase></rate><timecode><string>10:00:00:00</string>"
           "</timecode><media><video><track><clipitem><name>" +
           name +
           "-a</name><start>0</start><end>50</end><in>0</in><out>50</out><file id=\"f\">"
           "<pathurl>file://localhost/m/a.mov</pathurl></file>" +
           more + "</clipitem></track></video></media></sequence>";
}

TEST_F(ZemcompXmeml, EverySequenceIsCountedAndOneIsPicked) {
    const std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE xmeml>\n<xmeml version=\"5\">" +
                             sequence("reel 1") + "<project><children>" + sequence("reel 2") +
                             "</children></project></xmeml>";
    const fs::path named = scratchFile("cut.xml", text);
    const ToolRun info = run("info " + named.string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("dialect   xmeml"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("name      reel 1"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("timelines 2"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("10:00:00:00"), std::string::npos) << info.out;
    // By its text without the extension, and one sequence by name or number.
    const fs::path plain = scratchFile("cut.txt", text);
    for (const char* choice : {" --sequence 'reel 2'", " --timeline 2"}) {
        const ToolRun one = run("list --json" + std::string(choice) + " " + plain.string());
        ASSERT_EQ(one.exitCode, 0) << one.err;
        EXPECT_NE(one.out.find(R"("dialect":"xmeml")"), std::string::npos) << one.out;
        EXPECT_NE(one.out.find(R"("name":"reel 2-a","record":{"start":900000,"duration":50})"),
                  std::string::npos)
            << one.out;
    }
    const ToolRun missing = run("info --sequence 'reel 9' " + named.string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no timeline \"reel 9\": the document holds 2: 1 \"reel 1\", 2 "
                               "\"reel 2\""),
              std::string::npos)
        << missing.err;
}

TEST_F(ZemcompXmeml, LossesNameTheElementAndFailStrictly) {
    const fs::path path =
        scratchFile("cut.xml", "<xmeml>" + sequence("s", "<enabled>FALSE</enabled>") + "</xmeml>");
    const ToolRun check = run("check " + path.string());
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_NE(check.err.find(path.string() +
                             ": /xmeml/sequence/media/video/track/clipitem/enabled: enabled: "
                             "read as enabled"),
              std::string::npos)
        << check.err;
    EXPECT_EQ(run("check --strict " + path.string()).exitCode, 1);
    // Not XML, or another root: the file, the line and why.
    const fs::path broken = scratchFile("broken.xml", "<xmeml>\n<sequence>\n</xmeml>");
    const ToolRun bad = run("check " + broken.string());
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find(broken.string() + ": line 3: the text is not XML"), std::string::npos)
        << bad.err;
    const fs::path other = scratchFile("other.xml", "<fcpxml version=\"1.8\"/>");
    EXPECT_NE(run("check " + other.string()).err.find("the root element is <fcpxml>, not <xmeml>"),
              std::string::npos);
    // Named .xml, a text is read as xmeml whatever it holds: JSON is no XML.
    const fs::path json = scratchFile("cut-json.xml", "{\"OTIO_SCHEMA\": \"Timeline.1\"}");
    const ToolRun notXml = run("check " + json.string());
    EXPECT_EQ(notXml.exitCode, 1);
    EXPECT_NE(notXml.err.find(json.string() + ": line 1: the text is not XML"), std::string::npos)
        << notXml.err;
}

TEST_F(ZemcompXmeml, ConvertWritesADocumentThatReadsBackTheSameCut) {
    const std::string cut = example("short-cut.otio.json");
    const fs::path xml = scratch / "short.xml";
    const ToolRun written = run("convert " + cut + " --to xmeml -o " + xml.string());
    ASSERT_EQ(written.exitCode, 0) << written.err;
    // Its tracks' names are no xmeml's.
    EXPECT_NE(written.err.find(xml.string() + ": /xmeml/sequence/media/video/track[2]: track: its "
                                              "name \"V2 title\""),
              std::string::npos)
        << written.err;
    EXPECT_EQ(run("check --strict " + xml.string()).exitCode, 0);
    const std::string back = run("list --json " + xml.string()).out;
    const std::string source = run("list --json " + cut).out;
    for (
        const char* clip :
        {R"("name":"sh010_comp_v003","record":{"start":86400,"duration":48},"source":{"start":1009)",
         R"("name":"sh020_dialogue","record":{"start":86448,"duration":120})"}) {
        EXPECT_NE(back.find(clip), std::string::npos) << back;
        EXPECT_NE(source.find(clip), std::string::npos) << source;
    }
    const ToolRun strict =
        run("convert " + cut + " --to xmeml --strict -o " + (scratch / "refused.xml").string());
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_FALSE(fs::exists(scratch / "refused.xml"));
    // Written again from what it wrote: the same text.
    EXPECT_EQ(run("convert " + xml.string() + " --to xmeml").out,
              run("convert " + cut + " --to xmeml").out);
}

} // namespace
} // namespace zemcomp::test
