#include "interchange/otiostd/kept/NestedComposition.h"

#include "interchange/otiostd/kept/DroppedItems.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/schemas/EffectSchema.h"
#include "interchange/otiostd/schemas/MarkerSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/SchemaVersions.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmSourceNode.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace ZEM_0_81::Interchange::NestedComposition {

namespace {

/// The members of a nested composition the offline source reads and holds (its
/// name, effects and notes), kept as null placeholders in the composition.
constexpr const char* kHeld[] = {SchemaMembers::kName, SchemaMembers::kEffects,
                                 SchemaMembers::kMarkers};

/// What `source` plays of the nested composition read as `length` frames (at
/// `compositionRate`) from `start` (in the composition's own time): that range
/// itself, or the part of it a host trimmed the source to (from a later
/// source-in, or for fewer frames), as the stack's "source_range" says it.
/// Nothing when the source plays outside that range or another media range.
std::optional<TimeRange> playedRange(const DmSourceNode& source, const RationalTime& start,
                                     double length, double compositionRate) {
    const double relIn = source.getRelIn();
    const double recLength = source.getRecLength();
    if (relIn == 0.0 && recLength == length)
        return TimeRange{start, {length, compositionRate}};
    // A trim plays from the input the nested composition was read as, whose
    // source-in counts at the input's rate: it is only known for an input at the
    // composition's own rate (a rate the core library names).
    const DmSourceNode::Input* input = source.getInput();
    if (!input || !RecordTime::identical(input->getAvailIn(), start.value))
        return std::nullopt;
    const double inputRate = RecordTime::rateOf(input->getFcm());
    if (!RecordTime::sameRate(inputRate, start.rate) || !(relIn >= 0.0) || !(recLength > 0.0) ||
        !(RecordTime::rescale(relIn, inputRate, compositionRate) + recLength <= length))
        return std::nullopt;
    // The duration at the composition's own rate when it counts whole frames there.
    RationalTime duration{recLength, compositionRate};
    const double atOwnRate =
        RecordTime::wholeIfNear(RecordTime::rescale(recLength, compositionRate, start.rate));
    if (RecordTime::isSafeInteger(atOwnRate) &&
        RecordTime::identical(RecordTime::rescale(atOwnRate, start.rate, compositionRate),
                              recLength))
        duration = RationalTime{atOwnRate, start.rate};
    return TimeRange{{start.value + relIn, start.rate}, duration};
}

} // namespace

ItemRead read(ReadContext& context, const Value& item, const std::string& schema,
              LayerCursor& cursor) {
    ItemRead result;
    RationalTime duration = kZeroTime;
    const bool timed = OtioTiming::durationOf(item, duration, 1);
    TimeRange trimmed{{0.0, duration.rate}, duration};
    OtioTiming::rangeOf(OtioTiming::memberOf(item, SchemaMembers::kSourceRange), trimmed);

    // The part the trims show: a composition a trim cuts is read, kept and
    // written back as if its own range were what shows of it.
    const double fullLength = RecordTime::wholeIfNear(
        RecordTime::rescale(trimmed.duration.value, trimmed.duration.rate, cursor.compositionRate));
    const TrackTrim::Landing landing =
        TrackTrim::land(context, schema, cursor, cursor.recordIn, fullLength);
    const bool cut = landing.head != 0.0 || landing.recordLength != fullLength;
    if (cut) {
        trimmed.start_time.value +=
            RecordTime::rescale(landing.head, cursor.compositionRate, trimmed.start_time.rate);
        trimmed.duration = RationalTime{landing.recordLength, cursor.compositionRate};
    }

    const double rate = trimmed.start_time.rate;
    const double length = RecordTime::wholeIfNear(
        RecordTime::rescale(trimmed.duration.value, trimmed.duration.rate, rate));
    std::string fcm = RecordTime::fcmOf(rate);
    if (fcm.empty())
        fcm = RecordTime::fcmOf(cursor.compositionRate);
    const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
        trimmed.start_time.value, length, nullptr, DmString(fcm), cursor.layerMediaType, true));
    const double recordLength = RecordTime::wholeIfNear(
        RecordTime::rescale(trimmed.duration.value, trimmed.duration.rate, cursor.compositionRate));
    const CoSharedPtr<DmSourceNode> source(
        DmSourceNode::create(input.get(), landing.recordIn, recordLength, 0.0, true, false));
    const Members members(context, &item, schema);
    DmString name;
    members.getString(SchemaMembers::kName, name);
    source->setName(name);
    // Its own effects and markers are the offline clip's, as a clip's are.
    ForeignMembers::Leftovers leftovers;
    EffectSchema::readAll(members, *source, leftovers);
    MarkerSchema::readAll(members,
                          MarkerSchema::ItemTime{trimmed.start_time, trimmed.start_time,
                                                 landing.recordIn, recordLength,
                                                 cursor.compositionRate},
                          *source);
    leftovers.keepOn(*source);

    // The rest is kept as it came, with a null where the source holds the value,
    // where it can be written back as it came: not before the segment before it
    // ends (one that starts inside it, as a negative duration before it makes
    // it, is written as the offline clip with its record-in).
    const bool follows = !(landing.recordIn < cursor.previousEnd);
    const bool kept = follows && ForeignMembers::keepNested(
                                     item, {std::begin(kHeld), std::end(kHeld)}, recordLength,
                                     trimmed.start_time, *source, cut ? &trimmed : nullptr);
    const std::string note = kept ? ForeignMembers::Leftovers::kKeptNote : "";
    context.lose(schema, (timed ? "approximated: a nested composition is read as one offline clip "
                                  "spanning it"
                                : "approximated: a nested composition is read as one offline clip, "
                                  "lasting what could be timed of it") +
                             note);
    DroppedItems::reportInside(
        context, item,
        (kept ? "not read: inside a nested composition read as one offline clip"
              : "dropped: inside a nested composition read as one offline clip") +
            note,
        DroppedItems::Own::Skipped);
    cursor.recordIn += fullLength;
    result.segment = source;
    return result;
}

