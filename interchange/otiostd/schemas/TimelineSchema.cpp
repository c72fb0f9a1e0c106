#include "interchange/otiostd/schemas/TimelineSchema.h"

#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ResolutionJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/StackSchema.h"
#include "interchange/otiostd/schemas/TrackItems.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/timing/RecordTime.h"
#include "rapidotio/MediaVocabulary.h"

#include "outside/dmtree/DmTrackNode.h"

namespace ZEM_0_81::Interchange::TimelineSchema {

namespace {

using ZemKeys::kFcm;
using ZemKeys::kLength;
using ZemKeys::kResolution;

constexpr const char* kGlobalStartTime = rapidotio::keys::TimelineKeys::globalStartTime;
constexpr const char* kTracks = rapidotio::keys::TimelineKeys::tracks;
constexpr const char* kStartTcFcm = "start_tc_fcm";

/// The members this schema's reader takes and its writer writes.
const std::vector<const char*> kKnown = {kGlobalStartTime, kTracks};

/// Where record values start counting: the start timecode in frames at the
/// composition rate.
double recordBaseOf(double startTc, double startRate, double compositionRate) {
    return RecordTime::rescale(startTc, startRate, compositionRate);
}

/// The start timecode in frames at `startRate`: the time "global_start_time"
/// holds (`asRead`, when `startGiven`; 0 otherwise) at that rate, as the
/// OpenTimelineIO library counts it when `timed` (a timeline of another tool).
/// What came in "global_start_time" (`asWritten`, null when absent) is kept on
/// `composition` to be written back as it came where the edit tree cannot say
/// it again: null, or a time at another rate than the start timecode's, as
/// another tool writes the start at its picture's rate of a timeline whose
/// items land on whole frames only at a finer rate (its sound's).
double startOf(const Value* asWritten, const RationalTime& asRead, bool startGiven, bool timed,
               double startRate, DmCompositionNode& composition) {
    ForeignMembers::Leftovers leftovers;
    double start = 0.0;
    if (!asWritten || asWritten->IsNull()) {
        leftovers.null(kGlobalStartTime);
    } else if (startGiven && RecordTime::sameRate(asRead.rate, startRate)) {
        start = timed ? RecordTime::wholeIfNear(asRead.value) : asRead.value;
    } else if (startGiven) {
        // Counted as OTIO counts it: a rate written rounded (23.976) is the frame
        // rate it stands for, so whole frames convert to whole ticks.
        RationalTime snapped = asRead;
        OtioTiming::timeOf(asWritten, snapped);
        start =
            RecordTime::wholeIfNear(RecordTime::rescale(snapped.value, snapped.rate, startRate));
        leftovers.asWritten(kGlobalStartTime, *asWritten, start);
    }
    leftovers.keepOn(composition);
    return start;
}

/// "global_start_time" as it came when the composition keeps it and still starts
/// where it did (null for a start of 0), else the start timecode at `startRate`.
void writeStart(OtioWriter& writer, const DmCompositionNode& composition, double startRate) {
    const double start = composition.getStartTC();
    if (start == 0.0 && ForeignMembers::Leftovers::wasNull(composition, kGlobalStartTime)) {
        writer.null();
        return;
    }
    rapidotio::Document document;
    if (const Value* kept =
            ForeignMembers::Leftovers::writtenAs(composition, kGlobalStartTime, start, document)) {
        writer.json(*kept);
        return;
    }
    TimeSchema::writeTime(writer, RationalTime{start, startRate});
}

} // namespace

void write(OtioWriter& writer, const DmCompositionNode& composition, std::uint32_t reel,
           const std::vector<const DmTreeNode*>& before,
           const std::function<void(OtioWriter&)>& more) {
    const ChildGroups tracks = ChildGroups::ofKind<DmTrackNode>(composition);
    const double rate = RecordTime::rateOf(composition.getFcm());
    const double startRate = RecordTime::rateOf(composition.getStartTcFcm());

    SchemaMembers::start(writer, kSchema);
    SchemaMembers::startZem(writer, kZemSchema);
    writer.member(kFcm, composition.getFcm());
    if (composition.getStartTcFcm() != composition.getFcm())
        writer.member(kStartTcFcm, composition.getStartTcFcm());
    writer.member(kLength, composition.getCompLength());
    ResolutionJson::write(writer, kResolution, composition.getResolution());
    if (reel > 0)
        writer.memberUnsigned(kReel, reel);
    PropertyJson::write(writer, composition);
    EditTreeNodes::write(writer, EditTreeNodes::kBefore, before);
    EditTreeNodes::write(writer, EditTreeNodes::kAfter, tracks.after);
    if (more)
        more(writer);
    SchemaMembers::endZem(writer, &composition);

    writer.member(SchemaMembers::kName, composition.getName());
    writer.key(kGlobalStartTime);
    writeStart(writer, composition, startRate);
    writer.key(kTracks);
    StackSchema::write(writer, tracks, rate,
                       recordBaseOf(composition.getStartTC(), startRate, rate));
    ForeignMembers::writeMembers(writer, composition, kKnown);
    writer.endObject();
}

CompositionRead read(ReadContext& context, const Value& timeline) {
    const std::string schema = SchemaMembers::schemaOf(timeline);
    const Members members(context, &timeline, schema);
    CompositionRead result;

    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Kept);
    // A timeline this system did not write is timed as the OpenTimelineIO library
    // times it, at the rate that holds its times in whole frames.
    const bool described = SchemaMembers::zemSchemaOf(timeline) == kZemSchema;
    context.setSnapRates(!described);
    RationalTime start{0.0, rapidotio::MediaVocabulary::kDefaultRate};
    const bool startGiven = TimeSchema::readTime(members, kGlobalStartTime, start);
    OtioTiming::TimelineTiming timing;
    if (!described) {
        // Timed from all of its items before any is read.
        if (context.trackItems())
            context.trackItems()->time(timeline);
        timing = OtioTiming::timelineTiming(timeline);
    }

