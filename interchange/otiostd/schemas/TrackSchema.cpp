#include "interchange/otiostd/schemas/TrackSchema.h"

#include "interchange/otiostd/io/ChildGroups.h"
#include "interchange/otiostd/kept/DroppedItems.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/kept/NestedComposition.h"
#include "interchange/otiostd/metadata/EditTreeNodes.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/metadata/ZemKeys.h"
#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/GapSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/TrackItems.h"
#include "interchange/otiostd/timing/ItemPlacement.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/TimeSchema.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "interchange/timing/RecordTime.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "json/EditTree.h"

#include <algorithm>
#include <cmath>
#include <optional>
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

        ForeignMembers::writeTransitions(writer, segment);
        if (const auto* source = dynamic_cast<const DmSourceNode*>(&segment)) {
            if (!NestedComposition::writeKept(writer, *source, placement))
                ClipSchema::write(writer, *source, placement);
        } else {
            GapSchema::write(writer, static_cast<const DmGapNode&>(segment), placement);
        }
        cursor = recordIn + segment.getRecLength();
    }
    ForeignMembers::writeTransitions(writer, layer);
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

namespace {

/// What a Track's "zem" description says of its layer, with the defaults for
/// a Track that has none.
struct LayerDescription {
    std::int32_t index = 0;
    std::int32_t mediaType = eDmMediaVideo;
    std::int32_t parameter = 0;
    bool firstLayer = false;
    double startTc = 0.0;
    double length = 0.0;
    bool lengthGiven = false;
    double leadIn = 0.0;
    bool leadInGiven = false;
    std::vector<CoSharedPtr<DmTreeNode>> after;
};

/// The layer a Track stands for: its description (entered once: its values,
/// the nodes kept around it, its properties), its name and kind, and what
/// other tools wrote on it, kept.
CoSharedPtr<DmLayerNode> layerOf(ReadContext& context, const Value& track, const Members& members,
                                 const std::string& schema, std::uint32_t position,
                                 double recordBase, LayerRead& result,
                                 LayerDescription& description) {
    ForeignMembers::Leftovers leftovers;
    SchemaMembers::reportUnread(members, SchemaMembers::Unread::Composition, &leftovers);
    std::string kind = kVideo;
    const bool kindGiven = members.getString(kKind, kind);
    description.index = static_cast<std::int32_t>(position);
    description.mediaType = mediaTypeOfKind(kind);
    description.startTc = recordBase;
    CoSharedPtr<DmLayerNode> layer;
    {
        const SchemaMembers::ZemScope zem(context, track, schema);
        const Members& zemMembers = zem.members();
        std::uint32_t ordinal = 0;
        if (zemMembers.getUint(kTrack, ordinal))
            result.track = ordinal;
        zemMembers.getInt(kIndex, description.index);
        zemMembers.getInt(kMediaType, description.mediaType);
        zemMembers.getInt(kParameter, description.parameter);
        if (!zemMembers.getBool(kFirstLayer, description.firstLayer))
            description.firstLayer = description.index == 0;
        zemMembers.getDouble(kStartTc, description.startTc);
        description.lengthGiven = zemMembers.getDouble(kLength, description.length);
        description.leadInGiven = zemMembers.getDouble(kLeadIn, description.leadIn);
        result.before = EditTreeNodes::read(zemMembers, EditTreeNodes::kBefore);
        description.after = EditTreeNodes::read(zemMembers, EditTreeNodes::kAfter);
        layer = DmLayerNode::create(description.index,
                                    static_cast<eDmTreeMediaType>(description.mediaType),
                                    description.parameter, description.firstLayer);
        PropertyJson::read(zemMembers, *layer);
    }
    DmString name;
    members.getString(SchemaMembers::kName, name);
    layer->setName(name);
    ForeignMembers::keep(members, *layer, kKnown);
    if (kindGiven && kind != kindOfMediaType(description.mediaType)) {
        // Kept to be written back as it came; a kind that is neither video nor
        // audio in any case plays as video.
        const bool kept =
            leftovers.asWritten(kKind, *OtioTiming::memberOf(track, kKind), description.mediaType);
        if (strcasecmp(kind.c_str(), kVideo) != 0 && strcasecmp(kind.c_str(), kAudio) != 0) {
            const ReadContext::Scope scope(context, kKind);
            context.lose(schema, "approximated: a track of kind \"" + kind +
                                     "\" is read as a video track: the edit tree has video and "
                                     "audio layers only" +
                                     (kept ? ForeignMembers::Leftovers::kKeptNote : ""));
        }
    }
    leftovers.keepOn(*layer);
    return layer;
}

constexpr const char* kBesideHidden = "dropped: beside an item the track's trim hides";
constexpr const char* kAtTrimmedEnd =
    "dropped: at an end of a trimmed track, which the edit tree holds without its trim";

/// A track's items: its "children" in the DOM, or left in the text (TrackItems).
class ItemSource {
public:
    ItemSource(ReadContext& context, const Members& members) : m_context(context) {
        TrackItems* const left = context.trackItems();
        const Value* const children = members.find(SchemaMembers::kChildren);
        if (left && children && left->isLeft(*children))
            m_left.emplace(*left, *children);
        else
            m_array = members.arrayMember(SchemaMembers::kChildren);
    }

