#pragma once

// The subcommands that read documents one by one (info, check and list): each
// file's task, which reads it into a composition of its own and returns what
// to print, so that several files can be handled on several threads.

#include "tools/zemcomp/Document.h"
#include "tools/zemcomp/FileBatch.h"
#include "tools/zemcomp/Listing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zemcomp {

/// The options of info, check and list that apply to every file.
struct FileOptions {
    /// The dialect of the input; detected from each file's text when not given.
    std::optional<Dialect> dialect;
    /// A loss while reading standard OTIO fails the file.
    bool strict = false;
    std::vector<std::int64_t> frames; ///< info: frames to report the output bounds at
    bool json = false;
    ListSelection selection = ListSelection::Clips; ///< list: the table to print
};

/// info: the summary as text or one JSON object; fails when the document cannot
/// be read or imported. A frame outside the composition adds a note on standard
/// error, not a failure.
FileOutcome infoFile(const std::string& path, const FileOptions& options);

/// check: "NAME: OK, summary" or the document's first problem; a document
/// without a timeline fails.
FileOutcome checkFile(const std::string& path, const FileOptions& options);

/// list: the headline and a table of the timeline view, or its JSON object;
/// fails when the document cannot be read or imported.
FileOutcome listFile(const std::string& path, const FileOptions& options);

} // namespace zemcomp
