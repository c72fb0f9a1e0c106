#include "interchange/otiostd/schemas/MediaReferenceSchema.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ResolutionJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/timing/RecordTime.h"
#include "rapidotio/keys/ClipKeys.h"

#include "outside/dmtree/DmAudioProperties.h"
#include "outside/dmtree/DmSourceInfo.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace ZEM_0_81::Interchange::MediaReferenceSchema {

namespace {

using ZemKeys::kFcm;
using ZemKeys::kMediaType;
using ZemKeys::kResolution;

namespace keys = rapidotio::keys;

constexpr const char* kInput = "input";
constexpr const char* kFlag = "flag";
// A reference written with a range where it came without one, when the clip's
// range does not give this input's back (see write).
constexpr const char* kNoAvailableRange = "no_available_range";
constexpr const char* kSourceInfo = "source_info";
constexpr const char* kSequences = "sequences";
constexpr const char* kSourceType = "source_type";
constexpr const char* kFileType = "file_type";
constexpr const char* kPath = "path";
constexpr const char* kOriginalSourceUid = "original_source_uid";
constexpr const char* kResolutionProperties = "resolution_properties";
constexpr const char* kAudioProperties = "audio_properties";
constexpr const char* kKeyPrefix = "MEDIA_";

// "ImageSequenceReference.1": numbered images, one per frame, whose path is
// kept in the edit tree as a pattern: the base, the prefix, "%0Nd" for the
// image number padded to N digits ("%d" without padding), the suffix.
constexpr const char* kImageSequenceType = "ImageSequenceReference";
// "GeneratorReference.1": media a player makes (bars, a solid colour), which
// the edit tree plays as missing media; written back under its own schema.
constexpr const char* kGeneratorType = "GeneratorReference";
constexpr const char* kImageSequence = "ImageSequenceReference.1";
constexpr const char* kTargetUrlBase = "target_url_base";
constexpr const char* kNamePrefix = "name_prefix";
constexpr const char* kNameSuffix = "name_suffix";
constexpr const char* kFramePadding = "frame_zero_padding";

/// The path pattern of the image sequence whose members `object` holds.
std::string patternOf(const Value& object) {
    const auto text = [&](const char* key) {
        const auto found = object.FindMember(key);
        return found != object.MemberEnd() && found->value.IsString() ? textOf(found->value)
                                                                      : std::string();
    };
    std::string pattern = text(kTargetUrlBase);
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += text(kNamePrefix);
    const auto padding = object.FindMember(kFramePadding);
    if (padding != object.MemberEnd() && padding->value.IsInt() && padding->value.GetInt() > 0 &&
        padding->value.GetInt() < 100)
        pattern += "%0" + std::to_string(padding->value.GetInt()) + "d";
    else
        pattern += "%d";
    return pattern + text(kNameSuffix);
}

/// True when the members other tools wrote on `input` describe the image
/// sequence whose pattern is `url`: it is then written as one again.
bool isImageSequence(const DmPropertySet& input, const std::string& url) {
    rapidotio::Document kept;
    return !url.empty() && ForeignMembers::keptMembers(input, kept) &&
           kept.HasMember(kTargetUrlBase) && patternOf(kept) == url;
}

/// The members the reader takes and the writer writes; the image bounds only
/// when this system's description gives them (else another tool's are kept).
const std::vector<const char*>& knownMembers(bool described) {
    static const std::vector<const char*> withBounds{kAvailableRange, kTargetUrl,
                                                     kAvailableImageBounds};
    static const std::vector<const char*> withoutBounds{kAvailableRange, kTargetUrl};
    return described ? withBounds : withoutBounds;
}

// Box2d and V2d: the image bounds OTIO keeps on a media reference.
constexpr const char* kBox = "Box2d.1";
constexpr const char* kPoint = "V2d.1";
constexpr const char* kMin = "min";
constexpr const char* kMax = "max";
constexpr const char* kX = "x";
constexpr const char* kY = "y";

/// True when the reader, giving a reference without a range its clip's range
/// `clip` (as MediaReferenceSchema::read does), makes exactly `input`'s.
bool derivedFromClip(const TimeRange& clip, const DmSourceNode::Input& input) {
    const double rate = clip.start_time.rate;
    return RecordTime::identical(clip.start_time.value, input.getAvailIn()) &&
           RecordTime::identical(RecordTime::rescale(clip.duration.value, clip.duration.rate, rate),
                                 input.getAvailLength()) &&
           RecordTime::fcmOf(rate) == input.getFcm().str();
}

/// The target URL of an input: its first sequence.
std::string urlOf(const DmSourceNode::Input& input) {
    const DmSourceInfo* info = input.getSrcInfo();
    return info ? info->getSequence(0).str() : std::string();
}

void writePoint(OtioWriter& writer, double x, double y) {
    SchemaMembers::start(writer, kPoint);
    writer.member(kX, x);
    writer.member(kY, y);
    writer.endObject();
}

/// The corners of the box the resolution's bounds span, when all four are set
/// and it is finite.
bool boxOf(const DmFrameResolution* resolution, double (&corners)[4]) {
    double cx = 0.0, cy = 0.0, sx = 0.0, sy = 0.0;
    if (!resolution || resolution->getCenterX(cx) != eDmSuccess ||
        resolution->getCenterY(cy) != eDmSuccess || resolution->getSizeX(sx) != eDmSuccess ||
        resolution->getSizeY(sy) != eDmSuccess)
        return false;
    const double box[4] = {cx - sx / 2, cy - sy / 2, cx + sx / 2, cy + sy / 2};
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(box[i]))
            return false;
        corners[i] = box[i];
    }
    return true;
}

