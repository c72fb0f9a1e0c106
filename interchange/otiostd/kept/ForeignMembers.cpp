#include "interchange/otiostd/kept/ForeignMembers.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/SchemaVersions.h"

#include "outside/dmtree/DmPropertySet.h"
#include "strictjson/StrictParse.h"

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
    parseKept(text.str(), document);
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
        SchemaVersions::writeKept(writer, member.value);
    }
}

} // namespace

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

bool parseKept(const std::string& text, rapidotio::Document& document) {
    StrictJson::parseGuarded<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag |
                             rapidjson::kParseFullPrecisionFlag>(document, text.c_str(),
                                                                 text.size());
    return !document.HasParseError();
}

const std::vector<std::int32_t>& ids() {
    static const std::vector<std::int32_t> all{kMetadataId,  kMembersId,     kMarkerId,
                                               kLeftoversId, kTransitionsId, kNestedId};
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
            if (id == kMembersId && member.name == SchemaMembers::kName &&
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
    if (const Value* metadata = object.objectMember(SchemaMembers::kMetadata)) {
        const ReadContext::Scope scope(context, SchemaMembers::kMetadata);
        store(*metadata, kMetadataId, {SchemaMembers::kZem}, "metadata");
    }
    std::vector<const char*> taken = known;
    taken.insert(taken.end(), {SchemaMembers::kSchema, SchemaMembers::kMetadata});
    if (name == Name::Held)
        taken.push_back(SchemaMembers::kName);
    store(*members, kMembersId, taken, "member");
}

void writeMetadata(OtioWriter& writer, const DmPropertySet& object) {
    writeKept(writer, object, kMetadataId, {SchemaMembers::kZem});
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

bool keptMetadata(const DmPropertySet& object, rapidotio::Document& metadata) {
    return parsedProperty(object, kMetadataId, metadata) && !metadata.HasParseError() &&
           metadata.IsObject();
}

std::string reelOf(const DmPropertySet& object) {
    rapidotio::Document metadata;
    if (!keptMetadata(object, metadata))
        return {};
    const auto cmx = metadata.FindMember(kCmx3600);
    if (cmx == metadata.MemberEnd() || !cmx->value.IsObject())
        return {};
    const auto reel = cmx->value.FindMember(kReel);
    if (reel == cmx->value.MemberEnd() || !reel->value.IsString())
        return {};
    return {reel->value.GetString(), reel->value.GetStringLength()};
}

namespace {

constexpr const char* kLeftEffects = "effects";
constexpr const char* kLeftMarkers = "markers";
constexpr const char* kLeftNulls = "null";
constexpr const char* kLeftWritten = "as_written";
constexpr const char* kWrittenValue = "value";
constexpr const char* kWrittenStandsFor = "stands_for";

/// Appends the compact JSON text of `value` to the comma-separated `texts`;
/// false (nothing appended) when it is nested too deeply to sit two levels down
/// in a kept object.
bool appendText(std::string& texts, const Value& value) {
    std::string text;
    if (!withinDepth(value, kMaxDepth - 2) || !textOf(value, text))
        return false;
    if (!texts.empty())
        texts += ',';
    texts += text;
    return true;
}

} // namespace

bool Leftovers::effect(const Value& effect) {
    return appendText(m_effects, effect);
}

bool Leftovers::marker(const Value& marker) {
    return appendText(m_markers, marker);
}

void Leftovers::keepOn(DmPropertySet& target) const {
    std::string text;
    const auto add = [&](const std::string& member) {
        text += (text.empty() ? "{" : ",") + member;
    };
    if (!m_effects.empty())
        add(std::string("\"") + kLeftEffects + "\":[" + m_effects + "]");
    if (!m_markers.empty())
        add(std::string("\"") + kLeftMarkers + "\":[" + m_markers + "]");
    if (m_disabled)
        add(std::string("\"") + SchemaMembers::kEnabled + "\":false");
    if (!m_nulls.empty())
        add(std::string("\"") + kLeftNulls + "\":[" + m_nulls + "]");
    if (!m_written.empty())
        add(std::string("\"") + kLeftWritten + "\":{" + m_written + "}");
    if (text.empty())
        return;
    text += '}';
    const DmString value(std::move(text));
    target.setPropertyValue(kLeftoversId, eDmPropString, &value);
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

void Leftovers::writeEffects(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kLeftoversId, kLeftEffects);
}

void Leftovers::writeMarkers(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kLeftoversId, kLeftMarkers);
}

void Leftovers::null(const char* key) {
    // Keys are the writer's own words: no character needs escaping.
    m_nulls += (m_nulls.empty() ? "\"" : ",\"") + std::string(key) + "\"";
}

namespace {

/// Member `key` of the leftovers `object` keeps, parsed into `document`; null
/// when it keeps none or no such member.
const Value* leftover(const DmPropertySet& object, const char* key, rapidotio::Document& document) {
    if (!parsedProperty(object, kLeftoversId, document) || document.HasParseError() ||
        !document.IsObject())
        return nullptr;
    const auto found = document.FindMember(key);
    return found == document.MemberEnd() ? nullptr : &found->value;
}

} // namespace

bool Leftovers::wasNull(const DmPropertySet& object, const char* key) {
    rapidotio::Document document;
    const Value* nulls = leftover(object, kLeftNulls, document);
    if (!nulls || !nulls->IsArray())
        return false;
    return std::any_of(nulls->Begin(), nulls->End(),
                       [&](const Value& element) { return element.IsString() && element == key; });
}

bool Leftovers::asWritten(const char* key, const Value& value, double standsFor) {
    std::string text;
    if (!withinDepth(value, kMaxDepth - 3) || !textOf(value, text))
        return false;
    rapidjson::StringBuffer buffer;
    TextWriter writer(buffer);
    writer.StartObject();
    writer.Key(kWrittenValue);
    writer.RawValue(text.c_str(), text.size(), value.GetType());
    writer.Key(kWrittenStandsFor);
    writer.Double(standsFor);
    writer.EndObject();
    // Keys are the writer's own words: no character needs escaping.
    m_written += (m_written.empty() ? "\"" : ",\"") + std::string(key) + "\":" + buffer.GetString();
    return true;
}

const Value* Leftovers::writtenAs(const DmPropertySet& object, const char* key, double standsFor,
                                  rapidotio::Document& document) {
    const Value* written = leftover(object, kLeftWritten, document);
    if (!written || !written->IsObject())
        return nullptr;
    const auto found = written->FindMember(key);
    if (found == written->MemberEnd() || !found->value.IsObject())
        return nullptr;
    const auto value = found->value.FindMember(kWrittenValue);
    const auto stands = found->value.FindMember(kWrittenStandsFor);
    if (value == found->value.MemberEnd() || stands == found->value.MemberEnd() ||
        !stands->value.IsNumber() || stands->value.GetDouble() != standsFor)
        return nullptr;
    return &value->value;
}

const Value* Leftovers::effects(const DmPropertySet& object, rapidotio::Document& document) {
    const Value* effects = leftover(object, kLeftEffects, document);
    return effects && effects->IsArray() ? effects : nullptr;
}

const Value* Leftovers::markers(const DmPropertySet& object, rapidotio::Document& document) {
    const Value* markers = leftover(object, kLeftMarkers, document);
    return markers && markers->IsArray() ? markers : nullptr;
}

bool Leftovers::enabled(const DmPropertySet& object) {
    rapidotio::Document document;
    const Value* enabled = leftover(object, SchemaMembers::kEnabled, document);
    return !enabled || !enabled->IsFalse();
}

bool KeptTransitions::add(const Value& transition) {
    return appendText(m_texts, transition);
}

void KeptTransitions::keepOn(DmPropertySet& target) {
    if (m_texts.empty())
        return;
    const DmString value("[" + m_texts + "]");
    target.setPropertyValue(kTransitionsId, eDmPropString, &value);
    m_texts.clear();
}

void KeptTransitions::write(OtioWriter& writer, const DmPropertySet& object) {
    writeKeptElements(writer, object, kTransitionsId, nullptr);
}

const Value* KeptTransitions::kept(const DmPropertySet& object, rapidotio::Document& document) {
    if (!parsedProperty(object, kTransitionsId, document) || document.HasParseError() ||
        !document.IsArray())
        return nullptr;
    return &document;
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
