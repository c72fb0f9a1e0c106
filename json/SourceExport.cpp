// Export of a source segment as an OTIO Clip: its two ranges, the media
// description of its primary input, the media paths of all its inputs, its
// tracking identity and its effects.

#include "json/EditTree.h"
#include "json/EffectExport.h"
#include "json/ExportContext.h"

#include "outside/dmtree/DmAudioProperties.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/MediaVocabulary.h"
#include "strictjson/StrictParse.h"

#include <rapidjson/document.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace ZEM_0_81::Json {

namespace {

namespace MediaVocabulary = rapidotio::MediaVocabulary;

using EditTree::isKnownPosition;

/// The available range (the media's in-point and length) and the source range
/// (the part of the media the segment plays), both at the source rate.
void setRanges(const DmSourceNode& source, const ExportContext& context,
               rapidotio::ClipNode& clip) {
    const double rate = context.sourceRate;
    const double srcIn = source.getSrcIn();
    const double relIn = source.getRelIn();

    clip.available_range.start_time = {isKnownPosition(srcIn) ? srcIn : DBL_MAX, rate};
    clip.available_range.duration = {source.getSrcLength(), rate};

    const bool startKnown = isKnownPosition(relIn) && isKnownPosition(srcIn);
    clip.source_range.start_time = {startKnown ? relIn + srcIn : DBL_MAX, rate};
    // The record length counts composition frames; the clip counts source frames.
    // Evaluated left to right, so a length may keep a rounding fraction.
    const double recLength = source.getRecLength();
    const double length =
        context.compositionRate > 0 ? recLength / context.compositionRate * rate : recLength;
    clip.source_range.duration = {length, rate};
}

/// Geometry and pixel format of the primary input's resolution. Each group of
/// values is taken only when every read of the group succeeds.
void setResolution(const DmFrameResolution& res, rapidotio::ClipNode& clip) {
    double centerX = 0.0, centerY = 0.0, sizeX = 0.0, sizeY = 0.0;
    if (res.getCenterX(centerX) == eDmSuccess && res.getCenterY(centerY) == eDmSuccess &&
        res.getSizeX(sizeX) == eDmSuccess && res.getSizeY(sizeY) == eDmSuccess) {
        clip.bounds_center_x = centerX;
        clip.bounds_center_y = centerY;
        clip.bounds_size_width = sizeX;
        clip.bounds_size_height = sizeY;
    }

    // Both pixel counts or neither: the clip's defaults (-1) mark them unread.
    std::int32_t width = -1, height = -1;
    if (res.getWidth(width) == eDmSuccess && res.getHeight(height) == eDmSuccess) {
        clip.pixel_resolution_width = width;
        clip.pixel_resolution_height = height;
    }

    std::int32_t bits = 0, channels = 0;
    bool isFloat = false, flag = false;
    if (res.getDepth(bits, channels, isFloat, flag) == eDmSuccess) {
        clip.num_video_channels = channels;
        // A depth without a sample-type name is written as unknown.
        const char* name = MediaVocabulary::sampleTypeName(bits, isFloat);
        clip.data_type = name ? name : MediaVocabulary::kUnknown;
    }

    const std::optional<float> aspect = EditTree::pixelAspectOf(res);
    clip.pixel_aspect = aspect ? static_cast<double>(*aspect) : 0.0;
}

void setAudio(const DmAudioProperties& audio, rapidotio::ClipNode& clip) {
    clip.num_audio_channels = audio.getNbChannels();
    clip.has_audio = clip.num_audio_channels > 0;
    clip.audio_sample_rate = audio.getSamplingRate();
}

/// The extra data of a media input: the reserved keys fill their media fields
/// (a later entry overwriting an earlier one), every other entry is kept in order.
void setExtraData(const DmSourceNode::MediaInput& input, rapidotio::ClipNode& clip) {
    static const DmString videoCodecKey(MediaVocabulary::kVideoCodecKey);
    static const DmString audioCodecKey(MediaVocabulary::kAudioCodecKey);
    static const DmString fileSizeKey(MediaVocabulary::kFileSizeKey);
    static const DmString frameRateKey(MediaVocabulary::kFrameRateKey);

    for (std::uint32_t i = 0; i < input.getNbExtraData(); ++i) {
        const DmSourceNode::DictionaryEntry* entry = input.getExtraData(i);
        if (!entry)
            continue;
        const DmString key = entry->getKey();
        const std::string value = textOf(entry->getValue());
        if (key == videoCodecKey)
            clip.video_codec = value;
        else if (key == audioCodecKey)
            clip.audio_codec = value;
        else if (key == fileSizeKey)
            clip.file_size_in_bytes = std::atoi(value.c_str());
        else if (key == frameRateKey)
            clip.frame_rate = std::atof(value.c_str());
        else
            clip.extra_data.emplace_back(textOf(key), value);
    }
}

/// The media paths named by the inputs' source information (a later input
/// overwriting an earlier one), and the primary input's first sequence as the
/// media reference's target URL.
void setPaths(const DmSourceNode& source, rapidotio::ClipNode& clip) {
    for (std::uint32_t i = 0; i < source.getNbMultiInputs(); ++i) {
        const DmSourceNode::Input* input = source.getMultiInput(i);
        const DmSourceInfo* info = input ? input->getSrcInfo() : nullptr;
        if (!info)
            continue;
        const std::string sequence = textOf(info->getSequence(0));
        switch (info->getSourceType()) {
        case DmSourceInfo::kSourceTypeFile:
            if (info->getFileType() == DmSourceInfo::kFileTypeFile)
                clip.path_file = sequence;
            else if (info->getFileType() == DmSourceInfo::kFileTypeMovie)
                clip.path_movie = sequence;
            break;
        case DmSourceInfo::kSourceTypeMovie:
            clip.path_mp4 = sequence;
            break;
        default:
            break;
        }
        if (i == 0)
            clip.target_url = sequence;
    }
}

/// The tracking identity kept as JSON text in the original source UID. Text that
/// is not JSON leaves the entity at id 0 and type "".
void setEntity(const DmSourceInfo& info, rapidotio::ClipNode& clip) {
    const std::string uid = textOf(info.getOriginalSourceUID());
    // A short text: the parse starts with a small stack (RapidJSON's default is
    // 1 KB), which grows as the text needs.
    rapidotio::Document document(nullptr, 128);
    // The UID may come from any tree a host or edit-tree JSON supplied, nested
    // however deep.
    if (StrictJson::parse(document, uid.c_str()))
        clip.readEntity(document);
}

} // namespace

void ExportContext::visitSource(const DmSourceNode& source) {
    // Without an input there is no media to refer to: no clip, not even effects.
    if (source.getNbMultiInputs() == 0)
        return;
    const DmSourceNode::Input* input = source.getInput();
    if (!input)
        return;

    sourceRate = frameRateOf(input->getFcm());

    SharedPtr<rapidotio::ClipNode> clip(new rapidotio::ClipNode(textOf(source.getName())));
    setRanges(source, *this, *clip);

    if (const DmFrameResolution* res = input->getPrimaryRes())
        setResolution(*res, *clip);
    if (CoSharedPtr<DmAudioProperties> audio = input->getAudioProperties())
        setAudio(*audio, *clip);
    if (const auto* media = dynamic_cast<const DmSourceNode::MediaInput*>(input))
        setExtraData(*media, *clip);
    setPaths(source, *clip);
    clip->clip_uid = textOf(source.getSegmentId());
    if (const DmSourceInfo* info = source.getSrcInfo())
        setEntity(*info, *clip);

    writeEffects(*this, source, *clip);
    appendChild(clip);
}

} // namespace ZEM_0_81::Json
