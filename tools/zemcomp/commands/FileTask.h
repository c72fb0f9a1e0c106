#pragma once

// What the subcommands that read documents one by one (info, list, check) share:
// each file's task reads it into a composition of its own and returns what to
// print, so that several files can be handled on several threads, and the
// outcomes are printed in the order the files were given.

#include "tools/zemcomp/files/Document.h"
#include "tools/zemcomp/files/FileBatch.h"
#include "tools/zemcomp/options/DialectOption.h"
#include "tools/zemcomp/options/FilesOption.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zemcomp {

struct Invocation;

/// "zemcomp: MESSAGE\n".
std::string errorLine(const std::string& message);

/// The document at `path`, or nothing with `outcome` marked failed, its message
/// written and kept in `error`.
std::optional<Document> readOrFail(const std::string& path, FileOutcome& outcome,
                                   std::string& error);

/// Reports on standard error what reading the document lost; under --strict a
/// loss fails the file.
void reportLosses(const Document& document, const Loaded& loaded, const InputOptions& input,
                  FileOutcome& outcome);

/// For the subcommands that read one document: prints "zemcomp: MESSAGE" on
/// standard error and returns the exit status of a failed document.
int fail(const std::string& message);

/// For the subcommands that read one document: prints what reading it lost on
/// standard error; false, with --strict's failure printed, when --strict fails
/// it.
bool printLosses(const Document& document, const Loaded& loaded, const InputOptions& input);

/// For the subcommands that read a cut to change or compare it: reads the
/// document at `path` into `document` and `loaded`; false, with the reason
/// printed, when it cannot be read or imported, or when --strict fails it.
bool readCut(const std::string& path, const InputOptions& input, Document& document,
             Loaded& loaded);

/// Writes `text` to `outPath` (written only whole), or to standard output
/// without one or for "-"; the exit status.
int writeOutput(const std::string& outPath, const std::string& text);

/// How the outcomes of several files are put together on standard output.
enum class Joining {
    Lines,     ///< one after the other (one line each)
    Blocks,    ///< a blank line between the files' blocks of lines
    JsonArray, ///< one JSON object each, in one JSON array
};

/// `text` or, with `json`, one object per file, in an array for several files.
Joining joiningOf(Joining text, bool json, std::size_t files);

/// Runs `task` over `files` on up to `jobs` threads and prints each outcome in
/// the order given, joined as `joining` says. Exit status 1 when any file failed.
int printFiles(const std::vector<std::string>& files, unsigned jobs, Joining joining,
               const std::function<FileOutcome(const std::string&)>& task);

/// Runs `task` over the files of `files` and prints the outcomes, joined as
/// joiningOf(text, json, ...) says; exit status 2 when standard input is given
/// twice.
int runOverFiles(const FilesOption& files, const Invocation& invocation, Joining text, bool json,
                 const std::function<FileOutcome(const std::string&)>& task);

} // namespace zemcomp
