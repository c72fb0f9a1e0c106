// zemcomp check: parses and imports documents and reports each one's first
// problem, or a one-line summary.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/options/FilesOption.h"
#include "tools/zemcomp/text/Summary.h"

namespace zemcomp {

namespace {

/// "NAME: OK, summary" or the document's first problem; a document without a
/// timeline fails.
FileOutcome checkFile(const std::string& path, const InputOptions& input) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document)
        return outcome;
    const Loaded loaded = load(*document, input.readOptions());
    const Summary summary = summarize(loaded, {});
    if (!summary.status) {
        outcome.err = errorLine(importFailure(*document, loaded, summary.status));
        outcome.failed = true;
        return outcome;
    }
    if (!summary.timeline.hasTimeline) {
        outcome.err = errorLine(document->name + ": no timeline");
        outcome.failed = true;
        return outcome;
    }
    reportLosses(*document, loaded, input, outcome);
    if (!outcome.failed)
        outcome.out = document->name + ": OK, " + oneLine(summary) + "\n";
    return outcome;
}

class Check : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* check = app.add_subcommand(
            "check", "Parse and import documents; report each one's first problem or a summary");
        m_files.addFiles(*check, "Documents to read; - for standard input (once)", true);
        m_input.add(*check);
        m_files.addJobs(*check);
        check->footer(dialectFooter());
        return check;
    }

    int run(const Invocation& invocation) override {
        return runOverFiles(m_files, invocation, Joining::Lines, false,
                            [this](const std::string& file) { return checkFile(file, m_input); });
    }

private:
    FilesOption m_files;
    InputOptions m_input;
};

} // namespace

std::unique_ptr<Command> checkCommand() {
    return std::make_unique<Check>();
}

} // namespace zemcomp
