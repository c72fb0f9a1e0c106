#include "interchange/otiostd/kept/ForeignJson.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/SchemaVersions.h"

#include "outside/dmtree/DmPropertySet.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace ZEM_0_81::Interchange::ForeignMembers {

namespace {

/// True when `key` is `name`.
bool isName(const Value& key, const char* name) {
    const std::size_t length = key.GetStringLength();
    const char* text = key.GetString();
    // The first bytes told apart before the name is measured (an empty key's
    // first byte is its terminating NUL, as a name's never is).
    return name[0] == text[0] && std::strlen(name) == length &&
           std::memcmp(name, text, length) == 0;
}

bool isKnown(const std::vector<const char*>& known, const Value& key) {
    // Most names differ at their first byte, told apart here without a call.
    const char first = key.GetString()[0];
    for (const char* name : known)
        if (name[0] == first && isName(key, name))
            return true;
    return false;
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
        SchemaVersions::writeKept(writer, member.value);
    }
}

} // namespace

void keep(const Members& object, DmPropertySet& target, const std::vector<const char*>& known,
          Name name) {
    const Value* members = object.object();
    if (!members)
        return;
    ReadContext& context = object.context();
    // Gathers the members worth keeping into one object, copied so that the
    // input stays as it is. Most objects hold none: they are told apart first,
    // without building anything.
    const auto store = [&](const Value& from, std::int32_t id, const auto& skipped,
                           const char* where) {
        const auto worthKeeping = [&](const Value::Member& member) {
            // An empty name is the default the writer writes anyway.
            return !member.value.IsNull() && !skipped(member.name) &&
                   !(id == kMembersId && isName(member.name, SchemaMembers::kName) &&
                     member.value.IsString() && member.value.GetStringLength() == 0);
        };
        const auto all = from.GetObject();
        if (std::none_of(all.begin(), all.end(), worthKeeping)) {
            target.removeProperty(id);
            return;
        }
        rapidotio::Document kept(rapidjson::kObjectType);
        for (const auto& member : all) {
            if (!worthKeeping(member))
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
    if (const Value* metadata = object.objectMember(SchemaMembers::kMetadata)) {
        const ReadContext::Scope scope(context, SchemaMembers::kMetadata);
        store(
            *metadata, kMetadataId,
            [](const Value& key) { return isName(key, SchemaMembers::kZem); }, "metadata");
    }
    store(
        *members, kMembersId,
        [&](const Value& key) {
            return isKnown(known, key) || isName(key, SchemaMembers::kSchema) ||
                   isName(key, SchemaMembers::kMetadata) ||
                   (name == Name::Held && isName(key, SchemaMembers::kName));
        },
        "member");
}

void writeMetadata(OtioWriter& writer, const DmPropertySet& object) {
    writeKept(writer, object, kMetadataId, {SchemaMembers::kZem});
}

void writeMembers(OtioWriter& writer, const DmPropertySet& object,
                  const std::vector<const char*>& known) {
    writeKept(writer, object, kMembersId, known);
}

namespace {

/// Writes the elements of the array kept as property `id` of `object` (the
/// member `key` of the kept object when `key` is not null).
void writeKeptElements(OtioWriter& writer, const DmPropertySet& object, std::int32_t id,
                       const char* key) {
    rapidotio::Document document;
    if (!parsedProperty(object, id, document))
        return;
    if (document.HasParseError() || !(key ? document.IsObject() : document.IsArray()))
        fail(writer, key ? "is not a JSON object" : "is not a JSON array");
    if (!withinDepth(document, kMaxDepth))
        fail(writer, "is nested too deeply");
    const Value* elements = &document;
    if (key) {
        const auto found = document.FindMember(key);
        if (found == document.MemberEnd() || !found->value.IsArray())
            return;
        elements = &found->value;
    }
    for (const Value& element : elements->GetArray())
        SchemaVersions::writeKept(writer, element);
}

} // namespace

void writeEffects(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kLeftoversId, Leftovers::kEffects);
}

void writeMarkers(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kLeftoversId, Leftovers::kMarkers);
}

void writeTransitions(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kTransitionsId, nullptr);
}