/// True when the input's resolution gives its image bounds (else another tool's
/// bounds may be kept).
bool boundsDerived(const DmSourceNode::Input& input) {
    double corners[4];
    return boxOf(input.getPrimaryRes(), corners);
}

/// The corners of the box `bounds` holds (a "Box2d.1": "min" and "max", each a
/// "V2d.1" of "x" and "y"), when they are finite and the box is not inside out.
bool cornersOf(const Value* bounds, double (&corners)[4]) {
    const auto number = [](const Value* point, const char* key, double& out) {
        const Value* value = point ? OtioTiming::memberOf(*point, key) : nullptr;
        return value && finiteNumber(*value, out);
    };
    if (!bounds || SchemaMembers::schemaOf(*bounds) != kBox)
        return false;
    const Value* min = OtioTiming::memberOf(*bounds, kMin);
    const Value* max = OtioTiming::memberOf(*bounds, kMax);
    return number(min, kX, corners[0]) && number(min, kY, corners[1]) &&
           number(max, kX, corners[2]) && number(max, kY, corners[3]) && corners[0] <= corners[2] &&
           corners[1] <= corners[3];
}

/// The resolution whose bounds are the box with `corners`: its centre and size.
CoSharedPtr<DmFrameResolution> resolutionOf(const double (&corners)[4]) {
    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    resolution->setCenterX((corners[0] + corners[2]) / 2);
    resolution->setCenterY((corners[1] + corners[3]) / 2);
    resolution->setSizeX(corners[2] - corners[0]);
    resolution->setSizeY(corners[3] - corners[1]);
    return resolution;
}

/// True when `resolution` is the one read from a box with `corners`.
bool readFrom(const DmFrameResolution& resolution, const double (&corners)[4]) {
    const CoSharedPtr<DmFrameResolution> read = resolutionOf(corners);
    double a[4] = {}, b[4] = {};
    resolution.getCenterX(a[0]), resolution.getCenterY(a[1]);
    resolution.getSizeX(a[2]), resolution.getSizeY(a[3]);
    read->getCenterX(b[0]), read->getCenterY(b[1]), read->getSizeX(b[2]), read->getSizeY(b[3]);
    for (int i = 0; i < 4; ++i) {
        if (!RecordTime::identical(a[i], b[i]))
            return false;
    }
    return true;
}

/// True when `input` keeps another tool's image bounds that its resolution's
/// bounds were read from and still are: they are written back as they came.
bool keepsItsBounds(const DmSourceNode::Input& input) {
    rapidotio::Document kept;
    double corners[4];
    const DmFrameResolution* resolution = input.getPrimaryRes();
    return resolution && ForeignMembers::keptMembers(input, kept) &&
           cornersOf(OtioTiming::memberOf(kept, kAvailableImageBounds), corners) &&
           readFrom(*resolution, corners);
}

/// True when the box with `corners` is not what `resolution`'s bounds give
/// back exactly.
bool differsFrom(const DmFrameResolution* resolution, const double (&corners)[4]) {
    double written[4];
    return !boxOf(resolution, written) ||
           !std::equal(std::begin(written), std::end(written), std::begin(corners),
                       [](double a, double b) { return RecordTime::identical(a, b); });
}

