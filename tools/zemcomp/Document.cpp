#include "tools/zemcomp/Document.h"

#include "interchange/StandardOtio.h"
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

std::string jsonSyntaxError(const std::string& text, bool nanAndInfinity) {
    const std::optional<StrictJson::SyntaxError> error =
        nanAndInfinity ? StrictJson::findSyntaxError<rapidjson::kParseNanAndInfFlag>(text.c_str())
                       : StrictJson::findSyntaxError(text.c_str());
    if (!error)
        return {};
    return std::to_string(error->line) + ":" + std::to_string(error->column) + ": " + error->reason;
}

Loaded load(const Document& document, std::optional<Dialect> dialect) {
    Loaded loaded;
    loaded.dialect =
        dialect ? *dialect : detectDialect(document.text.c_str(), document.text.size());
    const String id(document.name.c_str());
    if (loaded.dialect == Dialect::OtioStandard) {
        String message;
        loaded.status = StandardOtio::read(document.text.c_str(), document.text.size(), id,
                                           loaded.composition, loaded.losses, &message);
        loaded.message = message.c_str();
        if (loaded.status)
            return loaded;
        // Nothing read: a composition without content stands in for the document.
        Composition::create(loaded.composition, id, "", Rational(24, 1));
        loaded.composition->setJson(Composition::JsonType::DmTree, String());
        return loaded;
    }
    // Any valid rate will do: the content is replaced by the document right away.
    Composition::create(loaded.composition, id, "", Rational(24, 1));
    loaded.composition->setJson(loaded.dialect == Dialect::Otio ? Composition::JsonType::Otio
                                                                : Composition::JsonType::DmTree,
                                String(document.text.c_str(), document.text.size()));
    return loaded;
}

std::string describe(const Status& status) {
    return "status " + std::to_string(status.getCode()) + ": " + status.getDescription();
}

std::string importFailure(const Document& document, const Loaded& loaded, const Status& status) {
    const std::string syntax =
        jsonSyntaxError(document.text, loaded.dialect == Dialect::OtioStandard);
    if (!syntax.empty())
        return document.name + ":" + syntax + " (" + describe(status) + ")";
    if (!loaded.status)
        return document.name + ": " + loaded.message + " (" + describe(status) + ")";
    return document.name + ": " + describe(status);
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
