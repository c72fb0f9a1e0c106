#include "interchange/compare/NoteCarrier.h"

#include "interchange/compare/ClipFrames.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace ZEM_0_81::Interchange::Compare {

namespace {

using Reason = CutComparison::LeftBehind::Reason;

/// Where a layer goes on the partner: its range there (none of its own for a
/// layer covering its whole clip), or why it does not go.
struct Placement {
    bool carried = false;
    Reason why = Reason::FramesGone; ///< when not carried, or carried in part
    bool partly = false;
    bool ownRange = false;
    FrameRange range;
};

/// The layer's frame range in the old cut: its own, or its clip's.
FrameRange oldRangeOf(const DmEffectLayer& layer, const TimelineItem& item) {
    if (layer.getDuration() == 0)
        return item.record;
    return FrameRange{layer.getStartFrame(), static_cast<std::int64_t>(layer.getDuration())};
}

/// Where the record frames `range` of `from` (in a cut at `fromRate`) show
/// the same source frames in `to` (in a cut at `toRate`), cut to what `to`
/// plays.
Placement place(const FrameRange& range, const TimelineItem& from, const Rational& fromRate,
                const TimelineItem& to, const Rational& toRate) {
    Placement placement;
    const std::optional<SourceSpan> partner = sourceSpanAt(to, to.source.rate);
    if (!from.source.start || !partner) {
        placement.why = Reason::SourceUnknown;
        return placement;
    }
    // The note's source frames at the old clip's source rate, then at the new one's.
    const Rational& oldSource = from.source.rate;
    const Rational& newSource = to.source.rate;
    const auto sourceFrame = [&](std::int64_t record) {
        const std::int64_t at =
            *from.source.start + rescale(record - from.record.start, fromRate, oldSource);
        return rescale(at, oldSource, newSource);
    };
    const std::int64_t first = sourceFrame(range.start);
    const std::int64_t end = sourceFrame(range.end());
    const std::int64_t keptFirst = std::max(first, partner->start);
    const std::int64_t keptEnd = std::min(end, partner->end);
    if (keptEnd <= keptFirst) {
        placement.why = Reason::FramesGone;
        return placement;
    }
    const auto recordFrame = [&](std::int64_t source) {
        const std::int64_t at =
            to.record.start + rescale(source - partner->start, newSource, toRate);
        return std::clamp(at, to.record.start, to.record.end());
    };
    const std::int64_t start = recordFrame(keptFirst);
    const std::int64_t duration = std::max<std::int64_t>(1, recordFrame(keptEnd) - start);
    if (start < std::numeric_limits<std::int32_t>::min() ||
        start > std::numeric_limits<std::int32_t>::max() ||
        duration > std::numeric_limits<std::uint32_t>::max()) {
        placement.why = Reason::OutOfRange;
        return placement;
    }
    placement.carried = true;
    placement.ownRange = true;
    placement.range = FrameRange{start, duration};
    placement.partly = keptFirst > first || keptEnd < end;
    placement.why = Reason::PartlyGone;
    return placement;
}

/// True when `item` already holds the notes of `layer` (every paragraph's
/// text) or its paint (as many strokes and points) over the same frames.
bool alreadyOn(const TimelineItem& item, const DmEffectLayer& layer, const Placement& placement) {
    const auto sameFrames = [&](bool ownRange, const FrameRange& range) {
        return ownRange == placement.ownRange && (!ownRange || range == placement.range);
    };
    if (const auto* text = dynamic_cast<const DmTextLayer*>(&layer)) {
        for (std::uint32_t p = 0; p < text->getNbParagraphs(); ++p) {
            const DmTextParagraph* paragraph = text->getParagraph(p);
            if (!paragraph)
                continue;
            const std::string wanted = paragraph->text.str();
            if (std::none_of(item.notes.begin(), item.notes.end(), [&](const TimelineNote& note) {
                    return note.text == wanted && sameFrames(note.ownRange, note.range);
                }))
                return false;
        }
        return true;
    }
    const auto* paint = dynamic_cast<const DmPaintLayer*>(&layer);
    if (!paint)
        return false;
    std::uint64_t points = 0;
    // A paint layer holds no null stroke (addStroke leaves them out).
    for (std::uint32_t s = 0; s < paint->getNbStrokes(); ++s)
        points += paint->getStroke(s)->getNbPoints();
    return std::any_of(item.paint.begin(), item.paint.end(), [&](const TimelinePaint& other) {
        return other.strokes == paint->getNbStrokes() && other.points == points &&
               sameFrames(other.ownRange, other.range);
    });
}

/// Copies every property of `from` onto `to`, whatever its type.
void copyProperties(const DmPropertySet& from, DmPropertySet& to) {
    for (std::uint32_t i = 0; i < from.getNbProperties(); ++i) {
        std::int32_t id = 0;
        eDmPropType type = eDmPropBool;
        if (!from.getPropertyInfo(i, id, type))
            continue;
        bool flag = false;
        std::int32_t integer = 0;
        float single = 0.0f;
        double number = 0.0;
        DmString text;
        void* value = type == eDmPropBool     ? static_cast<void*>(&flag)
                      : type == eDmPropInt32  ? static_cast<void*>(&integer)
                      : type == eDmPropFloat  ? static_cast<void*>(&single)
                      : type == eDmPropDouble ? static_cast<void*>(&number)
                                              : static_cast<void*>(&text);
        if (from.getPropertyValue(id, type, value) == eDmSuccess)
            to.setPropertyValue(id, type, value);
    }
}

/// Writes down what stays behind of the notes or paint of one layer.
class Ledger {
public:
    Ledger(CutComparison::Carried& carried, std::size_t track, std::size_t item)
        : m_carried(carried), m_track(track), m_item(item) {}