void writeImageBounds(OtioWriter& writer, const DmFrameResolution* resolution) {
    writer.key(kAvailableImageBounds);
    double corners[4];
    if (!boxOf(resolution, corners)) {
        writer.null();
        return;
    }
    SchemaMembers::start(writer, kBox);
    writer.key(kMin);
    writePoint(writer, corners[0], corners[1]);
    writer.key(kMax);
    writePoint(writer, corners[2], corners[3]);
    writer.endObject();
}

void writeSourceInfo(OtioWriter& writer, const DmSourceInfo* info, const std::string& url) {
    writer.key(kSourceInfo);
    if (!info) {
        writer.null();
        return;
    }
    writer.beginObject();
    // The reader takes the target URL as the one sequence unless told otherwise.
    const bool urlIsSequences =
        url.empty() ? info->getNbSequences() == 0 : info->getNbSequences() == 1;
    if (!urlIsSequences) {
        writer.key(kSequences);
        writer.beginArray();
        for (std::uint32_t i = 0; i < info->getNbSequences(); ++i)
            writer.string(info->getSequence(i));
        writer.endArray();
    }
    writer.memberInteger(kSourceType, info->getSourceType());
    writer.memberInteger(kFileType, info->getFileType());
    if (!info->getPath().empty())
        writer.member(kPath, info->getPath());
    if (!info->getOriginalSourceUID().empty())
        writer.member(kOriginalSourceUid, info->getOriginalSourceUID());
    PropertyJson::write(writer, *info);
    writer.endObject();
}

void writeAudio(OtioWriter& writer, const DmAudioProperties& audio) {
    writer.memberBool(keys::MediaMetadataKeys::hasAudio, audio.getNbChannels() > 0);
    writer.member(keys::MediaMetadataKeys::audioSampleRate, audio.getSamplingRate());
    writer.memberInteger(keys::MediaMetadataKeys::numAudioChannels, audio.getNbChannels());
    PropertyJson::write(writer, audio, {}, kAudioProperties);
}

void writeExtraData(OtioWriter& writer, const DmSourceNode::MediaInput& input) {
    if (input.getNbExtraData() == 0)
        return;
    writer.key(keys::MediaMetadataKeys::extraData);
    writer.beginArray();
    for (std::uint32_t i = 0; i < input.getNbExtraData(); ++i) {
        const DmSourceNode::DictionaryEntry* entry = input.getExtraData(i);
        if (!entry)
            continue;
        writer.beginArray();
        writer.string(entry->getKey());
        writer.string(entry->getValue());
        if (entry->getNbProperties() != 0) {
            // The entry's properties, as a third element.
            writer.beginObject();
            PropertyJson::write(writer, *entry);
            writer.endObject();
        }
        writer.endArray();
    }
    writer.endArray();
}

void writeZem(OtioWriter& writer, const DmSourceNode::MediaInput& input, std::uint32_t index,
              eDmTreeMediaType layerMediaType, double rate, const std::string& url,
              bool noRangeNoted) {
    SchemaMembers::startZem(writer, keys::MediaMetadataKeys::zemSchema);
    if (noRangeNoted)
        writer.memberBool(kNoAvailableRange, true);
    if (index > 0)
        writer.memberUnsigned(kInput, index);
    if (RecordTime::fcmOf(rate) != input.getFcm().str())
        writer.member(kFcm, input.getFcm());
    if (input.getMediaType() != layerMediaType)
        writer.memberInteger(kMediaType, input.getMediaType());
    if (!input.getFlag())
        writer.memberBool(kFlag, false);
    writeSourceInfo(writer, input.getSrcInfo(), url);
    if (const DmFrameResolution* resolution = input.getPrimaryRes()) {
        ResolutionJson::writeMembers(writer, *resolution, kResolutionProperties);
    } else {
        writer.key(kResolution);
        writer.null();
    }
    if (const CoSharedPtr<DmAudioProperties> audio = input.getAudioProperties())
        writeAudio(writer, *audio);
    writeExtraData(writer, input);
    PropertyJson::write(writer, input);
    SchemaMembers::endZem(writer, &input);
}

// --- reading ---------------------------------------------------------------------------

