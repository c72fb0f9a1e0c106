// The zemcomp tool as a user meets it: its output, its files and its exit codes.
#include "tests/tools/ToolTest.h"

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using zemcomp::test::ToolRun;

namespace {

class Zemcomp : public zemcomp::test::ToolTest {
protected:
    // Runs zemcomp with `arguments` (already quoted for the shell), with `input`
    // as its standard input when there is some.
    ToolRun run(const std::string& arguments, const std::string& input = "") {
        if (input.empty())
            return ToolTest::run(arguments);
        const fs::path inFile = scratchFile("stdin.txt", input);
        return shell(tool() + " " + arguments + " <" + inFile.string());
    }
};

} // namespace

TEST_F(Zemcomp, InfoWithoutFileSummarizesTheBundledExample) {
    const ToolRun result = run("info");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Short cut"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("3 layers"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("6 clips"), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "");
}

TEST_F(Zemcomp, InfoGivesTimesInSecondsToTheNearestMillisecond) {
    struct Case {
        const char* rate;
        int start, frames; ///< of the list's one event
        const char* startSeconds;
        const char* durationSeconds;
    };
    const Case cases[] = {
        {"24", 86400, 1, "3600.000 s", "0.042 s"}, // 1/24 = 0.04166...: up
        {"24", 86400, 2, "3600.000 s", "0.083 s"}, // 0.0833...: down
        {"24", 86400, 3, "3600.000 s", "0.125 s"},
        {"25", 90000, 1, "3600.000 s", "0.040 s"},
        // 86400 x 1001 / 24000 = 3603.6; 1001 / 24000 = 0.041708...
        {"23.976", 86400, 1, "3603.600 s", "0.042 s"},
        // 107892 x 1001 / 30000 = 3599.9964; 5 x 1001 / 30000 = 0.16683...
        {"29.97", 107892, 5, "3599.996 s", "0.167 s"},
        // 1/16 = 0.0625: a half, away from zero.
        {"16", 57600, 1, "3600.000 s", "0.063 s"},
    };
    // What follows the last ", " of the line that starts with `key`.
    const auto seconds = [](const std::string& out, const std::string& key) {
        const std::size_t line = out.find("\n" + key + " ");
        const std::size_t end = out.find(")\n", line);
        if (line == std::string::npos || end == std::string::npos)
            return std::string("no ") + key;
        const std::size_t comma = out.rfind(", ", end);
        return out.substr(comma + 2, end - comma - 2);
    };
    for (const Case& c : cases) {
        const fs::path list = scratchFile("one.edl", "001 AX V C 0 " + std::to_string(c.frames) +
                                                         " " + std::to_string(c.start) + " " +
                                                         std::to_string(c.start + c.frames) + "\n");
        const ToolRun result = run("info --rate " + std::string(c.rate) + " " + list.string());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(seconds(result.out, "start"), c.startSeconds) << c.rate << "\n" << result.out;
        EXPECT_EQ(seconds(result.out, "duration"), c.durationSeconds) << c.rate;
    }
}

