#include "interchange/otiostd/schemas/TrackSchema.h"

#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/kept/DroppedItems.h"
#include "interchange/otiostd/kept/ForeignMembers.h"
#include "interchange/otiostd/kept/NestedComposition.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/GapSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/ItemPlacement.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/RecordTime.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "json/EditTree.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace ZEM_0_81::Interchange::TrackSchema {

namespace {

constexpr const char* kZemSchema = "Layer.1";
constexpr const char* kIndex = "index";
constexpr const char* kStartTc = "start_tc";
constexpr const char* kLength = "length";
constexpr const char* kMediaType = "media_type";
constexpr const char* kParameter = "parameter";
constexpr const char* kFirstLayer = "first_layer";

/// The members this schema's reader takes or reports and its writer writes.
const std::vector<const char*> kKnown = {SchemaMembers::kSourceRange, SchemaMembers::kEffects,
                                         SchemaMembers::kMarkers,     SchemaMembers::kEnabled,
                                         SchemaMembers::kChildren,    kKind};

bool isItem(const DmTreeNode& node) {
    return dynamic_cast<const DmSourceNode*>(&node) || dynamic_cast<const DmGapNode*>(&node);
}

/// The media type a kind stands for.
eDmTreeMediaType mediaTypeOfKind(const std::string& kind) {
    return strcasecmp(kind.c_str(), kAudio) == 0 ? eDmMediaAudio : eDmMediaVideo;
}

/// The kind the writer gives a layer of `mediaType`.
const char* kindOfMediaType(std::int32_t mediaType) {
    return Json::EditTree::trackKindOf(static_cast<eDmTreeMediaType>(mediaType)) == rapidotio::Audio
               ? kAudio
               : kVideo;
}

/// True for the cut the reader puts between two segments on its own: a cut of the
/// layer's media type with nothing else set.
bool isPlainCut(const DmTreeNode& node, eDmTreeMediaType mediaType) {
    const auto* cut = dynamic_cast<const DmCutNode*>(&node);
    return cut && cut->getName().empty() && cut->getNbProperties() == 0 &&
           RecordTime::identical(cut->getRecIn(), 0.0) &&
           RecordTime::identical(cut->getRecLength(), 0.0) && cut->getSegmentId().empty() &&
           cut->getMediaType() == mediaType && cut->getNbEffects() == 0 &&
           cut->getNbChildren() == 0;
}

/// True when `before` is what the reader assumes before item `index`.
bool isAssumedBefore(const std::vector<const DmTreeNode*>& before, std::size_t index,
                     eDmTreeMediaType mediaType) {
    if (index == 0)
        return before.empty();
    return before.size() == 1 && isPlainCut(*before.front(), mediaType);
}

void writeZem(OtioWriter& writer, const DmLayerNode& layer, std::uint32_t track,
              const std::vector<const DmTreeNode*>& before,
              const std::vector<const DmTreeNode*>& after, const std::string& kind) {
    SchemaMembers::startZem(writer, kZemSchema);
    writer.memberUnsigned(kTrack, track);
    writer.memberInteger(kIndex, layer.getIndex());
    writer.member(kStartTc, layer.getLayerStartTC());
    writer.member(kLength, layer.getLayerLength());
    if (layer.mediaType != mediaTypeOfKind(kind))
        writer.memberInteger(kMediaType, layer.mediaType);
    if (layer.getParameter() != 0)
        writer.memberInteger(kParameter, layer.getParameter());
    if (layer.isFirstLayer() != (layer.getIndex() == 0))
        writer.memberBool(kFirstLayer, layer.isFirstLayer());
    PropertyJson::write(writer, layer);
    EditTreeNodes::write(writer, EditTreeNodes::kBefore, before);
    EditTreeNodes::write(writer, EditTreeNodes::kAfter, after);
    SchemaMembers::endZem(writer, &layer);
}

void writeItems(OtioWriter& writer, const DmLayerNode& layer, const ChildGroups& items,
                double compositionRate, double recordBase) {
    ItemPlacement placement;
    placement.compositionRate = compositionRate;
    placement.layerMediaType = layer.mediaType;
    double cursor = recordBase;
    writer.key(SchemaMembers::kChildren);
    writer.startArray();
    for (std::size_t k = 0; k < items.shown.size(); ++k) {
        const auto& segment = static_cast<const DmSegmentNode&>(*items.shown[k].node);
        placement.before = isAssumedBefore(items.shown[k].before, k, layer.mediaType)
                               ? nullptr
                               : &items.shown[k].before;

        // A hole before the segment becomes a filler; the reader then finds the
        // segment where the filler ends, or is told where it is.
        const double recordIn = segment.getRecIn();
        const double hole = recordIn - cursor;
        double found = cursor;
        if (hole > 0.0 && std::isfinite(hole)) {
            GapSchema::writeFiller(writer, hole, compositionRate);
            found = cursor + hole;
        }
        placement.recordInFollows = RecordTime::identical(found, recordIn);
        placement.writeRecordIn =
            !(RecordTime::isSafeInteger(cursor) && RecordTime::isSafeInteger(recordIn) &&
              placement.recordInFollows);

        ForeignMembers::KeptTransitions::write(writer, segment);
        if (const auto* source = dynamic_cast<const DmSourceNode*>(&segment)) {
            if (!NestedComposition::writeKept(writer, *source, placement))
                ClipSchema::write(writer, *source, placement);
        } else {
            GapSchema::write(writer, static_cast<const DmGapNode&>(segment), placement);
        }
        cursor = recordIn + segment.getRecLength();
    }
    ForeignMembers::KeptTransitions::write(writer, layer);
    writer.endArray();
}

} // namespace

