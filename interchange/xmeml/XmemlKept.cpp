#include "interchange/xmeml/XmemlKept.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptJson.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmPropertySet.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>

namespace ZEM_0_81::Interchange::Fcp7::Kept {

namespace {

using KeptJson::member;
using KeptJson::string;
using KeptJson::time;
using KeptJson::Writer;

constexpr const char* kDissolveType = "SMPTE_Dissolve";

/// The "xmeml" object of `element`.
void writeElement(Writer& writer, const KeptElement& element) {
    writer.StartObject();
    if (!element.element.empty())
        member(writer, kElement, element.element);
    if (!element.attributes.empty()) {
        writer.Key(kAttributes);
        writer.StartArray();
        for (const auto& [name, value] : element.attributes) {
            writer.StartArray();
            string(writer, name);
            string(writer, value);
            writer.EndArray();
        }
        writer.EndArray();
    }
    if (!element.kept.empty())
        member(writer, kKept, element.kept);
    for (const auto& [key, text] : element.texts)
        member(writer, key.c_str(), text);
    for (const auto& [key, number] : element.numbers) {
        writer.Key(key.c_str());
        writer.Double(number);
    }
    writer.EndObject();
}

/// "metadata": {"xmeml": {...}}.
void writeMetadata(Writer& writer, const KeptElement& element) {
    writer.Key(KeptObjects::kMetadata);
    writer.StartObject();
    if (!element.empty()) {
        writer.Key(kXmeml);
        writeElement(writer, element);
    }
    writer.EndObject();
}

std::string textOf(const rapidjson::StringBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string textMember(const Value& object, const char* key) {
    const Value* found = KeptObjects::memberOf(object, key);
    return found && found->IsString() ? Interchange::textOf(*found) : std::string();
}

std::int64_t framesOf(const Value& transition, const char* key, double rate) {
    RationalTime time;
    if (!KeptObjects::timeOf(KeptObjects::memberOf(transition, key), time))
        return 0;
    const double frames = std::round(RecordTime::rescale(time.value, time.rate, rate));
    return std::isfinite(frames) && std::fabs(frames) < 1e15 ? static_cast<std::int64_t>(frames)
                                                             : 0;
}

} // namespace

std::string KeptElement::text(const char* key) const {
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : found->second;
}

bool KeptElement::number(const char* key, double& value) const {
    const auto found = numbers.find(key);
    if (found == numbers.end())
        return false;
    value = found->second;
    return true;
}

std::string metadataText(const KeptElement& element) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(kXmeml);
    writeElement(writer, element);
    writer.EndObject();
    return textOf(buffer);
}

void keep(const KeptElement& element, DmPropertySet& object) {
    if (element.empty())
        return;
    const DmString text(metadataText(element));
    object.setPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text);
}

bool keptIn(const Value& metadata, KeptElement& element) {
    const Value* xmeml = KeptObjects::memberOf(metadata, kXmeml);
    if (!xmeml || !xmeml->IsObject())
        return false;
    KeptElement read;
    for (const auto& entry : xmeml->GetObject()) {
        const std::string key = Interchange::textOf(entry.name);
        const Value& value = entry.value;
        if (key == kAttributes && value.IsArray()) {
            for (const Value& pair : value.GetArray())
                if (pair.IsArray() && pair.Size() == 2 && pair[0].IsString() && pair[1].IsString())
                    read.attributes.emplace_back(Interchange::textOf(pair[0]),
                                                 Interchange::textOf(pair[1]));
        } else if (key == kElement && value.IsString()) {
            read.element = Interchange::textOf(value);
        } else if (key == kKept && value.IsString()) {
            read.kept = Interchange::textOf(value);
        } else if (value.IsString()) {
            read.texts[key] = Interchange::textOf(value);
        } else {
            double number = 0.0;
            if (finiteNumber(value, number))
                read.numbers[key] = number;
        }
    }
    element = std::move(read);
    return true;
}

bool keptOf(const DmPropertySet& object, KeptElement& element) {
    rapidotio::Document metadata;
    return ForeignMembers::keptMetadata(object, metadata) && keptIn(metadata, element);
}

std::string transitionText(const TransitionData& data, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kTransitionSchema);
    writeMetadata(writer, data.element);
    member(writer, KeptObjects::kName, data.name);
    member(writer, KeptObjects::kTransitionType, data.type.empty() ? kDissolveType : data.type);
    time(writer, KeptObjects::kInOffset, static_cast<double>(data.inOffset), rate);
    time(writer, KeptObjects::kOutOffset, static_cast<double>(data.outOffset), rate);
    writer.EndObject();
    return textOf(buffer);
}

bool transitionOf(const Value& kept, double rate, TransitionData& data) {
    if (!kept.IsObject())
        return false;
    TransitionData read;
    read.name = textMember(kept, KeptObjects::kName);
    read.type = textMember(kept, KeptObjects::kTransitionType);
    read.inOffset = framesOf(kept, KeptObjects::kInOffset, rate);
    read.outOffset = framesOf(kept, KeptObjects::kOutOffset, rate);
    if (const Value* metadata = KeptObjects::memberOf(kept, KeptObjects::kMetadata))
        keptIn(*metadata, read.element);
    data = std::move(read);
    return true;
}

std::string speedText(bool constant, double timeScalar, const std::string& name,
                      const std::string& filter) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(constant ? kTimeWarpSchema : kTimeEffectSchema);
    KeptElement element;
    element.kept = filter;
    writeMetadata(writer, element);
    member(writer, KeptObjects::kName, name);
    writer.Key(KeptObjects::kEffectName);
    writer.String(constant ? "LinearTimeWarp" : "TimeRemap");
    if (constant) {
        writer.Key(kTimeScalar);
        writer.Double(timeScalar);
    }
    writer.EndObject();
    return textOf(buffer);
}

std::string markerText(const std::string& name, const std::string& comment, const char* colour,
                       double start, double duration, double rate, const std::string& xml) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kMarkerSchema);
    KeptElement element;
    element.kept = xml;
    writeMetadata(writer, element);
    member(writer, KeptObjects::kName, name);
    writer.Key(KeptObjects::kColor);
    writer.String(colour);
    KeptJson::timeRange(writer, KeptObjects::kMarkedRange, start, duration, rate);
    member(writer, KeptObjects::kComment, comment);
    writer.EndObject();
    return textOf(buffer);
}

std::string keptMarkerXml(const DmPropertySet& annotation) {
    rapidotio::Document marker;
    if (!ForeignMembers::parsedProperty(annotation, ForeignMembers::kMarkerId, marker) ||
        marker.HasParseError() || !marker.IsObject())
        return {};
    const Value* metadata = KeptObjects::memberOf(marker, KeptObjects::kMetadata);
    KeptElement element;
    return metadata && keptIn(*metadata, element) ? element.kept : std::string();
}

} // namespace ZEM_0_81::Interchange::Fcp7::Kept
