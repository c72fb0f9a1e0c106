#pragma once

// What every test of the zemcomp tool needs: a scratch folder of its own, a way
// to run the tool (or any shell command line) and collect what it prints and
// how it ends, and the paths of the bundled examples and the tests' documents.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace zemcomp::test {

namespace fs = std::filesystem;

/// How one command ended: its exit status (-1 when it did not exit by itself,
/// killed by a signal) and what it wrote on each stream.
struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Base of the tool's test fixtures. Each test gets an empty folder, `scratch`,
/// removed after it.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch =
            fs::temp_directory_path() / (std::string("zemcomp-") + test->test_suite_name() + "-" +
                                         std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override { fs::remove_all(scratch); }

    /// Runs a shell command line, collecting its standard output and, apart, its
    /// standard error. A shell reports a command killed by a signal as 128 and
    /// more: that is -1 here.
    ToolRun shell(const std::string& commandLine) {
        const fs::path errFile = scratch / "stderr.txt";
        ToolRun result;
        FILE* pipe = popen((commandLine + " 2>" + errFile.string()).c_str(), "r");
        if (!pipe)
            return result;
        std::array<char, 65536> buffer{};
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            result.out.append(buffer.data(), n);
        const int status = pclose(pipe);
        if (WIFEXITED(status) && WEXITSTATUS(status) < 128)
            result.exitCode = WEXITSTATUS(status);
        result.err = read(errFile);
        return result;
    }
    /// Runs `zemcomp ARGUMENTS` (already quoted for the shell).
    ToolRun run(const std::string& arguments) { return shell(tool() + " " + arguments); }

    /// The tool's path.
    static std::string tool() { return ZEMCOMP; }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    /// A file of the scratch folder holding `text`.
    fs::path scratchFile(const std::string& name, const std::string& text) const {
        const fs::path path = scratch / name;
        write(path, text);
        return path;
    }
    static std::string example(const char* name) {
        return std::string(ZEM_EXAMPLES_DIR) + "/" + name;
    }
    static std::string testData(const char* name) {
        return std::string(ZEM_TEST_DATA_DIR) + "/" + name;
    }

    fs::path scratch;
};

} // namespace zemcomp::test