namespace {

constexpr const char* kNestedLength = "length";
constexpr const char* kNestedStart = "start";
constexpr const char* kNestedItem = "item";

} // namespace

bool keepNested(const Value& item, const std::vector<const char*>& held, double length,
                const RationalTime& start, DmPropertySet& target, const TimeRange* range) {
    if (!item.IsObject() || !withinDepth(item, kMaxDepth - 1))
        return false;
    const auto isHeld = [&](const Value& key) {
        return std::any_of(held.begin(), held.end(), [&](const char* word) { return key == word; });
    };
    rapidjson::StringBuffer buffer;
    TextWriter writer(buffer);
    writer.StartObject();
    writer.Key(kNestedLength);
    writer.Double(length);
    writer.Key(kNestedStart);
    writer.StartArray();
    writer.Double(start.value);
    writer.Double(start.rate);
    writer.EndArray();
    writer.Key(kNestedItem);
    const auto writeTime = [&](const RationalTime& time) {
        writer.StartObject();
        writer.Key(SchemaMembers::kSchema);
        writer.String(TimeSchema::kRationalTime);
        writer.Key(TimeSchema::kRate);
        writer.Double(time.rate);
        writer.Key(TimeSchema::kValue);
        writer.Double(time.value);
        writer.EndObject();
    };
    const auto writeRange = [&]() {
        writer.StartObject();
        writer.Key(SchemaMembers::kSchema);
        writer.String(TimeSchema::kTimeRange);
        writer.Key(TimeSchema::kDuration);
        writeTime(range->duration);
        writer.Key(TimeSchema::kStartTime);
        writeTime(range->start_time);
        writer.EndObject();
    };
    // Member by member, so that nothing is copied; the depth is checked above.
    writer.StartObject();
    for (const auto& member : item.GetObject()) {
        writer.Key(member.name.GetString(), member.name.GetStringLength());
        if (isHeld(member.name))
            writer.Null();
        else if (range && member.name == SchemaMembers::kSourceRange)
            writeRange();
        else
            member.value.Accept(writer);
    }
    if (range && !item.HasMember(SchemaMembers::kSourceRange)) {
        writer.Key(SchemaMembers::kSourceRange);
        writeRange();
    }
    for (const char* word : held) {
        if (!item.HasMember(word)) {
            writer.Key(word);
            writer.Null();
        }
    }
    writer.EndObject();
    writer.EndObject();
    const DmString value(std::string(buffer.GetString(), buffer.GetSize()));
    target.setPropertyValue(kNestedId, eDmPropString, &value);
    return true;
}

bool keptNested(const DmPropertySet& object, double& length, RationalTime& start,
                rapidotio::Document& kept, const Value*& item) {
    if (!parsedProperty(object, kNestedId, kept) || kept.HasParseError() || !kept.IsObject() ||
        !withinDepth(kept, kMaxDepth))
        return false;
    // (A "name" member, which earlier versions kept beside these, is not read:
    // the source holds the name.)
    const auto lengthMember = kept.FindMember(kNestedLength);
    const auto itemMember = kept.FindMember(kNestedItem);
    if (lengthMember == kept.MemberEnd() || !lengthMember->value.IsNumber() ||
        itemMember == kept.MemberEnd() || !itemMember->value.IsObject())
        return false;
    length = lengthMember->value.GetDouble();
    start = RationalTime{0.0, 0.0};
    const auto startMember = kept.FindMember(kNestedStart);
    if (startMember != kept.MemberEnd() && startMember->value.IsArray() &&
        startMember->value.Size() == 2 && startMember->value[0].IsNumber() &&
        startMember->value[1].IsNumber())
        start = RationalTime{startMember->value[0].GetDouble(), startMember->value[1].GetDouble()};
    item = &itemMember->value;
    return true;
}

void writeText(OtioWriter& writer, const std::string& text) {
    rapidotio::Document document;
    if (!parseKept(text, document))
        fail(writer, "is not JSON");
    if (!withinDepth(document, kMaxDepth))
        fail(writer, "is nested too deeply");
    SchemaVersions::writeKept(writer, document);
}

} // namespace ZEM_0_81::Interchange::ForeignMembers