CoSharedPtr<DmSourceInfo> readSourceInfo(const Members& zem, const std::string& url) {
    const Value* value = zem.find(kSourceInfo);
    CoSharedPtr<DmSourceInfo> info;
    if (!value) {
        // Not described: a reference with a URL names it as its one sequence, as
        // the product's import does with a target URL.
        if (!url.empty()) {
            info = DmSourceInfo::create();
            info->addSequence(DmString(url));
        }
        return info;
    }
    if (value->IsNull())
        return info;
    if (!value->IsObject()) {
        zem.wrongType(kSourceInfo, "a source-information object or null");
        return info;
    }
    const ReadContext::Scope scope(zem.context(), kSourceInfo);
    const Members members(zem, value);
    info = DmSourceInfo::create();
    if (const Value* sequences = members.arrayMember(kSequences)) {
        for (const Value& sequence : sequences->GetArray()) {
            if (sequence.IsString())
                info->addSequence(DmString(textOf(sequence)));
            else
                members.wrongType(kSequences, "an array of texts");
        }
    } else if (!url.empty()) {
        info->addSequence(DmString(url));
    }
    std::int32_t number = 0;
    if (members.getInt(kSourceType, number))
        info->setSourceType(static_cast<DmSourceInfo::SourceType>(number));
    if (members.getInt(kFileType, number))
        info->setFileType(static_cast<DmSourceInfo::FileType>(number));
    DmString text;
    if (members.getString(kPath, text))
        info->setPath(text);
    if (members.getString(kOriginalSourceUid, text))
        info->setOriginalSourceUID(text);
    PropertyJson::read(members, *info);
    return info;
}

void readAudio(const Members& zem, DmSourceNode::Input& input) {
    std::int32_t channels = 0;
    double samplingRate = 0.0;
    const bool hasChannels = zem.getInt(keys::MediaMetadataKeys::numAudioChannels, channels);
    const bool hasRate = zem.getDouble(keys::MediaMetadataKeys::audioSampleRate, samplingRate);
    if (!hasChannels && !hasRate)
        return;
    const CoSharedPtr<DmAudioProperties> audio(DmAudioProperties::create());
    audio->setNbChannels(channels);
    audio->setSamplingRate(samplingRate);
    PropertyJson::read(zem, *audio, kAudioProperties);
    input.setAudioProperties(audio.get());
}

void readExtraData(const Members& zem, DmSourceNode::MediaInput& input) {
    const Value* entries = zem.arrayMember(keys::MediaMetadataKeys::extraData);
    if (!entries)
        return;
    const ReadContext::Scope scope(zem.context(), keys::MediaMetadataKeys::extraData);
    for (rapidjson::SizeType i = 0; i < entries->Size(); ++i) {
        const ReadContext::Scope element(zem.context(), i);
        const Value& entry = (*entries)[i];
        if (!entry.IsArray() || entry.Size() < 2 || entry.Size() > 3 || !entry[0].IsString() ||
            !entry[1].IsString() || (entry.Size() == 3 && !entry[2].IsObject())) {
            zem.context().lose(zem.schema(), "extra data ignored: expected [key, value]");
            continue;
        }
        const CoSharedPtr<DmSourceNode::DictionaryEntry> made(DmSourceNode::DictionaryEntry::create(
            DmString(textOf(entry[0])), DmString(textOf(entry[1]))));
        if (entry.Size() == 3) {
            const ReadContext::Scope properties(zem.context(), std::size_t(2));
            PropertyJson::read(Members(zem, &entry[2]), *made);
        }
        input.addExtraData(made.get());
    }
}

} // namespace

std::string keyOf(std::uint32_t index) {
    return index == 0 ? std::string(kDefaultKey) : kKeyPrefix + std::to_string(index + 1);
}

namespace {

/// The key a reference is kept under on its input, as it came.
constexpr const char* kKeptKey = "media_reference_key";

/// True for a key this system writes itself: kDefaultKey, or kKeyPrefix and a number.
bool isOwnKey(const std::string& key) {
    if (key == kDefaultKey)
        return true;
    const std::string prefix = kKeyPrefix;
    return key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
           key.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

} // namespace

std::vector<std::string> keysOf(const DmSourceNode& source) {
    const std::uint32_t count = source.getNbMultiInputs();
    std::vector<std::string> keys(count);
    // Whether each input keeps a key of its own: "" is a key like any other.
    std::vector<bool> own(count, false);
    for (std::uint32_t i = 0; i < count; ++i) {
        rapidotio::Document document;
        const DmSourceNode::Input* input = source.getMultiInput(i);
        const Value* kept =
            input ? ForeignMembers::Leftovers::writtenAs(*input, kKeptKey, 0.0, document) : nullptr;
        if (kept && kept->IsString()) {
            keys[i].assign(kept->GetString(), kept->GetStringLength());
            own[i] = true;
        }
    }
    // An input without a key of its own, or whose key an input before it took,
    // takes the first of this system's own that no other has.
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto taken = [&](const std::string& key, std::uint32_t upTo) {
            return std::find(keys.begin(), keys.begin() + upTo, key) != keys.begin() + upTo;
        };
        if (own[i] && !taken(keys[i], i))
            continue;
        std::uint32_t index = i;
        while (taken(keyOf(index), count))
            ++index;
        keys[i] = keyOf(index);
    }
    return keys;
}

