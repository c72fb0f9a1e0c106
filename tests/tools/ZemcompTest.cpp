// The zemcomp tool as a user meets it: its output, its files and its exit codes.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class Zemcomp : public ::testing::Test {
protected:
    void SetUp() override {
        scratch = fs::temp_directory_path() /
                  ("zemcomp-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }

    // Runs zemcomp with `arguments` (already quoted for the shell).
    ToolRun run(const std::string& arguments, const std::string& input = "") {
        const fs::path errFile = scratch / "stderr.txt";
        std::string command = std::string(ZEMCOMP) + " " + arguments + " 2>" + errFile.string();
        if (!input.empty()) {
            const fs::path inFile = scratch / "stdin.txt";
            write(inFile, input);
            command += " <" + inFile.string();
        }
        ToolRun result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return result;
        std::array<char, 4096> buffer{};
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            result.out.append(buffer.data(), n);
        const int status = pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = read(errFile);
        return result;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string example(const char* name) {
        return std::string(ZEM_EXAMPLES_DIR) + "/" + name;
    }

    fs::path scratch;
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
                                              "counts", "file"}));
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
        const ToolRun result = run(std::string(command) + " " + bad.string() + extra);
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "zemcomp: " + bad.string() +
                                  ":3:3: Missing a comma or '}' after an object member. "
                                  "(status 517: the OTIO JSON could not be imported)\n")
            << command;
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
        EXPECT_NE(text.find("\n  otio    OpenTimelineIO JSON"), std::string::npos) << text;
        EXPECT_NE(text.find("\n  dmtree  the edit tree's own JSON"), std::string::npos) << text;
        EXPECT_EQ(text.find("ENUM"), std::string::npos) << text;
    }
    const ToolRun version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("zem version 0.81.1 (", 0), 0u) << version.out;
    EXPECT_NE(version.out.find(" build"), std::string::npos) << version.out;
}
