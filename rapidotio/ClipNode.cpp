#include "rapidotio/ClipNode.h"

#include "rapidotio/NodeVisitor.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <cstdlib>

namespace ZEM_0_81::rapidotio {

using keys::BoundsKeys;
using keys::ClipKeys;
using keys::ClipMetadataKeys;
using keys::EntityKeys;
using keys::MediaMetadataKeys;
using keys::MediaReferenceKeys;
using keys::MetadataKeys;
using keys::ObjectKeys;
using keys::PathsKeys;
using keys::TrackingRecordKeys;

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
    if (getObject(json, ClipKeys::sourceRange, member))
        parseTimeRange(*member, source_range);

    if (getObject(json, ClipKeys::mediaReference, member))
        readMediaReference(*member);

    const Value* metadata = nullptr;
    if (!getObject(json, ClipKeys::metadata, metadata))
        return;
    // The tracking-record form carries only the clip's identifier; when it is
    // present the "zem" form is not read.
    const Value* zm = nullptr;
    if (getObject(*metadata, MetadataKeys::zm, zm)) {
        getString(*zm, TrackingRecordKeys::clipUid, clip_uid);
        return;
    }
    // Metadata written without the "zem" level is read from "metadata" itself.
    const Value* zem = nullptr;
    readClipMetadata(getObject(*metadata, MetadataKeys::zem, zem) ? *zem : *metadata);
}

ClipNode::ClipNode(const std::string& name) : Node(name) {}

void ClipNode::accept(NodeVisitor& visitor) {
    visitor.visitClip(this);
}

void ClipNode::leave(NodeVisitor& visitor) {
    visitor.leaveClip(this);
}

const char* ClipNode::childrenKey() const {
    return ClipKeys::effects;
}

void ClipNode::readMediaReference(const Value& reference) {
    const Value* member = nullptr;
    if (getObject(reference, MediaReferenceKeys::availableRange, member))
        parseTimeRange(*member, available_range);
    getString(reference, MediaReferenceKeys::targetUrl, target_url);

    const Value* metadata = nullptr;
    if (!getObject(reference, MediaReferenceKeys::metadata, metadata))
        return;
    if (getObject(*metadata, MetadataKeys::zem, member))
        readMediaMetadata(*member);
    // Tracking records are read whether or not "zem" was there.
    if (getObject(*metadata, MetadataKeys::zm, member))
        readTrackingRecord(*member);
}