TEST_F(Zemcomp, InfoJsonHasTheDocumentedShape) {
    const ToolRun result =
        run("info " + example("short-cut.otio.json") + " --json --at 86400 --at 5");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    rapidjson::Document json;
    json.Parse(result.out.c_str());
    ASSERT_FALSE(json.HasParseError()) << result.out;
    ASSERT_TRUE(json.IsObject());

    std::vector<std::string> keys;
    for (const auto& member : json.GetObject())
        keys.emplace_back(member.name.GetString());
    EXPECT_EQ(keys, (std::vector<std::string>{"status", "name", "duration", "start", "bounds",
                                              "counts", "file", "losses", "dialect"}));
    EXPECT_STREQ(json["dialect"].GetString(), "otio");
    EXPECT_TRUE(json["losses"].IsArray());
    EXPECT_EQ(json["losses"].Size(), 0u);
    EXPECT_EQ(json["file"].GetString(), example("short-cut.otio.json"));
    EXPECT_EQ(json["status"].GetInt(), 0);
    EXPECT_STREQ(json["name"].GetString(), "Short cut");
    for (const char* time : {"duration", "start"}) {
        const auto& value = json[time];
        ASSERT_TRUE(value.IsObject()) << time;
        EXPECT_EQ(value["status"].GetInt(), 0);
        EXPECT_TRUE(value["ticks"].IsInt64());
        ASSERT_TRUE(value["rate"].IsArray());
        ASSERT_EQ(value["rate"].Size(), 2u);
        EXPECT_EQ(value["rate"][0].GetInt(), 24);
        EXPECT_EQ(value["rate"][1].GetInt(), 1);
    }
    EXPECT_EQ(json["start"]["ticks"].GetInt64(), 86400);

    const auto& bounds = json["bounds"];
    ASSERT_TRUE(bounds.IsArray());
    ASSERT_EQ(bounds.Size(), 2u);
    EXPECT_EQ(bounds[0]["at"].GetInt64(), 86400);
    EXPECT_EQ(bounds[1]["at"].GetInt64(), 5);
    for (const auto& answer : bounds.GetArray()) {
        EXPECT_EQ(answer["status"].GetInt(), 0);
        ASSERT_EQ(answer["center"].Size(), 2u);
        ASSERT_EQ(answer["size"].Size(), 2u);
    }
    // At the start two full-frame sources play: 1920 x 1080 centred on the frame.
    EXPECT_DOUBLE_EQ(bounds[0]["size"][0].GetDouble(), 1920.0);
    EXPECT_DOUBLE_EQ(bounds[0]["size"][1].GetDouble(), 1080.0);
    // Long before the start nothing plays, and the frame is marked outside.
    EXPECT_DOUBLE_EQ(bounds[1]["size"][0].GetDouble(), 0.0);
    EXPECT_FALSE(bounds[0]["outside"].GetBool());
    EXPECT_TRUE(bounds[1]["outside"].GetBool());

    const auto& counts = json["counts"];
    std::vector<std::string> countKeys;
    for (const auto& member : counts.GetObject())
        countKeys.emplace_back(member.name.GetString());
    EXPECT_EQ(countKeys,
              (std::vector<std::string>{"tracks", "layers", "clips", "gaps", "effects"}));
    EXPECT_EQ(counts["tracks"].GetUint64(), 1u);
    EXPECT_EQ(counts["layers"].GetUint64(), 3u);
    EXPECT_EQ(counts["clips"].GetUint64(), 6u);
    EXPECT_EQ(counts["gaps"].GetUint64(), 1u);
    EXPECT_EQ(counts["effects"].GetUint64(), 0u);
}

TEST_F(Zemcomp, AnnotationsCountOnceAsEffects) {
    const ToolRun result = run("info " + example("review-notes.otio.json") + " --json");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    rapidjson::Document json;
    json.Parse(result.out.c_str());
    ASSERT_TRUE(json.IsObject()) << result.out;
    EXPECT_EQ(json["counts"]["effects"].GetUint64(), 2u);
    EXPECT_EQ(json["counts"]["gaps"].GetUint64(), 1u);
}

TEST_F(Zemcomp, ConvertRoundTripsEveryExample) {
    for (const char* name :
         {"short-cut.otio.json", "graded-shot.otio.json", "review-notes.otio.json"}) {
        const fs::path once = scratch / "once.json", twice = scratch / "twice.json";
        const fs::path tree = scratch / "tree.json", back = scratch / "back.json";
        ASSERT_EQ(run("convert " + example(name) + " --to otio -o " + once.string()).exitCode, 0)
            << name;
        ASSERT_EQ(run("convert " + once.string() + " --to otio -o " + twice.string()).exitCode, 0);
        EXPECT_EQ(read(once), read(twice)) << name;

        ASSERT_EQ(run("convert " + once.string() + " --to dmtree -o " + tree.string()).exitCode, 0);
        ASSERT_EQ(run("convert " + tree.string() + " --from dmtree --to otio -o " + back.string())
                      .exitCode,
                  0);
        EXPECT_EQ(read(back), read(once)) << name;
    }
}

TEST_F(Zemcomp, StandardInputAndOutputWithDash) {
    const std::string input = read(example("graded-shot.otio.json"));
    const ToolRun toStdout = run("convert - --to otio", input);
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
    const fs::path file = scratch / "graded.json";
    ASSERT_EQ(run("convert " + example("graded-shot.otio.json") + " --to otio -o " + file.string())
                  .exitCode,
              0);
    EXPECT_EQ(toStdout.out, read(file) + "\n");
}

