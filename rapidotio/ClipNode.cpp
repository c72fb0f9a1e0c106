#include "rapidotio/ClipNode.h"

#include "rapidotio/MemberWriter.h"
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
        extra_data.reserve(extra_data.size() + member->MemberCount());
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

Node::Placement ClipNode::placement() const {
    return Placement::Element;
}

void ClipNode::toJson(MemberWriter& writer) const {
    writer.beginObject();
    writer.member(ClipKeys::name, name);
    writer.member(ObjectKeys::schema, schema);
    writer.children(ClipKeys::effects);
    writer.member(ClipKeys::sourceRange, source_range);

    // The media reference and its technical description.
    writer.beginObject(ClipKeys::mediaReference);
    writer.member(ObjectKeys::schema, MediaReferenceKeys::schema);
    writer.member(MediaReferenceKeys::availableRange, available_range);
    writer.beginObject(MediaReferenceKeys::metadata);
    writer.beginObject(MetadataKeys::zem);
    writer.member(MetadataKeys::zemSchema, MediaMetadataKeys::zemSchema);
    writer.beginObject(MediaMetadataKeys::bounds);
    writer.pair(BoundsKeys::center, bounds_center_x, bounds_center_y);
    writer.pair(BoundsKeys::size, bounds_size_width, bounds_size_height);
    writer.endObject();
    writer.pair(MediaMetadataKeys::pixelResolution, pixel_resolution_width,
                pixel_resolution_height);
    writer.member(MediaMetadataKeys::dataType, data_type);
    writer.member(MediaMetadataKeys::numVideoChannels, num_video_channels);
    writer.member(MediaMetadataKeys::pixelAspect, pixel_aspect);
    writer.member(MediaMetadataKeys::frameRate, frame_rate);
    writer.member(MediaMetadataKeys::hasAudio, has_audio);
    writer.member(MediaMetadataKeys::audioSampleRate, audio_sample_rate);
    writer.member(MediaMetadataKeys::numAudioChannels, num_audio_channels);
    writer.member(MediaMetadataKeys::videoCodec, video_codec);
    writer.member(MediaMetadataKeys::audioCodec, audio_codec);
    writer.member(MediaMetadataKeys::fileSizeInBytes, file_size_in_bytes);
    writer.beginObject(MediaMetadataKeys::extraData);
    for (const auto& entry : extra_data)
        writer.member(entry.first, entry.second);
    writer.endObject();
    writer.endObject();
    writer.endObject();
    writer.member(MediaReferenceKeys::targetUrl, target_url);
    writer.endObject();

    // The clip's own metadata: tracking identity and file paths.
    writer.beginObject(ClipKeys::metadata);
    writer.beginObject(MetadataKeys::zem);
    writer.member(MetadataKeys::zemSchema, ClipMetadataKeys::zemSchema);
    writer.beginObject(ClipMetadataKeys::entity);
    writer.member(EntityKeys::id, entity_id);
    writer.member(EntityKeys::type, entity_type);
    writer.endObject();
    writer.beginObject(ClipMetadataKeys::paths);
    writer.member(PathsKeys::mp4, path_mp4);
    writer.member(PathsKeys::file, path_file);
    writer.member(PathsKeys::movie, path_movie);
    writer.endObject();
    writer.member(ClipMetadataKeys::id, clip_uid);
    writer.endObject();
    writer.endObject();
    writer.endObject();
}

} // namespace ZEM_0_81::rapidotio
