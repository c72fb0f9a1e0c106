// Import of one OTIO clip as a source segment: record and source timing, the
// media inputs (one per media path), and the primary input's resolution, audio
// properties and extra data.

#include "json/DmTreeImporter.h"
#include "json/EditTree.h"

#include "outside/dmtree/DmAudioProperties.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/MediaVocabulary.h"
#include "json/DmTreeImporterImpl.h"
#include "json/HandOver.h"
#include "json/ImportTime.h"
#include "json/MediaInputCollector.h"
#include "json/Narrowing.h"

#include <rapidjson/writer.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace ZEM_0_81::Json {

using rapidotio::debugPrint;

namespace {

namespace MediaVocabulary = rapidotio::MediaVocabulary;

// Default of a missing start value: it marks the start as unknown, and such a
// start is kept as it stands instead of being converted.
constexpr double kUnknownStart = EditTree::kUnknownPosition;

/// A number of the clip's ranges, with its default and the message that
/// announces the default.
double valueOr(double value, double fallback, const char* message, bool* unknown = nullptr) {
    if (!isAbsentValue(value))
        return value;
    debugPrint(message, fallback);
    if (unknown)
        *unknown = true;
    return fallback;
}

double rateOr(double rate, const char* message) {
    if (!isAbsentRate(rate))
        return rate;
    constexpr double fallback = MediaVocabulary::kDefaultRate;
    debugPrint(message, fallback);
    return fallback;
}

/// A RapidJSON output stream appending to a std::string.
struct StringOutput {
    using Ch = char;
    std::string& text;
    void Put(char c) { text.push_back(c); }
    void Flush() {}
};

/// The clip's identity as compact JSON: {"entity":{"id":I,"type":T}}.
std::string entityReferenceOf(const rapidotio::ClipNode& clip) {
    std::string text;
    text.reserve(40 + clip.entity_type.size());
    StringOutput output{text};
    // The writer's two levels of nesting live in a buffer here, not on the heap:
    // room for exactly two levels is asked for, as the writer's default of 32
    // would not fit the buffer and would make the pool take a 64 KB block from
    // the heap for every clip.
    char levels[256];
    rapidjson::MemoryPoolAllocator<> levelMemory(levels, sizeof levels);
    constexpr std::size_t kLevels = 2;
    rapidjson::Writer<StringOutput, rapidjson::UTF8<>, rapidjson::UTF8<>,
                      rapidjson::MemoryPoolAllocator<>>
        writer(output, &levelMemory, kLevels);
    writer.StartObject();
    writer.Key(rapidotio::keys::ClipMetadataKeys::entity);
    writer.StartObject();
    writer.Key(rapidotio::keys::EntityKeys::id);
    writer.Int(clip.entity_id);
    writer.Key(rapidotio::keys::EntityKeys::type);
    writer.String(clip.entity_type.c_str(),
                  static_cast<rapidjson::SizeType>(clip.entity_type.size()));
    writer.EndObject();
    writer.EndObject();
    return text;
}

/// The decimal text of `value`, as printf's "%d" writes it.
std::string decimalText(int value) {
    char text[16];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

/// `value` with six decimals, as printf's "%f" writes it: the exactly rounded
/// decimal of the double, ties to even, which to_chars gives too, much faster.
/// Infinities and NaNs keep printf's own spelling.
std::string fixedText(double value) {
    if (!std::isfinite(value)) {
        char text[16];
        std::snprintf(text, sizeof text, "%f", value);
        return text;
    }
    // The largest double has 309 digits before the point.
    char text[400];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, end.ptr);
}

/// The text of a node's member as the edit tree's text, copied once.
DmString treeText(const std::string& text) {
    return DmString(std::string(text));
}

void addEntry(DmSourceNode::MediaInput& input, DmString key, DmString value) {
    handOver(DmSourceNode::DictionaryEntry::create(std::move(key), std::move(value)),
             [&](DmSourceNode::DictionaryEntry* entry) { input.addExtraData(entry); });
}

/// Replaces the extra data of the primary media input by the clip's codecs, file
/// size and frame rate, then the clip's own "extra_data" in document order.
void fillExtraData(DmSourceNode::MediaInput& input, const rapidotio::ClipNode& clip) {
    double frameRate = clip.frame_rate;
    if (!(frameRate > DBL_EPSILON)) {
        // Without a rate of its own the clip keeps one the input already carries;
        // the last such entry wins.
        for (std::uint32_t i = 0; i < input.getNbExtraData(); ++i) {
            const DmSourceNode::DictionaryEntry* entry = input.getExtraData(i);
            if (entry && std::strcmp(DmStr2CStr(entry->getKey()).c_str(),
                                     MediaVocabulary::kFrameRateKey) == 0)
                frameRate = std::strtod(DmStr2CStr(entry->getValue()).c_str(), nullptr);
        }
    }
    input.clearExtraData();
    addEntry(input, MediaVocabulary::kVideoCodecKey, treeText(clip.video_codec));
    addEntry(input, MediaVocabulary::kAudioCodecKey, treeText(clip.audio_codec));
    addEntry(input, MediaVocabulary::kFileSizeKey,
             DmString(decimalText(static_cast<int>(clip.file_size_in_bytes))));
    addEntry(input, MediaVocabulary::kFrameRateKey, DmString(fixedText(frameRate)));
    for (const auto& [key, value] : clip.extra_data)
        addEntry(input, treeText(key), treeText(value));
}

/// Completes the primary input of a new source: its own copy of the resolution
/// with the pixel size, depth and frame ratio, its audio properties and its extra
/// data. Further inputs keep the shared resolution.
void completePrimaryInput(DmSourceNode::MediaInput& input, const rapidotio::ClipNode& clip) {
    CoSharedPtr<DmFrameResolution> resolution = dmCloneOf(input.getPrimaryRes());
    if (!resolution)
        resolution = DmFrameResolution::create();
    const std::int32_t width = clip.pixel_resolution_width;
    const std::int32_t height = clip.pixel_resolution_height;
    resolution->setWidth(width);
    resolution->setHeight(height);
    std::int32_t bits = 0;
    bool isFloat = false;
    if (MediaVocabulary::sampleTypeOf(clip.data_type, bits, isFloat))
        resolution->setDepth(bits, clip.num_video_channels, isFloat, false);

    // Width over height times the pixel aspect, in single precision. A height of
    // 0, and a ratio beyond the float range, cannot be expressed and take the
    // default like a missing resolution.
    float frameRatio = 0.0f;
    bool converted = false;
    if (clip.pixel_aspect > 0 && width != -1 && height != -1 && height != 0) {
        frameRatio = static_cast<float>(width) / static_cast<float>(height) *
                     toStoredFloat(clip.pixel_aspect);
        converted = std::isfinite(frameRatio);
    }
    if (converted) {
        resolution->setFrameRatio(frameRatio);
    } else {
        resolution->setFrameRatio(0.0f);
        debugPrint("Can't convert pixel aspect ratio to frame ratio, using default.\n");
    }
    input.setPrimaryRes(resolution.get());

    const int hasAudio = clip.has_audio ? 1 : 0;
    if (hasAudio != (clip.num_audio_channels > 0 ? 1 : 0))
        debugPrint("OTIO has_audio(%d) and num_audio_channels(%d) don't match, using "
                   "num_audio_channels.\n",
                   hasAudio, static_cast<int>(clip.num_audio_channels));
    if (DmAudioProperties* audio =
            handOver(DmAudioProperties::create(),
                     [&](DmAudioProperties* made) { input.setAudioProperties(made); })) {
        audio->setNbChannels(clip.num_audio_channels);
        audio->setSamplingRate(clip.audio_sample_rate);
    }

    fillExtraData(input, clip);
}

/// A clip's two ranges as the edit tree counts them: source values in frames
/// at the clip's own (snapped) rate, the source-in from the start of the
/// available range; and the length it plays, with its rate, for the record.
struct ClipTiming {
    double srcIn = 0.0;
    double availIn = 0.0;
    double availLength = 0.0;
    String fcm;
    double srcLength = 0.0;
    double srcLengthRate = 0.0;
};

ClipTiming clipTiming(const rapidotio::ClipNode& clip) {
    ClipTiming timing;
    bool startUnknown = false;
    const rapidotio::TimeRange& used = clip.source_range;
    const rapidotio::TimeRange& available = clip.available_range;
    double srcIn = valueOr(used.start_time.value, kUnknownStart,
                           "OTIO SrcIn not found, using default %f\n", &startUnknown);
    timing.srcLength =
        valueOr(used.duration.value, 1.0, "OTIO SrcLength not found, using default %f\n");
    double availIn = valueOr(available.start_time.value, kUnknownStart,
                             "OTIO Available SrcIn not found, using default %f\n", &startUnknown);
    double availLength = valueOr(available.duration.value, 1.0,
                                 "OTIO Available SrcLength not found, using default %f\n");
    const double srcInRate =
        rateOr(used.start_time.rate, "SrcIn frame rate not found, using default %f\n");
    timing.srcLengthRate =
        rateOr(used.duration.rate, "SrcLength frame rate not found, using default %f\n");
    const double availInRate = rateOr(available.start_time.rate,
                                      "Available SrcIn frame rate not found, using default %f\n");
    const double availLengthRate = rateOr(
        available.duration.rate, "Available SrcLength frame rate not found, using default %f\n");

    const Rational sourceRational = toStandardRate(srcInRate);
    timing.fcm = frameRateText(sourceRational);
    const double sourceRate = sourceRational.getValue();
    if (!startUnknown)
        availIn = convertTime({availIn, availInRate}, sourceRate);
    availLength = convertTime({availLength, availLengthRate}, sourceRate);
    // An unknown start keeps the values read (or the default) unconverted.
    if (!startUnknown)
        srcIn = convertTime({srcIn, srcInRate}, sourceRate) - availIn;
    timing.srcIn = srcIn;
    timing.availIn = availIn;
    timing.availLength = availLength;
    return timing;
}

} // namespace

