#pragma once

// What the subcommands that read documents one by one (info, list, check) share:
// each file's task reads it into a composition of its own and returns what to
// print, so that several files can be handled on several threads, and the
// outcomes are printed in the order the files were given.

#include "tools/zemcomp/files/Document.h"
#include "tools/zemcomp/files/FileBatch.h"
#include "tools/zemcomp/options/DialectOption.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zemcomp {

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

/// How the outcomes of several files are put together on standard output.
enum class Joining {
    Lines,     ///< one after the other (one line each)
    Blocks,    ///< a blank line between the files' blocks of lines
    JsonArray, ///< one JSON object each, in one JSON array
};

/// Lines or, with `json`, one object per file, in an array for several files.
Joining joiningOf(bool json, std::size_t files);

/// Runs `task` over `files` on up to `jobs` threads and prints each outcome in
/// the order given, joined as `joining` says. Exit status 1 when any file failed.
int printFiles(const std::vector<std::string>& files, unsigned jobs, Joining joining,
               const std::function<FileOutcome(const std::string&)>& task);

} // namespace zemcomp
