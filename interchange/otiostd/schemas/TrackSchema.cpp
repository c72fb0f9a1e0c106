#include "interchange/otiostd/schemas/TrackSchema.h"

#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/kept/DroppedItems.h"
#include "interchange/otiostd/kept/ForeignMembers.h"
#include "interchange/otiostd/kept/NestedComposition.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/GapSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/ItemPlacement.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/RecordTime.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "json/EditTree.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace ZEM_0_81::Interchange::TrackSchema {

namespace {

using ZemKeys::kIndex;
using ZemKeys::kLength;
using ZemKeys::kMediaType;

constexpr const char* kZemSchema = "Layer.1";
constexpr const char* kStartTc = "start_tc";
constexpr const char* kParameter = "parameter";
constexpr const char* kFirstLayer = "first_layer";
constexpr const char* kLeadIn = "lead_in";

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

/// The frames the layer's first segment starts before `recordBase`, the
/// composition's start; 0 when it does not.
double leadInOf(const ChildGroups& items, double recordBase) {
    if (items.shown.empty())
        return 0.0;
    const double lead =
        recordBase - static_cast<const DmSegmentNode&>(*items.shown.front().node).getRecIn();
    return lead > 0.0 && std::isfinite(lead) ? lead : 0.0;
}

/// Where OTIO ends the layer's track, from `start`: its items one after the
/// other with a filler before each that starts later than the one before ends
/// (as writeItems writes them), or the latest segment's end when later.
double trackEndOf(const ChildGroups& items, double start) {
    double cursor = start, end = start, latest = start;
    for (const ChildGroups::Shown& shown : items.shown) {
        const auto& segment = static_cast<const DmSegmentNode&>(*shown.node);
        const double hole = segment.getRecIn() - cursor;
        if (hole > 0.0 && std::isfinite(hole))
            end += hole;
        end += segment.getRecLength();
        cursor = segment.getRecIn() + segment.getRecLength();
        latest = std::max(latest, cursor);
    }
    return std::max(end, latest);
}

void writeZem(OtioWriter& writer, const DmLayerNode& layer, std::uint32_t track,
              const std::vector<const DmTreeNode*>& before,
              const std::vector<const DmTreeNode*>& after, const std::string& kind, double leadIn) {
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
    if (leadIn > 0.0)
        writer.member(kLeadIn, leadIn);
    PropertyJson::write(writer, layer);
    EditTreeNodes::write(writer, EditTreeNodes::kBefore, before);
    EditTreeNodes::write(writer, EditTreeNodes::kAfter, after);
    SchemaMembers::endZem(writer, &layer);
}

void writeItems(OtioWriter& writer, const DmLayerNode& layer, const ChildGroups& items,
                double compositionRate, double start) {
    ItemPlacement placement;
    placement.compositionRate = compositionRate;
    placement.layerMediaType = layer.mediaType;
    double cursor = start;
    writer.key(SchemaMembers::kChildren);
    writer.beginArray();
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
    // A layer that starts before the composition: its track starts that much
    // earlier, and a trim shows it from the composition's start on.
    const double leadIn = leadInOf(items, recordBase);
    SchemaMembers::start(writer, kSchema);
    writeZem(writer, layer, track, before, items.after, kind, leadIn);
    writer.member(SchemaMembers::kName, layer.getName());
    writer.key(SchemaMembers::kSourceRange);
    if (leadIn > 0.0)
        TimeSchema::writeRange(
            writer, TimeRange{{leadIn, compositionRate},
                              {std::max(0.0, trackEndOf(items, recordBase - leadIn) - recordBase),
                               compositionRate}});
    else
        writer.null();
    SchemaMembers::plainEffects(writer, &layer);
    SchemaMembers::plainItemMembers(writer, &layer);
    writeItems(writer, layer, items, compositionRate, recordBase - leadIn);
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
               std::uint32_t position, const StackTiming& stack) {
    const double compositionRate = stack.compositionRate;
    const double recordBase = stack.recordBase;
    const Members members(context, &track, schema);
    LayerRead result;
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Composition, &leftovers);