TEST_F(Zemcomp, MalformedFileGivesOneLineWithPlaceAndReason) {
    const fs::path bad = scratch / "bad.json";
    write(bad, "{\n  \"OTIO_SCHEMA\": \"Timeline.1\"\n  \"name\": \"x\"\n}\n");
    for (const char* command : {"check", "info", "convert"}) {
        const std::string extra = std::string(command) == "convert" ? " --to otio" : "";
        const ToolRun result =
            run(std::string(command) + " " + bad.string() + extra + " --from otio");
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "zemcomp: " + bad.string() +
                                  ":3:3: Missing a comma or '}' after an object member. "
                                  "(status 517: the OTIO JSON could not be imported)\n")
            << command;
        // Without the product's marker the text reads as standard OTIO.
        const ToolRun standard = run(std::string(command) + " " + bad.string() + extra);
        EXPECT_EQ(standard.exitCode, 1) << command;
        EXPECT_EQ(standard.err, "zemcomp: " + bad.string() +
                                    ":3:3: Missing a comma or '}' after an object member. "
                                    "(status 775: the text is not well-formed JSON)\n")
            << command;
    }
}

TEST_F(Zemcomp, AControlByteInAStringIsRefusedWhereItStands) {
    // An escape character (0x1b) as it is, deep in a long name: no JSON text
    // holds one, and every reading refuses it at its place, whatever the
    // address the text is read at.
    const std::string name = std::string(37, 'n') + '\x1b' + std::string(30, 'n');
    const fs::path bad = scratch / "escape.json";
    write(bad, "{\"OTIO_SCHEMA\": \"Timeline.1\", \"tracks\": {\"OTIO_SCHEMA\": \"Stack.1\",\n"
               " \"children\": [{\"OTIO_SCHEMA\": \"Track.1\", \"children\": [\n"
               "  {\"OTIO_SCHEMA\": \"Gap.1\", \"name\": \"" +
                   name + "\"}]}]}}\n");
    for (const char* from : {"", " --from otio", " --from otio-std"}) {
        const ToolRun result = run("convert " + bad.string() + " --to dmtree" + from);
        EXPECT_EQ(result.exitCode, 1) << from;
        EXPECT_NE(result.err.find(bad.string() + ":3:74: Invalid escape character in string."),
                  std::string::npos)
            << from << result.err;
        EXPECT_EQ(result.out, "") << from;
    }
}

TEST_F(Zemcomp, CheckSummarizesAGoodDocument) {
    const ToolRun result = run("check " + example("review-notes.otio.json"));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind(example("review-notes.otio.json") + ": OK, \"Review notes\"", 0), 0u)
        << result.out;
}

TEST_F(Zemcomp, NothingIsWrittenWhenConversionFails) {
    const fs::path bad = scratch / "bad.json", out = scratch / "out.json";
    write(bad, "[1, 2");
    write(out, "previous content");
    EXPECT_EQ(run("convert " + bad.string() + " --to dmtree -o " + out.string()).exitCode, 1);
    EXPECT_EQ(read(out), "previous content");
    EXPECT_EQ(run("convert " + bad.string() + " --from dmtree --to otio -o " +
                  (scratch / "new.json").string())
                  .exitCode,
              1);
    EXPECT_FALSE(fs::exists(scratch / "new.json"));
}

TEST_F(Zemcomp, MissingFileNamesTheFile) {
    const ToolRun result = run("check " + (scratch / "absent.json").string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("absent.json: cannot open"), std::string::npos) << result.err;
}

TEST_F(Zemcomp, UsageErrorsExitWithTwo) {
    EXPECT_EQ(run("").exitCode, 2);
    EXPECT_EQ(run("frobnicate").exitCode, 2);
    EXPECT_EQ(run("convert " + example("graded-shot.otio.json")).exitCode, 2); // no --to
    EXPECT_EQ(run("convert x --to yaml").exitCode, 2);
    EXPECT_EQ(run("info --at notanumber").exitCode, 2);
    EXPECT_EQ(run("check").exitCode, 2);
}

TEST_F(Zemcomp, HelpAndVersion) {
    const ToolRun help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"info", "convert", "check"})
        EXPECT_NE(help.out.find(command), std::string::npos);
    const ToolRun convertHelp = run("convert --help");
    EXPECT_EQ(convertHelp.exitCode, 0);
    EXPECT_NE(convertHelp.out.find("--to"), std::string::npos);
    // The dialects in words, one line each, not an enumeration's internals.
    for (const std::string& text : {help.out, convertHelp.out}) {
        EXPECT_NE(text.find("\n  otio      OpenTimelineIO JSON"), std::string::npos) << text;
        EXPECT_NE(text.find("\n  otio-std  standard OpenTimelineIO JSON"), std::string::npos)
            << text;
        EXPECT_NE(text.find("\n  dmtree    the edit tree's own JSON"), std::string::npos) << text;
        EXPECT_EQ(text.find("ENUM"), std::string::npos) << text;
    }
    const ToolRun version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("zem version 0.81.1 (", 0), 0u) << version.out;
    EXPECT_NE(version.out.find(" build"), std::string::npos) << version.out;
}