bool writeKept(OtioWriter& writer, const DmSourceNode& source, const ItemPlacement& placement) {
    double length = 0.0;
    RationalTime start = kZeroTime;
    rapidotio::Document kept;
    const Value* item = nullptr;
    if (!ForeignMembers::keptNested(source, length, start, kept, item))
        return false;
    // Still what it was read as but for its name, effects, notes and a trim:
    // where the reader puts it, without media, identity or property of a host's.
    if (!placement.recordInFollows || placement.before || !source.getSegmentId().empty() ||
        source.getNbMultiInputs() != 1 || source.getSrcInfo())
        return false;
    const std::vector<std::int32_t>& ours = ForeignMembers::ids();
    for (std::uint32_t i = 0; i < source.getNbProperties(); ++i) {
        std::int32_t id = 0;
        eDmPropType type = eDmPropBool;
        if (!source.getPropertyInfo(i, id, type) ||
            std::find(ours.begin(), ours.end(), id) == ours.end())
            return false;
    }
    if (!(start.rate > 0.0))
        start = RationalTime{0.0, placement.compositionRate};
    const std::optional<TimeRange> played =
        playedRange(source, start, length, placement.compositionRate);
    if (!played)
        return false;
    // A trimmed source gives the stack the range it plays now; the stack's
    // content stays as it came.
    const bool trimmed = source.getRelIn() != 0.0 || source.getRecLength() != length;
    // The members as they came, the name, effects and markers the source holds
    // in their places (a member kept with its value by an earlier version is
    // written as it was kept).
    writer.beginObject();
    bool rangeWritten = false;
    for (const auto& member : item->GetObject()) {
        const std::string key(member.name.GetString(), member.name.GetStringLength());
        const bool held = member.value.IsNull() &&
                          std::find_if(std::begin(kHeld), std::end(kHeld), [&](const char* word) {
                              return key == word;
                          }) != std::end(kHeld);
        if (held && key == SchemaMembers::kName) {
            writer.member(SchemaMembers::kName, source.getName());
        } else if (held && key == SchemaMembers::kEffects) {
            EffectSchema::writeAll(writer, source);
        } else if (held && key == SchemaMembers::kMarkers) {
            MarkerSchema::writeAll(writer, source,
                                   MarkerSchema::ItemTime{played->start_time, played->start_time,
                                                          source.getRecIn(), source.getRecLength(),
                                                          placement.compositionRate});
        } else if (trimmed && key == SchemaMembers::kSourceRange) {
            writer.key(key);
            TimeSchema::writeRange(writer, *played);
            rangeWritten = true;
        } else {
            writer.key(key);
            SchemaVersions::writeKept(writer, member.value);
        }
    }
    if (trimmed && !rangeWritten) {
        writer.key(SchemaMembers::kSourceRange);
        TimeSchema::writeRange(writer, *played);
    }
    writer.endObject();
    return true;
}

} // namespace ZEM_0_81::Interchange::NestedComposition
