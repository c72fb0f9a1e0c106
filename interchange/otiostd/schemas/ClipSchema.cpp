#include "interchange/otiostd/schemas/ClipSchema.h"

#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/SegmentDescription.h"
#include "interchange/otiostd/schemas/EffectSchema.h"
#include "interchange/otiostd/schemas/MarkerSchema.h"
#include "interchange/otiostd/schemas/MediaReferenceSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/SchemaVersions.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "interchange/timing/RecordTime.h"
#include "rapidotio/ClipNode.h"
#include "rapidotio/keys/ClipKeys.h"

#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "strictjson/StrictParse.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ZEM_0_81::Interchange::ClipSchema {

namespace {

namespace keys = rapidotio::keys;

constexpr const char* kRelIn = "rel_in";
constexpr const char* kFlags = "flags";
constexpr const char* kNoInput = "no_input";

/// The members this schema's reader takes or reports and its writer writes.
const std::vector<const char*> kKnown = {SchemaMembers::kSourceRange,
                                         SchemaMembers::kEffects,
                                         SchemaMembers::kMarkers,
                                         SchemaMembers::kEnabled,
                                         kMediaReferences,
                                         kActiveKey,
                                         kMediaReference};

/// Where the clip's "source_range" starts as written: the source-in (relative
/// in + the primary input's available start) at the primary input's rate.
RationalTime writtenStartOf(const DmSourceNode& source, double compositionRate) {
    const DmSourceNode::Input* primary = source.getInput();
    const double availIn = primary ? primary->getAvailIn() : 0.0;
    const double relIn = source.getRelIn();
    double start = relIn + availIn;
    if (!std::isfinite(start))
        start = relIn;
    return RationalTime{start, primary ? RecordTime::rateOf(primary->getFcm()) : compositionRate};
}

/// The clip identity as the product's export writes it: the tracking entity kept
/// as JSON text in the primary input's original source UID, and the media paths
/// the inputs name (a later input overwriting an earlier one).
void writeIdentity(OtioWriter& writer, const DmSourceNode& source) {
    rapidotio::ClipNode identity{std::string()};
    if (const DmSourceInfo* info = source.getSrcInfo()) {
        rapidotio::Document uid;
        const std::string text = info->getOriginalSourceUID().str();
        StrictJson::parseGuarded<rapidjson::kParseIterativeFlag>(uid, text.c_str(), text.size());
        if (!uid.HasParseError())
            identity.readEntity(uid);
    }
    for (std::uint32_t i = 0; i < source.getNbMultiInputs(); ++i) {
        const DmSourceNode::Input* input = source.getMultiInput(i);
        const DmSourceInfo* info = input ? input->getSrcInfo() : nullptr;
        if (!info)
            continue;
        const std::string sequence = info->getSequence(0).str();
        if (info->getSourceType() == DmSourceInfo::kSourceTypeMovie)
            identity.path_mp4 = sequence;
        else if (info->getSourceType() == DmSourceInfo::kSourceTypeFile &&
                 info->getFileType() == DmSourceInfo::kFileTypeFile)
            identity.path_file = sequence;
        else if (info->getSourceType() == DmSourceInfo::kSourceTypeFile &&
                 info->getFileType() == DmSourceInfo::kFileTypeMovie)
            identity.path_movie = sequence;
    }
    writer.key(keys::ClipMetadataKeys::entity);
    writer.beginObject();
    writer.memberInteger(keys::EntityKeys::id, identity.entity_id);
    writer.member(keys::EntityKeys::type, identity.entity_type);
    writer.endObject();
    writer.key(keys::ClipMetadataKeys::paths);
    writer.beginObject();
    writer.member(keys::PathsKeys::mp4, identity.path_mp4);
    writer.member(keys::PathsKeys::file, identity.path_file);
    writer.member(keys::PathsKeys::movie, identity.path_movie);
    writer.endObject();
}

/// The placeholder reference of a source without inputs.
void writePlaceholderReference(OtioWriter& writer) {
    SchemaMembers::start(writer, MediaReferenceSchema::kMissingReference);
    SchemaMembers::emptyMetadata(writer);
    writer.member(SchemaMembers::kName, "");
    writer.key(MediaReferenceSchema::kAvailableRange);
    writer.null();
    writer.key(MediaReferenceSchema::kAvailableImageBounds);
    writer.null();
    writer.endObject();
}

/// The inputs of the clip's references: ordered by the place each says it has
/// (the active reference, saying none, first), those without one after, in key
/// order (as the OpenTimelineIO library keeps them). Of references under the
/// same key, only the first is read.
std::vector<CoSharedPtr<DmSourceNode::MediaInput>>
readInputs(ReadContext& context, const Members& clip, int version,
           const MediaReferenceSchema::Defaults& defaults) {
    struct Found {
        MediaReferenceSchema::InputRead read;
        bool active;
        std::string key;
    };
    std::vector<Found> found;
    if (version < 2) {
        if (const Value* reference = clip.objectMember(kMediaReference)) {
            const ReadContext::Scope scope(context, kMediaReference);
            found.push_back(Found{
                MediaReferenceSchema::read(context, *reference, nullptr, defaults), true, ""});
        }
    } else if (const Value* references = clip.objectMember(kMediaReferences)) {
        std::string active = MediaReferenceSchema::kDefaultKey;
        clip.getString(kActiveKey, active);
        const ReadContext::Scope scope(context, kMediaReferences);
        for (const auto& member : references->GetObject()) {
            const ReadContext::Scope entry(context, member.name);
            if (!member.value.IsObject()) {
                // A null one plays nothing in OTIO either.
                context.lose(std::string(), "dropped: not a media reference");
                continue;
            }
            const std::string key = textOf(member.name);
            // Of references under one key the OpenTimelineIO library keeps the first.
            if (std::any_of(found.begin(), found.end(),
                            [&](const Found& entry) { return entry.key == key; })) {
                context.lose(std::string(), "dropped: a second media reference under the same "
                                            "key (the first is the clip's)");
                continue;
            }
            found.push_back(
                Found{MediaReferenceSchema::read(context, member.value, &member.name, defaults),
                      key == active, key});
        }
    }
    if (!found.empty() &&
        std::none_of(found.begin(), found.end(), [](const Found& entry) { return entry.active; })) {
        const ReadContext::Scope scope(context, kActiveKey);
        context.lose(clip.schema(), "approximated: it names none of the clip's media references: "
                                    "the first of them plays (the OpenTimelineIO library plays "
                                    "none)");
    }
    // The primary input says no place: it is the active reference, at place 0.
    for (Found& entry : found) {
        if (entry.read.place < 0 && entry.active)
            entry.read.place = 0;
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const bool aPlaced = a.read.place >= 0, bPlaced = b.read.place >= 0;
        if (aPlaced != bPlaced)
            return aPlaced;
        if (aPlaced)
            return a.read.place < b.read.place;
        return a.key < b.key;
    });
    std::vector<CoSharedPtr<DmSourceNode::MediaInput>> inputs;
    for (const Found& entry : found)
        inputs.push_back(entry.read.input);
    return inputs;
}

