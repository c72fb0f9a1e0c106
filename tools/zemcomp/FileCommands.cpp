#include "tools/zemcomp/FileCommands.h"

#include "tools/zemcomp/FileIO.h"
#include "tools/zemcomp/Summary.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <optional>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

std::string errorLine(const std::string& message) {
    return "zemcomp: " + message + "\n";
}

/// The document at `path`, or nothing with `outcome` marked failed, its message
/// written and kept in `error`.
std::optional<Document> readOrFail(const std::string& path, FileOutcome& outcome,
                                   std::string& error) {
    std::optional<Document> document = readDocument(path, error);
    if (!document) {
        outcome.err = errorLine(error);
        outcome.failed = true;
    }
    return document;
}

/// Reports on standard error what reading the document lost; under --strict a
/// loss fails the file.
void reportLosses(const Document& document, const Loaded& loaded, const FileOptions& options,
                  FileOutcome& outcome) {
    const std::vector<Loss> losses = lossesOf(loaded.losses);
    outcome.err += lossLines(losses, document.name);
    if (options.strict && !losses.empty()) {
        outcome.err += errorLine(strictFailure(losses.size(), document.name));
        outcome.failed = true;
    }
}

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

} // namespace

FileOutcome infoFile(const std::string& path, const FileOptions& options) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document)
        return outcome;
    const Loaded loaded = load(*document, options.dialect);
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
    reportLosses(*document, loaded, options, outcome);
    return outcome;
}

FileOutcome checkFile(const std::string& path, const FileOptions& options) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document)
        return outcome;
    const Loaded loaded = load(*document, options.dialect);
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
    reportLosses(*document, loaded, options, outcome);
    if (!outcome.failed)
        outcome.out = document->name + ": OK, " + oneLine(summary) + "\n";
    return outcome;
}

FileOutcome listFile(const std::string& path, const FileOptions& options) {
    FileOutcome outcome;
    std::string error;
    const std::optional<Document> document = readOrFail(path, outcome, error);
    if (!document) {
        if (options.json)
            outcome.out = failureJson(path == "-" ? Documents::kStandardInputName : path, error, nullptr);
        return outcome;
    }
    const Loaded loaded = load(*document, options.dialect);
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
    reportLosses(*document, loaded, options, outcome);
    // The view has been built, so the tree is there to ask.
    Transitions transitions;
    StandardOtio::transitions(*loaded.composition, transitions);
    if (options.json) {
        outcome.out = listJson(view, document->name, dialectName(loaded.dialect), transitions);
        return outcome;
    }
    outcome.out = document->name + ": " + viewHeadline(view) + "\n";
    if (view.hasTimeline)
        outcome.out += listText(view, options.selection, transitions);
    return outcome;
}

} // namespace zemcomp
