// zemcomp list: each composition's OTIO tracks with their clips and gaps, its
// media or its review notes as a table, or its whole timeline as JSON.

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/commands/FileTask.h"
#include "tools/zemcomp/options/FilesOption.h"
#include "tools/zemcomp/text/Listing.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

struct ListOptions {
    InputOptions input;
    bool json = false;
    ListSelection selection = ListSelection::Clips;
};

/// {"file":F,"error":E} and "status":S when there is one: a file that gave no
/// view, in a list of JSON objects.
std::string failureJson(const std::string& file, const std::string& error, const Status* status) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("file");
    writer.String(file.c_str(), static_cast<rapidjson::SizeType>(file.size()));
    if (status) {
        writer.Key("status");
        writer.Int(status->getCode());
    }
    writer.Key("error");
    writer.String(error.c_str(), static_cast<rapidjson::SizeType>(error.size()));
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

/// The headline and a table of the timeline view, or its JSON object; fails
/// when the document cannot be read or imported.
FileOutcome listFile(const std::string& path, const ListOptions& options) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document) {
        if (options.json)
            outcome.out =
                failureJson(path == "-" ? Documents::kStandardInputName : path, error, nullptr);
        return outcome;
    }
    const Loaded loaded = load(*document, options.input.readOptions());
    TimelineView view;
    const Status status =
        loaded.status ? TimelineView::build(*loaded.composition, view) : loaded.status;
    if (!status) {
        const std::string message = importFailure(*document, loaded, status);
        outcome.err = errorLine(message);
        outcome.failed = true;
        if (options.json)
            outcome.out = failureJson(document->name, message, &status);
        return outcome;
    }
    reportLosses(*document, loaded, options.input, outcome);
    if (options.json) {
        outcome.out = listJson(view, document->name, dialectName(loaded.dialect));
        return outcome;
    }
    outcome.out = document->name + ": " + viewHeadline(view) + "\n";
    if (!view.hasTimeline)
        return outcome;
    if (options.selection == ListSelection::Looks) {
        std::vector<AscCdl::ClipLook> looks;
        AscCdl::looks(*loaded.composition, looks);
        outcome.out += looksTable(view, looks);
        return outcome;
    }
    outcome.out += listText(view, options.selection);
    return outcome;
}

class List : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* list = app.add_subcommand(
            "list", "List each composition's OTIO tracks, clips and gaps, media or review notes");
        m_files.addFiles(*list, kFilesHelp, false);
        m_options.input.add(*list);
        CLI::Option* tracks = list->add_flag("--tracks", m_tracks, "One line per track");
        CLI::Option* clips = list->add_flag(
            "--clips", m_clips,
            "One line per clip and gap, with record and source ranges, and per transition of a "
            "standard OTIO track (the default)");
        CLI::Option* media =
            list->add_flag("--media", m_media, "One line per media input of each clip");
        CLI::Option* notes =
            list->add_flag("--notes", m_notes, "One line per review note and paint layer");
        CLI::Option* looks = list->add_flag(
            "--looks", m_looks,
            "One line per clip with a CDL look: its slope, offset, power and saturation");
        tracks->excludes(clips, media, notes, looks);
        clips->excludes(media, notes, looks);
        media->excludes(notes, looks);
        notes->excludes(looks);
        list->add_flag("--json", m_options.json,
                       "Print the whole timeline of each file as one JSON object (a JSON array "
                       "of them for several files)");
        m_files.addJobs(*list);
        list->footer(dialectFooter());
        return list;
    }

    int run(const Invocation& invocation) override {
        m_options.selection = m_tracks  ? ListSelection::Tracks
                              : m_media ? ListSelection::Media
                              : m_notes ? ListSelection::Notes
                              : m_looks ? ListSelection::Looks
                                        : ListSelection::Clips;
        return runOverFiles(m_files, invocation, Joining::Blocks, m_options.json,
                            [this](const std::string& file) { return listFile(file, m_options); });
    }

private:
    FilesOption m_files;
    ListOptions m_options;
    bool m_tracks = false, m_clips = false, m_media = false, m_notes = false, m_looks = false;
};

} // namespace

std::unique_ptr<Command> listCommand() {
    return std::make_unique<List>();
}

} // namespace zemcomp