    /// True when the track has "children".
    bool present() const { return m_array || m_left; }
    /// True when they are read from the text, one at a time.
    bool leftInText() const { return m_left.has_value(); }

    /// The next item, or null after the last one.
    const Value* next() {
        if (m_left)
            return m_left->next();
        if (!m_array || m_index == m_array->Size())
            return nullptr;
        return &(*m_array)[m_index++];
    }

    /// Hands back the memory of `item` and of those before it.
    void release(const Value& item) {
        if (m_left)
            m_left->release(item);
        else
            m_context.release(item);
    }

private:
    ReadContext& m_context;
    const Value* m_array = nullptr;
    rapidjson::SizeType m_index = 0;
    std::optional<TrackItems::Items> m_left;
};

/// Reads a Track's children into its layer: its items as segments at their
/// record times, as the trims of the track and of its stack show them, with the
/// gaps a trim leaves empty and the transitions kept.
class ItemsReader {
public:
    ItemsReader(ReadContext& context, const Value& track, ItemSource& items,
                const StackTiming& stack, DmLayerNode& layer, const LayerDescription& description)
        : m_context(context), m_items(items), m_stack(stack), m_layer(layer),
          m_description(description), m_recordBase(stack.recordBase), m_shownEnd(stack.recordBase) {
        // A trim this system wrote for the part of the layer before the
        // composition's start (one starting at its "lead_in", as written or a
        // unit in the last place off) only moves the items back; any other is
        // applied as OTIO applies it.
        std::optional<TrackTrim::Range> trim = TrackTrim::of(track, stack.compositionRate);
        const double leadIn = description.leadIn;
        m_ownLeadIn = trim && description.leadInGiven &&
                      std::fabs(trim->start - leadIn) <= 1e-9 * std::fmax(1.0, leadIn);
        if (m_ownLeadIn)
            trim->start = leadIn;
        // A trim keeping an EDL's record start moves the items there and hides
        // nothing.
        m_moved = stack.moved;
        if (!m_ownLeadIn)
            if (const std::optional<double> offset =
                    TrackTrim::recordOffsetOf(track, stack.compositionRate)) {
                m_moved += *offset;
                trim.reset();
            }
        m_cursor.compositionRate = stack.compositionRate;
        m_cursor.layerMediaType = layer.mediaType;
        m_cursor.window = TrackTrim::windowOf(stack.trim, trim, !m_ownLeadIn, m_recordBase);
        m_cursor.window.shift -= m_moved;
        m_cursor.recordIn = m_recordBase - m_cursor.window.shift;
        m_cursor.rounds = stack.rounds;
        m_cuts = m_cursor.window.cuts();
        // A layer the track's own trim cuts lasts the trim: empty time after its
        // last item is a gap.
        m_trailingGap = m_cuts && trim && !m_ownLeadIn;
        // Where the layer ends, when it is not given or a gap may end it: where
        // OTIO ends the track. Timed before the items are read, which may hand
        // them back.
        m_needsEnd = !description.lengthGiven || m_trailingGap;
        if (m_needsEnd && items.leftInText())
            context.trackItems()->time(track);
        m_timed = m_needsEnd && OtioTiming::durationOf(track, m_duration);
        // Nothing reads the timing of items read from the text again.
        if (items.leftInText())
            context.trackItems()->forget(track);
    }