/// What a clip's "zem" description says, entered once.
struct ClipDescription {
    SegmentDescription::Read values;
    bool relInGiven = false;
    double relIn = 0.0;
    bool noInput = false;
    bool flags[2] = {true, false};
};

ClipDescription describedBy(ReadContext& context, const Value& clip, const std::string& schema,
                            const LayerCursor& cursor, ItemRead& result) {
    ClipDescription read;
    read.values.recordIn = cursor.recordIn;
    read.values.mediaType = eDmMediaUnset;
    const SchemaMembers::ZemScope zem(context, clip, schema);
    const Members& description = zem.members();
    description.getString(keys::ClipMetadataKeys::id, read.values.segmentId);
    read.relInGiven = description.getDouble(kRelIn, read.relIn);
    description.getBool(kNoInput, read.noInput);
    if (const Value* pair = description.arrayMember(kFlags)) {
        if (pair->Size() == 2 && (*pair)[0].IsBool() && (*pair)[1].IsBool()) {
            read.flags[0] = (*pair)[0].GetBool();
            read.flags[1] = (*pair)[1].GetBool();
        } else {
            description.wrongType(kFlags, "two booleans");
        }
    }
    SegmentDescription::read(description, read.values, result);
    return read;
}

} // namespace

std::string droppedWhy(const std::string& key) {
    return "media reference \"" + key +
           "\" not written: a Clip.1 holds one media reference, the active one";
}

