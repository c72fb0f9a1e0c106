#include "composition/OtioImport.h"

#include "composition/JsonException.h"
#include "outside/dmtree/DmRoot.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/RootNode.h"
#include "json/DmTreeImporter.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

namespace ZEM_0_81 {

namespace {

// Nesting depth up to which the default, recursive parser is used.
constexpr int kRecursiveParseDepth = 256;

/// True when arrays and objects in `text` nest deeper than `limit`; strings are
/// skipped. A cheap pass ahead of the parser.
bool nestsDeeperThan(const char* text, int limit) {
    int depth = 0;
    bool inString = false;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (inString) {
            if (c == '\\' && p[1] != '\0')
                ++p;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

/// Parses `text` as strict JSON into `document` with RapidJSON's default flags
/// (no comments, no trailing commas, no NaN or Infinity, nothing but whitespace
/// after the root value), or throws Json::Exception with RapidJSON's English
/// message and JsonSyntaxError (775).
///
/// The default parser recurses once per nesting level. A text nested deeper than
/// any timeline is (far beyond kRecursiveParseDepth) is parsed with the iterative
/// parser instead, which accepts and rejects exactly the same texts but keeps the
/// nesting off the call stack, so that no text can exhaust the stack. Its error
/// message may name another cause; only the status leaves the driver.
void parseStrict(const char* text, rapidotio::Document& document) {
    if (nestsDeeperThan(text, kRecursiveParseDepth))
        document.Parse<rapidjson::kParseDefaultFlags | rapidjson::kParseIterativeFlag>(text);
    else
        document.Parse(text);
    if (document.HasParseError())
        throw Json::Exception(rapidjson::GetParseError_En(document.GetParseError()),
                              Status(Status::JsonSyntaxError));
}

} // namespace

Status importOtioJson(const char* text, CoSharedPtr<DmRoot>& tree) {
    try {
        rapidotio::Document document;
        // A null text is read as the empty text: the empty-document error.
        parseStrict(text ? text : "", document);

        // A root value that is not an object has no timeline: the composition
        // stays empty (the importer adds its reel) and the import succeeds.
        if (!document.IsObject()) {
            const Json::DmTreeImporter importer(tree);
            return Status();
        }

        const rapidotio::Value* chosen = &document;
        const rapidotio::Value* timeline = nullptr;
        if (rapidotio::getObject(document, "timeline", timeline))
            chosen = timeline;

        const SharedPtr<rapidotio::Node> root(new rapidotio::RootNode(*chosen, nullptr));
        Json::DmTreeImporter importer(tree);
        root->traverse(importer);
        return Status();
    } catch (const Json::Exception& failure) {
        // Whatever the importer added to `tree` before the failure stays there.
        return Json::statusFromException(failure);
    }
}

} // namespace ZEM_0_81
