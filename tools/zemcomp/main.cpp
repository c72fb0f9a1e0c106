// zemcomp: inspect, check and convert composition documents from the command
// line, through the library's public Composition interface.

#include "composition/Composition.h"
#include "module/VersionInfo.h"
#include "tools/zemcomp/Document.h"
#include "tools/zemcomp/FileIO.h"
#include "tools/zemcomp/NumberOption.h"
#include "tools/zemcomp/Summary.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <limits>
#include <map>

using namespace ZEM_0_81;

namespace {

constexpr int kSuccess = 0;
constexpr int kDocumentFailed = 1;
constexpr int kBadUsage = 2;

const std::map<std::string, zemcomp::Dialect> kDialects = {{"otio", zemcomp::Dialect::Otio},
                                                           {"dmtree", zemcomp::Dialect::DmTree}};

Composition::JsonType jsonTypeOf(zemcomp::Dialect dialect) {
    return dialect == zemcomp::Dialect::Otio ? Composition::JsonType::Otio
                                             : Composition::JsonType::DmTree;
}

int fail(const std::string& message) {
    std::cerr << "zemcomp: " << message << std::endl;
    return kDocumentFailed;
}

// The message for a document whose import failed: the place and reason of a
// JSON syntax error when there is one, then the status and its meaning.
std::string importFailure(const zemcomp::Document& document, const Status& status) {
    const std::string syntax = zemcomp::jsonSyntaxError(document.text);
    if (!syntax.empty())
        return document.name + ":" + syntax + " (" + zemcomp::describe(status) + ")";
    return document.name + ": " + zemcomp::describe(status);
}

int runInfo(const std::string& path, zemcomp::Dialect dialect,
            const std::vector<std::int64_t>& frames, bool json) {
    std::string error;
    const std::optional<zemcomp::Document> document = zemcomp::readDocument(path, error);
    if (!document)
        return fail(error);
    const SharedPtr<Composition> composition = zemcomp::load(*document, dialect);
    const zemcomp::Summary summary = zemcomp::summarize(*composition, frames);
    std::cout << (json ? zemcomp::toJson(summary) + "\n"
                       : zemcomp::toText(summary, document->name));
    if (!summary.status)
        return fail(importFailure(*document, summary.status));
    return kSuccess;
}

int runCheck(const std::string& path, zemcomp::Dialect dialect) {
    std::string error;
    const std::optional<zemcomp::Document> document = zemcomp::readDocument(path, error);
    if (!document)
        return fail(error);
    const SharedPtr<Composition> composition = zemcomp::load(*document, dialect);
    const zemcomp::Summary summary = zemcomp::summarize(*composition, {});
    if (!summary.status)
        return fail(importFailure(*document, summary.status));
    std::cout << document->name << ": OK, " << zemcomp::oneLine(summary) << std::endl;
    return kSuccess;
}

int runConvert(const std::string& path, zemcomp::Dialect from, zemcomp::Dialect to,
               const std::string& outPath) {
    std::string error;
    const std::optional<zemcomp::Document> document = zemcomp::readDocument(path, error);
    if (!document)
        return fail(error);

    // Always through the edit tree: read into one composition, hand a copy of its
    // tree to a fresh one, and ask that one for the text.
    const SharedPtr<Composition> source = zemcomp::load(*document, from);
    Status status;
    const DmRoot& tree = source->getTree(status);
    if (!status)
        return fail(importFailure(*document, status));
    const SharedPtr<Composition> target = Composition::create(source->getId(), tree);
    String text;
    status = target->getJson(jsonTypeOf(to), text);
    if (!status)
        return fail(document->name + ": " + zemcomp::describe(status));

    if (outPath.empty() || outPath == "-") {
        std::cout << text.c_str() << std::endl;
        return kSuccess;
    }
    if (!zemcomp::writeOutput(outPath, std::string(text.c_str(), text.size()), error))
        return fail(error);
    return kSuccess;
}

int run(int argc, char** argv) {
    CLI::App app{"Inspect, check and convert composition documents (OTIO JSON and edit-tree "
                 "JSON).",
                 "zemcomp"};
    app.require_subcommand(1);
    app.set_version_flag("--version", versionString());

    zemcomp::Dialect from = zemcomp::Dialect::Otio;
    const auto addFrom = [&](CLI::App* command) {
        command->add_option("--from", from, "Dialect of the input: otio (default) or dmtree")
            ->transform(CLI::CheckedTransformer(kDialects, CLI::ignore_case));
    };

    std::string infoPath;
    std::vector<std::int64_t> frames;
    bool json = false;
    CLI::App* info = app.add_subcommand(
        "info", "Print a composition's name, duration, start, contents and output bounds");
    info->add_option("FILE", infoPath,
                     "Document to read; - for standard input; the bundled example when omitted");
    addFrom(info);
    info->add_option("--at", frames,
                     "Frame at which to report the output bounds (repeatable; "
                     "default: the start frame)")
        ->transform(zemcomp::wholeNumberIn(std::numeric_limits<std::int64_t>::min(),
                                           std::numeric_limits<std::int64_t>::max()));
    info->add_flag("--json", json, "Print one JSON object instead of text");

    std::string convertPath, outPath;
    zemcomp::Dialect to = zemcomp::Dialect::Otio;
    CLI::App* convert =
        app.add_subcommand("convert", "Convert a document through the edit tree to a dialect");
    convert->add_option("IN", convertPath, "Document to read; - for standard input")->required();
    addFrom(convert);
    convert->add_option("--to", to, "Dialect to write: otio or dmtree")
        ->required()
        ->transform(CLI::CheckedTransformer(kDialects, CLI::ignore_case));
    convert->add_option("-o,--output", outPath,
                        "File to write (written only on success); standard output by default");

    std::string checkPath;
    CLI::App* check = app.add_subcommand(
        "check", "Parse and import a document; report its first problem or a summary");
    check->add_option("IN", checkPath, "Document to read; - for standard input")->required();
    addFrom(check);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kBadUsage;
    }

    if (info->parsed())
        return runInfo(infoPath.empty() ? zemcomp::defaultExample(argv[0]) : infoPath, from, frames,
                       json);
    if (convert->parsed())
        return runConvert(convertPath, from, to, outPath);
    return runCheck(checkPath, from);
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
        return status == kSuccess ? kDocumentFailed : status;
    }
    return status;
}