void write(OtioWriter& writer, const DmSourceNode& source, const ItemPlacement& placement) {
    const DmSourceNode::Input* primary = source.getInput();
    const double compositionRate = placement.compositionRate;
    const RationalTime written = writtenStartOf(source, compositionRate);
    const double sourceRate = written.rate;
    const double availIn = primary ? primary->getAvailIn() : 0.0;
    const double relIn = source.getRelIn();
    const double start = written.value;
    const bool relInDerived =
        RecordTime::isSafeInteger(relIn) && RecordTime::isSafeInteger(availIn) &&
        RecordTime::isSafeInteger(start) && RecordTime::identical(start - availIn, relIn);

    // The duration at the source rate when it converts there and back exactly, else
    // at the composition rate, where it is the record length as it stands.
    const double recordLength = source.getRecLength();
    RationalTime duration{recordLength, sourceRate};
    if (!RecordTime::identical(sourceRate, compositionRate)) {
        duration.value = RecordTime::rescale(recordLength, compositionRate, sourceRate);
        if (!RecordTime::isSafeInteger(recordLength) ||
            !RecordTime::isSafeInteger(duration.value) ||
            !RecordTime::identical(RecordTime::rescale(duration.value, sourceRate, compositionRate),
                                   recordLength))
            duration = RationalTime{recordLength, compositionRate};
    }

    const SegmentDescription::Needs needs =
        SegmentDescription::needsOf(source, placement, eDmMediaUnset, true, true);
    const char* schema = SchemaVersions::clipSchema(writer.version());
    SchemaMembers::start(writer, schema);
    SchemaMembers::startZem(writer, keys::ClipMetadataKeys::zemSchema);
    writeIdentity(writer, source);
    writer.member(keys::ClipMetadataKeys::id, source.getSegmentId());
    if (!relInDerived)
        writer.member(kRelIn, relIn);
    if (!source.getFlag1() || source.getFlag2()) {
        writer.key(kFlags);
        writer.beginArray();
        writer.boolean(source.getFlag1());
        writer.boolean(source.getFlag2());
        writer.endArray();
    }
    const std::uint32_t inputs = source.getNbMultiInputs();
    if (inputs == 0)
        writer.memberBool(kNoInput, true);
    SegmentDescription::write(writer, source, placement, needs);
    SchemaMembers::endZem(writer, &source);

    writer.member(SchemaMembers::kName, source.getName());
    writer.key(SchemaMembers::kSourceRange);
    const TimeRange clipRange{{start, sourceRate}, duration};
    TimeSchema::writeRange(writer, clipRange);
    EffectSchema::writeAll(writer, source);
    MarkerSchema::writeAll(writer, source,
                           MarkerSchema::ItemTime{written, written, source.getRecIn(),
                                                  source.getRecLength(), compositionRate});
    writer.memberBool(SchemaMembers::kEnabled, ForeignMembers::Leftovers::enabled(source));
    const std::vector<std::string> keys = MediaReferenceSchema::keysOf(source);
    if (std::strcmp(schema, kOlderSchema) == 0) {
        // One reference: the primary input's, the active one.
        writer.key(kMediaReference);
        const DmSourceNode::Input* input = inputs > 0 ? source.getMultiInput(0) : nullptr;
        if (input)
            MediaReferenceSchema::write(writer, *input, 0, placement.layerMediaType, clipRange);
        else
            writePlaceholderReference(writer);
        for (std::uint32_t i = 1; i < inputs; ++i)
            writer.lose(schema, droppedWhy(keys[i]));
    } else {
        writer.key(kMediaReferences);
        writer.beginObject();
        if (inputs == 0) {
            writer.key(MediaReferenceSchema::kDefaultKey);
            writePlaceholderReference(writer);
        }
        for (std::uint32_t i = 0; i < inputs; ++i) {
            if (const DmSourceNode::Input* input = source.getMultiInput(i)) {
                writer.key(keys[i]);
                MediaReferenceSchema::write(writer, *input, i, placement.layerMediaType, clipRange);
            }
        }
        writer.endObject();
        writer.member(kActiveKey,
                      keys.empty() ? std::string(MediaReferenceSchema::kDefaultKey) : keys.front());
    }
    ForeignMembers::writeMembers(writer, source, kKnown);
    writer.endObject();
}

void convert(Value& clip, rapidotio::Allocator& allocator, int version,
             std::vector<std::string>& dropped) {
    std::string type;
    int from = 0;
    if (!SchemaMembers::parseSchema(SchemaMembers::schemaOf(clip), type, from) || from == version)
        return;
    if (version < 2 && from >= 2) {
        // The active reference, when the clip has it, is the one reference.
        std::string active;
        if (const Value* key = OtioTiming::memberOf(clip, kActiveKey); key && key->IsString())
            active = textOf(*key);
        Value reference;
        if (const auto references = clip.FindMember(kMediaReferences);
            references != clip.MemberEnd() && references->value.IsObject()) {
            for (auto& member : references->value.GetObject()) {
                if (reference.IsNull() && textOf(member.name) == active)
                    reference = member.value;
                else
                    dropped.push_back(textOf(member.name));
            }
        }
        // Every member of these names goes: a document may repeat a key.
        for (const char* key : {kMediaReferences, kActiveKey, kMediaReference}) {
            while (clip.RemoveMember(key)) {
            }
        }
        clip.AddMember(Value(kMediaReference, allocator), reference, allocator);
    } else if (version >= 2 && from < 2) {
        // The one reference under DEFAULT_MEDIA, active; a missing one without it.
        Value reference;
        if (const auto found = clip.FindMember(kMediaReference); found != clip.MemberEnd())
            reference = found->value;
        if (!reference.IsObject()) {
            reference.SetObject();
            reference.AddMember(Value(SchemaMembers::kSchema, allocator),
                                Value(MediaReferenceSchema::kMissingReference, allocator),
                                allocator);
        }
        for (const char* key : {kMediaReferences, kActiveKey, kMediaReference}) {
            while (clip.RemoveMember(key)) {
            }
        }
        Value references(rapidjson::kObjectType);
        references.AddMember(Value(MediaReferenceSchema::kDefaultKey, allocator), reference,
                             allocator);
        clip.AddMember(Value(kMediaReferences, allocator), references, allocator);
        clip.AddMember(Value(kActiveKey, allocator),
                       Value(MediaReferenceSchema::kDefaultKey, allocator), allocator);
    }
    const std::string schema = std::string(kType) + "." + std::to_string(version);
    clip[SchemaMembers::kSchema].SetString(
        schema.c_str(), static_cast<rapidjson::SizeType>(schema.size()), allocator);
}