    /// Reads the children and what follows the last, and fills in where the
    /// layer starts, how long it lasts and where the track ends.
    void read(LayerRead& result) {
        if (m_items.present()) {
            const ReadContext::Scope scope(m_context, SchemaMembers::kChildren);
            rapidjson::SizeType i = 0;
            while (const Value* item = m_items.next())
                child(i++, *item);
        }
        const double layerEnd = m_needsEnd ? layerEndOf() : m_recordBase + m_description.length;
        const bool gapAfter = m_trailingGap && m_shownEnd < layerEnd;
        if (m_items.present()) {
            const ReadContext::Scope scope(m_context, SchemaMembers::kChildren);
            settle(!m_cuts        ? nullptr
                   : m_lastHidden ? kBesideHidden
                   : gapAfter     ? nullptr
                                  : kAtTrimmedEnd);
        }
        if (gapAfter)
            m_transitions.keepOn(*addGap(m_shownEnd, layerEnd));
        for (const CoSharedPtr<DmTreeNode>& node : m_description.after)
            m_layer.addChild(node.get());
        m_transitions.keepOn(m_layer); // those after the last segment

        m_layer.setLayerStartTC(m_description.startTc);
        result.end = m_cuts ? m_shownEnd : m_cursor.recordIn;
        double length = m_description.length;
        if (!m_description.lengthGiven) {
            length = layerEnd - m_recordBase;
            result.end = std::max(result.end, layerEnd);
        }
        m_layer.setLayerLength(length);
    }

private:
    void child(rapidjson::SizeType i, const Value& child) {
        const OtioTiming::Kind kind = OtioTiming::kindOf(child);
        if (kind == OtioTiming::Kind::Transition) {
            m_pending.emplace_back(i, &child);
            return;
        }
        const std::string childSchema = SchemaMembers::schemaOf(child);
        if (kind == OtioTiming::Kind::Other) {
            const ReadContext::Scope element(m_context, i);
            DroppedItems::reportDropped(m_context, child, childSchema,
                                        "dropped: the edit tree has no segment for it in a layer",
                                        "dropped: inside an item the edit tree has no segment for");
            return;
        }
        if (m_cuts && hidden(i, child, kind, childSchema))
            return;
        const bool afterHidden = m_lastHidden;
        m_lastHidden = false;
        if (!m_cuts)
            settle(nullptr);
        ItemRead item;
        {
            const ReadContext::Scope element(m_context, i);
            std::string type;
            int version = 0;
            SchemaMembers::parseSchema(childSchema, type, version);
            if (kind == OtioTiming::Kind::Clip)
                item = ClipSchema::read(m_context, child, childSchema, version, m_cursor);
            else if (kind == OtioTiming::Kind::Gap)
                item = GapSchema::read(m_context, child, childSchema, m_cursor);
            else
                item = NestedComposition::read(m_context, child, childSchema, m_cursor);
        }
        if (!item.segment)
            return;
        if (m_cuts) {
            if (m_segments == 0 && item.segment->getRecIn() > m_recordBase)
                addGap(m_recordBase, item.segment->getRecIn());
            settle(afterHidden ? kBesideHidden : m_segments == 0 ? kAtTrimmedEnd : nullptr);
        }
        addSegment(*item.segment, &item);
        m_transitions.keepOn(*item.segment);
        // A track whose length is given is not walked again for its duration, nor
        // one whose items are read from the text (it was timed before they were
        // read, from what TrackItems::time put in their place).
        if (m_description.lengthGiven || m_items.leftInText())
            m_items.release(child);
    }

    /// An item wholly outside what the trims show (OTIO shows nothing of it):
    /// reported as dropped, its time passed over.
    bool hidden(rapidjson::SizeType i, const Value& child, OtioTiming::Kind kind,
                const std::string& childSchema) {
        RationalTime itemDuration = kZeroTime;
        OtioTiming::durationOf(child, itemDuration, 1);
        const double frames = RecordTime::wholeIfNear(
            RecordTime::rescale(itemDuration.value, itemDuration.rate, m_stack.compositionRate));
        if (m_cursor.window.shows(m_cursor.recordIn, frames))
            return false;
        settle(kBesideHidden);
        m_lastHidden = true;
        const ReadContext::Scope element(m_context, i);
        const std::string why = "dropped: outside what the track's trim shows";
        if (kind == OtioTiming::Kind::Gap)
            DroppedItems::reportInside(m_context, child, why);
        else
            DroppedItems::reportDropped(m_context, child, childSchema, why, why);
        m_cursor.recordIn += frames;
        return true;
    }

