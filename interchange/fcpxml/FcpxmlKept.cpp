#include "interchange/fcpxml/FcpxmlKept.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptJson.h"
#include "interchange/kept/KeptObjects.h"

#include "outside/dmtree/DmPropertySet.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <sstream>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

using KeptJson::member;
using KeptJson::string;
using KeptJson::time;
using KeptJson::Writer;

std::string textOf(const rapidjson::StringBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string stringOf(const rapidotio::Value& object, const char* key) {
    if (!object.IsObject())
        return {};
    const auto found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsString())
        return {};
    return std::string(found->value.GetString(), found->value.GetStringLength());
}

} // namespace

std::string keptText(const KeptElement& kept) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    member(writer, Kept::kElement, kept.element);
    if (!kept.attributes.empty()) {
        writer.Key(Kept::kAttributes);
        writer.StartArray();
        for (const auto& [name, value] : kept.attributes) {
            writer.StartArray();
            string(writer, name);
            string(writer, value);
            writer.EndArray();
        }
        writer.EndArray();
    }
    if (!kept.children.empty()) {
        writer.Key(Kept::kChildren);
        writer.StartArray();
        for (const std::string& child : kept.children)
            string(writer, child);
        writer.EndArray();
    }
    if (!kept.effectName.empty() || !kept.effectUid.empty()) {
        writer.Key(Kept::kEffect);
        writer.StartObject();
        member(writer, Kept::kName, kept.effectName);
        member(writer, Kept::kUid, kept.effectUid);
        if (!kept.effectSrc.empty())
            member(writer, Kept::kSrc, kept.effectSrc);
        writer.EndObject();
    }
    writer.EndObject();
    return textOf(buffer);
}

void keepDictionary(const std::string& members, DmPropertySet& object) {
    const DmString text("{\"" + std::string(Kept::kFcpxml) + "\":" + members + "}");
    object.setPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text);
}

const rapidotio::Value* dictionaryOf(const DmPropertySet& object, rapidotio::Document& document) {
    if (!ForeignMembers::keptMetadata(object, document))
        return nullptr;
    const auto found = document.FindMember(Kept::kFcpxml);
    return found != document.MemberEnd() && found->value.IsObject() ? &found->value : nullptr;
}

bool keptElement(const DmPropertySet& segment, KeptElement& kept) {
    rapidotio::Document document;
    const rapidotio::Value* dictionary = dictionaryOf(segment, document);
    if (!dictionary)
        return false;
    KeptElement read;
    read.element = stringOf(*dictionary, Kept::kElement);
    const auto attributes = dictionary->FindMember(Kept::kAttributes);
    if (attributes != dictionary->MemberEnd() && attributes->value.IsArray())
        for (const auto& pair : attributes->value.GetArray())
            if (pair.IsArray() && pair.Size() == 2 && pair[0].IsString() && pair[1].IsString())
                read.attributes.emplace_back(pair[0].GetString(), pair[1].GetString());
    const auto children = dictionary->FindMember(Kept::kChildren);
    if (children != dictionary->MemberEnd() && children->value.IsArray())
        for (const auto& child : children->value.GetArray())
            if (child.IsString())
                read.children.emplace_back(child.GetString(), child.GetStringLength());
    const auto effect = dictionary->FindMember(Kept::kEffect);
    if (effect != dictionary->MemberEnd() && effect->value.IsObject()) {
        read.effectName = stringOf(effect->value, Kept::kName);
        read.effectUid = stringOf(effect->value, Kept::kUid);
        read.effectSrc = stringOf(effect->value, Kept::kSrc);
    }
    kept = std::move(read);
    return true;
}

std::string generatorMembers(const std::string& kind) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    member(writer, "generator_kind", kind);
    writer.Key("parameters");
    writer.StartObject();
    writer.EndObject();
    writer.EndObject();
    return textOf(buffer);
}

std::string xmlText(const pugi::xml_node& node) {
    std::ostringstream text;
    node.print(text, "", pugi::format_raw | pugi::format_no_declaration);
    return text.str();
}

std::string speedWords(const Time& scalar) {
    const Time percent = scalar * Time(100, 1);
    if (percent.whole())
        return std::to_string(percent.numerator()) + "%";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f%%", percent.toDouble());
    return buffer;
}

std::string speedText(bool freeze, double scalar, const std::string& timeMap) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(freeze ? "FreezeFrame.1" : "LinearTimeWarp.1");
    writer.Key(KeptObjects::kMetadata);
    writer.StartObject();
    writer.Key(Kept::kFcpxml);
    writer.StartObject();
    member(writer, Kept::kTimeMap, timeMap);
    writer.EndObject();
    writer.EndObject();
    member(writer, KeptObjects::kName, std::string());
    writer.Key(KeptObjects::kEffectName);
    writer.String(freeze ? "FreezeFrame" : "LinearTimeWarp");
    writer.Key("time_scalar");
    writer.Double(freeze ? 0.0 : scalar);
    writer.EndObject();
    return textOf(buffer);
}

std::string transitionText(const std::string& name, double inOffset, double outOffset,
                           double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kTransitionSchema);
    writer.Key(KeptObjects::kMetadata);
    writer.StartObject();
    writer.Key(Kept::kFcpxml);
    writer.StartObject();
    member(writer, Kept::kName, name);
    writer.EndObject();
    writer.EndObject();
    member(writer, KeptObjects::kName, name);
    writer.Key(KeptObjects::kTransitionType);
    writer.String(Kept::kDissolveType);
    time(writer, KeptObjects::kInOffset, inOffset, rate);
    time(writer, KeptObjects::kOutOffset, outOffset, rate);
    writer.EndObject();
    return textOf(buffer);
}

std::string markerText(const std::string& value, const char* colour, const char* kind,
                       const std::string& completed, const std::string& note, double start,
                       double duration, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kMarkerSchema);
    writer.Key(KeptObjects::kMetadata);
    writer.StartObject();
    writer.Key(Kept::kFcpxml);
    writer.StartObject();
    member(writer, Kept::kKind, kind);
    if (!completed.empty())
        member(writer, Kept::kCompleted, completed);
    if (!note.empty())
        member(writer, Kept::kNote, note);
    writer.EndObject();
    writer.EndObject();
    member(writer, KeptObjects::kName, value);
    writer.Key(KeptObjects::kColor);
    writer.String(colour);
    KeptJson::timeRange(writer, KeptObjects::kMarkedRange, start, duration, rate);
    member(writer, KeptObjects::kComment, note);
    writer.EndObject();
    return textOf(buffer);
}

} // namespace ZEM_0_81::Interchange::Fcpx