void DmTreeImporter::visitClip(rapidotio::Node* node) {
    Impl& state = *m_impl;
    const auto* clip = rapidotio::leafCast<const rapidotio::ClipNode>(node);
    if (!clip || !state.layer) {
        state.lastSegment = nullptr; // the clip's effects have nowhere to go
        return;
    }

    const eDmTreeMediaType mediaType = mediaTypeOf(clip->trackKind());
    const ClipTiming timing = clipTiming(*clip);
    const double srcIn = timing.srcIn;
    const double availIn = timing.availIn;
    const double availLength = timing.availLength;
    const String& fcm = timing.fcm;
    const double srcLength = timing.srcLength;
    const double srcLengthRate = timing.srcLengthRate;

    const double recordIn = state.recordPosition;
    const double recordLength = convertTime({srcLength, srcLengthRate}, state.rate);
    // The record position advances even when the clip yields no source below.
    state.placeSegment(mediaType);
    state.recordPosition += recordLength;

    MediaInputCollector collector;
    collector.primaryRes = DmFrameResolution::create();
    collector.primaryRes->setCenterX(clip->bounds_center_x);
    collector.primaryRes->setCenterY(clip->bounds_center_y);
    collector.primaryRes->setSizeX(clip->bounds_size_width);
    collector.primaryRes->setSizeY(clip->bounds_size_height);
    collector.targetUrl = clip->target_url;
    collector.availIn = availIn;
    collector.availLength = availLength;
    collector.fcm = DmString(fcm.c_str());
    collector.mediaType = mediaType;
    collector.entityReference = DmString(entityReferenceOf(*clip));
    if (!clip->path_mp4.empty())
        collector.addMovieInput(clip->path_mp4);
    if (!clip->path_file.empty())
        collector.addPathInput(clip->path_file, DmSourceInfo::kFileTypeFile);
    if (!clip->path_movie.empty())
        collector.addPathInput(clip->path_movie, DmSourceInfo::kFileTypeMovie);
    collector.addTargetUrlInput();

    if (collector.empty()) {
        // No media: no source, and the clip's effects are dropped.
        state.lastSegment = nullptr;
        return;
    }

    const CoSharedPtr<DmSourceNode> source(
        DmSourceNode::create(collector.input(0), recordIn, recordLength, srcIn, true, false));
    for (std::size_t i = 1; i < collector.size(); ++i)
        source->addMultiInput(collector.input(i));

    // The source's primary input is the collector's first, a media input.
    completePrimaryInput(*collector.input(0), *clip);

    state.lastSegment = source;
    source->setRecLength(recordLength);
    source->setSegmentId(treeText(clip->clip_uid));
    source->setName(treeText(clip->name));
    state.layer->addChild(source.get());
    state.segmentCount += 1;
}

} // namespace ZEM_0_81::Json
