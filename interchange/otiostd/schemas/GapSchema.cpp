#include "interchange/otiostd/schemas/GapSchema.h"

#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/SegmentDescription.h"
#include "interchange/otiostd/schemas/EffectSchema.h"
#include "interchange/otiostd/schemas/MarkerSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmGapNode.h"

namespace ZEM_0_81::Interchange::GapSchema {

namespace {

/// The members this schema's reader takes or reports and its writer writes.
const std::vector<const char*> kKnown = {SchemaMembers::kSourceRange, SchemaMembers::kEffects,
                                         SchemaMembers::kMarkers, SchemaMembers::kEnabled};

void writeRange(OtioWriter& writer, double frames, double rate) {
    writer.key(SchemaMembers::kSourceRange);
    TimeSchema::writeRange(writer, TimeRange{{0.0, rate}, {frames, rate}});
}

} // namespace

void write(OtioWriter& writer, const DmGapNode& gap, const ItemPlacement& placement) {
    // The gap lasts its record length at the composition rate: read back as it
    // stands, with no conversion that could round.
    const SegmentDescription::Needs needs =
        SegmentDescription::needsOf(gap, placement, placement.layerMediaType, true, false);
    SchemaMembers::start(writer, kSchema);
    if (needs.any()) {
        SchemaMembers::startZem(writer, kZemSchema);
        SegmentDescription::write(writer, gap, placement, needs);
        SchemaMembers::endZem(writer, &gap);
    } else {
        SchemaMembers::emptyMetadata(writer, &gap);
    }
    writer.member(SchemaMembers::kName, gap.getName());
    writeRange(writer, gap.getRecLength(), placement.compositionRate);
    EffectSchema::writeAll(writer, gap);
    const RationalTime start{0.0, placement.compositionRate};
    MarkerSchema::writeAll(writer, gap,
                           MarkerSchema::ItemTime{start, start, gap.getRecIn(), gap.getRecLength(),
                                                  placement.compositionRate});
    writer.memberBool(SchemaMembers::kEnabled, ForeignMembers::Leftovers::enabled(gap));
    ForeignMembers::writeMembers(writer, gap, kKnown);
    writer.endObject();
}

void writeFiller(OtioWriter& writer, double frames, double compositionRate) {
    SchemaMembers::start(writer, kSchema);
    SchemaMembers::startZem(writer, kFillerZemSchema);
    SchemaMembers::endZem(writer);
    writer.member(SchemaMembers::kName, "");
    writeRange(writer, frames, compositionRate);
    SchemaMembers::plainEffects(writer);
    SchemaMembers::plainItemMembers(writer);
    writer.endObject();
}

ItemRead read(ReadContext& context, const Value& gap, const std::string& schema,
              LayerCursor& cursor) {
    const Members item(context, &gap, schema);
    ItemRead result;
    // A filler (a hole before a segment, as this system writes it) is no object
    // of the edit tree: it keeps nothing.
    const bool filler = SchemaMembers::zemSchemaOf(gap) == kFillerZemSchema;
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(item, SchemaMembers::Unread::Item, filler ? nullptr : &leftovers);

    // A gap without a range lasts nothing, as in OTIO.
    TimeRange range{{0.0, cursor.compositionRate}, {0.0, cursor.compositionRate}};
    double length = 0.0;
    if (TimeSchema::readRange(item, SchemaMembers::kSourceRange, range))
        length =
            RecordTime::rescale(range.duration.value, range.duration.rate, cursor.compositionRate);

    if (filler) {
        cursor.recordIn += length;
        return result;
    }

    SegmentDescription::Read values;
    values.recordIn = cursor.recordIn;
    values.recordLength = length;
    values.mediaType = cursor.layerMediaType;
    {
        const SchemaMembers::ZemScope zem(context, gap, schema);
        SegmentDescription::read(zem.members(), values, result);
    }

    // The part the trims show.
    const TrackTrim::Landing landing =
        TrackTrim::land(context, schema, cursor, values.recordIn, values.recordLength);
    cursor.recordIn = values.recordIn + values.recordLength;
    if (landing.head != 0.0)
        range.start_time.value +=
            RecordTime::rescale(landing.head, cursor.compositionRate, range.start_time.rate);

    DmString name;
    item.getString(SchemaMembers::kName, name);
    const CoSharedPtr<DmGapNode> segment(
        DmGapNode::create(landing.recordIn, landing.recordLength, values.mediaType, name));
    segment->setSegmentId(values.segmentId);
    SegmentDescription::complete(values, *segment);
    EffectSchema::readAll(item, *segment, leftovers);
    MarkerSchema::readAll(item,
                          MarkerSchema::ItemTime{range.start_time,
                                                 {0.0, cursor.compositionRate},
                                                 landing.recordIn,
                                                 landing.recordLength,
                                                 cursor.compositionRate},
                          *segment);
    ForeignMembers::keep(item, *segment, kKnown);
    leftovers.keepOn(*segment);

    result.segment = segment;
    return result;
}

} // namespace ZEM_0_81::Interchange::GapSchema