    std::string kind = kVideo;
    const bool kindGiven = members.getString(kKind, kind);
    std::int32_t index = static_cast<std::int32_t>(position);
    std::int32_t mediaType = mediaTypeOfKind(kind);
    std::int32_t parameter = 0;
    bool firstLayer = false;
    bool firstLayerGiven = false;
    double startTc = recordBase;
    double length = 0.0;
    bool lengthGiven = false;
    double leadIn = 0.0;
    bool leadInGiven = false;
    std::vector<CoSharedPtr<DmTreeNode>> after;
    {
        const SchemaMembers::ZemScope zem(context, track, schema);
        const Members& description = zem.members();
        std::uint32_t ordinal = 0;
        if (description.getUint(kTrack, ordinal))
            result.track = ordinal;
        description.getInt(kIndex, index);
        description.getInt(kMediaType, mediaType);
        description.getInt(kParameter, parameter);
        firstLayerGiven = description.getBool(kFirstLayer, firstLayer);
        description.getDouble(kStartTc, startTc);
        lengthGiven = description.getDouble(kLength, length);
        leadInGiven = description.getDouble(kLeadIn, leadIn);
        result.before = EditTreeNodes::read(description, EditTreeNodes::kBefore);
        after = EditTreeNodes::read(description, EditTreeNodes::kAfter);
    }
    if (!firstLayerGiven)
        firstLayer = index == 0;

    const CoSharedPtr<DmLayerNode> layer(DmLayerNode::create(
        index, static_cast<eDmTreeMediaType>(mediaType), parameter, firstLayer));
    DmString name;
    members.getString(SchemaMembers::kName, name);
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

    // A trim this system wrote for the part of the layer before the composition's
    // start (one starting at its "lead_in", as written or a unit in the last place
    // off) only moves the items back; any other is applied as OTIO applies it.
    std::optional<TrackTrim::Range> trim = TrackTrim::of(track, compositionRate);
    const bool ownLeadIn =
        trim && leadInGiven && std::fabs(trim->start - leadIn) <= 1e-9 * std::fmax(1.0, leadIn);
    if (ownLeadIn)
        trim->start = leadIn;
    LayerCursor cursor;
    cursor.compositionRate = compositionRate;
    cursor.layerMediaType = layer->mediaType;
    cursor.window = TrackTrim::windowOf(stack.trim, trim, !ownLeadIn, recordBase);
    cursor.recordIn = recordBase - cursor.window.shift;
    cursor.rounds = stack.rounds;
    const bool cuts = cursor.window.cuts();

    std::size_t segments = 0;
    double shownEnd = recordBase;
    const auto addSegment = [&](DmSegmentNode& segment, const ItemRead* item) {
        if (item && item->hasBefore) {
            for (const CoSharedPtr<DmTreeNode>& node : item->before)
                layer->addChild(node.get());
        } else if (segments > 0) {
            const CoSharedPtr<DmCutNode> cut(DmCutNode::create(layer->mediaType));
            layer->addChild(cut.get());
        }
        layer->addChild(&segment);
        ++segments;
        shownEnd = std::max(shownEnd, segment.getRecIn() + segment.getRecLength());
    };
    // Time a trim leaves empty, before the first item or after the last, is a gap.
    const auto addGap = [&](double from, double to) {
        const CoSharedPtr<DmGapNode> gap(
            DmGapNode::create(from, to - from, layer->mediaType, DmString()));
        addSegment(*gap, nullptr);
        return gap;
    };

    // Transitions are kept on the segment read after them (on the layer after the
    // last). Where a trim cuts, one beside an item it hides, or first or last in
    // the layer (where OTIO would add its offset to the track written without the
    // trim), is dropped.
    ForeignMembers::KeptTransitions transitions;
    std::vector<std::pair<rapidjson::SizeType, const Value*>> pending;
    const auto settle = [&](const char* dropped) {
        for (const auto& [index, transition] : pending) {
            const ReadContext::Scope element(context, index);
            const std::string why =
                "the edit tree has no transitions, and one takes no track time: nothing moves";
            const std::string transitionSchema = SchemaMembers::schemaOf(*transition);
            if (dropped)
                context.lose(transitionSchema, dropped);
            else
                context.lose(transitionSchema,
                             transitions.add(*transition)
                                 ? "not applied: " + why + ForeignMembers::Leftovers::kKeptNote
                                 : "dropped: " + why);
        }
        pending.clear();
    };
    constexpr const char* kBesideHidden = "dropped: beside an item the track's trim hides";
    constexpr const char* kAtTrimmedEnd =
        "dropped: at an end of a trimmed track, which the edit tree holds without its trim";

