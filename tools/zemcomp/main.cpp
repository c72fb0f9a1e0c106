// zemcomp: inspect, list, check, convert and draw composition documents from
// the command line, through the library's public interface. Each subcommand is
// a file of its own in commands/.

#include "module/VersionInfo.h"
#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/files/FileIO.h"
#include "tools/zemcomp/options/DialectOption.h"

#include <algorithm>
#include <iostream>

namespace zemcomp {

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(infoCommand());
    commands.push_back(listCommand());
    commands.push_back(checkCommand());
    commands.push_back(convertCommand());
    commands.push_back(drawCommand());
    commands.push_back(looksCommand());
    commands.push_back(compareCommand());
    commands.push_back(notesCommand());
    commands.push_back(completionCommand());
    return commands;
}

} // namespace zemcomp

namespace {

/// The version line with the kind of build it comes from.
std::string versionLine() {
    std::string line = ZEM_0_81::versionString() + ", " + ZEM_BUILD_TYPE + " build";
#if defined(ZEM_SANITIZERS)
    line += std::string(" with ") + ZEM_SANITIZERS;
#endif
    return line;
}

int run(int argc, char** argv) {
    CLI::App app{"Inspect, list, check, convert, compare and draw editorial cuts: OTIO JSON (the "
                 "product's own and standard OpenTimelineIO), the edit tree's JSON, CMX 3600 "
                 "EDLs, Final Cut Pro 7 XML and FCPXML; apply and extract ASC CDL looks; carry "
                 "review notes onto a new cut.",
                 "zemcomp"};
    app.require_subcommand(1);
    app.set_version_flag("--version", versionLine());
    app.footer(zemcomp::dialectFooter());

    const std::vector<std::unique_ptr<zemcomp::Command>> commands = zemcomp::allCommands();
    std::vector<CLI::App*> subcommands;
    for (const std::unique_ptr<zemcomp::Command>& command : commands)
        subcommands.push_back(command->add(app));

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return zemcomp::kBadUsage;
    }
    // A subcommand is required, so the parse leaves exactly one parsed.
    const auto parsed =
        std::find_if(subcommands.begin(), subcommands.end(),
                     [](const CLI::App* subcommand) { return subcommand->parsed(); });
    if (parsed == subcommands.end())
        return zemcomp::kBadUsage;
    return commands[static_cast<std::size_t>(parsed - subcommands.begin())]->run({app, argv[0]});
}

} // namespace

int main(int argc, char** argv) {
    // Every write to standard output is checked: output that cannot be written
    // is a failure, never lost in silence.
    zemcomp::StandardOutput out;
    const int status = run(argc, argv);
    std::string error;
    if (!out.close(error)) {
        std::cerr << "zemcomp: " << error << std::endl;
        return status == zemcomp::kSuccess ? zemcomp::kDocumentFailed : status;
    }
    return status;
}
