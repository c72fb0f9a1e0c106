#include "interchange/xmeml/ClipReader.h"

#include "composition/Timecode.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlNames.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <string>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

// A constant speed this close to 100 % plays as it stands.
constexpr double kSpeedTolerance = 1e-9;
constexpr const char* kGeneratorReference = "GeneratorReference.1";
constexpr const char* kGeneratorKind = "generator_kind";

bool is(const pugi::xml_node& element, const char* name) {
    return std::strcmp(element.name(), name) == 0;
}

bool sameWord(const std::string& text, const char* word) {
    if (text.size() != std::strlen(word))
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

/// "name" or, without one, the effect id of the filter's or generator's effect.
std::string effectName(const pugi::xml_node& effect) {
    std::string name = childText(effect, kName);
    return name.empty() ? childText(effect, kEffectId) : name;
}

/// A Time Remap filter as a speed.
struct Speed {
    bool constant = true;
    double percent = 100.0;
};

bool isTimeRemap(const pugi::xml_node& effect) {
    return sameWord(childText(effect, kEffectId), kTimeRemapId) ||
           sameWord(childText(effect, kName), kTimeRemapName);
}

/// The value of the parameter `id` of `effect`, as text; empty when none.
std::string parameterValue(const pugi::xml_node& effect, const char* id) {
    for (const pugi::xml_node parameter : effect.children(kParameter))
        if (sameWord(childText(parameter, kParameterId), id))
            return childText(parameter, kValue);
    return {};
}

Speed speedOf(const pugi::xml_node& effect) {
    Speed speed;
    const std::string percent = parameterValue(effect, kSpeed);
    char* end = nullptr;
    const double value = std::strtod(percent.c_str(), &end);
    if (!percent.empty() && end && *end == '\0' && std::isfinite(value))
        speed.percent = value;
    bool reverse = false;
    if (parseFlag(parameterValue(effect, kReverse), reverse) && reverse)
        speed.percent = -std::fabs(speed.percent);
    bool variable = false;
    speed.constant = !(parseFlag(parameterValue(effect, kVariableSpeed), variable) && variable);
    return speed;
}

std::string speedWords(double percent) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", percent);
    return text;
}

/// The colour of a marker: its "color" element's components (0 to 255), else
/// the default a marker without one has.
ReviewNotes::Rgba colourOf(const pugi::xml_node& marker) {
    const pugi::xml_node colour = marker.child(kColor);
    ReviewNotes::Rgba rgba = ReviewNotes::kDefaultColour;
    if (!colour)
        return rgba;
    const char* components[] = {kRed, kGreen, kBlue, kAlpha};
    for (std::size_t i = 0; i < 4; ++i) {
        std::int64_t value = 0;
        if (childFrames(colour, components[i], value) && value >= 0 && value <= 255)
            rgba[i] = static_cast<float>(value) / 255.0f;
    }
    return rgba;
}

/// The frames `frames` at `from` stand for at `to`, rounded to the nearest.
std::int64_t atRate(std::int64_t frames, const FrameRate& from, const FrameRate& to) {
    if (from == to)
        return frames;
    return static_cast<std::int64_t>(
        std::llround(RecordTime::rescale(static_cast<double>(frames), from.value(), to.value())));
}

/// The picture size of a file's or sequence's video samples, as a resolution
/// centred on the origin; null when it says none.
CoSharedPtr<DmFrameResolution> resolutionOf(const pugi::xml_node& characteristics) {
    std::int64_t width = 0, height = 0;
    if (!characteristics || !childFrames(characteristics, kWidth, width) ||
        !childFrames(characteristics, kHeight, height) || width <= 0 || height <= 0 ||
        width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max())
        return CoSharedPtr<DmFrameResolution>();
    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    resolution->setCenterX(0.0);
    resolution->setCenterY(0.0);
    resolution->setSizeX(static_cast<double>(width));
    resolution->setSizeY(static_cast<double>(height));
    resolution->setWidth(static_cast<std::int32_t>(width));
    resolution->setHeight(static_cast<std::int32_t>(height));
    return resolution;
}

