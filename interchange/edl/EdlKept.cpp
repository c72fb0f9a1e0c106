#include "interchange/edl/EdlKept.h"

#include "interchange/otiostd/kept/ForeignMembers.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/RecordTime.h"
#include "interchange/otiostd/timing/TimeSchema.h"

#include "outside/dmtree/DmPropertySet.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>

namespace ZEM_0_81::Interchange::Cmx::Kept {

namespace {

using Value = rapidotio::Value;
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

constexpr const char* kTransitionSchema = "Transition.1";
constexpr const char* kMarkerSchema = "Marker.2";
constexpr const char* kMarkedRange = "marked_range";
constexpr const char* kComment = "comment";
constexpr const char* kEffectName = "effect_name";

void string(Writer& writer, const std::string& text) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

void member(Writer& writer, const char* key, const std::string& text) {
    writer.Key(key);
    string(writer, text);
}

void time(Writer& writer, const char* key, double value, double rate) {
    writer.Key(key);
    writer.StartObject();
    writer.Key(SchemaMembers::kSchema);
    writer.String(TimeSchema::kRationalTime);
    writer.Key(TimeSchema::kRate);
    writer.Double(rate);
    writer.Key(TimeSchema::kValue);
    writer.Double(value);
    writer.EndObject();
}

/// Opens "metadata": {"cmx_3600": {; closeCmx closes both.
void openCmx(Writer& writer) {
    writer.Key(SchemaMembers::kMetadata);
    writer.StartObject();
    writer.Key(ForeignMembers::kCmx3600);
    writer.StartObject();
}

void closeCmx(Writer& writer) {
    writer.EndObject();
    writer.EndObject();
}

std::string textOf(const rapidjson::StringBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize());
}

bool integerMember(const Value& object, const char* key, std::int64_t& out) {
    const auto found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsInt64())
        return false;
    out = found->value.GetInt64();
    return true;
}

std::int64_t framesOf(const Value& transition, const char* key, double rate) {
    RationalTime time;
    if (!OtioTiming::timeOf(OtioTiming::memberOf(transition, key), time))
        return 0;
    const double frames = std::round(RecordTime::rescale(time.value, time.rate, rate));
    // Offsets past any list's reach are no transition a list can say.
    return std::isfinite(frames) && std::fabs(frames) < 1e15 ? static_cast<std::int64_t>(frames)
                                                             : 0;
}

} // namespace

const Value* cmxOf(const Value& metadata) {
    if (!metadata.IsObject())
        return nullptr;
    const auto found = metadata.FindMember(ForeignMembers::kCmx3600);
    return found != metadata.MemberEnd() && found->value.IsObject() ? &found->value : nullptr;
}

std::string textMember(const Value& object, const char* key) {
    if (!object.IsObject())
        return {};
    const auto found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsString())
        return {};
    return std::string(found->value.GetString(), found->value.GetStringLength());
}

void keepSegment(const SegmentData& data, DmPropertySet& segment) {
    if (data.reel.empty() && !data.hasSource && data.comments.empty() && data.keyCode.empty())
        return;
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(ForeignMembers::kCmx3600);
    writer.StartObject();
    if (!data.reel.empty())
        member(writer, ForeignMembers::kReel, data.reel);
    if (data.hasSource) {
        writer.Key(kSource);
        writer.StartArray();
        writer.Int64(data.sourceIn);
        writer.Int64(data.sourceOut);
        writer.Int64(data.recordLength);
        writer.EndArray();
    }
    if (!data.comments.empty()) {
        writer.Key(kComments);
        writer.StartArray();
        for (const std::string& comment : data.comments)
            string(writer, comment);
        writer.EndArray();
    }
    if (!data.keyCode.empty()) {
        writer.Key(kKey);
        writer.StartObject();
        member(writer, kCode, data.keyCode);
        writer.Key(kDuration);
        writer.Int64(data.keyDuration);
        writer.EndObject();
    }
    writer.EndObject();
    writer.EndObject();
    const DmString text(textOf(buffer));
    segment.setPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text);
}