void write(OtioWriter& writer, const DmSourceNode::Input& input, std::uint32_t index,
           eDmTreeMediaType layerMediaType, const TimeRange& clipRange) {
    const auto* media = dynamic_cast<const DmSourceNode::MediaInput*>(&input);
    if (!media)
        throw Json::Exception("the media input at " + writer.pointer() +
                                  " is of a kind this system does not define",
                              Status(Status::JsonGenerationFailed));
    const std::string url = urlOf(input);
    const double rate = RecordTime::rateOf(input.getFcm());
    const bool imageSequence = isImageSequence(input, url);
    // Missing media that came as a generator's goes back out as the generator.
    rapidotio::Document keptSchema;
    const Value* generator =
        url.empty()
            ? ForeignMembers::Leftovers::writtenAs(input, SchemaMembers::kSchema, 0.0, keptSchema)
            : nullptr;
    if (generator && generator->IsString())
        SchemaMembers::start(writer, generator->GetString());
    else
        SchemaMembers::start(writer, imageSequence ? kImageSequence
                                     : url.empty() ? kMissingReference
                                                   : kExternalReference);
    // A reference that came without a range is written without one when the
    // reader gets this input's range back from the clip's; otherwise with its
    // range, and a note that it had none.
    const bool cameWithoutRange = ForeignMembers::Leftovers::wasNull(input, kAvailableRange);
    const bool withoutRange = cameWithoutRange && derivedFromClip(clipRange, input);
    writeZem(writer, *media, index, layerMediaType, rate, url, cameWithoutRange && !withoutRange);
    // A name the reference came with is among the members the input keeps,
    // written below in the order it came in.
    if (!ForeignMembers::holds(input, SchemaMembers::kName))
        writer.member(SchemaMembers::kName, "");
    writer.key(kAvailableRange);
    if (withoutRange)
        writer.null();
    else
        TimeSchema::writeRange(
            writer, TimeRange{{input.getAvailIn(), rate}, {input.getAvailLength(), rate}});
    // Another tool's bounds as they came while the resolution is still theirs.
    const bool keptBounds = keepsItsBounds(input);
    const bool derived = boundsDerived(input) && !keptBounds;
    if (derived || !ForeignMembers::holds(input, kAvailableImageBounds))
        writeImageBounds(writer, input.getPrimaryRes());
    if (!url.empty() && !imageSequence)
        writer.member(kTargetUrl, url);
    ForeignMembers::writeMembers(writer, input, knownMembers(derived));
    writer.endObject();
}

CoSharedPtr<DmSourceNode::MediaInput> missing(const Defaults& defaults) {
    const double rate = defaults.hasRange ? defaults.range.start_time.rate : 0.0;
    const double length =
        RecordTime::rescale(defaults.range.duration.value, defaults.range.duration.rate, rate);
    return CoSharedPtr<DmSourceNode::MediaInput>(DmSourceNode::MediaInput::create(
        defaults.hasRange ? defaults.range.start_time.value : 0.0, defaults.hasRange ? length : 0.0,
        nullptr, DmString(RecordTime::fcmOf(rate)), defaults.mediaType, true));
}

