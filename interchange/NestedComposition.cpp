#include "interchange/NestedComposition.h"

#include "interchange/DroppedItems.h"
#include "interchange/OtioTiming.h"
#include "interchange/RecordTime.h"
#include "interchange/SchemaObject.h"

#include "outside/dmtree/DmSourceNode.h"

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

    context.lose(schema, timed ? "approximated: a nested composition is read as one offline clip "
                                 "spanning it"
                               : "approximated: a nested composition is read as one offline clip, "
                                 "lasting what could be timed of it");
    DroppedItems::reportInside(context, item,
                               "dropped: inside a nested composition read as one offline clip");
    cursor.recordIn += recordLength;
    result.segment = source;
    return result;
}

} // namespace ZEM_0_81::Interchange::NestedComposition