/// The clip items and generators inside a nested sequence.
std::size_t clipsInside(const pugi::xml_node& sequence) {
    std::size_t count = 0;
    DocumentIndex::eachElement(sequence, [&](const pugi::xml_node& element) {
        count += is(element, kClipItem) || is(element, kGeneratorItem) ? 1 : 0;
        return true;
    });
    return count;
}

/// True when `element`'s child elements are all named among `names`, and it
/// has no attribute but, with `identified`, its id.
bool holdsOnly(const pugi::xml_node& element, std::initializer_list<const char*> names,
               bool identified = false) {
    for (const pugi::xml_attribute attribute : element.attributes())
        if (!identified || std::strcmp(attribute.name(), kId) != 0)
            return false;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_element)
            continue;
        bool named = false;
        for (const char* name : names)
            named = named || is(child, name);
        if (!named)
            return false;
    }
    return true;
}

/// True when the writer gives `file` back from what the reader reads of it, as
/// a file every reader reads the same: an id alone for attributes, its name the
/// last part of its path, its URL the one the writer makes of the path, its rates (and its
/// timecode's) those of its clip `rate`, its timecode's display format the writer's (DF at 29.97
/// and 59.94), media of video (its picture size alone) and sound without more. Such a file is not
/// kept as text: only its id and the media it declares (`video`, `audio`).
bool plainFile(const pugi::xml_node& file, const std::string& path, const FrameRate& rate,
               bool& video, bool& audio) {
    const auto plainRate = [&](const pugi::xml_node& parent) {
        FrameRate own;
        const pugi::xml_node node = parent.child(kRate);
        return !node ||
               (holdsOnly(node, {kTimebase, kNtsc}) && Fcp7::rateOf(parent, own) && own == rate);
    };
    const pugi::xml_node timecode = file.child(kTimecode);
    const std::string display = childText(timecode, kDisplayFormat);
    const char* written = Timecode::isDropFrame(rate.rational()) ? kDropFrame : kNonDropFrame;
    const pugi::xml_node media = file.child(kMedia);
    const pugi::xml_node videoNode = media.child(kVideo);
    const pugi::xml_node audioNode = media.child(kAudio);
    video = videoNode;
    audio = audioNode;
    for (const pugi::xml_node child : file.children())
        if (child.type() == pugi::node_element &&
            (!holdsOnly(child, {}) || child.next_sibling(child.name())) && !is(child, kRate) &&
            !is(child, kTimecode) && !is(child, kMedia))
            return false;
    return holdsOnly(file, {kName, kPathUrl, kRate, kDuration, kTimecode, kMedia}, true) &&
           (!file.child(kName) || childText(file, kName) == fileNameOf(path)) &&
           childText(file, kPathUrl) == (path.empty() ? path : urlOfPath(path)) &&
           plainRate(file) && holdsOnly(timecode, {kRate, kString, kFrame, kDisplayFormat}) &&
           plainRate(timecode) && (display.empty() || display == written) &&
           holdsOnly(media, {kVideo, kAudio}) && holdsOnly(videoNode, {kSampleCharacteristics}) &&
           holdsOnly(videoNode.child(kSampleCharacteristics), {kWidth, kHeight}) &&
           holdsOnly(audioNode, {});
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

FrameRate ClipReader::rateOf(const pugi::xml_node& item) const {
    FrameRate rate;
    if (Fcp7::rateOf(item, rate))
        return rate;
    const pugi::xml_node file = item.child(kFile);
    const pugi::xml_node definition = file ? m_context.index.definitionOf(file) : pugi::xml_node();
    if (definition && Fcp7::rateOf(definition, rate))
        return rate;
    return m_context.rate;
}

CoSharedPtr<DmSegmentNode> ClipReader::read(const pugi::xml_node& item, std::int64_t start,
                                            std::int64_t end) const {
    ReadReport& report = m_context.report;
    const bool generator = is(item, kGeneratorItem);
    const FrameRate rate = rateOf(item);
    const std::string fcm = rate.fcm();
    const std::int64_t recordLength = end - start;
    const std::int64_t lengthAtRate = atRate(recordLength, m_context.rate, rate);
    Kept::KeptElement kept;
    kept.element = item.name();
    for (const pugi::xml_attribute attribute : item.attributes())
        kept.attributes.emplace_back(attribute.name(), attribute.value());

    std::int64_t in = 0, out = 0;
    const bool hasIn = childFrames(item, kIn, in);
    const bool hasOut = childFrames(item, kOut, out);
    if (!hasIn) {
        in = hasOut ? out - lengthAtRate : 0;
        report.lose(item, "has no in point: its source starts " + std::to_string(in) +
                              " frames into its media, where its out point and length place it");
    }
    if (!hasOut)
        out = in + lengthAtRate;

    // The media: the clip's file, given here or by id elsewhere; a nested
    // sequence or a generator has none.
    const pugi::xml_node fileNode = generator ? pugi::xml_node() : item.child(kFile);
    const pugi::xml_node file =
        fileNode ? m_context.index.definitionOf(fileNode) : pugi::xml_node();
    const pugi::xml_node nestedNode = generator ? pugi::xml_node() : item.child(kSequence);
    const pugi::xml_node nested =
        nestedNode ? m_context.index.definitionOf(nestedNode) : pugi::xml_node();
    if (fileNode && !file)
        report.lose(fileNode, "refers to the file " + quoted(fileNode.attribute(kId).value()) +
                                  ", which the document never gives: the clip has no media");
    FrameRate fileRate = rate;
    if (file)
        Fcp7::rateOf(file, fileRate);

    // Source frames count on the media's own timecode.
    std::int64_t timecode = 0;
    if (const pugi::xml_node node = file ? file.child(kTimecode) : pugi::xml_node()) {
        TimecodeValue value;
        std::string why;
        if (!readTimecode(node, fileRate, value, why))
            report.lose(node, "not read: " + why + "; the media's first frame counts as 0");
        else if (!framesAt(value.frames, value.rate, rate, timecode))
            report.lose(node, "counts at " + value.rate.fcm() +
                                  " frames a second and the clip at " + fcm + ": its frame " +
                                  std::to_string(value.frames) + " is taken as " +
                                  std::to_string(timecode));
    }
    // The media's length: the file's, else the clip's "duration", else what the
    // clip plays of it.
    std::int64_t available = 0;
    std::int64_t fileDuration = 0;
    if (file && childFrames(file, kDuration, fileDuration) && fileDuration >= 0)
        framesAt(fileDuration, fileRate, rate, available);
    else if (!childFrames(item, kDuration, available) || available < 0)
        available = std::max(out, in + lengthAtRate);

    CoSharedPtr<DmSourceInfo> info;
    const std::string url = file ? childText(file, kPathUrl) : std::string();
    const std::string path = pathOfUrl(url);
    if (!path.empty()) {
        info = DmSourceInfo::create();
        info->addSequence(DmString(path));
    }
    const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
        static_cast<double>(timecode), static_cast<double>(available), info.get(), DmString(fcm),
        m_mediaType, true));
    if (file) {
        const pugi::xml_node media = file.child(kMedia);
        if (const CoSharedPtr<DmFrameResolution> resolution =
                resolutionOf(media.child(kVideo).child(kSampleCharacteristics)))
            input->setPrimaryRes(resolution.get());
        Kept::KeptElement keptFile;
        bool video = false, audio = false;
        if (plainFile(file, path, rate, video, audio)) {
            // Given back as it stands from the input: its id and media only.
            keptFile.texts[Kept::kFileId] = file.attribute(kId).value();
            if (video)
                keptFile.numbers[Kept::kFileVideo] = 1.0;
            if (audio)
                keptFile.numbers[Kept::kFileAudio] = 1.0;
        } else if (const std::string* xml = m_context.givenOnce.keep(file)) {
            keptFile.texts[Kept::kFile] = *xml;
        } else {
            report.lose(fileNode, std::string("its file is not kept as it came: the document uses "
                                              "what it gives once more often than is kept; it is "
                                              "written back from the clip's media"));
        }
        keptFile.texts[Kept::kPath] = path;
        keptFile.texts[Kept::kRate] = fcm;
        keptFile.numbers[Kept::kStart] = static_cast<double>(timecode);
        keptFile.numbers[Kept::kLength] = static_cast<double>(available);
        Kept::keep(keptFile, *input);
    }
    ForeignMembers::Leftovers inputLeftovers;
    if (generator) {
        // Standard OTIO's generated media: a reference of its own schema whose
        // kind is the generator's.
        const pugi::xml_node effect = item.child(kEffect);
        const std::string kind = childText(effect, kEffectId).empty()
                                     ? effectName(effect)
                                     : childText(effect, kEffectId);
        rapidotio::Document schema;
        schema.SetString(kGeneratorReference, schema.GetAllocator());
        inputLeftovers.asWritten(KeptObjects::kSchema, schema, 0.0);
        std::string members;
        rapidotio::Document kindValue;
        kindValue.SetString(kind.c_str(), static_cast<rapidjson::SizeType>(kind.size()),
                            kindValue.GetAllocator());
        ForeignMembers::textOf(kindValue, members);
        const DmString text("{\"" + std::string(kGeneratorKind) + "\":" + members +
                            ",\"parameters\":{}}");
        input->setPropertyValue(ForeignMembers::kMembersId, eDmPropString, &text);
    }
    inputLeftovers.keepOn(*input);

    const CoSharedPtr<DmSourceNode> source(DmSourceNode::create(
        input.get(), static_cast<double>(m_context.start + start),
        static_cast<double>(recordLength), static_cast<double>(in), true, false));
    std::string name = childText(item, kName);
    if (name.empty() && nested)
        name = childText(nested, kName);
    source->setName(DmString(name));

    ForeignMembers::Leftovers leftovers;
    bool enabled = true;
    if (parseFlag(childText(item, kEnabled), enabled) && !enabled) {
        leftovers.disabled();
        report.lose(item.child(kEnabled), std::string("read as enabled: the edit tree cannot "
                                                      "disable a clip") +
                                              ForeignMembers::Leftovers::kDisabledNote);
    }
    if (generator)
        report.lose(item, "generator " + quoted(effectName(item.child(kEffect))) +
                              " read as a clip without media: the edit tree plays no generated "
                              "media" +
                              ForeignMembers::Leftovers::kKeptNote);
    if (nested) {
        if (const std::string* xml = m_context.givenOnce.keep(nested))
            kept.texts[Kept::kNested] = *xml;
        else
            report.lose(nestedNode, std::string("the nested sequence is not kept as it came: the "
                                                "document uses what it gives once more often "
                                                "than is kept"));
        const std::size_t inside = clipsInside(nested);
        report.lose(nestedNode, "approximated: the nested sequence " +
                                    quoted(childText(nested, kName)) +
                                    " is read as one offline clip; the " + std::to_string(inside) +
                                    (inside == 1 ? " clip inside it is" : " clips inside it are") +
                                    " not read" + ForeignMembers::Leftovers::kKeptNote);
    } else if (nestedNode) {
        report.lose(nestedNode, "refers to the sequence " +
                                    quoted(nestedNode.attribute(kId).value()) +
                                    ", which the document never gives: the clip has no media");
    }

    // The children the edit tree holds; every other is kept as it came.
    bool speedKept = false;
    std::string keptText;
    for (const pugi::xml_node child : item.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* own[] = {kName, kDuration, kRate, kStart, kEnd, kIn, kOut, kEnabled, kMarker};
        bool isOwn = false;
        for (const char* word : own)
            isOwn = isOwn || is(child, word);
        if (isOwn || (!generator && (is(child, kFile) || is(child, kSequence))))
            continue;
        if (is(child, kFilter)) {
            const pugi::xml_node effect = child.child(kEffect);
            if (isTimeRemap(effect) && !speedKept) {
                const Speed speed = speedOf(effect);
                speedKept = true;
                rapidotio::Document warp;
                ForeignMembers::parseKept(Kept::speedText(speed.constant, speed.percent / 100.0,
                                                          effectName(effect), xmlOf(child)),
                                          warp);
                leftovers.effect(warp);
                const bool plays =
                    speed.constant && std::fabs(speed.percent - 100.0) <= kSpeedTolerance;
                if (!plays)
                    report.lose(child,
                                (speed.constant
                                     ? "speed " + speedWords(speed.percent) + " % not applied"
                                     : std::string("variable speed not applied")) +
                                    ": the clip plays its record length at its rate" +
                                    ForeignMembers::Leftovers::kKeptNote);
                continue;
            }
            if (!sameWord(childText(effect, kEffectId), kAudioLevelsId))
                report.lose(child, "filter " + quoted(effectName(effect)) +
                                       " not applied: the edit tree has no such effect" +
                                       ForeignMembers::Leftovers::kKeptNote);
        } else if (is(child, kMultiClip)) {
            report.lose(child, "multiclip not read: the clip has no media of its own" +
                                   std::string(ForeignMembers::Leftovers::kKeptNote));
        }
        keptText += xmlOf(child);
    }
    kept.kept = keptText;
    if (out != in + lengthAtRate) {
        kept.numbers[Kept::kOut] = static_cast<double>(out);
        kept.numbers[Kept::kRecordLength] = static_cast<double>(recordLength);
        kept.numbers[Kept::kIn] = static_cast<double>(in);
        if (!speedKept && !generator)
            report.lose(item, "the source lasts " + std::to_string(out - in) +
                                  " frames and the record " + std::to_string(lengthAtRate) +
                                  ": the record length holds" +
                                  ForeignMembers::Leftovers::kKeptNote);
    }

    // Markers, as review notes over their record frames.
    for (const pugi::xml_node marker : item.children(kMarker)) {
        std::int64_t markerIn = 0, markerOut = -1;
        if (!childFrames(marker, kIn, markerIn)) {
            report.lose(marker, "dropped: it has no in point");
            continue;
        }
        childFrames(marker, kOut, markerOut);
        const std::int64_t length = markerOut > markerIn ? markerOut - markerIn : 0;
        const std::int64_t recordFrame =
            m_context.start + start + atRate(markerIn - in, rate, m_context.rate);
        const std::int64_t recordLengthOfMarker =
            std::max<std::int64_t>(1, atRate(length, rate, m_context.rate));
        if (recordFrame < std::numeric_limits<std::int32_t>::min() ||
            recordFrame > std::numeric_limits<std::int32_t>::max() ||
            recordLengthOfMarker > std::numeric_limits<std::int32_t>::max()) {
            report.lose(marker, "dropped: its frame lies past the latest a note can mark");
            continue;
        }
        const std::string markerName = childText(marker, kName);
        const std::string comment = childText(marker, kComment);
        const std::string caption = markerName.empty() ? comment
                                    : comment.empty()  ? markerName
                                                       : markerName + ": " + comment;
        const ReviewNotes::Rgba rgba = colourOf(marker);
        const CoSharedPtr<DmAnnotationSettings> annotation =
            ReviewNotes::reviewNote(caption, rgba, static_cast<std::int32_t>(recordFrame),
                                    static_cast<std::uint32_t>(recordLengthOfMarker));
        const DmString text(
            Kept::markerText(markerName, comment, ReviewNotes::nearestColourName(rgba),
                             static_cast<double>(timecode + markerIn), static_cast<double>(length),
                             rate.value(), xmlOf(marker)));
        annotation->setPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &text);
        source->addEffect(annotation.get());
    }

    leftovers.keepOn(*source);
    Kept::keep(kept, *source);
    return source;
}

} // namespace ZEM_0_81::Interchange::Fcp7
