// zemcomp info: each composition's name, start, duration, tracks, counts and
// output bounds, as text or as one JSON object per file.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/options/FilesOption.h"
#include "tools/zemcomp/options/NumberOption.h"
#include "tools/zemcomp/text/Summary.h"

#include <limits>

namespace zemcomp {

namespace {

struct InfoOptions {
    InputOptions input;
    std::vector<std::int64_t> frames; ///< frames to report the output bounds at
    bool json = false;
};

/// The summary as text or one JSON object; fails when the document cannot be
/// read or imported. A frame outside the composition adds a note on standard
/// error, not a failure.
FileOutcome infoFile(const std::string& path, const InfoOptions& options) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document)
        return outcome;
    const Loaded loaded = load(*document, options.input.readOptions());
    const Summary summary = summarize(loaded, options.frames);
    outcome.out =
        options.json ? toJson(summary, document->name) + "\n" : toText(summary, document->name);
    for (const BoundsAnswer& answer : summary.bounds) {
        const std::string note = outsideNote(summary, answer);
        if (!note.empty())
            outcome.err += errorLine(document->name + ": note: " + note);
    }
    if (!summary.status) {
        outcome.err += errorLine(importFailure(*document, loaded, summary.status));
        outcome.failed = true;
        return outcome;
    }
    reportLosses(*document, loaded, options.input, outcome);
    return outcome;
}

class Info : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* info = app.add_subcommand(
            "info", "Print each composition's name, start, duration, tracks and output bounds");
        m_files.addFiles(*info, kFilesHelp, false);
        m_options.input.add(*info);
        info->add_option("--at", m_options.frames,
                         "Frame at which to report the output bounds (repeatable; "
                         "default: the start frame); a frame outside the composition gets a "
                         "note")
            ->type_name("FRAME")
            ->allow_extra_args(false) // each --at takes one frame; files may follow
            ->transform(wholeNumberIn(std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max()));
        info->add_flag("--json", m_options.json,
                       "Print one JSON object per file (a JSON array of them for several files)");
        m_files.addJobs(*info);
        info->footer(dialectFooter());
        return info;
    }

    int run(const Invocation& invocation) override {
        return runOverFiles(m_files, invocation, Joining::Blocks, m_options.json,
                            [this](const std::string& file) { return infoFile(file, m_options); });
    }

private:
    FilesOption m_files;
    InfoOptions m_options;
};

} // namespace

std::unique_ptr<Command> infoCommand() {
    return std::make_unique<Info>();
}

} // namespace zemcomp
