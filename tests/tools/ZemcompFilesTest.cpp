// The zemcomp tool against awkward files and streams: deep nesting, folders,
// FIFOs, devices, links, full devices, closed streams and huge numbers. Each
// must end in one line naming the file and the reason, with the documented
// exit status, and never in a crash or a file replaced by mistake.
#include "tests/tools/ToolTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using zemcomp::test::ToolRun;

class ZemcompFiles : public zemcomp::test::ToolTest {
protected:
    // Runs `zemcomp ARGUMENTS` with `redirections` for its standard output.
    ToolRun run(const std::string& arguments, const std::string& redirections = ">/dev/null") {
        return shell(tool() + " " + arguments + " " + redirections);
    }

    static bool isCharacterDevice(const fs::path& path) {
        struct stat status;
        return ::lstat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
    }
    // A character device of our own (as root), so that a fault cannot replace
    // the machine's /dev entries; otherwise the system's, which a user without
    // privileges cannot replace anyway.
    fs::path device(const char* name, unsigned minor) {
        const fs::path own = scratch / name;
        if (::geteuid() == 0 && ::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0)
            return own;
        return fs::path("/dev") / name;
    }
    // The folder's entries, to see that nothing is left behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch))
            if (entry.path().filename() != "stderr.txt")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // What convert writes for the short-cut example.
    std::string expectedConversion() {
        const fs::path out = scratch / "expected.out";
        EXPECT_EQ(run("convert " + example("short-cut.otio.json") + " --to otio -o " + out.string())
                      .exitCode,
                  0);
        const std::string text = read(out);
        fs::remove(out);
        return text;
    }
};

bool oneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

} // namespace

TEST_F(ZemcompFiles, MillionsOfLevelsFailCleanlyInEveryDialectAndCommand) {
    const fs::path deep = scratch / "deep.json";
    write(deep, std::string(2000000, '['));
    // Well-formed but far deeper than any tree: an object holding a million
    // nested arrays, and an edit tree a hundred thousand nodes deep (a root over
    // nested containers).
    const fs::path wellFormed = scratch / "well-formed.json";
    write(wellFormed,
          "{\"timeline\":" + std::string(1000000, '[') + std::string(1000000, ']') + "}");
    const fs::path deepTree = scratch / "deep-tree.json";
    {
        std::string text = "{\"format\":\"KRdmtree-json\",\"version\":1,\"tree\":"
                           "{\"kind\":\"root\",\"name\":\"\",\"children\":[";
        for (int i = 1; i < 100000; ++i)
            text += "{\"kind\":\"container\",\"name\":\"\",\"children\":[";
        for (int i = 1; i < 100000; ++i)
            text += "]}";
        write(deepTree, text + "]}}");
    }
    const std::vector<std::string> commands = {"check", "info", "info --json", "convert --to otio",
                                               "convert --to dmtree"};
    for (const char* dialect : {"otio", "dmtree"}) {
        for (const std::string& command : commands) {
            const std::string verb = command.substr(0, command.find(' '));
            const std::string rest =
                command.size() > verb.size() ? command.substr(verb.size()) : "";
            const ToolRun outcome = run(verb + " " + deep.string() + rest + " --from " + dialect);
            EXPECT_EQ(outcome.exitCode, 1) << command << " " << dialect;
            EXPECT_TRUE(oneLine(outcome.err)) << outcome.err;
            EXPECT_NE(outcome.err.find(deep.string() + ":1:2000001: "), std::string::npos)
                << outcome.err;
        }
        for (const fs::path& other : {wellFormed, deepTree}) {
            const ToolRun outcome = run("check " + other.string() + " --from " + dialect);
            EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 1)
                << dialect << " " << other << ": " << outcome.err;
        }
    }
    // The deep edit tree reads whole; holding no composition, it has no timeline.
    const ToolRun deepRead = run("check " + deepTree.string() + " --from dmtree");
    EXPECT_EQ(deepRead.exitCode, 1);
    EXPECT_EQ(deepRead.err, "zemcomp: " + deepTree.string() + ": no timeline\n");
}