void ClipNode::readMediaMetadata(const Value& zem) {
    const Value* member = nullptr;
    if (getObject(zem, MediaMetadataKeys::bounds, member))
        readBounds(*member);

    if (getArray(zem, MediaMetadataKeys::pixelResolution, member)) {
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

    getString(zem, MediaMetadataKeys::dataType, data_type);
    getInt(zem, MediaMetadataKeys::numVideoChannels, num_video_channels);
    getDouble(zem, MediaMetadataKeys::pixelAspect, pixel_aspect);
    getDouble(zem, MediaMetadataKeys::frameRate, frame_rate);
    getBool(zem, MediaMetadataKeys::hasAudio, has_audio);
    getDouble(zem, MediaMetadataKeys::audioSampleRate, audio_sample_rate);
    getInt(zem, MediaMetadataKeys::numAudioChannels, num_audio_channels);
    getString(zem, MediaMetadataKeys::videoCodec, video_codec);
    getString(zem, MediaMetadataKeys::audioCodec, audio_codec);
    getInt(zem, MediaMetadataKeys::fileSizeInBytes, file_size_in_bytes);

    if (getObject(zem, MediaMetadataKeys::extraData, member)) {
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
    if (getString(zm, TrackingRecordKeys::entity, entity) && entity.size() > 1) {
        const std::string::size_type slash = entity.find('/', 1);
        if (slash != std::string::npos) {
            entity_type = entity.substr(1, slash - 1);
            entity_id = leadingInteger(entity.c_str() + slash + 1);
        }
    }

    const Value* entityMetadata = nullptr;
    if (getObject(zm, TrackingRecordKeys::entityMetadata, entityMetadata)) {
        const Value* movie = nullptr;
        if (getObject(*entityMetadata, TrackingRecordKeys::uploadedMovie, movie))
            getString(*movie, TrackingRecordKeys::url, path_mp4);
        getString(*entityMetadata, TrackingRecordKeys::pathToFrames, path_file);
        getString(*entityMetadata, TrackingRecordKeys::pathToMovie, path_movie);
    }

    const Value* bounds = nullptr;
    if (getObject(zm, TrackingRecordKeys::bounds, bounds))
        readBounds(*bounds);
}

void ClipNode::readBounds(const Value& bounds) {
    readBoundsPair(bounds, BoundsKeys::center,
                   "Clip node '%s' has a bounds-center with %d values, expected 2\n",
                   bounds_center_x, bounds_center_y);
    readBoundsPair(bounds, BoundsKeys::size,
                   "Clip node '%s' has a bounds-size with %d values, expected 2\n",
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
    getString(metadata, ClipMetadataKeys::id, clip_uid);
    const Value* paths = nullptr;
    if (getObject(metadata, ClipMetadataKeys::paths, paths)) {
        getString(*paths, PathsKeys::mp4, path_mp4);
        getString(*paths, PathsKeys::file, path_file);
        getString(*paths, PathsKeys::movie, path_movie);
    }
    readEntity(metadata);
}

void ClipNode::readEntity(const Value& object) {
    const Value* entity = nullptr;
    if (!getObject(object, ClipMetadataKeys::entity, entity))
        return;
    getInt(*entity, EntityKeys::id, entity_id);
    getString(*entity, EntityKeys::type, entity_type);
}

void ClipNode::toJson(Value& target, Allocator& allocator) const {
    Value clip(rapidjson::kObjectType);
    addMember(clip, ClipKeys::name, name, allocator);
    addMember(clip, ObjectKeys::schema, schema, allocator);

    Value effects(rapidjson::kArrayType);
    childrenToJson(effects, allocator);
    addMember(clip, ClipKeys::effects, effects, allocator);

    Value range(rapidjson::kObjectType);
    writeTimeRange(source_range, range, allocator);
    addMember(clip, ClipKeys::sourceRange, range, allocator);

    // The media reference and its technical description.
    Value reference(rapidjson::kObjectType);
    addMember(reference, ObjectKeys::schema, MediaReferenceKeys::schema, allocator);
    Value available(rapidjson::kObjectType);
    writeTimeRange(available_range, available, allocator);
    addMember(reference, MediaReferenceKeys::availableRange, available, allocator);

    Value media(rapidjson::kObjectType);
    addMember(media, MetadataKeys::zemSchema, MediaMetadataKeys::zemSchema, allocator);
    Value bounds(rapidjson::kObjectType);
    Value center = doublePair(bounds_center_x, bounds_center_y, allocator);
    addMember(bounds, BoundsKeys::center, center, allocator);
    Value size = doublePair(bounds_size_width, bounds_size_height, allocator);
    addMember(bounds, BoundsKeys::size, size, allocator);
    addMember(media, MediaMetadataKeys::bounds, bounds, allocator);
    Value resolution(rapidjson::kArrayType);
    resolution.PushBack(Value(pixel_resolution_width), allocator);
    resolution.PushBack(Value(pixel_resolution_height), allocator);
    addMember(media, MediaMetadataKeys::pixelResolution, resolution, allocator);
    addMember(media, MediaMetadataKeys::dataType, data_type, allocator);
    addMember(media, MediaMetadataKeys::numVideoChannels, num_video_channels, allocator);
    addMember(media, MediaMetadataKeys::pixelAspect, pixel_aspect, allocator);
    addMember(media, MediaMetadataKeys::frameRate, frame_rate, allocator);
    addMember(media, MediaMetadataKeys::hasAudio, has_audio, allocator);
    addMember(media, MediaMetadataKeys::audioSampleRate, audio_sample_rate, allocator);
    addMember(media, MediaMetadataKeys::numAudioChannels, num_audio_channels, allocator);
    addMember(media, MediaMetadataKeys::videoCodec, video_codec, allocator);
    addMember(media, MediaMetadataKeys::audioCodec, audio_codec, allocator);
    addMember(media, MediaMetadataKeys::fileSizeInBytes, file_size_in_bytes, allocator);
    Value extra(rapidjson::kObjectType);
    for (const auto& entry : extra_data) {
        Value key = stringValue(entry.first, allocator);
        Value text = stringValue(entry.second, allocator);
        extra.AddMember(key, text, allocator);
    }
    addMember(media, MediaMetadataKeys::extraData, extra, allocator);
    Value referenceMetadata(rapidjson::kObjectType);
    addMember(referenceMetadata, MetadataKeys::zem, media, allocator);
    addMember(reference, MediaReferenceKeys::metadata, referenceMetadata, allocator);
    addMember(reference, MediaReferenceKeys::targetUrl, target_url, allocator);
    addMember(clip, ClipKeys::mediaReference, reference, allocator);

    // The clip's own metadata: tracking identity and file paths.
    Value zem(rapidjson::kObjectType);
    addMember(zem, MetadataKeys::zemSchema, ClipMetadataKeys::zemSchema, allocator);
    Value entity(rapidjson::kObjectType);
    addMember(entity, EntityKeys::id, entity_id, allocator);
    addMember(entity, EntityKeys::type, entity_type, allocator);
    addMember(zem, ClipMetadataKeys::entity, entity, allocator);
    Value paths(rapidjson::kObjectType);
    addMember(paths, PathsKeys::mp4, path_mp4, allocator);
    addMember(paths, PathsKeys::file, path_file, allocator);
    addMember(paths, PathsKeys::movie, path_movie, allocator);
    addMember(zem, ClipMetadataKeys::paths, paths, allocator);
    addMember(zem, ClipMetadataKeys::id, clip_uid, allocator);
    Value metadata(rapidjson::kObjectType);
    addMember(metadata, MetadataKeys::zem, zem, allocator);
    addMember(clip, ClipKeys::metadata, metadata, allocator);

    appendTo(target, clip, allocator);
}

} // namespace ZEM_0_81::rapidotio
