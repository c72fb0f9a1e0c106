#include "module/VersionInfo.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <regex>
#include <string>

namespace {

// Runs the probe host through the shell with the given environment settings and
// redirections, and returns what it printed on the stream captured by `redirect`.
std::string runProbe(const std::string& environment, const std::string& redirect) {
    const std::string command = environment + " " ZEM_MODULE_PROBE " " + redirect;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    if (!pipe)
        return {};
    std::string output;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        output += buffer.data();
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

std::string stderrOfLoad(const std::string& environment) {
    return runProbe(environment, "2>&1 >/dev/null");
}

const std::regex kVersionLine(
    R"(  zemComposition: zem version 0\.81\.1 \([A-Z][a-z]{2} \d{2}/\d{2}/\d{4}, \d{12}, build 173, commit [0-9a-f]{7}, branch [^)]+\)\n)");

} // namespace

TEST(VersionString, HoldsVersionDateBuildRevisionAndBranch) {
    const std::string text = ZEM_0_81::versionString();
    EXPECT_TRUE(std::regex_match("  zemComposition: " + text + "\n", kVersionLine)) << text;
}

TEST(VersionDump, OneLineAtLoadWhenTheVariableAsksForIt) {
    for (const char* value : {"1", "2", "-1"}) {
        const std::string printed =
            stderrOfLoad(std::string("env VORTEL_DUMP_VERSION_INFO=") + value);
        EXPECT_TRUE(std::regex_match(printed, kVersionLine)) << value << ": " << printed;
    }
}

TEST(VersionDump, SilentWhenNotAskedFor) {
    EXPECT_EQ(stderrOfLoad("env -u VORTEL_DUMP_VERSION_INFO"), "");
    for (const char* value : {"0", "", "yes", "00"})
        EXPECT_EQ(stderrOfLoad(std::string("env VORTEL_DUMP_VERSION_INFO=") + value), "")
            << value;
}

TEST(VersionDump, SilentWhenStandardErrorIsClosed) {
    EXPECT_EQ(runProbe("env VORTEL_DUMP_VERSION_INFO=1", "2>&-"), "stderr-untouched\n");
}