    DmString fcm(described ? RecordTime::fcmOf(start.rate) : timing.fcm);
    DmString startTcFcm;
    double length = 0.0;
    bool lengthGiven = false;
    // A timeline not described keeps a resolution with nothing set, as the
    // product's import gives one.
    CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    std::vector<CoSharedPtr<DmTreeNode>> after;
    PropertyJson::Held properties;
    {
        const SchemaMembers::ZemScope zem(context, timeline, schema);
        const Members& description = zem.members();
        description.getString(kFcm, fcm);
        startTcFcm = fcm;
        description.getString(kStartTcFcm, startTcFcm);
        lengthGiven = description.getDouble(kLength, length);
        ResolutionJson::read(description, kResolution, resolution);
        description.getUint(kReel, result.reel);
        result.before = EditTreeNodes::read(description, EditTreeNodes::kBefore);
        after = EditTreeNodes::read(description, EditTreeNodes::kAfter);
        properties.read(description);
    }

    DmString name;
    members.getString(SchemaMembers::kName, name);
    const CoSharedPtr<DmCompositionNode> composition(
        DmCompositionNode::create(name, fcm, resolution.get()));
    const double startRate = RecordTime::rateOf(startTcFcm);
    const double rate = RecordTime::rateOf(fcm);
    const Value* stack = members.objectMember(kTracks);
    // A timeline of another tool whose trims name a record start (an EDL read
    // by the OpenTimelineIO library) starts there.
    const double lead = stack && !described ? StackSchema::leadOf(*stack, rate) : 0.0;
    const double startTc = startOf(OtioTiming::memberOf(timeline, kGlobalStartTime), start,
                                   startGiven, !described, startRate, *composition) +
                           RecordTime::wholeIfNear(RecordTime::rescale(lead, rate, startRate));
    composition->setStartTC(startTc, startTcFcm);
    ForeignMembers::keep(members, *composition, kKnown);
    properties.applyTo(*composition);

    const double recordBase = recordBaseOf(startTc, startRate, rate);
    double end = recordBase;
    if (stack) {
        const ReadContext::Scope scope(context, kTracks);
        for (const StackSchema::TrackRead& track : StackSchema::read(
                 context, *stack, rate, recordBase, lead, !described && !timing.exact, end)) {
            for (const CoSharedPtr<DmTreeNode>& node : track.before)
                composition->addChild(node.get());
            composition->addChild(track.track.get());
        }
    } else {
        context.lose(schema, "the timeline has no \"tracks\" stack: it is read without tracks");
    }
    for (const CoSharedPtr<DmTreeNode>& node : after)
        composition->addChild(node.get());
    if (!lengthGiven)
        length = described || lead != 0.0 ? end - recordBase : timing.duration;
    composition->setCompLength(length);
    context.setSnapRates(false);

    result.composition = composition;
    return result;
}

} // namespace ZEM_0_81::Interchange::TimelineSchema
