#pragma once

// A subcommand of zemcomp: each lives in a file of its own in this folder,
// adds itself and its options to the application, and runs when the command
// line named it.

#include <CLI/CLI.hpp>

#include <memory>
#include <vector>

namespace zemcomp {

/// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kDocumentFailed = 1; ///< a document failed, or could not be read or written
constexpr int kBadUsage = 2;

/// What a subcommand may need of the command line besides its own options.
struct Invocation {
    const CLI::App& app; ///< the whole application, parsed
    const char* argv0;   ///< the tool's own path, to find the bundled example
};

class Command {
public:
    virtual ~Command() = default;
    /// Adds the subcommand and its options to `app`; returns the subcommand.
    virtual CLI::App* add(CLI::App& app) = 0;
    /// Runs the subcommand once the command line has been parsed; the exit status.
    virtual int run(const Invocation& invocation) = 0;
};

/// Every subcommand, in the order `--help` lists them.
std::vector<std::unique_ptr<Command>> allCommands();

std::unique_ptr<Command> infoCommand();
std::unique_ptr<Command> listCommand();
std::unique_ptr<Command> checkCommand();
std::unique_ptr<Command> convertCommand();
std::unique_ptr<Command> drawCommand();
std::unique_ptr<Command> looksCommand();
std::unique_ptr<Command> compareCommand();
std::unique_ptr<Command> notesCommand();
std::unique_ptr<Command> completionCommand();

} // namespace zemcomp