    void addSegment(DmSegmentNode& segment, const ItemRead* item) {
        if (item && item->hasBefore) {
            for (const CoSharedPtr<DmTreeNode>& node : item->before)
                m_layer.addChild(node.get());
        } else if (m_segments > 0) {
            const CoSharedPtr<DmCutNode> cut(DmCutNode::create(m_layer.mediaType));
            m_layer.addChild(cut.get());
        }
        m_layer.addChild(&segment);
        m_cursor.previousEnd = segment.getRecIn() + segment.getRecLength();
        ++m_segments;
        m_shownEnd = std::max(m_shownEnd, segment.getRecIn() + segment.getRecLength());
    }

    /// Time a trim leaves empty, before the first item or after the last, is a gap.
    CoSharedPtr<DmGapNode> addGap(double from, double to) {
        const CoSharedPtr<DmGapNode> gap(
            DmGapNode::create(from, to - from, m_layer.mediaType, DmString()));
        addSegment(*gap, nullptr);
        return gap;
    }

    /// The transitions met since the last item: kept on the segment read after
    /// them (on the layer after the last), or, where a trim cuts, dropped when
    /// `dropped` says why (one beside an item the trim hides, or first or last in
    /// the layer, where OTIO would add its offset to the track written without
    /// the trim).
    void settle(const char* dropped) {
        for (const auto& [index, transition] : m_pending) {
            const ReadContext::Scope element(m_context, index);
            const std::string why =
                "the edit tree has no transitions, and one takes no track time: nothing moves";
            const std::string transitionSchema = SchemaMembers::schemaOf(*transition);
            if (dropped)
                m_context.lose(transitionSchema, dropped);
            else
                m_context.lose(transitionSchema,
                               m_transitions.add(*transition)
                                   ? "not applied: " + why + ForeignMembers::Leftovers::kKeptNote
                                   : "dropped: " + why);
        }
        m_pending.clear();
    }

    /// Where OTIO ends the track (its items, a transition at either end, its
    /// trim), within the stack's trim.
    double layerEndOf() const {
        const double rate = m_stack.compositionRate;
        double end = m_timed ? m_recordBase + m_moved - (m_stack.trim ? m_stack.trim->start : 0.0) +
                                   RecordTime::wholeIfNear(
                                       RecordTime::rescale(m_duration.value, m_duration.rate, rate))
                             : m_cursor.recordIn;
        if (m_stack.trim)
            end = std::min(end, m_recordBase + m_stack.trim->duration);
        if (m_cuts)
            end = std::max(end, m_recordBase);
        return m_cursor.rounds ? std::round(end) : end;
    }

    ReadContext& m_context;
    ItemSource& m_items;
    const StackTiming& m_stack;
    DmLayerNode& m_layer;
    const LayerDescription& m_description;
    const double m_recordBase;
    LayerCursor m_cursor;
    bool m_ownLeadIn = false;
    double m_moved = 0.0;
    bool m_cuts = false;
    bool m_trailingGap = false;
    bool m_needsEnd = false;
    bool m_timed = false;
    RationalTime m_duration = kZeroTime;
    std::size_t m_segments = 0;
    double m_shownEnd;
    bool m_lastHidden = false;
    ForeignMembers::KeptTransitions m_transitions;
    std::vector<std::pair<rapidjson::SizeType, const Value*>> m_pending;
};

} // namespace

LayerRead read(ReadContext& context, const Value& track, const std::string& schema,
               std::uint32_t position, const StackTiming& stack) {
    const Members members(context, &track, schema);
    LayerRead result;
    LayerDescription description;
    const CoSharedPtr<DmLayerNode> layer =
        layerOf(context, track, members, schema, position, stack.recordBase, result, description);
    ItemSource source(context, members);
    ItemsReader items(context, track, source, stack, *layer, description);
    items.read(result);
    result.layer = layer;
    return result;
}

} // namespace ZEM_0_81::Interchange::TrackSchema
