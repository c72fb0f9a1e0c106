// zemcomp with FCPXML: known by name, bundle or text, a project chosen with
// --timeline, losses by element path and --strict, written in each version.

#include "tests/tools/ToolTest.h"

namespace zemcomp::test {
namespace {

class ZemcompFcpxml : public ToolTest {};

// Two projects at 25 fps. "Long": a clip from its media's 10s (frame 250),
// 2s from 00:00:00:00, with a filter the edit tree has no place for. "Short":
// a clip of 1s.
const char* const kDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE fcpxml>
<fcpxml version="1.9">
  <resources>
    <format id="r1" frameDuration="1/25s"/>
    <asset id="a1" name="one" start="0s" duration="60s" hasVideo="1" format="r1">
      <media-rep kind="original-media" src="file:///m/one.mov"/>
    </asset>
    <effect id="fx" name="Blur" uid="blur"/>
  </resources>
  <library>
    <event name="Day">
      <project name="Long"><sequence format="r1" tcStart="0s"><spine>
        <asset-clip ref="a1" offset="0s" start="10s" duration="2s"><filter-video ref="fx"/></asset-clip>
      </spine></sequence></project>
      <project name="Short"><sequence format="r1" tcStart="0s"><spine>
        <asset-clip ref="a1" offset="0s" start="0s" duration="1s"/>
      </spine></sequence></project>
    </event>
  </library>
</fcpxml>
)";

TEST_F(ZemcompFcpxml, ADocumentIsReadByNameBundleOrTextAndItsLossesFailStrictly) {
    const fs::path named = scratchFile("cut.fcpxml", kDocument);
    const ToolRun info = run("info --json " + named.string());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find(R"("dialect":"fcpxml")"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(R"("duration":{"status":0,"ticks":50,"rate":[25,1]})"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.err.find(named.string() +
                            ": /fcpxml/library/event/project[1]/sequence/spine/asset-clip/"
                            "filter-video: filter-video: "),
              std::string::npos)
        << info.err;
    EXPECT_EQ(run("check --strict " + named.string()).exitCode, 1);
    // Both projects are timelines; --sequence names one.
    EXPECT_NE(run("info " + named.string()).out.find("timelines 2"), std::string::npos);
    EXPECT_NE(run("info --json --sequence Short " + named.string())
                  .out.find(R"("duration":{"status":0,"ticks":25,"rate":[25,1]})"),
              std::string::npos);
    const ToolRun missing = run("info --timeline 3 " + named.string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no timeline \"3\": the document holds 2: 1 \"Long\", 2 \"Short\""),
              std::string::npos)
        << missing.err;

    // A bundle folder, through its Info.fcpxml; a text of another name by its root.
    const fs::path bundle = scratch / "cut.fcpxmld";
    fs::create_directory(bundle);
    write(bundle / "Info.fcpxml", kDocument);
    // Named with or without final slashes, as a shell completes a folder.
    for (const std::string& path : {bundle.string(), bundle.string() + "/", bundle.string() + "//"})
        EXPECT_NE(run("list --json " + path).out.find(R"("start":250)"), std::string::npos) << path;
    // A plain file of a bundle's name is read as it stands; a bundle without
    // its document says which file is missing.
    const fs::path plain = scratchFile("plain.fcpxmld", kDocument);
    EXPECT_NE(run("list --json " + plain.string()).out.find(R"("start":250)"), std::string::npos);
    const fs::path empty = scratch / "empty.fcpxmld";
    fs::create_directory(empty);
    const ToolRun missingDocument = run("check " + empty.string());
    EXPECT_EQ(missingDocument.exitCode, 1);
    EXPECT_NE(missingDocument.err.find(empty.string() +
                                       "/Info.fcpxml: cannot open: No such file or directory"),
              std::string::npos)
        << missingDocument.err;
    const fs::path text = scratchFile("cut.xml.txt", kDocument);
    EXPECT_NE(run("info --json " + text.string()).out.find(R"("dialect":"fcpxml")"),
              std::string::npos);
    const ToolRun broken =
        run("check --from fcpxml " + scratchFile("x.fcpxml", "<fcpxml>").string());
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("not XML: line 1"), std::string::npos) << broken.err;
}

TEST_F(ZemcompFcpxml, ConvertWritesEachVersionReadingBackTheSameCut) {
    const std::string cut = example("short-cut.otio.json");
    for (const char* version : {"1.8", "1.11", "1.13"}) {
        const fs::path out = scratch / ("short." + std::string(version) + ".fcpxml");
        const ToolRun written = run("convert " + cut + " --to fcpxml --fcpxml-version " + version +
                                    " -o " + out.string());
        ASSERT_EQ(written.exitCode, 0) << written.err;
        EXPECT_NE(read(out).find("<fcpxml version=\"" + std::string(version) + "\">"),
                  std::string::npos);
        const std::string back = run("list --json " + out.string()).out;
        // short-cut's first clip, 48 frames from 01:00:00:00.
        EXPECT_NE(back.find(R"("type":"clip","name":"sh010_comp_v003",)"), std::string::npos)
            << back;
        EXPECT_NE(back.find(R"("record":{"start":86400,"duration":48})"), std::string::npos)
            << back;
    }
    EXPECT_EQ(run("convert " + cut + " --to fcpxml --fcpxml-version 1.7").exitCode, 2);
    EXPECT_EQ(run("convert " + cut + " --to edl --fcpxml-version 1.9").exitCode, 2);
}

} // namespace
} // namespace zemcomp::test
