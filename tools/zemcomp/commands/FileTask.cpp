#include "tools/zemcomp/commands/FileTask.h"

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/text/Summary.h"

#include <iostream>

namespace zemcomp {

std::string errorLine(const std::string& message) {
    return "zemcomp: " + message + "\n";
}

std::optional<Document> readOrFail(const std::string& path, FileOutcome& outcome,
                                   std::string& error) {
    std::optional<Document> document = readDocument(path, error);
    if (!document) {
        outcome.err = errorLine(error);
        outcome.failed = true;
    }
    return document;
}

void reportLosses(const Document& document, const Loaded& loaded, const InputOptions& input,
                  FileOutcome& outcome) {
    const std::vector<Loss> losses = lossesOf(loaded.losses);
    outcome.err += lossLines(losses, document.name);
    if (input.strict && !losses.empty()) {
        outcome.err += errorLine(strictFailure(losses.size(), document.name));
        outcome.failed = true;
    }
}

int fail(const std::string& message) {
    std::cerr << errorLine(message) << std::flush;
    return kDocumentFailed;
}

bool printLosses(const Document& document, const Loaded& loaded, const InputOptions& input) {
    FileOutcome outcome;
    reportLosses(document, loaded, input, outcome);
    std::cerr << outcome.err << std::flush;
    return !outcome.failed;
}

bool readCut(const std::string& path, const InputOptions& input, Document& document,
             Loaded& loaded) {
    std::string error;
    std::optional<Document> read = readDocument(path, error);
    if (!read) {
        fail(error);
        return false;
    }
    document = std::move(*read);
    loaded = load(document, input.readOptions());
    if (!loaded.status) {
        fail(importFailure(document, loaded, loaded.status));
        return false;
    }
    return printLosses(document, loaded, input);
}

int writeOutput(const std::string& outPath, const std::string& text) {
    if (outPath.empty() || outPath == "-") {
        std::cout << text;
        return kSuccess;
    }
    std::string error;
    if (!ZEM_0_81::Documents::writeFile(outPath, text, error))
        return fail(error);
    return kSuccess;
}

int runOverFiles(const FilesOption& files, const Invocation& invocation, Joining text, bool json,
                 const std::function<FileOutcome(const std::string&)>& task) {
    const std::optional<std::vector<std::string>> paths = files.files(invocation.argv0);
    if (!paths)
        return kBadUsage;
    return printFiles(*paths, files.jobs(), joiningOf(text, json, paths->size()), task);
}

Joining joiningOf(Joining text, bool json, std::size_t files) {
    return !json ? text : files > 1 ? Joining::JsonArray : Joining::Lines;
}

int printFiles(const std::vector<std::string>& files, unsigned jobs, Joining joining,
               const std::function<FileOutcome(const std::string&)>& task) {
    bool written = false;
    const auto report = [&](const FileOutcome& outcome) {
        std::string out = outcome.out;
        if (joining == Joining::JsonArray && !out.empty()) {
            if (out.back() == '\n')
                out.pop_back();
            out = (written ? ",\n" : "[\n") + out;
        } else if (joining == Joining::Blocks && written && !out.empty()) {
            out = "\n" + out;
        }
        written = written || !out.empty();
        std::cout << out;
        if (!outcome.err.empty()) {
            std::cout.flush();
            std::cerr << outcome.err << std::flush;
        }
    };
    const std::size_t failed = runFiles(files, jobs, task, report);
    if (joining == Joining::JsonArray)
        std::cout << (written ? "\n]\n" : "[]\n");
    return failed == 0 ? kSuccess : kDocumentFailed;
}

} // namespace zemcomp
