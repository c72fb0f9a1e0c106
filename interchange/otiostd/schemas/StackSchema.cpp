#include "interchange/otiostd/schemas/StackSchema.h"

#include "interchange/otiostd/kept/DroppedItems.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/TrackSchema.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/TrackTrim.h"

#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"

#include <algorithm>
#include <cmath>

namespace ZEM_0_81::Interchange::StackSchema {

namespace {

using ZemKeys::kIndex;
using ZemKeys::kMediaType;

constexpr const char* kZemSchema = "Tracks.1";
constexpr const char* kTracks = "tracks";
// The name OTIO gives a timeline's stack.
constexpr const char* kStackName = "tracks";

/// The members this schema's reader takes or reports and its writer writes.
const std::vector<const char*> kKnown = {SchemaMembers::kSourceRange, SchemaMembers::kEffects,
                                         SchemaMembers::kMarkers, SchemaMembers::kEnabled,
                                         SchemaMembers::kChildren};

void writeDescription(OtioWriter& writer, const ChildGroups::Shown& shown,
                      const ChildGroups& layers) {
    const auto& track = static_cast<const DmTrackNode&>(*shown.node);
    writer.beginObject();
    if (!track.getName().empty())
        writer.member(SchemaMembers::kName, track.getName());
    writer.memberInteger(kIndex, track.getIndex());
    writer.memberInteger(kMediaType, track.getMediaType());
    PropertyJson::write(writer, track);
    EditTreeNodes::write(writer, EditTreeNodes::kBefore, shown.before);
    EditTreeNodes::write(writer, EditTreeNodes::kAfter, layers.after);
    writer.endObject();
}

/// A track described by `description` (an element of "tracks"), or a plain one.
TrackRead readDescription(const Members& description) {
    std::int32_t index = 0;
    std::int32_t mediaType = eDmMediaUnset;
    description.getInt(kIndex, index);
    description.getInt(kMediaType, mediaType);
    TrackRead read;
    read.track = DmTrackNode::create(index, static_cast<eDmTreeMediaType>(mediaType));
    DmString name;
    if (description.getString(SchemaMembers::kName, name))
        read.track->setName(name);
    PropertyJson::read(description, *read.track);
    read.before = EditTreeNodes::read(description, EditTreeNodes::kBefore);
    return read;
}

} // namespace

void write(OtioWriter& writer, const ChildGroups& tracks, double compositionRate,
           double recordBase) {
    std::vector<ChildGroups> layers;
    for (const ChildGroups::Shown& track : tracks.shown)
        layers.push_back(ChildGroups::ofKind<DmLayerNode>(*track.node));

    SchemaMembers::start(writer, kSchema);
    SchemaMembers::startZem(writer, kZemSchema);
    writer.key(kTracks);
    writer.beginArray();
    for (std::size_t t = 0; t < tracks.shown.size(); ++t)
        writeDescription(writer, tracks.shown[t], layers[t]);
    writer.endArray();
    // The stack's own kept members ride on the first edit-tree track.
    const DmTreeNode* first = tracks.shown.empty() ? nullptr : tracks.shown.front().node;
    SchemaMembers::endZem(writer, first);
    writer.member(SchemaMembers::kName, kStackName);
    writer.key(SchemaMembers::kSourceRange);
    writer.null();
    SchemaMembers::plainEffects(writer, first);
    SchemaMembers::plainItemMembers(writer, first);
    writer.key(SchemaMembers::kChildren);
    writer.beginArray();
    for (std::size_t t = 0; t < tracks.shown.size(); ++t) {
        for (const ChildGroups::Shown& layer : layers[t].shown)
            TrackSchema::write(writer, static_cast<const DmLayerNode&>(*layer.node),
                               static_cast<std::uint32_t>(t), layer.before, compositionRate,
                               recordBase);
    }
    writer.endArray();
    if (first)
        ForeignMembers::writeMembers(writer, *first, kKnown);
    writer.endObject();
}

double leadOf(const Value& stack, double compositionRate) {
    const Value* children = OtioTiming::memberOf(stack, SchemaMembers::kChildren);
    if (!children || !children->IsArray())
        return 0.0;
    double least = HUGE_VAL;
    for (const Value& child : children->GetArray()) {
        RationalTime content = kZeroTime;
        if (OtioTiming::kindOf(child) != OtioTiming::Kind::Track ||
            !OtioTiming::contentDurationOf(child, content) || content.value <= 0.0)
            continue;
        least = std::min(least, TrackTrim::recordOffsetOf(child, compositionRate).value_or(0.0));
    }
    if (least == HUGE_VAL)
        return 0.0;
    return TrackTrim::recordOffsetOf(stack, compositionRate).value_or(0.0) + least;
}

std::vector<TrackRead> read(ReadContext& context, const Value& stack, double compositionRate,
                            double recordBase, double lead, bool rounds, double& end) {
    const std::string schema = SchemaMembers::schemaOf(stack);
    const Members members(context, &stack, schema);
    end = recordBase;
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Composition, &leftovers);
    TrackSchema::StackTiming timing;
    timing.compositionRate = compositionRate;
    timing.recordBase = recordBase;
    const std::optional<double> offset = TrackTrim::recordOffsetOf(stack, compositionRate);
    if (!offset)
        timing.trim = TrackTrim::of(stack, compositionRate);
    timing.moved = offset.value_or(0.0) - lead;
    timing.rounds = rounds;

