#include "interchange/kept/ForeignMembers.h"

#include "interchange/kept/KeptObjects.h"

#include "outside/dmtree/DmPropertySet.h"
#include "strictjson/StrictParse.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ZEM_0_81::Interchange::ForeignMembers {

bool withinDepth(const Value& value, unsigned limit) {
    // Called for every object kept, most of them small: no memory of its own.
    if (!value.IsObject() && !value.IsArray())
        return true;
    if (limit == 0)
        return false;
    const auto within = [limit](const Value& inner) { return withinDepth(inner, limit - 1); };
    if (value.IsObject())
        return std::all_of(value.MemberBegin(), value.MemberEnd(),
                           [&](const auto& member) { return within(member.value); });
    return std::all_of(value.Begin(), value.End(), within);
}

bool parsedProperty(const DmPropertySet& object, std::int32_t id, rapidotio::Document& document) {
    DmString text;
    if (object.getPropertyValue(id, eDmPropString, &text) != eDmSuccess)
        return false;
    parseKept(text.str(), document);
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

constexpr const char* kLeftNulls = "null";
constexpr const char* kLeftWritten = "as_written";
constexpr const char* kWrittenValue = "value";
constexpr const char* kWrittenStandsFor = "stands_for";

/// Appends the compact JSON text of `value` to the comma-separated `texts`;
/// false (nothing appended) when it is nested too deeply to sit two levels down
/// in a kept object.
bool appendText(std::string& texts, const Value& value) {
    // Within kMaxDepth - 2, so within what textOf asks.
    if (!withinDepth(value, kMaxDepth - 2))
        return false;
    rapidjson::StringBuffer buffer;
    TextWriter writer(buffer);
    if (!value.Accept(writer))
        return false;
    if (!texts.empty())
        texts += ',';
    texts.append(buffer.GetString(), buffer.GetSize());
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
        add(std::string("\"") + kEffects + "\":[" + m_effects + "]");
    if (!m_markers.empty())
        add(std::string("\"") + kMarkers + "\":[" + m_markers + "]");
    if (m_disabled)
        add(std::string("\"") + KeptObjects::kEnabled + "\":false");
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
    const Value* effects = leftover(object, kEffects, document);
    return effects && effects->IsArray() ? effects : nullptr;
}

const Value* Leftovers::markers(const DmPropertySet& object, rapidotio::Document& document) {
    const Value* markers = leftover(object, kMarkers, document);
    return markers && markers->IsArray() ? markers : nullptr;
}

bool Leftovers::enabled(const DmPropertySet& object) {
    rapidotio::Document document;
    const Value* enabled = leftover(object, KeptObjects::kEnabled, document);
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

const Value* KeptTransitions::kept(const DmPropertySet& object, rapidotio::Document& document) {
    if (!parsedProperty(object, kTransitionsId, document) || document.HasParseError() ||
        !document.IsArray())
        return nullptr;
    return &document;
}

} // namespace ZEM_0_81::Interchange::ForeignMembers
