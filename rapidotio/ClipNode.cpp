#include "rapidotio/ClipNode.h"

#include "rapidotio/NodeVisitor.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <cstdlib>

namespace ZEM_0_81::rapidotio {

namespace {

/// Takes one element of a bounds pair: a double-stored number as is, a signed
/// 32-bit integer converted; anything else leaves the field unchanged.
void takeBoundsElement(const Value& element, double& field) {
    if (element.IsDouble())
        field = element.GetDouble();
    else if (element.IsInt())
        field = element.GetInt();
}

/// The text of an "extra_data" value: a string's own text, and for a number,
/// true, false or null its JSON text ("5", "2.5", "true", "null"). Objects and
/// arrays have no text form here; the caller skips them, which also keeps
/// arbitrarily deep values from being walked.
bool extraDataText(const Value& value, std::string& text) {
    if (value.IsString()) {
        text = value.GetString();
        return true;
    }
    if (value.IsObject() || value.IsArray())
        return false;
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    text.assign(buffer.GetString(), buffer.GetSize());
    return true;
}

/// The leading decimal integer of `text` (0 when there is none), clamped to the
/// signed 32-bit range instead of overflowing.
std::int32_t leadingInteger(const char* text) {
    const long long number = std::strtoll(text, nullptr, 10);
    if (number > INT32_MAX)
        return INT32_MAX;
    if (number < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(number);
}

} // namespace

ClipNode::ClipNode(const Value& json, Node* parent) : Node(json, parent) {
    const Value* member = nullptr;
    if (getObject(json, "source_range", member))
        parseTimeRange(*member, source_range);

    if (getObject(json, "media_reference", member))
        readMediaReference(*member);

    const Value* metadata = nullptr;
    if (!getObject(json, "metadata", metadata))
        return;
    // The tracking-record form carries only the clip's identifier; when it is
    // present the "zem" form is not read.
    const Value* zm = nullptr;
    if (getObject(*metadata, "zm", zm)) {
        getString(*zm, "clip_uid", clip_uid);
        return;
    }
    // Metadata written without the "zem" level is read from "metadata" itself.
    const Value* zem = nullptr;
    readClipMetadata(getObject(*metadata, "zem", zem) ? *zem : *metadata);
}

ClipNode::ClipNode(const std::string& name) : Node(name) {}

void ClipNode::accept(NodeVisitor& visitor) {
    visitor.visitClip(this);
}

void ClipNode::leave(NodeVisitor& visitor) {
    visitor.leaveClip(this);
}

const char* ClipNode::childrenKey() const {
    return "effects";
}

void ClipNode::readMediaReference(const Value& reference) {
    const Value* member = nullptr;
    if (getObject(reference, "available_range", member))
        parseTimeRange(*member, available_range);
    getString(reference, "target_url", target_url);

    const Value* metadata = nullptr;
    if (!getObject(reference, "metadata", metadata))
        return;
    if (getObject(*metadata, "zem", member))
        readMediaMetadata(*member);
    // Tracking records are read whether or not "zem" was there.
    if (getObject(*metadata, "zm", member))
        readTrackingRecord(*member);
}

void ClipNode::readMediaMetadata(const Value& zem) {
    const Value* member = nullptr;
    if (getObject(zem, "bounds", member))
        readBounds(*member);

    if (getArray(zem, "pixel_resolution", member)) {
        if (member->Size() != 2) {
            debugPrint("Clip node '%s' has a pixel_resolution with %d values, expected 2\n",
                       name.c_str(), static_cast<int>(member->Size()));
        } else {
            if ((*member)[0].IsInt())
                pixel_resolution_width = (*member)[0].GetInt();
            if ((*member)[1].IsInt())
                pixel_resolution_height = (*member)[1].GetInt();
        }
    }

    getString(zem, "data_type", data_type);
    getInt(zem, "num_video_channels", num_video_channels);
    getDouble(zem, "pixel_aspect", pixel_aspect);
    getDouble(zem, "frame_rate", frame_rate);
    getBool(zem, "has_audio", has_audio);
    getDouble(zem, "audio_sample_rate", audio_sample_rate);
    getInt(zem, "num_audio_channels", num_audio_channels);
    getString(zem, "video_codec", video_codec);
    getString(zem, "audio_codec", audio_codec);
    getInt(zem, "file_size_in_bytes", file_size_in_bytes);

    if (getObject(zem, "extra_data", member)) {
        std::string text;
        for (auto it = member->MemberBegin(); it != member->MemberEnd(); ++it) {
            if (extraDataText(it->value, text))
                extra_data.emplace_back(it->name.GetString(), text);
        }
    }
}

void ClipNode::readTrackingRecord(const Value& zm) {
    // "entity" reads "/<type>/<id>": the type runs from the second character to
    // the next '/', the id is the number after it.
    std::string entity;
    if (getString(zm, "entity", entity) && entity.size() > 1) {
        const std::string::size_type slash = entity.find('/', 1);
        if (slash != std::string::npos) {
            entity_type = entity.substr(1, slash - 1);
            entity_id = leadingInteger(entity.c_str() + slash + 1);
        }
    }

    const Value* entityMetadata = nullptr;
    if (getObject(zm, "entity_metadata", entityMetadata)) {
        const Value* movie = nullptr;
        if (getObject(*entityMetadata, "zm_uploaded_movie_mp4", movie))
            getString(*movie, "url", path_mp4);
        getString(*entityMetadata, "zm_path_to_frames", path_file);
        getString(*entityMetadata, "zm_path_to_movie", path_movie);
    }

    const Value* bounds = nullptr;
    if (getObject(zm, "bounds", bounds))
        readBounds(*bounds);
}

void ClipNode::readBounds(const Value& bounds) {
    readBoundsPair(bounds, "center",
                   "Clip node '%s' has a bounds-center with %d values, expected 2\n",
                   bounds_center_x, bounds_center_y);
    readBoundsPair(bounds, "size", "Clip node '%s' has a bounds-size with %d values, expected 2\n",
                   bounds_size_width, bounds_size_height);
}

void ClipNode::readBoundsPair(const Value& bounds, const char* key, const char* countMessage,
                              double& first, double& second) {
    const Value* pair = nullptr;
    if (!getArray(bounds, key, pair))
        return;
    if (pair->Size() != 2) {
        debugPrint(countMessage, name.c_str(), static_cast<int>(pair->Size()));
        return;
    }
    takeBoundsElement((*pair)[0], first);
    takeBoundsElement((*pair)[1], second);
}

void ClipNode::readClipMetadata(const Value& metadata) {
    getString(metadata, "id", clip_uid);
    const Value* paths = nullptr;
    if (getObject(metadata, "paths", paths)) {
        getString(*paths, "mp4", path_mp4);
        getString(*paths, "file", path_file);
        getString(*paths, "movie", path_movie);
    }
    readEntity(metadata);
}

void ClipNode::readEntity(const Value& object) {
    const Value* entity = nullptr;
    if (!getObject(object, "entity", entity))
        return;
    getInt(*entity, "id", entity_id);
    getString(*entity, "type", entity_type);
}

const char* ClipNode::sampleTypeName(int bits, bool isFloat) {
    switch (bits) {
    case 1:
        return isFloat ? nullptr : "bit";
    case 8:
        return isFloat ? nullptr : "unsigned char";
    case 16:
        return isFloat ? "half" : "unsigned short";
    case 32:
        return isFloat ? "float" : "unsigned int";
    case 64:
        return isFloat ? "double" : nullptr;
    default:
        return nullptr;
    }
}

void ClipNode::toJson(Value& target, Allocator& allocator) const {
    Value clip(rapidjson::kObjectType);
    addMember(clip, "name", name, allocator);
    addMember(clip, "OTIO_SCHEMA", schema, allocator);

    Value effects(rapidjson::kArrayType);
    childrenToJson(effects, allocator);
    addMember(clip, "effects", effects, allocator);

    Value range(rapidjson::kObjectType);
    writeTimeRange(source_range, range, allocator);
    addMember(clip, "source_range", range, allocator);

    // The media reference and its technical description.
    Value reference(rapidjson::kObjectType);
    addMember(reference, "OTIO_SCHEMA", "ExternalReference.1", allocator);
    Value available(rapidjson::kObjectType);
    writeTimeRange(available_range, available, allocator);
    addMember(reference, "available_range", available, allocator);

    Value media(rapidjson::kObjectType);
    addMember(media, "ZEM_SCHEMA", "ClipNodeMediaReferenceMetadata.1", allocator);
    Value bounds(rapidjson::kObjectType);
    Value center = doublePair(bounds_center_x, bounds_center_y, allocator);
    addMember(bounds, "center", center, allocator);
    Value size = doublePair(bounds_size_width, bounds_size_height, allocator);
    addMember(bounds, "size", size, allocator);
    addMember(media, "bounds", bounds, allocator);
    Value resolution(rapidjson::kArrayType);
    resolution.PushBack(Value(pixel_resolution_width), allocator);
    resolution.PushBack(Value(pixel_resolution_height), allocator);
    addMember(media, "pixel_resolution", resolution, allocator);
    addMember(media, "data_type", data_type, allocator);
    addMember(media, "num_video_channels", num_video_channels, allocator);
    addMember(media, "pixel_aspect", pixel_aspect, allocator);
    addMember(media, "frame_rate", frame_rate, allocator);
    addMember(media, "has_audio", has_audio, allocator);
    addMember(media, "audio_sample_rate", audio_sample_rate, allocator);
    addMember(media, "num_audio_channels", num_audio_channels, allocator);
    addMember(media, "video_codec", video_codec, allocator);
    addMember(media, "audio_codec", audio_codec, allocator);
    addMember(media, "file_size_in_bytes", file_size_in_bytes, allocator);
    Value extra(rapidjson::kObjectType);
    for (const auto& entry : extra_data) {
        Value key = stringValue(entry.first, allocator);
        Value text = stringValue(entry.second, allocator);
        extra.AddMember(key, text, allocator);
    }
    addMember(media, "extra_data", extra, allocator);
    Value referenceMetadata(rapidjson::kObjectType);
    addMember(referenceMetadata, "zem", media, allocator);
    addMember(reference, "metadata", referenceMetadata, allocator);
    addMember(reference, "target_url", target_url, allocator);
    addMember(clip, "media_reference", reference, allocator);

    // The clip's own metadata: tracking identity and file paths.
    Value zem(rapidjson::kObjectType);
    addMember(zem, "ZEM_SCHEMA", "ClipMetadata.1", allocator);
    Value entity(rapidjson::kObjectType);
    addMember(entity, "id", entity_id, allocator);
    addMember(entity, "type", entity_type, allocator);
    addMember(zem, "entity", entity, allocator);
    Value paths(rapidjson::kObjectType);
    addMember(paths, "mp4", path_mp4, allocator);
    addMember(paths, "file", path_file, allocator);
    addMember(paths, "movie", path_movie, allocator);
    addMember(zem, "paths", paths, allocator);
    addMember(zem, "id", clip_uid, allocator);
    Value metadata(rapidjson::kObjectType);
    addMember(metadata, "zem", zem, allocator);
    addMember(clip, "metadata", metadata, allocator);

    appendTo(target, clip, allocator);
}

} // namespace ZEM_0_81::rapidotio
