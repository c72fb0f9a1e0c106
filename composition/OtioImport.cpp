#include "composition/OtioImport.h"

#include "composition/JsonException.h"
#include "outside/dmtree/DmRoot.h"
#include "rapidotio/DocumentMemory.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/RootNode.h"
#include "rapidotio/keys/ObjectKeys.h"
#include "strictjson/StrictParse.h"
#include "json/DmTreeImporter.h"

#include <cstring>
#include <memory>

namespace ZEM_0_81 {

namespace {

/// Texts shorter than this are parsed in place, in a copy (see parseStrict).
constexpr std::size_t kInPlaceBelow = std::size_t(128) << 10;

/// Parses `text` as strict JSON into `document`, without recursion for deeply
/// nested texts, or throws Json::Exception with RapidJSON's English message and
/// JsonSyntaxError (775). Only the status leaves the driver.
///
/// A short text is parsed in place in a copy of its own, kept in `copy` for as
/// long as the document: its strings stay where they are instead of being
/// copied one by one into the DOM, which for a text of a few kilobytes is much
/// of the import. A long one is parsed into the DOM's chunks, which the walk
/// hands back as it goes: its copy would be held whole to the end, for more
/// memory than the parse saves.
void parseStrict(const char* text, rapidotio::Document& document, std::unique_ptr<char[]>& copy) {
    // Only the first kInPlaceBelow bytes are looked at for the end of the text.
    const std::size_t length = strnlen(text, kInPlaceBelow);
    bool parsed = false;
    if (length < kInPlaceBelow) {
        copy.reset(new char[length + 1]);
        std::memcpy(copy.get(), text, length + 1);
        parsed = StrictJson::parseInPlace(document, copy.get(), text);
    } else {
        parsed = StrictJson::parse(document, text);
    }
    if (!parsed)
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
        std::unique_ptr<char[]> inPlace; // the strings of a text parsed in place
        rapidotio::Document document(&memory.allocator());
        parseStrict(json, document, inPlace);

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