InputRead read(ReadContext& context, const Value& reference, const Value* key,
               const Defaults& defaults) {
    const std::string schema = SchemaMembers::schemaOf(reference);
    const Members members(context, &reference, schema);
    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Kept);
    std::string url;
    std::string type;
    int version = 0;
    SchemaMembers::parseSchema(schema, type, version);
    const bool imageSequence = type == kImageSequenceType;
    const bool generator = type == kGeneratorType;
    ForeignMembers::Leftovers leftovers;
    if (key && key->IsString() && !isOwnKey(std::string(key->GetString(), key->GetStringLength())))
        leftovers.asWritten(kKeptKey, *key, 0.0);
    if (schema == kExternalReference)
        members.getString(kTargetUrl, url);
    else if (imageSequence)
        url = patternOf(reference);
    else if (generator) {
        // The generator's schema is kept: its members are, as any reference's.
        const bool kept = leftovers.asWritten(
            SchemaMembers::kSchema, *OtioTiming::memberOf(reference, SchemaMembers::kSchema), 0.0);
        context.lose(schema, std::string("approximated: read as missing media (the edit tree "
                                         "plays no generated media)") +
                                 (kept ? ForeignMembers::Leftovers::kKeptNote : ""));
    } else if (schema != kMissingReference)
        context.lose(schema,
                     "approximated: read as missing media (the edit tree plays no media of this "
                     "kind); its members are kept");

    // The range: the reference's own, else the clip's.
    TimeRange range = defaults.range;
    const bool hasRange =
        TimeSchema::readRange(members, kAvailableRange, range) || defaults.hasRange;
    double rate = hasRange ? range.start_time.rate : 0.0;
    double start = range.start_time.value;
    // Media of another tool often runs at its own rate (23.976) under a clip
    // whose range counts at the timeline's (24): the input then counts at the
    // clip's rate, so that the source-in and the clip's range stay in one unit.
    if (hasRange && defaults.hasRange && !SchemaMembers::zemOf(reference) &&
        !RecordTime::sameRate(rate, defaults.range.start_time.rate) &&
        defaults.range.start_time.rate > 0.0) {
        start = RecordTime::rescale(start, rate, defaults.range.start_time.rate);
        rate = defaults.range.start_time.rate;
    }
    const double length = RecordTime::rescale(range.duration.value, range.duration.rate, rate);

    InputRead result;
    const SchemaMembers::ZemScope zem(members);
    const Members& description = zem.members();
    std::uint32_t place = 0;
    if (description.getUint(kInput, place))
        result.place = place;
    DmString fcm(RecordTime::fcmOf(rate));
    description.getString(kFcm, fcm);
    std::int32_t mediaType = defaults.mediaType;
    description.getInt(kMediaType, mediaType);
    bool flag = true;
    description.getBool(kFlag, flag);
    const CoSharedPtr<DmSourceInfo> info = readSourceInfo(description, url);
    if (imageSequence && info && !zem.exists()) {
        info->setSourceType(DmSourceInfo::kSourceTypeFile);
        info->setFileType(DmSourceInfo::kFileTypeFile);
    }

    const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
        hasRange ? start : 0.0, hasRange ? length : 0.0, info.get(), fcm,
        static_cast<eDmTreeMediaType>(mediaType), flag));
    // Another tool's image bounds are the resolution's bounds, as this system
    // writes them; kept as well when the resolution does not give them back
    // exactly. Beside this system's description, such bounds are kept again
    // when the resolution was read from them (as written back).
    bool keepBounds = false;
    double corners[4];
    const bool box = cornersOf(members.find(kAvailableImageBounds), corners);
    if (zem.exists()) {
        const Value* resolution = description.find(kResolution);
        if (!resolution || !resolution->IsNull())
            input->setPrimaryRes(
                ResolutionJson::readMembers(description, kResolutionProperties).get());
        keepBounds = box && input->getPrimaryRes() && readFrom(*input->getPrimaryRes(), corners) &&
                     differsFrom(input->getPrimaryRes(), corners);
    } else if (box) {
        input->setPrimaryRes(resolutionOf(corners).get());
        keepBounds = differsFrom(input->getPrimaryRes(), corners);
    }
    readAudio(description, *input);
    readExtraData(description, *input);
    PropertyJson::read(description, *input);
    // A reference without a range of its own plays the clip's, and is written
    // back without one, as it came.
    const Value* ownRange = members.find(kAvailableRange);
    bool noRangeNoted = false;
    description.getBool(kNoAvailableRange, noRangeNoted);
    if ((defaults.hasRange && (!ownRange || ownRange->IsNull())) || noRangeNoted)
        leftovers.null(kAvailableRange);
    leftovers.keepOn(*input);
    // A media input has no name in the edit tree: the reference's is kept.
    ForeignMembers::keep(members, *input, knownMembers(boundsDerived(*input) && !keepBounds),
                         ForeignMembers::Name::Kept);
    result.input = input;
    return result;
}

} // namespace ZEM_0_81::Interchange::MediaReferenceSchema