// --- standard OTIO --------------------------------------------------------------------

TEST_F(Zemcomp, StandardOtioBothWaysThroughTheEditTree) {
    for (const char* name :
         {"short-cut.otio.json", "graded-shot.otio.json", "review-notes.otio.json"}) {
        const fs::path standard = scratch / "standard.otio", tree = scratch / "tree.json";
        const fs::path back = scratch / "back.json";
        ASSERT_EQ(
            run("convert " + example(name) + " --to otio-std -o " + standard.string()).exitCode, 0)
            << name;
        ASSERT_EQ(run("convert " + example(name) + " --to dmtree -o " + tree.string()).exitCode, 0);
        // Detected, and named.
        for (const char* from : {"", " --from otio-std", " --from OTIO-STD"}) {
            const ToolRun result =
                run("convert " + standard.string() + from + " --to dmtree -o " + back.string());
            ASSERT_EQ(result.exitCode, 0) << name << from << result.err;
            EXPECT_EQ(result.err, "");
            EXPECT_EQ(read(back), read(tree)) << name << from;
        }
        const ToolRun info = run("info " + standard.string() + " --json");
        ASSERT_EQ(info.exitCode, 0) << info.err;
        rapidjson::Document json;
        json.Parse(info.out.c_str());
        ASSERT_TRUE(json.IsObject()) << info.out;
        EXPECT_STREQ(json["dialect"].GetString(), "otio-std");
        EXPECT_EQ(json["losses"].Size(), 0u);
        EXPECT_EQ(run("check " + standard.string() + " --strict").exitCode, 0);
    }
}

TEST_F(Zemcomp, DialectsAreDetectedAndTheProductDialectIsUnchanged) {
    const std::string example_ = example("review-notes.otio.json");
    const ToolRun detected = run("convert " + example_ + " --to otio");
    const ToolRun named = run("convert " + example_ + " --from otio --to otio");
    ASSERT_EQ(detected.exitCode, 0);
    EXPECT_EQ(detected.out, named.out);
    const fs::path tree = scratch / "tree.json";
    ASSERT_EQ(run("convert " + example_ + " --to dmtree -o " + tree.string()).exitCode, 0);
    const ToolRun fromTree = run("convert " + tree.string() + " --to otio");
    ASSERT_EQ(fromTree.exitCode, 0) << fromTree.err;
    EXPECT_EQ(fromTree.out, named.out);
    const ToolRun info = run("info " + tree.string());
    EXPECT_NE(info.out.find("dialect   dmtree"), std::string::npos) << info.out;
    const ToolRun listed = run("list --json " + tree.string());
    rapidjson::Document json;
    json.Parse(listed.out.c_str());
    ASSERT_TRUE(json.IsObject()) << listed.out;
    EXPECT_STREQ(json["dialect"].GetString(), "dmtree");
}