    /// One entry per paragraph of a text layer, or one for a paint layer.
    void leave(const DmEffectLayer& layer, const FrameRange& record, Reason why,
               const FrameRange& carried = FrameRange{}) {
        CutComparison::LeftBehind entry;
        entry.why = why;
        entry.record = record;
        entry.track = m_track;
        entry.item = m_item;
        entry.carried = carried;
        if (const auto* text = dynamic_cast<const DmTextLayer*>(&layer)) {
            for (std::uint32_t p = 0; p < text->getNbParagraphs(); ++p)
                if (const DmTextParagraph* paragraph = text->getParagraph(p)) {
                    entry.text = paragraph->text.str();
                    m_carried.left.push_back(entry);
                }
        } else if (const auto* paint = dynamic_cast<const DmPaintLayer*>(&layer)) {
            entry.isNote = false;
            entry.strokes = paint->getNbStrokes();
            m_carried.left.push_back(entry);
        }
    }

    /// Counts a layer carried, or one already there, by its notes or its paint.
    void count(const DmEffectLayer& layer, bool alreadyThere) {
        std::size_t notes = 1;
        const auto* text = dynamic_cast<const DmTextLayer*>(&layer);
        if (text)
            notes = text->getNbParagraphs();
        if (alreadyThere)
            m_carried.alreadyThere += notes;
        else
            (text ? m_carried.notes : m_carried.paint) += notes;
    }

private:
    CutComparison::Carried& m_carried;
    std::size_t m_track;
    std::size_t m_item;
};

struct Side {
    const TimelineItem* item = nullptr;
    DmSegmentNode* segment = nullptr;
    const Rational* rate = nullptr;
};

/// Carries the annotations of `from` onto `to` (null: it has no partner, or
/// is a gap, as `unpairedWhy` says). True when any was added.
bool carryItem(const Side& from, const Side* to, Reason unpairedWhy, Ledger& ledger) {
    bool added = false;
    for (std::uint32_t e = 0; e < from.segment->getNbEffects(); ++e) {
        const auto* annotation =
            dynamic_cast<const DmAnnotationSettings*>(from.segment->getEffect(e));
        if (!annotation)
            continue;
        CoSharedPtr<DmAnnotationSettings> copy;
        for (std::uint32_t l = 0; l < annotation->getNbLayers(); ++l) {
            const DmEffectLayer* layer = annotation->getLayer(l);
            if (!layer)
                continue;
            const FrameRange record = oldRangeOf(*layer, *from.item);
            if (!to) {
                ledger.leave(*layer, record, unpairedWhy);
                continue;
            }
            // A layer without a range of its own covers its whole clip, and so the partner.
            Placement placement;
            placement.carried = true;
            if (layer->getDuration() != 0)
                placement = place(record, *from.item, *from.rate, *to->item, *to->rate);
            if (!placement.carried) {
                ledger.leave(*layer, record, placement.why);
                continue;
            }
            if (alreadyOn(*to->item, *layer, placement)) {
                ledger.count(*layer, true);
                continue;
            }
            if (placement.partly)
                ledger.leave(*layer, record, Reason::PartlyGone, placement.range);
            ledger.count(*layer, false);
            if (!copy) {
                copy = DmAnnotationSettings::create();
                copyProperties(*annotation, *copy);
                copy->setMuted(annotation->isMuted());
            }
            const CoSharedPtr<DmPropertySet> cloned = layer->clone();
            auto* moved = dynamic_cast<DmEffectLayer*>(cloned.get());
            if (!moved)
                continue;
            if (placement.ownRange)
                moved->setFrameRange(static_cast<std::int32_t>(placement.range.start),
                                     static_cast<std::uint32_t>(placement.range.duration));
            copy->addLayer(moved);
        }
        if (copy && copy->getNbLayers() > 0) {
            to->segment->addEffect(copy.get());
            added = true;
        }
    }
    return added;
}

} // namespace

bool carryAll(const CarryingCuts& cuts, const CutComparison::Result& comparison,
              CutComparison::Carried& carried) {
    bool added = false;
    for (const CutComparison::TrackChanges& track : comparison.tracks) {
        if (!track.oldTrack)
            continue;
        const std::size_t ot = *track.oldTrack;
        const std::vector<TimelineItem>& items = cuts.oldView.tracks[ot].items;
        std::vector<std::optional<std::size_t>> partners(items.size());
        for (const CutComparison::ClipChange& change : track.changes)
            if (change.oldItem && change.newItem)
                partners[*change.oldItem] = change.newItem;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].notes.empty() && items[i].paint.empty())
                continue;
            Ledger ledger(carried, ot, i);
            const Side from{&items[i], cuts.oldSegments[ot][i], &cuts.oldView.rate};
            if (!partners[i] || !track.newTrack) {
                carryItem(from, nullptr, items[i].isGap() ? Reason::OnGap : Reason::Removed,
                          ledger);
                continue;
            }
            const std::size_t nt = *track.newTrack;
            const Side to{&cuts.newView.tracks[nt].items[*partners[i]],
                          cuts.newSegments[nt][*partners[i]], &cuts.newView.rate};
            added = carryItem(from, &to, Reason::Removed, ledger) || added;
        }
    }
    std::stable_sort(carried.left.begin(), carried.left.end(),
                     [](const CutComparison::LeftBehind& a, const CutComparison::LeftBehind& b) {
                         return a.track != b.track ? a.track < b.track : a.item < b.item;
                     });
    return added;
}

} // namespace ZEM_0_81::Interchange::Compare