void write(OtioWriter& writer, const DmLayerNode& layer, std::uint32_t track,
           const std::vector<const DmTreeNode*>& before, double compositionRate,
           double recordBase) {
    const ChildGroups items = ChildGroups::of(layer, isItem);
    const std::string kind = kindOfMediaType(layer.mediaType);
    SchemaMembers::start(writer, kSchema);
    writeZem(writer, layer, track, before, items.after, kind);
    writer.member(SchemaMembers::kName, layer.getName());
    writer.key(SchemaMembers::kSourceRange);
    writer.null();
    SchemaMembers::plainEffects(writer, &layer);
    SchemaMembers::plainItemMembers(writer, &layer);
    writeItems(writer, layer, items, compositionRate, recordBase);
    // Another tool's kind ("Subtitle", "audio") as it came, while the layer is
    // still of the media type it was read as.
    rapidotio::Document document;
    if (const Value* kept =
            ForeignMembers::Leftovers::writtenAs(layer, kKind, layer.mediaType, document)) {
        writer.key(kKind);
        writer.json(*kept);
    } else {
        writer.member(kKind, kind);
    }
    ForeignMembers::writeMembers(writer, layer, kKnown);
    writer.endObject();
}

LayerRead read(ReadContext& context, const Value& track, const std::string& schema,
               std::uint32_t position, double compositionRate, double recordBase) {
    const Members members(context, &track, schema);
    LayerRead result;
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Composition, &leftovers);
    TimeRange trim;
    if (OtioTiming::rangeOf(OtioTiming::memberOf(track, SchemaMembers::kSourceRange), trim)) {
        const ReadContext::Scope scope(context, SchemaMembers::kSourceRange);
        context.lose(schema, "approximated: the layer lasts the trimmed range, but its items "
                             "are not trimmed");
    }

    std::string kind = kVideo;
    const bool kindGiven = members.text(kKind, kind);
    std::int32_t index = static_cast<std::int32_t>(position);
    std::int32_t mediaType = mediaTypeOfKind(kind);
    std::int32_t parameter = 0;
    bool firstLayer = false;
    bool firstLayerGiven = false;
    double startTc = recordBase;
    double length = 0.0;
    bool lengthGiven = false;
    std::vector<CoSharedPtr<DmTreeNode>> after;
    {
        const SchemaMembers::ZemScope zem(context, track, schema);
        const Members& description = zem.members();
        std::uint32_t ordinal = 0;
        if (description.unsignedInteger(kTrack, ordinal))
            result.track = ordinal;
        description.integer(kIndex, index);
        description.integer(kMediaType, mediaType);
        description.integer(kParameter, parameter);
        firstLayerGiven = description.boolean(kFirstLayer, firstLayer);
        description.number(kStartTc, startTc);
        lengthGiven = description.number(kLength, length);
        result.before = EditTreeNodes::read(description, EditTreeNodes::kBefore);
        after = EditTreeNodes::read(description, EditTreeNodes::kAfter);
    }
    if (!firstLayerGiven)
        firstLayer = index == 0;

    const CoSharedPtr<DmLayerNode> layer(DmLayerNode::create(
        index, static_cast<eDmTreeMediaType>(mediaType), parameter, firstLayer));
    DmString name;
    members.text(SchemaMembers::kName, name);
    layer->setName(name);
    ForeignMembers::keep(members, *layer, kKnown);
    if (kindGiven && kind != kindOfMediaType(mediaType)) {
        // Kept to be written back as it came; a kind that is neither video nor
        // audio in any case plays as video.
        const bool kept =
            leftovers.asWritten(kKind, *OtioTiming::memberOf(track, kKind), mediaType);
        if (strcasecmp(kind.c_str(), kVideo) != 0 && strcasecmp(kind.c_str(), kAudio) != 0) {
            const ReadContext::Scope scope(context, kKind);
            context.lose(schema, "approximated: a track of kind \"" + kind +
                                     "\" is read as a video track: the edit tree has video and "
                                     "audio layers only" +
                                     (kept ? ForeignMembers::Leftovers::kKeptNote : ""));
        }
    }
    leftovers.keepOn(*layer);
    {
        const SchemaMembers::ZemScope zem(context, track, schema);
        PropertyJson::read(zem.members(), *layer);
    }

    LayerCursor cursor;
    cursor.compositionRate = compositionRate;
    cursor.layerMediaType = layer->mediaType;
    cursor.recordIn = recordBase;
    std::size_t segments = 0;
    ForeignMembers::KeptTransitions transitions;
    if (const Value* children = members.arrayMember(SchemaMembers::kChildren)) {
        const ReadContext::Scope scope(context, SchemaMembers::kChildren);
        for (rapidjson::SizeType i = 0; i < children->Size(); ++i) {
            const ReadContext::Scope element(context, i);
            const Value& child = (*children)[i];
            const std::string childSchema = SchemaMembers::schemaOf(child);
            std::string type;
            int version = 0;
            SchemaMembers::parseSchema(childSchema, type, version);
            ItemRead item;
            const OtioTiming::Kind kind = OtioTiming::kindOf(child);
            if (kind == OtioTiming::Kind::Clip)
                item = ClipSchema::read(context, child, childSchema, version, cursor);
            else if (kind == OtioTiming::Kind::Gap)
                item = GapSchema::read(context, child, childSchema, cursor);
            else if (OtioTiming::isComposition(kind))
                item = NestedComposition::read(context, child, childSchema, cursor);
            else if (kind == OtioTiming::Kind::Transition) {
                const std::string why =
                    "the edit tree has no transitions, and one takes no track time: nothing moves";
                context.lose(childSchema,
                             transitions.add(child)
                                 ? "not applied: " + why + ForeignMembers::Leftovers::kKeptNote
                                 : "dropped: " + why);
            } else {
                DroppedItems::reportDropped(
                    context, child, childSchema,
                    "dropped: the edit tree has no segment for it in a layer",
                    "dropped: inside an item the edit tree has no segment for");
            }
            if (!item.segment)
                continue;
            if (item.hasBefore) {
                for (const CoSharedPtr<DmTreeNode>& node : item.before)
                    layer->addChild(node.get());
            } else if (segments > 0) {
                const CoSharedPtr<DmCutNode> cut(DmCutNode::create(layer->mediaType));
                layer->addChild(cut.get());
            }
            layer->addChild(item.segment.get());
            transitions.keepOn(*item.segment);
            ++segments;
            // A track whose length is given is not walked again for its duration.
            if (lengthGiven)
                context.release(child);
        }
    }
    for (const CoSharedPtr<DmTreeNode>& node : after)
        layer->addChild(node.get());
    transitions.keepOn(*layer); // those after the last segment

    result.end = cursor.recordIn;
    layer->setLayerStartTC(startTc);
    if (!lengthGiven) {
        // As OTIO times the track: its items, a transition at either end, a trim.
        RationalTime duration;
        length = OtioTiming::durationOf(track, duration)
                     ? RecordTime::wholeIfNear(
                           RecordTime::rescale(duration.value, duration.rate, compositionRate))
                     : cursor.recordIn - recordBase;
        result.end = std::max(result.end, recordBase + length);
    }
    layer->setLayerLength(length);
    result.layer = layer;
    return result;
}

} // namespace ZEM_0_81::Interchange::TrackSchema
