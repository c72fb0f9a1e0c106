#include "composition/OtioImport.h"

#include "composition/JsonException.h"
#include "outside/dmtree/DmRoot.h"
#include "rapidotio/DocumentMemory.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/keys/ObjectKeys.h"
#include "strictjson/StrictParse.h"
#include "json/DmTreeImporter.h"

namespace ZEM_0_81 {

namespace {

/// Parses `text` as strict JSON into `document`, without recursion for deeply
/// nested texts, or throws Json::Exception with RapidJSON's English message and
/// JsonSyntaxError (775). Only the status leaves the driver.
void parseStrict(const char* text, rapidotio::Document& document) {
    if (!StrictJson::parse(document, text))
        throw Json::Exception(rapidjson::GetParseError_En(document.GetParseError()),
                              Status(Status::JsonSyntaxError));
}

} // namespace

Status importOtioJson(const char* text, CoSharedPtr<DmRoot>& tree) {
    try {
        // A null text is read as the empty text: the empty-document error.
        const char* const json = text ? text : "";
        // The DOM is read once, front to back: what the walk has left of it is
        // handed back while the edit tree grows.
        rapidotio::DocumentMemory memory;
        rapidotio::Document document(&memory.allocator());
        parseStrict(json, document);

        // A root value that is not an object has no timeline: the composition
        // stays empty (the importer adds its reel) and the import succeeds.
        if (!document.IsObject()) {
            const Json::DmTreeImporter importer(tree);
            return Status();
        }

        const rapidotio::Value* chosen = &document;
        const rapidotio::Value* timeline = nullptr;
        if (rapidotio::getObject(document, rapidotio::keys::DocumentKeys::timeline, timeline))
            chosen = timeline;

        const SharedPtr<rapidotio::Node> root(new rapidotio::RootNode(*chosen, nullptr));
        Json::DmTreeImporter importer(tree);
        // The nodes are read once: each goes as soon as the walk has left it.
        root->traverseOnce(importer, &memory);
        return Status();
    } catch (const Json::Exception& failure) {
        // Whatever the importer added to `tree` before the failure stays there.
        return Json::statusFromException(failure);
    }
}

} // namespace ZEM_0_81
