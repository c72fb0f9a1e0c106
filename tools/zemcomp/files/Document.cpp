#include "tools/zemcomp/files/Document.h"

#include <filesystem>

namespace zemcomp {

using namespace ZEM_0_81;

std::optional<Document> readDocument(const std::string& path, std::string& error) {
    Document document{path == "-" ? Documents::kStandardInputName : path, {}};
    int code = 0;
    if (!Documents::readFile(path, document.text, code, error))
        return std::nullopt;
    return document;
}

Loaded load(const Document& document, DocumentReadOptions options) {
    Dialect named;
    if (!options.dialect && Documents::dialectOfPath(document.name, named))
        options.dialect = named;
    options.name = document.name;
    if (document.name != Documents::kStandardInputName)
        options.untitled = std::filesystem::path(document.name).stem().string();
    return Documents::read(document.text.c_str(), document.text.size(),
                           String(document.name.c_str()), options);
}

std::string describe(const Status& status) {
    return Documents::describe(status);
}

std::string importFailure(const Document& document, const Loaded& loaded, const Status& status) {
    if (loaded.where.empty() || loaded.where == document.name)
        return document.name + ": " + describe(status);
    return loaded.where + " (" + describe(status) + ")";
}

std::string defaultExample(const char* argv0) {
    namespace fs = std::filesystem;
    const char* name = "short-cut.otio.json";
    std::error_code ignored;
    // Installed: <prefix>/bin/zemcomp beside <prefix>/share/zemComposition/examples.
    fs::path self = fs::read_symlink("/proc/self/exe", ignored);
    if (self.empty())
        self = fs::weakly_canonical(fs::path(argv0), ignored);
    const fs::path installed = self.parent_path().parent_path() / ZEM_INSTALLED_EXAMPLES_DIR / name;
    if (fs::exists(installed, ignored))
        return installed.string();
    return (fs::path(ZEM_SOURCE_EXAMPLES_DIR) / name).string();
}

} // namespace zemcomp