TEST_F(ZemcompFiles, InputsThatCannotBeReadSayWhy) {
    const fs::path folder = scratch / "folder", fifo = scratch / "fifo";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path nullDevice = device("null", 3);
    // One byte over the 1 GiB read at most (sparse: nothing written), refused
    // by its size before a byte is read.
    const fs::path huge = scratch / "huge.json";
    write(huge, "");
    fs::resize_file(huge, (std::uintmax_t(1) << 30) + 1);
    struct Case {
        std::string path;
        std::string message;
    };
    const std::vector<Case> cases = {
        {folder.string(), folder.string() + ": cannot read: Is a directory"},
        // Nobody writes to the FIFO: waiting for one would hang.
        {fifo.string(), fifo.string() + ": cannot read: not a regular file (a FIFO)"},
        {nullDevice.string(),
         nullDevice.string() + ": cannot read: not a regular file (a character device)"},
        {(scratch / "absent.json").string(),
         (scratch / "absent.json").string() + ": cannot open: No such file or directory"},
        // Reading the start of a process's own memory fails in the read itself.
        {"/proc/self/mem", "/proc/self/mem: cannot read: Input/output error"},
        {huge.string(), huge.string() + ": cannot read: larger than 1 GiB, the most it reads"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"check ", "info ", "convert --to otio "}) {
            const ToolRun outcome =
                shell("timeout 20 " + tool() + " " + command + c.path + " >/dev/null");
            EXPECT_EQ(outcome.exitCode, 1) << command << c.path;
            EXPECT_TRUE(oneLine(outcome.err)) << outcome.err;
            EXPECT_EQ(outcome.err.rfind("zemcomp: " + c.message, 0), 0u) << outcome.err;
        }
    }

    if (::geteuid() != 0) { // permissions do not stop a privileged user
        const fs::path locked = scratch / "locked.json";
        write(locked, "{}");
        fs::permissions(locked, fs::perms::none);
        const ToolRun outcome = run("check " + locked.string());
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err,
                  "zemcomp: " + locked.string() + ": cannot open: Permission denied\n");
    }

    // A link to a document and standard input of any kind are read.
    fs::create_symlink(example("short-cut.otio.json"), scratch / "link.json");
    EXPECT_EQ(run("check " + (scratch / "link.json").string()).exitCode, 0);
    EXPECT_EQ(run("check - <" + example("short-cut.otio.json")).exitCode, 0);
    const ToolRun piped = run("check - </dev/null");
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_EQ(piped.err.rfind("zemcomp: <stdin>:1:1: The document is empty.", 0), 0u) << piped.err;
}

TEST_F(ZemcompFiles, OutputFollowsLinksAndKeepsPermissions) {
    const std::string expected = expectedConversion();
    const std::string convert = "convert " + example("short-cut.otio.json") + " --to otio -o ";

    // An existing file keeps its mode; nothing is left beside it.
    const fs::path file = scratch / "cut.json";
    write(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(run(convert + file.string()).exitCode, 0);
    EXPECT_EQ(read(file), expected);
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), std::vector<std::string>({"cut.json"}));

    // A new file is created as the umask says.
    for (const auto& [mask, mode] :
         {std::pair{"027", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read},
          std::pair{"002", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::group_write | fs::perms::others_read}}) {
        const fs::path created = scratch / (std::string("new-") + mask + ".json");
        ASSERT_EQ(
            shell(std::string("umask ") + mask + "; " + tool() + " " + convert + created.string())
                .exitCode,
            0);
        EXPECT_EQ(fs::status(created).permissions(), mode) << mask;
        EXPECT_EQ(read(created), expected);
        fs::remove(created);
    }

    // A link, relative and in another folder, stays a link; its target is written.
    fs::create_directory(scratch / "links");
    fs::create_symlink("../cut.json", scratch / "links" / "to-cut.json");
    write(file, "old");
    ASSERT_EQ(run(convert + (scratch / "links" / "to-cut.json").string()).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(scratch / "links" / "to-cut.json"));
    EXPECT_EQ(read(file), expected);

    // A relative link's target is found from the link's own folder, also for a
    // path relative to the working folder: d/to-cut.json → ../e/cut.json is e/cut.json.
    fs::create_directory(scratch / "d");
    fs::create_directory(scratch / "e");
    fs::create_symlink("../e/cut.json", scratch / "d" / "to-cut.json");
    ASSERT_EQ(shell("cd " + scratch.string() + " && " + tool() + " " + convert + "d/to-cut.json")
                  .exitCode,
              0);
    EXPECT_EQ(read(scratch / "e" / "cut.json"), expected);

    // A dangling link names the file to create; a chain of links is followed.
    fs::create_symlink("later.json", scratch / "dangling.json");
    fs::create_symlink("dangling.json", scratch / "chain.json");
    ASSERT_EQ(run(convert + (scratch / "chain.json").string()).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(scratch / "chain.json"));
    EXPECT_TRUE(fs::is_symlink(scratch / "dangling.json"));
    EXPECT_EQ(read(scratch / "later.json"), expected);

    // A loop of links, a folder and a missing folder are refused with the reason.
    fs::create_symlink("loop-b", scratch / "loop-a");
    fs::create_symlink("loop-a", scratch / "loop-b");
    const std::vector<std::pair<fs::path, std::string>> refused = {
        {scratch / "loop-a", "Too many levels of symbolic links"},
        {scratch / "links", "Is a directory"},
        {scratch / "absent" / "out.json", "No such file or directory"},
    };
    for (const auto& [path, why] : refused) {
        const ToolRun outcome = run(convert + path.string());
        EXPECT_EQ(outcome.exitCode, 1) << path;
        EXPECT_EQ(outcome.err, "zemcomp: " + path.string() + ": cannot write: " + why + "\n");
    }
    EXPECT_TRUE(fs::is_directory(scratch / "links"));
    EXPECT_TRUE(fs::is_symlink(scratch / "loop-a"));
}

