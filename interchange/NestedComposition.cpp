#include "interchange/NestedComposition.h"

#include "interchange/DroppedItems.h"
#include "interchange/ForeignMembers.h"
#include "interchange/OtioTiming.h"
#include "interchange/RecordTime.h"
#include "interchange/SchemaObject.h"

#include "outside/dmtree/DmSourceNode.h"

#include <algorithm>
#include <vector>

namespace ZEM_0_81::Interchange::NestedComposition {

ItemRead read(ReadContext& context, const Value& item, const std::string& schema,
              LayerCursor& cursor) {
    ItemRead result;
    RationalTime duration;
    const bool timed = OtioTiming::durationOf(item, duration, 1);
    TimeRange trimmed{{0.0, duration.rate}, duration};
    OtioTiming::rangeOf(OtioTiming::memberOf(item, SchemaObject::kSourceRange), trimmed);

    const double rate = trimmed.start.rate;
    const double length = RecordTime::wholeIfNear(
        RecordTime::rescale(trimmed.duration.value, trimmed.duration.rate, rate));
    std::string fcm = RecordTime::fcmOf(rate);
    if (fcm.empty())
        fcm = RecordTime::fcmOf(cursor.compositionRate);
    const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
        trimmed.start.value, length, nullptr, DmString(fcm), cursor.layerMediaType, true));
    const double recordLength = RecordTime::wholeIfNear(
        RecordTime::rescale(trimmed.duration.value, trimmed.duration.rate, cursor.compositionRate));
    const CoSharedPtr<DmSourceNode> source(
        DmSourceNode::create(input.get(), cursor.recordIn, recordLength, 0.0, true, false));
    const Members members(context, &item, schema);
    DmString name;
    members.text(SchemaObject::kName, name);
    source->setName(name);

    const bool kept = ForeignMembers::keepNested(item, recordLength, name.str(), *source);
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
            note);
    cursor.recordIn += recordLength;
    result.segment = source;
    return result;
}

bool writeKept(OtioWriter& writer, const DmSourceNode& source, const ItemPlacement& placement) {
    double length = 0.0;
    std::string name;
    rapidotio::Document kept;
    const Value* item = nullptr;
    if (!ForeignMembers::keptNested(source, length, name, kept, item))
        return false;
    // Still what it was read as: where the reader puts it, as long and named as
    // it was, with nothing a host gave it since (no effect, no media, no
    // property, no identity).
    if (!placement.recordInFollows || placement.before || length != source.getRecLength() ||
        name != source.getName().str() || source.getNbEffects() != 0 ||
        !source.getSegmentId().empty() || source.getNbMultiInputs() != 1 || source.getSrcInfo())
        return false;
    const std::vector<std::int32_t>& ours = ForeignMembers::ids();
    for (std::uint32_t i = 0; i < source.getNbProperties(); ++i) {
        std::int32_t id = 0;
        eDmPropType type = eDmPropBool;
        if (!source.getPropertyInfo(i, id, type) ||
            std::find(ours.begin(), ours.end(), id) == ours.end())
            return false;
    }
    writer.json(*item);
    return true;
}

} // namespace ZEM_0_81::Interchange::NestedComposition