bool keptSegment(const DmPropertySet& segment, SegmentData& data) {
    rapidotio::Document metadata;
    if (!ForeignMembers::keptMetadata(segment, metadata))
        return false;
    const Value* cmx = cmxOf(metadata);
    if (!cmx)
        return false;
    SegmentData read;
    read.reel = ForeignMembers::reelOf(segment);
    const auto source = cmx->FindMember(kSource);
    if (source != cmx->MemberEnd() && source->value.IsArray() && source->value.Size() == 3 &&
        source->value[0].IsInt64() && source->value[1].IsInt64() && source->value[2].IsInt64()) {
        read.hasSource = true;
        read.sourceIn = source->value[0].GetInt64();
        read.sourceOut = source->value[1].GetInt64();
        read.recordLength = source->value[2].GetInt64();
    }
    const auto comments = cmx->FindMember(kComments);
    if (comments != cmx->MemberEnd() && comments->value.IsArray())
        for (const Value& comment : comments->value.GetArray())
            if (comment.IsString())
                read.comments.emplace_back(comment.GetString(), comment.GetStringLength());
    const auto key = cmx->FindMember(kKey);
    if (key != cmx->MemberEnd() && key->value.IsObject()) {
        read.keyCode = textMember(key->value, kCode);
        integerMember(key->value, kDuration, read.keyDuration);
    }
    data = std::move(read);
    return true;
}

std::string transitionText(const TransitionData& data, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(SchemaMembers::kSchema);
    writer.String(kTransitionSchema);
    openCmx(writer);
    member(writer, kTransition, data.code);
    if (data.hasFrom) {
        writer.Key(kFrom);
        writer.StartObject();
        member(writer, ForeignMembers::kReel, data.from.reel);
        writer.Key(kSourceIn);
        writer.Int64(data.from.sourceIn);
        if (!data.from.name.empty())
            member(writer, SchemaMembers::kName, data.from.name);
        if (!data.from.file.empty())
            member(writer, kFile, data.from.file);
        writer.EndObject();
    }
    closeCmx(writer);
    member(writer, SchemaMembers::kName, std::string());
    writer.Key(OtioTiming::kTransitionType);
    writer.String(data.wipe ? kWipeType : kDissolveType);
    time(writer, OtioTiming::kInOffset, static_cast<double>(data.inOffset), rate);
    time(writer, OtioTiming::kOutOffset, static_cast<double>(data.duration), rate);
    writer.EndObject();
    return textOf(buffer);
}

bool transitionOf(const Value& kept, double rate, TransitionData& data) {
    if (!kept.IsObject())
        return false;
    TransitionData read;
    read.type = textMember(kept, OtioTiming::kTransitionType);
    read.wipe = read.type == kWipeType;
    read.inOffset = framesOf(kept, OtioTiming::kInOffset, rate);
    read.duration = read.inOffset + framesOf(kept, OtioTiming::kOutOffset, rate);
    if (const Value* metadata = OtioTiming::memberOf(kept, SchemaMembers::kMetadata)) {
        if (const Value* cmx = cmxOf(*metadata)) {
            read.code = textMember(*cmx, kTransition);
            const auto from = cmx->FindMember(kFrom);
            if (from != cmx->MemberEnd() && from->value.IsObject()) {
                read.from.reel = textMember(from->value, ForeignMembers::kReel);
                read.hasFrom = !read.from.reel.empty() &&
                               integerMember(from->value, kSourceIn, read.from.sourceIn);
                read.from.name = textMember(from->value, SchemaMembers::kName);
                read.from.file = textMember(from->value, kFile);
            }
        }
    }
    data = std::move(read);
    return true;
}

std::string speedText(bool freeze, double timeScalar, const char* lineKey,
                      const std::string& line) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(SchemaMembers::kSchema);
    writer.String(freeze ? kFreezeFrameSchema : kTimeWarpSchema);
    openCmx(writer);
    member(writer, lineKey, line);
    closeCmx(writer);
    member(writer, SchemaMembers::kName, std::string());
    writer.Key(kEffectName);
    writer.String(freeze ? "FreezeFrame" : "LinearTimeWarp");
    writer.Key(kTimeScalar);
    writer.Double(freeze ? 0.0 : timeScalar);
    writer.EndObject();
    return textOf(buffer);
}

std::string markerText(const std::string& caption, const char* colour, const std::string& word,
                       double start, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(SchemaMembers::kSchema);
    writer.String(kMarkerSchema);
    if (word.empty()) {
        writer.Key(SchemaMembers::kMetadata);
        writer.StartObject();
        writer.EndObject();
    } else {
        openCmx(writer);
        member(writer, kColor, word);
        closeCmx(writer);
    }
    member(writer, SchemaMembers::kName, caption);
    writer.Key(kColor);
    writer.String(colour);
    writer.Key(kMarkedRange);
    writer.StartObject();
    writer.Key(SchemaMembers::kSchema);
    writer.String(TimeSchema::kTimeRange);
    time(writer, TimeSchema::kDuration, 1.0, rate);
    time(writer, TimeSchema::kStartTime, start, rate);
    writer.EndObject();
    member(writer, kComment, std::string());
    writer.EndObject();
    return textOf(buffer);
}

} // namespace ZEM_0_81::Interchange::Cmx::Kept