ItemRead read(ReadContext& context, const Value& clip, const std::string& schema, int version,
              LayerCursor& cursor) {
    const Members item(context, &clip, schema);
    ItemRead result;
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(item, SchemaMembers::Unread::Item, &leftovers);

    TimeRange range = kZeroRange;
    const bool hasRange = TimeSchema::readRange(item, SchemaMembers::kSourceRange, range);

    ClipDescription description = describedBy(context, clip, schema, cursor, result);
    SegmentDescription::Read& values = description.values;
    double relIn = description.relIn;

    MediaReferenceSchema::Defaults defaults;
    defaults.mediaType = cursor.layerMediaType;
    defaults.hasRange = hasRange;
    defaults.range = range;
    std::vector<CoSharedPtr<DmSourceNode::MediaInput>> inputs;
    if (!description.noInput) {
        inputs = readInputs(context, item, version, defaults);
        // A clip without a media reference has a missing one in OTIO.
        if (inputs.empty())
            inputs.push_back(MediaReferenceSchema::missing(defaults));
    }
    const DmSourceNode::MediaInput* primary = inputs.empty() ? nullptr : inputs.front().get();

    // Without a range of its own a clip plays its primary media's available range,
    // as in OTIO.
    TimeRange available = kZeroRange;
    if (!hasRange && !OtioTiming::clipAvailableRange(clip, available) && !values.recordLengthGiven)
        context.lose(schema, "approximated: lasts nothing, having no source range and no media "
                             "with an available range (OTIO cannot time it either)");
    if (!hasRange && primary) {
        range.start_time = {primary->getAvailIn(), RecordTime::rateOf(primary->getFcm())};
        range.duration = {primary->getAvailLength(), range.start_time.rate};
    }
    if (!values.recordLengthGiven)
        values.recordLength =
            RecordTime::rescale(range.duration.value, range.duration.rate, cursor.compositionRate);
    // The part the trims show, its source starting later by what they cut off.
    const TrackTrim::Landing landing =
        TrackTrim::land(context, schema, cursor, values.recordIn, values.recordLength);
    cursor.recordIn = values.recordIn + values.recordLength;
    double head = 0.0;
    if (landing.head != 0.0) {
        head = RecordTime::rescale(landing.head, cursor.compositionRate, range.start_time.rate);
        range.start_time.value += head;
    }
    if (!description.relInGiven)
        relIn = range.start_time.value - (primary ? primary->getAvailIn() : 0.0);
    else
        relIn += head;

    const CoSharedPtr<DmSourceNode> source(DmSourceNode::create(
        inputs.empty() ? nullptr : inputs.front().get(), landing.recordIn, landing.recordLength,
        relIn, description.flags[0], description.flags[1]));
    for (std::size_t i = 1; i < inputs.size(); ++i)
        source->addMultiInput(inputs[i].get());
    DmString name;
    item.getString(SchemaMembers::kName, name);
    source->setName(name);
    source->setSegmentId(values.segmentId);
    source->setMediaType(values.mediaType);
    SegmentDescription::complete(values, *source);
    EffectSchema::readAll(item, *source, leftovers);
    MarkerSchema::readAll(
        item,
        MarkerSchema::ItemTime{range.start_time, writtenStartOf(*source, cursor.compositionRate),
                               landing.recordIn, landing.recordLength, cursor.compositionRate},
        *source);
    ForeignMembers::keep(item, *source, kKnown);
    leftovers.keepOn(*source);

    result.segment = source;
    return result;
}

} // namespace ZEM_0_81::Interchange::ClipSchema
