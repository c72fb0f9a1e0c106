#pragma once

// Runs one task per file, on several threads when asked, and hands the results
// back in the order the files were given.

#include <functional>
#include <string>
#include <vector>

namespace zemcomp {

/// What a task made of one file: the text for standard output and for standard
/// error, and whether the file failed.
struct FileOutcome {
    std::string out;
    std::string err;
    bool failed = false;
};

/// Runs `task` on every file of `files` with up to `jobs` threads (1 runs them
/// one after the other on the calling thread) and calls `report` with each
/// outcome on the calling thread, in the order of `files`, as soon as it and
/// every outcome before it are ready. Each task must use compositions of its
/// own. Returns the number of failed files.
std::size_t runFiles(const std::vector<std::string>& files, unsigned jobs,
                     const std::function<FileOutcome(const std::string&)>& task,
                     const std::function<void(const FileOutcome&)>& report);

} // namespace zemcomp