TEST_F(Zemcomp, LossesArePrintedAndStrictMakesThemFail) {
    const fs::path document = scratch / "foreign.otio";
    write(document, R"({"OTIO_SCHEMA": "Timeline.1", "name": "foreign",
        "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
            {"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [
                {"OTIO_SCHEMA": "Gap.1", "enabled": false},
                {"OTIO_SCHEMA": "Transition.1"}]}]}})");
    const std::string lines = document.string() +
                              ": /tracks/children/0/children/0/enabled: Gap.1: read as "
                              "enabled: the edit tree cannot disable it (written back "
                              "disabled)\n" +
                              document.string() +
                              ": /tracks/children/0/children/1: Transition.1: not applied: the "
                              "edit tree has no transitions, and one takes no track time: "
                              "nothing moves (kept, and written back as it came)\n";

    const ToolRun check = run("check " + document.string());
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.err, lines);
    const ToolRun strict = run("check " + document.string() + " --strict");
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.err,
              lines + "zemcomp: " + document.string() + ": 2 losses while reading (--strict)\n");
    EXPECT_EQ(strict.out, "");

    const ToolRun info = run("info " + document.string() + " --json");
    EXPECT_EQ(info.exitCode, 0);
    rapidjson::Document json;
    json.Parse(info.out.c_str());
    ASSERT_TRUE(json.IsObject()) << info.out;
    ASSERT_EQ(json["losses"].Size(), 2u);
    EXPECT_STREQ(json["losses"][1]["path"].GetString(), "/tracks/children/0/children/1");
    EXPECT_STREQ(json["losses"][1]["schema"].GetString(), "Transition.1");
    EXPECT_STREQ(json["losses"][1]["what"].GetString(),
                 "not applied: the edit tree has no transitions, and one takes no track time: "
                 "nothing moves (kept, and written back as it came)");
    EXPECT_EQ(run("info " + document.string() + " --strict").exitCode, 1);

    const fs::path out = scratch / "out.json";
    EXPECT_EQ(
        run("convert " + document.string() + " --to dmtree --strict -o " + out.string()).exitCode,
        1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(run("convert " + document.string() + " --to dmtree -o " + out.string()).exitCode, 0);
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(Zemcomp, DocumentsWithoutATimeline) {
    const fs::path empty = scratch / "empty.json", tree = scratch / "tree.json";
    write(empty, "{}");
    // The product dialect keeps its reading: an empty composition, exit 0...
    EXPECT_EQ(run("info " + empty.string() + " --from otio").exitCode, 0);
    const ToolRun converted = run("convert " + empty.string() + " --from otio --to otio");
    EXPECT_EQ(converted.exitCode, 0);
    EXPECT_EQ(converted.out, "{}\n");
    // ...but check says so in every dialect.
    const ToolRun product = run("check " + empty.string() + " --from otio");
    EXPECT_EQ(product.exitCode, 1);
    EXPECT_EQ(product.err, "zemcomp: " + empty.string() + ": no timeline\n");
    ASSERT_EQ(
        run("convert " + empty.string() + " --from otio --to dmtree -o " + tree.string()).exitCode,
        0);
    const ToolRun dmtree = run("check " + tree.string());
    EXPECT_EQ(dmtree.exitCode, 1);
    EXPECT_NE(dmtree.err.find("no timeline"), std::string::npos) << dmtree.err;

    // Standard OTIO has no document without a timeline: every subcommand fails,
    // and no such document is written.
    for (const char* command : {"check", "info", "convert --to dmtree"}) {
        const ToolRun result = run(std::string(command) + " " + empty.string());
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_NE(result.err.find(": no timeline: "), std::string::npos) << result.err;
    }
    const ToolRun written = run("convert " + tree.string() + " --to otio-std");
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.err.find("no composition"), std::string::npos) << written.err;
    EXPECT_EQ(written.out, "");
}

TEST_F(Zemcomp, InfoSaysWhichTimelineOfACollectionItShows) {
    const auto timeline = [](const std::string& name, int frames) {
        return R"({"OTIO_SCHEMA": "Timeline.1", "name": ")" + name +
               R"(", "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [{"OTIO_SCHEMA": "Track.1", )"
               R"("kind": "Video", "children": [{"OTIO_SCHEMA": "Gap.1", "source_range": )"
               R"({"OTIO_SCHEMA": "TimeRange.1", "start_time": {"OTIO_SCHEMA": "RationalTime.1", )"
               R"("rate": 24, "value": 0}, "duration": {"OTIO_SCHEMA": "RationalTime.1", )"
               R"("rate": 24, "value": )" +
               std::to_string(frames) + "}}}]}]}}";
    };
    const fs::path one = scratch / "one.otio", two = scratch / "two.otio";
    write(one, timeline("only", 10));
    write(two, R"({"OTIO_SCHEMA": "SerializableCollection.1", "name": "bin", "children": [)" +
                   timeline("first", 10) + "," + timeline("second", 20) + "]}");
    const ToolRun single = run("info " + one.string());
    ASSERT_EQ(single.exitCode, 0) << single.err;
    EXPECT_EQ(single.out.find("timelines "), std::string::npos) << single.out;
    const ToolRun both = run("info " + two.string());
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_NE(both.out.find("name      first\n"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("(10 frames at 24 fps"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("timelines 2 (name, start, duration and tracks are the first's)\n"),
              std::string::npos)
        << both.out;
}

TEST_F(Zemcomp, HelpSaysWhatEachDialectIs) {
    for (const char* command : {"--help", "info --help", "convert --help", "check --help"}) {
        const ToolRun help = run(command);
        EXPECT_EQ(help.exitCode, 0) << command;
        for (const char* line : {"\n  dmtree    ", "\n  otio      ", "\n  otio-std  "})
            EXPECT_NE(help.out.find(line), std::string::npos) << command << ": " << line;
    }
    EXPECT_NE(run("convert --help").out.find("--strict"), std::string::npos);
}