    // The edit-tree tracks, as described, with what comes after their layers.
    std::vector<TrackRead> tracks;
    std::vector<std::vector<CoSharedPtr<DmTreeNode>>> afters;
    bool described = false;
    {
        const SchemaMembers::ZemScope zem(context, stack, schema);
        if (const Value* descriptions = zem.members().arrayMember(kTracks)) {
            described = true;
            const ReadContext::Scope scope(context, kTracks);
            for (rapidjson::SizeType i = 0; i < descriptions->Size(); ++i) {
                const ReadContext::Scope element(context, i);
                const Members description(context, &(*descriptions)[i], schema);
                tracks.push_back(readDescription(description));
                afters.push_back(EditTreeNodes::read(description, EditTreeNodes::kAfter));
            }
        }
    }
    if (!described) {
        tracks.push_back(
            TrackRead{CoSharedPtr<DmTrackNode>(DmTrackNode::create(0, eDmMediaUnset)), {}});
        afters.emplace_back();
    }
    if (!tracks.empty()) {
        ForeignMembers::keep(members, *tracks.front().track, kKnown);
        leftovers.keepOn(*tracks.front().track);
    }

    CoSharedPtr<DmLayerNode> firstLayer;
    if (const Value* children = members.arrayMember(SchemaMembers::kChildren)) {
        const ReadContext::Scope scope(context, SchemaMembers::kChildren);
        std::uint32_t position = 0;
        for (rapidjson::SizeType i = 0; i < children->Size(); ++i) {
            const ReadContext::Scope element(context, i);
            const Value& child = (*children)[i];
            const std::string childSchema = SchemaMembers::schemaOf(child);
            if (OtioTiming::kindOf(child) != OtioTiming::Kind::Track) {
                DroppedItems::reportDropped(
                    context, child, childSchema,
                    "dropped: only tracks are read in a timeline's stack",
                    "dropped: inside an item of a timeline's stack that is not a track");
                continue;
            }
            if (tracks.empty()) {
                context.lose(childSchema, "dropped: the stack describes no track to hold it");
                continue;
            }
            TrackSchema::LayerRead layer =
                TrackSchema::read(context, child, childSchema, position++, timing);
            if (!firstLayer)
                firstLayer = layer.layer;
            std::size_t t = layer.track < 0 ? 0 : static_cast<std::size_t>(layer.track);
            if (t >= tracks.size()) {
                const ReadContext::Scope metadata(context, SchemaMembers::kMetadata);
                const ReadContext::Scope zem(context, SchemaMembers::kZem);
                const ReadContext::Scope track(context, TrackSchema::kTrack);
                context.lose(childSchema, "placed in the first track: the stack describes no "
                                          "track " +
                                              std::to_string(t));
                t = 0;
            }
            DmTrackNode& track = *tracks[t].track;
            for (const CoSharedPtr<DmTreeNode>& node : layer.before)
                track.addChild(node.get());
            track.addChild(layer.layer.get());
            // A track not described takes the media type of its last layer.
            if (!described)
                track.setMediaType(layer.layer->mediaType);
            end = std::max(end, layer.end);
            context.release(child);
        }
    }
    // A trim lasting past every track ends the first layer in a gap, so that the
    // timeline lasts it without the trim.
    if (timing.trim && firstLayer) {
        double stackEnd = recordBase + timing.trim->duration;
        if (rounds)
            stackEnd = std::round(stackEnd);
        if (end < stackEnd) {
            if (firstLayer->getNbChildren() > 0) {
                const CoSharedPtr<DmCutNode> cut(DmCutNode::create(firstLayer->mediaType));
                firstLayer->addChild(cut.get());
            }
            const CoSharedPtr<DmGapNode> gap(
                DmGapNode::create(end, stackEnd - end, firstLayer->mediaType, DmString()));
            firstLayer->addChild(gap.get());
            firstLayer->setLayerLength(stackEnd - firstLayer->getLayerStartTC());
            end = stackEnd;
        }
    }
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        for (const CoSharedPtr<DmTreeNode>& node : afters[t])
            tracks[t].track->addChild(node.get());
    }
    return tracks;
}

} // namespace ZEM_0_81::Interchange::StackSchema
