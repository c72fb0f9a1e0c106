#include "tools/zemcomp/options/FilesOption.h"

#include "tools/zemcomp/files/Document.h"
#include "tools/zemcomp/options/NumberOption.h"

#include <algorithm>
#include <iostream>

namespace zemcomp {

namespace {

/// The most threads -j asks for.
constexpr std::int64_t kMaxJobs = 256;

} // namespace

const char* const kFilesHelp = "Documents to read, reported one by one in this order; - for "
                               "standard input (once); the bundled example when none";

void FilesOption::addFiles(CLI::App& command, const char* help, bool required) {
    CLI::Option* option = command.add_option("FILE", m_files, help);
    if (required)
        option->required();
}

void FilesOption::addJobs(CLI::App& command) {
    command.add_option("-j,--jobs", m_jobs, "Read up to N files at once, on N threads")
        ->type_name("N")
        ->transform(wholeNumberIn(1, kMaxJobs));
}

std::optional<std::vector<std::string>> FilesOption::files(const char* argv0) const {
    if (std::count(m_files.begin(), m_files.end(), "-") > 1) {
        std::cerr << "zemcomp: standard input (-) can be read only once" << std::endl;
        return std::nullopt;
    }
    if (m_files.empty())
        return std::vector<std::string>{defaultExample(argv0)};
    return m_files;
}

} // namespace zemcomp
