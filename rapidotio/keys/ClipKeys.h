#pragma once

#include "rapidotio/keys/ItemKeys.h"
#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio::keys {

/// "Clip.1", members in the order they are written: "name", "OTIO_SCHEMA",
/// "effects", "source_range", "media_reference", "metadata" (→ "zem", see
/// ClipMetadataKeys). Read: "source_range", "media_reference", "metadata";
/// "effects" at traversal.
struct ClipKeys {
    static constexpr const char* schema = "Clip.1";
    static constexpr const char* name = ItemKeys::name;
    static constexpr const char* effects = ItemKeys::effects;
    static constexpr const char* sourceRange = ItemKeys::sourceRange;
    static constexpr const char* mediaReference = "media_reference";
    static constexpr const char* metadata = ItemKeys::metadata;
};

/// "ExternalReference.1", a clip's "media_reference", members in the order they
/// are written: "OTIO_SCHEMA", "available_range", "metadata" (→ "zem", see
/// MediaMetadataKeys), "target_url". Read: "available_range", "target_url",
/// "metadata" → "zem", then "metadata" → "zm" (TrackingRecordKeys).
struct MediaReferenceKeys {
    static constexpr const char* schema = "ExternalReference.1";
    static constexpr const char* availableRange = "available_range";
    static constexpr const char* metadata = ObjectKeys::metadata;
    static constexpr const char* targetUrl = "target_url";
};

/// "ClipNodeMediaReferenceMetadata.1", the media reference's technical
/// description under "metadata" → "zem". Members are read and written in this
/// order, after "ZEM_SCHEMA" on writing.
struct MediaMetadataKeys {
    static constexpr const char* zemSchema = "ClipNodeMediaReferenceMetadata.1";
    static constexpr const char* bounds = "bounds";
    static constexpr const char* pixelResolution = "pixel_resolution";
    static constexpr const char* dataType = "data_type";
    static constexpr const char* numVideoChannels = "num_video_channels";
    static constexpr const char* pixelAspect = "pixel_aspect";
    static constexpr const char* frameRate = "frame_rate";
    static constexpr const char* hasAudio = "has_audio";
    static constexpr const char* audioSampleRate = "audio_sample_rate";
    static constexpr const char* numAudioChannels = "num_audio_channels";
    static constexpr const char* videoCodec = "video_codec";
    static constexpr const char* audioCodec = "audio_codec";
    static constexpr const char* fileSizeInBytes = "file_size_in_bytes";
    /// An object of text members, written in the order the clip keeps them.
    static constexpr const char* extraData = "extra_data";
};

/// A "bounds" object (of the media metadata or of a tracking record): "center"
/// then "size", each an array of two numbers.
struct BoundsKeys {
    static constexpr const char* center = "center";
    static constexpr const char* size = "size";
};

/// An "entity" object, of clip metadata and of the identity text that an edit
/// tree keeps as a media input's original source: "id" then "type".
struct EntityKeys {
    static constexpr const char* id = "id";
    static constexpr const char* type = "type";
};

/// "ClipMetadata.1", the clip's own "metadata" → "zem", members in the order they
/// are written: "ZEM_SCHEMA", "entity", "paths", "id". Read: "id", "paths",
/// "entity".
struct ClipMetadataKeys {
    static constexpr const char* zemSchema = "ClipMetadata.1";
    static constexpr const char* entity = "entity";
    static constexpr const char* paths = "paths";
    /// The clip's identifier; the same word as an entity's.
    static constexpr const char* id = EntityKeys::id;
};

/// A "paths" object of clip metadata, read and written in this order.
struct PathsKeys {
    static constexpr const char* mp4 = "mp4";
    static constexpr const char* file = "file";
    static constexpr const char* movie = "movie";
};

/// The production-tracking records under "metadata" → "zm", read only. On a clip
/// it carries "clip_uid"; on a media reference the others, read in this order.
struct TrackingRecordKeys {
    static constexpr const char* clipUid = "clip_uid";
    /// A text "/<type>/<id>".
    static constexpr const char* entity = "entity";
    static constexpr const char* entityMetadata = "entity_metadata";
    static constexpr const char* uploadedMovie = "zm_uploaded_movie_mp4";
    static constexpr const char* url = "url";
    static constexpr const char* pathToFrames = "zm_path_to_frames";
    static constexpr const char* pathToMovie = "zm_path_to_movie";
    static constexpr const char* bounds = MediaMetadataKeys::bounds;
};

} // namespace ZEM_0_81::rapidotio::keys