    // A layer the track's own trim cuts lasts the trim: empty time after its last
    // item is a gap.
    const bool trailingGap = cuts && trim && !ownLeadIn;
    // Where the layer ends, when it is not given or a gap may end it: where OTIO
    // ends the track (its items, a transition at either end, its trim), within the
    // stack's trim. Timed before the items are read, which may hand them back.
    const bool needsEnd = !lengthGiven || trailingGap;
    RationalTime duration = kZeroTime;
    const bool timed = needsEnd && OtioTiming::durationOf(track, duration);
    const auto layerEndOf = [&]() {
        double end = timed ? recordBase - (stack.trim ? stack.trim->start : 0.0) +
                                 RecordTime::wholeIfNear(RecordTime::rescale(
                                     duration.value, duration.rate, compositionRate))
                           : cursor.recordIn;
        if (stack.trim)
            end = std::min(end, recordBase + stack.trim->duration);
        if (cuts)
            end = std::max(end, recordBase);
        return cursor.rounds ? std::round(end) : end;
    };

    bool lastHidden = false;
    const Value* children = members.arrayMember(SchemaMembers::kChildren);
    if (children) {
        const ReadContext::Scope scope(context, SchemaMembers::kChildren);
        for (rapidjson::SizeType i = 0; i < children->Size(); ++i) {
            const Value& child = (*children)[i];
            const OtioTiming::Kind kind = OtioTiming::kindOf(child);
            if (kind == OtioTiming::Kind::Transition) {
                pending.emplace_back(i, &child);
                continue;
            }
            const std::string childSchema = SchemaMembers::schemaOf(child);
            if (kind == OtioTiming::Kind::Other) {
                const ReadContext::Scope element(context, i);
                DroppedItems::reportDropped(
                    context, child, childSchema,
                    "dropped: the edit tree has no segment for it in a layer",
                    "dropped: inside an item the edit tree has no segment for");
                continue;
            }
            if (cuts) {
                // Wholly outside what the trims show: OTIO shows nothing of it.
                RationalTime itemDuration = kZeroTime;
                OtioTiming::durationOf(child, itemDuration, 1);
                const double frames = RecordTime::wholeIfNear(
                    RecordTime::rescale(itemDuration.value, itemDuration.rate, compositionRate));
                if (!cursor.window.shows(cursor.recordIn, frames)) {
                    settle(kBesideHidden);
                    lastHidden = true;
                    const ReadContext::Scope element(context, i);
                    const std::string why = "dropped: outside what the track's trim shows";
                    if (kind == OtioTiming::Kind::Gap)
                        DroppedItems::reportInside(context, child, why);
                    else
                        DroppedItems::reportDropped(context, child, childSchema, why, why);
                    cursor.recordIn += frames;
                    continue;
                }
            }
            const bool afterHidden = lastHidden;
            lastHidden = false;
            if (!cuts)
                settle(nullptr);
            ItemRead item;
            {
                const ReadContext::Scope element(context, i);
                std::string type;
                int version = 0;
                SchemaMembers::parseSchema(childSchema, type, version);
                if (kind == OtioTiming::Kind::Clip)
                    item = ClipSchema::read(context, child, childSchema, version, cursor);
                else if (kind == OtioTiming::Kind::Gap)
                    item = GapSchema::read(context, child, childSchema, cursor);
                else
                    item = NestedComposition::read(context, child, childSchema, cursor);
            }
            if (!item.segment)
                continue;
            if (cuts) {
                if (segments == 0 && item.segment->getRecIn() > recordBase)
                    addGap(recordBase, item.segment->getRecIn());
                settle(afterHidden ? kBesideHidden : segments == 0 ? kAtTrimmedEnd : nullptr);
            }
            addSegment(*item.segment, &item);
            transitions.keepOn(*item.segment);
            // A track whose length is given is not walked again for its duration.
            if (lengthGiven)
                context.release(child);
        }
    }
    const double layerEnd = needsEnd ? layerEndOf() : recordBase + length;
    const bool gapAfter = trailingGap && shownEnd < layerEnd;
    if (children) {
        const ReadContext::Scope scope(context, SchemaMembers::kChildren);
        settle(!cuts ? nullptr : lastHidden ? kBesideHidden : gapAfter ? nullptr : kAtTrimmedEnd);
    }
    if (gapAfter)
        transitions.keepOn(*addGap(shownEnd, layerEnd));
    for (const CoSharedPtr<DmTreeNode>& node : after)
        layer->addChild(node.get());
    transitions.keepOn(*layer); // those after the last segment

    layer->setLayerStartTC(startTc);
    result.end = cuts ? shownEnd : cursor.recordIn;
    if (!lengthGiven) {
        length = layerEnd - recordBase;
        result.end = std::max(result.end, layerEnd);
    }
    layer->setLayerLength(length);
    result.layer = layer;
    return result;
}

} // namespace ZEM_0_81::Interchange::TrackSchema
