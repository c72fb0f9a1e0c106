#pragma once

// Member names and schema names of the product's OTIO dialect that standard
// documents reuse under "metadata" → "zem", so that a reader who knows the product
// dialect finds the same things under the same names. Written once here; when the
// product dialect's own per-schema key declarations are available they replace
// this file.

namespace ZEM_0_81::Interchange::ProductKeys {

// Schemas of the product's metadata and effects, as "ZEM_SCHEMA" texts.
constexpr const char* kClipMetadata = "ClipMetadata.1";
constexpr const char* kMediaReferenceMetadata = "ClipNodeMediaReferenceMetadata.1";
constexpr const char* kComp = "Comp.1";
constexpr const char* kAngularMask = "AngularMask.1";
constexpr const char* kCdl = "CDL.1";
constexpr const char* kAnnotation = "Annotation.1";

// Effect names ("effect_name") of the product's effects.
constexpr const char* kCompName = "Comp";
constexpr const char* kAngularMaskName = "AngularMask";
constexpr const char* kCdlName = "CDL";
constexpr const char* kAnnotationName = "Annotation";

// Clip metadata.
constexpr const char* kEntity = "entity";
constexpr const char* kEntityId = "id";
constexpr const char* kEntityType = "type";
constexpr const char* kPaths = "paths";
constexpr const char* kPathMp4 = "mp4";
constexpr const char* kPathFile = "file";
constexpr const char* kPathMovie = "movie";
constexpr const char* kClipId = "id";

// Media reference metadata.
constexpr const char* kBounds = "bounds";
constexpr const char* kCenter = "center";
constexpr const char* kSize = "size";
constexpr const char* kPixelResolution = "pixel_resolution";
constexpr const char* kDataType = "data_type";
constexpr const char* kNumVideoChannels = "num_video_channels";
constexpr const char* kPixelAspect = "pixel_aspect";
constexpr const char* kHasAudio = "has_audio";
constexpr const char* kAudioSampleRate = "audio_sample_rate";
constexpr const char* kNumAudioChannels = "num_audio_channels";
constexpr const char* kExtraData = "extra_data";

// Effects.
constexpr const char* kVisible = "visible";
constexpr const char* kBlendMode = "blend_mode";
constexpr const char* kOpacity = "opacity";
constexpr const char* kPivot = "pivot";
constexpr const char* kAngle = "angle_in_radians";
constexpr const char* kSlope = "slope";
constexpr const char* kOffset = "offset";
constexpr const char* kPower = "power";
constexpr const char* kSaturation = "saturation";

// Paint and text layers.
constexpr const char* kHold = "hold";
constexpr const char* kGhost = "ghost";
constexpr const char* kGhostBefore = "ghost_before";
constexpr const char* kGhostAfter = "ghost_after";
constexpr const char* kRgba = "rgba";
constexpr const char* kStrokeType = "type";
constexpr const char* kBrush = "brush";
constexpr const char* kPoints = "points";
constexpr const char* kX = "x";
constexpr const char* kY = "y";
constexpr const char* kWidth = "width";
constexpr const char* kText = "text";
constexpr const char* kJustification = "justification";
constexpr const char* kFontName = "fontName";
constexpr const char* kFontSize = "fontSize";
constexpr const char* kOrientation = "orientation";
constexpr const char* kPosition = "position";

} // namespace ZEM_0_81::Interchange::ProductKeys
