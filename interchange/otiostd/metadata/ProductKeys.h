#pragma once

// Member names and schema names of the product's OTIO dialect that standard
// documents reuse under "metadata" → "zem", so that a reader who knows the
// product dialect finds the same things under the same names. Each is the
// product dialect's own declaration (rapidotio/keys), named here for the
// interchange's use.

#include "rapidotio/keys/AngularMaskKeys.h"
#include "rapidotio/keys/AnnotationKeys.h"
#include "rapidotio/keys/CDLKeys.h"
#include "rapidotio/keys/ClipKeys.h"
#include "rapidotio/keys/CompKeys.h"
#include "rapidotio/keys/EffectKeys.h"
#include "rapidotio/keys/PaintKeys.h"
#include "rapidotio/keys/PointKeys.h"
#include "rapidotio/keys/TextKeys.h"

namespace ZEM_0_81::Interchange::ProductKeys {

namespace keys = rapidotio::keys;

// Schemas of the product's metadata and effects, as "ZEM_SCHEMA" texts.
constexpr const char* kClipMetadata = keys::ClipMetadataKeys::zemSchema;
constexpr const char* kMediaReferenceMetadata = keys::MediaMetadataKeys::zemSchema;
constexpr const char* kComp = keys::CompKeys::schema;
constexpr const char* kAngularMask = keys::AngularMaskKeys::schema;
constexpr const char* kCdl = keys::CDLKeys::schema;
constexpr const char* kAnnotation = keys::AnnotationKeys::schema;

// Effect names ("effect_name") of the product's effects.
constexpr const char* kCompName = keys::CompKeys::typeWord;
constexpr const char* kAngularMaskName = keys::AngularMaskKeys::typeWord;
constexpr const char* kCdlName = keys::CDLKeys::typeWord;
constexpr const char* kAnnotationName = keys::AnnotationKeys::typeWord;

// Clip metadata.
constexpr const char* kEntity = keys::ClipMetadataKeys::entity;
constexpr const char* kEntityId = keys::EntityKeys::id;
constexpr const char* kEntityType = keys::EntityKeys::type;
constexpr const char* kPaths = keys::ClipMetadataKeys::paths;
constexpr const char* kPathMp4 = keys::PathsKeys::mp4;
constexpr const char* kPathFile = keys::PathsKeys::file;
constexpr const char* kPathMovie = keys::PathsKeys::movie;
constexpr const char* kClipId = keys::ClipMetadataKeys::id;

// Media reference metadata.
constexpr const char* kBounds = keys::MediaMetadataKeys::bounds;
constexpr const char* kCenter = keys::BoundsKeys::center;
constexpr const char* kSize = keys::BoundsKeys::size;
constexpr const char* kPixelResolution = keys::MediaMetadataKeys::pixelResolution;
constexpr const char* kDataType = keys::MediaMetadataKeys::dataType;
constexpr const char* kNumVideoChannels = keys::MediaMetadataKeys::numVideoChannels;
constexpr const char* kPixelAspect = keys::MediaMetadataKeys::pixelAspect;
constexpr const char* kHasAudio = keys::MediaMetadataKeys::hasAudio;
constexpr const char* kAudioSampleRate = keys::MediaMetadataKeys::audioSampleRate;
constexpr const char* kNumAudioChannels = keys::MediaMetadataKeys::numAudioChannels;
constexpr const char* kExtraData = keys::MediaMetadataKeys::extraData;

// Effects.
constexpr const char* kVisible = keys::EffectKeys::visible;
constexpr const char* kBlendMode = keys::CompKeys::blendMode;
constexpr const char* kOpacity = keys::CompKeys::opacity;
constexpr const char* kPivot = keys::AngularMaskKeys::pivot;
constexpr const char* kAngle = keys::AngularMaskKeys::angleInRadians;
constexpr const char* kSlope = keys::CDLKeys::slope;
constexpr const char* kOffset = keys::CDLKeys::offset;
constexpr const char* kPower = keys::CDLKeys::power;
constexpr const char* kSaturation = keys::CDLKeys::saturation;

// Paint and text layers.
constexpr const char* kLayers = keys::EffectKeys::layers;
constexpr const char* kHold = keys::LayerKeys::hold;
constexpr const char* kGhost = keys::LayerKeys::ghost;
constexpr const char* kGhostBefore = keys::LayerKeys::ghostBefore;
constexpr const char* kGhostAfter = keys::LayerKeys::ghostAfter;
constexpr const char* kRgba = keys::LayerKeys::rgba;
constexpr const char* kStrokeType = keys::PaintKeys::type;
constexpr const char* kBrush = keys::PaintKeys::brush;
constexpr const char* kPoints = keys::PaintKeys::points;
constexpr const char* kX = keys::PointKeys::x;
constexpr const char* kY = keys::PointKeys::y;
constexpr const char* kWidth = keys::PointKeys::width;
constexpr const char* kText = keys::TextKeys::text;
constexpr const char* kJustification = keys::TextKeys::justification;
constexpr const char* kFontName = keys::TextKeys::fontName;
constexpr const char* kFontSize = keys::TextKeys::fontSize;
constexpr const char* kOrientation = keys::TextKeys::orientation;
constexpr const char* kPosition = keys::TextKeys::position;

} // namespace ZEM_0_81::Interchange::ProductKeys
