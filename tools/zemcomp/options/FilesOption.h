#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zemcomp {

/// FILE... and -j of the subcommands that read several documents one by one.
class FilesOption {
public:
    /// Adds the positional FILE... (`required`, or the bundled example when none).
    void addFiles(CLI::App& command, const char* help, bool required);
    /// Adds -j, --jobs.
    void addJobs(CLI::App& command);

    /// The files to read, the bundled example when none was given; nothing, with
    /// the reason on standard error, when standard input (-) is given twice.
    std::optional<std::vector<std::string>> files(const char* argv0) const;
    unsigned jobs() const { return static_cast<unsigned>(m_jobs); }

private:
    std::vector<std::string> m_files;
    std::int64_t m_jobs = 1;
};

/// The help of FILE... for a subcommand that reads the bundled example without one.
extern const char* const kFilesHelp;

} // namespace zemcomp