TEST_F(ZemcompFiles, OutputWritesThroughDevicesAndFifos) {
    const std::string expected = expectedConversion();
    const std::string convert = "convert " + example("short-cut.otio.json") + " --to otio -o ";

    const fs::path nullDevice = device("null", 3);
    EXPECT_EQ(run(convert + nullDevice.string()).exitCode, 0);
    EXPECT_TRUE(isCharacterDevice(nullDevice));

    const fs::path fifo = scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = read(fifo); });
    const ToolRun outcome = run(convert + fifo.string());
    reader.join();
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(ZemcompFiles, FullDevicesAndClosedOutputFail) {
    const fs::path full = device("full", 7);
    const std::string cut = example("short-cut.otio.json");

    const ToolRun toFile = run("convert " + cut + " --to otio -o " + full.string());
    EXPECT_EQ(toFile.exitCode, 1);
    EXPECT_EQ(toFile.err,
              "zemcomp: " + full.string() + ": cannot write: No space left on device\n");
    EXPECT_TRUE(isCharacterDevice(full));

    for (const std::string& command :
         {"convert " + cut + " --to otio", "convert " + cut + " --to dmtree", "info " + cut,
          "info --json " + cut, "check " + cut, std::string("--help"), std::string("--version")}) {
        const ToolRun outcome = run(command, ">" + full.string());
        EXPECT_EQ(outcome.exitCode, 1) << command;
        EXPECT_EQ(outcome.err, "zemcomp: <stdout>: cannot write: No space left on device\n")
            << command;
        const ToolRun closed = run(command, ">&-");
        EXPECT_EQ(closed.exitCode, 1) << command;
        EXPECT_EQ(closed.err, "zemcomp: <stdout>: cannot write: Bad file descriptor\n") << command;
    }
    // A document that fails keeps its own exit status and message first.
    const fs::path bad = scratch / "bad.json";
    write(bad, "[");
    const ToolRun both = run("info " + bad.string(), ">" + full.string());
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_NE(both.err.find("bad.json:1:2: "), std::string::npos) << both.err;
    EXPECT_NE(both.err.find("<stdout>: cannot write"), std::string::npos) << both.err;
}

TEST_F(ZemcompFiles, NumbersAreRangeChecked) {
    const std::string info = "info " + example("short-cut.otio.json") + " --json --at ";
    for (const char* bad : {"99999999999999999999", "-9223372036854775809", "0x10", "1e3", "",
                            "' 5'", "+-5", "5x", "--5"}) {
        const ToolRun outcome = run(info + "'" + bad + "'");
        EXPECT_EQ(outcome.exitCode, 2) << bad;
        EXPECT_NE(outcome.err.find("--at"), std::string::npos) << bad << ": " << outcome.err;
    }
    // Accepted numbers are read in decimal, to the last bit.
    const fs::path out = scratch / "out.json";
    ASSERT_EQ(run(info + "010 --at +7 --at -9223372036854775808 --at 9223372036854775807",
                  ">" + out.string())
                  .exitCode,
              0);
    const std::string json = read(out);
    for (const char* at :
         {"\"at\":10,", "\"at\":7,", "\"at\":-9223372036854775808,", "\"at\":9223372036854775807,"})
        EXPECT_NE(json.find(at), std::string::npos) << at << " in " << json;
}
