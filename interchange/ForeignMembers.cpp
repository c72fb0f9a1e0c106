#include "interchange/ForeignMembers.h"

#include "composition/JsonException.h"
#include "interchange/SchemaObject.h"

#include "outside/dmtree/DmPropertySet.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace ZEM_0_81::Interchange::ForeignMembers {

namespace {

using TextWriter = rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>,
                                     rapidjson::CrtAllocator, rapidjson::kWriteNanAndInfFlag>;

/// True when `value` nests no deeper than `limit` arrays and objects, found
/// without recursion.
bool withinDepth(const Value& value, unsigned limit) {
    std::vector<std::pair<const Value*, unsigned>> pending{{&value, 0u}};
    while (!pending.empty()) {
        const auto [current, depth] = pending.back();
        pending.pop_back();
        if (current->IsObject() || current->IsArray()) {
            if (depth >= limit)
                return false;
            if (current->IsObject()) {
                for (const auto& member : current->GetObject())
                    pending.emplace_back(&member.value, depth + 1);
            } else {
                for (const Value& element : current->GetArray())
                    pending.emplace_back(&element, depth + 1);
            }
        }
    }
    return true;
}

bool isKnown(const std::vector<const char*>& known, const Value& key) {
    return std::any_of(known.begin(), known.end(), [&](const char* name) {
        return std::strlen(name) == key.GetStringLength() &&
               std::memcmp(name, key.GetString(), key.GetStringLength()) == 0;
    });
}

/// The kept text of property `id` parsed, or false when there is none.
bool parsedProperty(const DmPropertySet& object, std::int32_t id, rapidotio::Document& document) {
    DmString text;
    if (object.getPropertyValue(id, eDmPropString, &text) != eDmSuccess)
        return false;
    const std::string& source = text.str();
    document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag |
                   rapidjson::kParseFullPrecisionFlag>(source.c_str(), source.size());
    return true;
}

void fail(const OtioWriter& writer, const char* what) {
    throw Json::Exception(std::string("the kept OTIO text at ") + writer.pointer() + " " + what,
                          Status(Status::JsonGenerationFailed));
}

/// Writes the members of the kept object of property `id`, leaving out `skipped`.
void writeKept(OtioWriter& writer, const DmPropertySet& object, std::int32_t id,
               const std::vector<const char*>& skipped) {
    rapidotio::Document document;
    if (!parsedProperty(object, id, document))
        return;
    if (document.HasParseError() || !document.IsObject())
        fail(writer, "is not a JSON object");
    if (!withinDepth(document, kMaxDepth))
        fail(writer, "is nested too deeply");
    for (const auto& member : document.GetObject()) {
        if (isKnown(skipped, member.name))
            continue;
        writer.key(member.name.GetString(), member.name.GetStringLength());
        writer.json(member.value);
    }
}

} // namespace

const std::vector<std::int32_t>& ids() {
    static const std::vector<std::int32_t> all{kMetadataId, kMembersId, kMarkerId};
    return all;
}

bool textOf(const Value& value, std::string& text) {
    if (!withinDepth(value, kMaxDepth))
        return false;
    rapidjson::StringBuffer buffer;
    TextWriter writer(buffer);
    if (!value.Accept(writer))
        return false;
    text.assign(buffer.GetString(), buffer.GetSize());
    return true;
}

void keep(const Members& object, DmPropertySet& target, const std::vector<const char*>& known,
          Name name) {
    const Value* members = object.object();
    if (!members)
        return;
    ReadContext& context = object.context();
    // Gathers the members worth keeping into one object, copied so that the
    // input stays as it is.
    const auto store = [&](const Value& from, std::int32_t id,
                           const std::vector<const char*>& skipped, const char* where) {
        rapidotio::Document kept(rapidjson::kObjectType);
        for (const auto& member : from.GetObject()) {
            if (member.value.IsNull() || isKnown(skipped, member.name))
                continue;
            // An empty name is the default the writer writes anyway.
            if (id == kMembersId && member.name == SchemaObject::kName &&
                member.value.IsString() && member.value.GetStringLength() == 0)
                continue;
            if (!withinDepth(member.value, kMaxDepth - 1)) {
                const ReadContext::Scope scope(context, member.name);
                context.lose(object.schema(), std::string(where) +
                                                  " not kept: nested more deeply than the edit "
                                                  "tree keeps");
                continue;
            }
            kept.AddMember(Value(member.name, kept.GetAllocator()),
                           Value(member.value, kept.GetAllocator()), kept.GetAllocator());
        }
        std::string text;
        if (kept.MemberCount() == 0 || !textOf(kept, text)) {
            target.removeProperty(id);
            return;
        }
        const DmString value(std::move(text));
        target.setPropertyValue(id, eDmPropString, &value);
    };
    if (const Value* metadata = object.objectMember(SchemaObject::kMetadata)) {
        const ReadContext::Scope scope(context, SchemaObject::kMetadata);
        store(*metadata, kMetadataId, {SchemaObject::kZem}, "metadata");
    }
    std::vector<const char*> taken = known;
    taken.insert(taken.end(), {SchemaObject::kSchema, SchemaObject::kMetadata});
    if (name == Name::Held)
        taken.push_back(SchemaObject::kName);
    store(*members, kMembersId, taken, "member");
}

void writeMetadata(OtioWriter& writer, const DmPropertySet& object) {
    writeKept(writer, object, kMetadataId, {SchemaObject::kZem});
}

void writeMembers(OtioWriter& writer, const DmPropertySet& object,
                  const std::vector<const char*>& known) {
    writeKept(writer, object, kMembersId, known);
}

bool keptMembers(const DmPropertySet& object, rapidotio::Document& members) {
    return parsedProperty(object, kMembersId, members) && !members.HasParseError() &&
           members.IsObject();
}

bool holds(const DmPropertySet& object, const char* key) {
    rapidotio::Document document;
    return keptMembers(object, document) && document.HasMember(key);
}

void writeText(OtioWriter& writer, const std::string& text) {
    rapidotio::Document document;
    document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag |
                   rapidjson::kParseFullPrecisionFlag>(text.c_str(), text.size());
    if (document.HasParseError())
        fail(writer, "is not JSON");
    if (!withinDepth(document, kMaxDepth))
        fail(writer, "is nested too deeply");
    writer.json(document);
}

} // namespace ZEM_0_81::Interchange::ForeignMembers
