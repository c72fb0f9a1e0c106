#include "tools/zemcomp/Document.h"

#include "strictjson/StrictParse.h"
#include "tools/zemcomp/FileIO.h"

#include <filesystem>

namespace zemcomp {

using namespace ZEM_0_81;

std::optional<Document> readDocument(const std::string& path, std::string& error) {
    Document document{path == "-" ? kStandardInputName : path, {}};
    if (!readInput(path, document.text, error))
        return std::nullopt;
    return document;
}

std::string jsonSyntaxError(const std::string& text) {
    const std::optional<StrictJson::SyntaxError> error = StrictJson::findSyntaxError(text.c_str());
    if (!error)
        return {};
    return std::to_string(error->line) + ":" + std::to_string(error->column) + ": " + error->reason;
}

SharedPtr<Composition> load(const Document& document, Dialect dialect) {
    SharedPtr<Composition> composition;
    // Any valid rate will do: the content is replaced by the document right away.
    Composition::create(composition, String(document.name.c_str()), "", Rational(24, 1));
    composition->setJson(dialect == Dialect::Otio ? Composition::JsonType::Otio
                                                  : Composition::JsonType::DmTree,
                         String(document.text.c_str(), document.text.size()));
    return composition;
}

std::string describe(const Status& status) {
    return "status " + std::to_string(status.getCode()) + ": " + status.getDescription();
}

std::string importFailure(const Document& document, const Status& status) {
    const std::string syntax = jsonSyntaxError(document.text);
    if (!syntax.empty())
        return document.name + ":" + syntax + " (" + describe(status) + ")";
    return document.name + ": " + describe(status);
}

const char* dialectName(Dialect dialect) {
    return dialect == Dialect::Otio ? "otio" : "dmtree";
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
