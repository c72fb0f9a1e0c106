#include "tools/zemcomp/picture/ComparePicture.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace zemcomp::ComparePicture {

using namespace ZEM_0_81;

namespace {

using Change = CutComparison::Change;

constexpr Change kChanges[] = {Change::Same,    Change::Moved, Change::Trimmed, Change::Slipped,
                               Change::Version, Change::Added, Change::Removed};

/// Frames of the old cut on the new cut's clock: from the new cut's start,
/// at its rate.
class NewClock {
public:
    explicit NewClock(const CutComparison::Result& result)
        : m_from(result.oldView.rate), m_to(result.newView.rate), m_oldStart(result.oldView.start),
          m_newStart(result.newView.start) {}

    std::int64_t frame(std::int64_t old) const {
        return m_newStart + CutComparison::rescale(old - m_oldStart, m_from, m_to);
    }
    FrameRange range(const FrameRange& old) const {
        const std::int64_t start = frame(old.start);
        return FrameRange{start, frame(old.end()) - start};
    }
    TimelineTrack track(TimelineTrack old) const {
        for (TimelineItem& item : old.items) {
            item.record = range(item.record);
            for (TimelineNote& note : item.notes)
                note.range = range(note.range);
            for (TimelinePaint& paint : item.paint)
                paint.range = range(paint.range);
        }
        for (TimelineTransition& transition : old.transitions) {
            transition.cut = frame(transition.cut);
            transition.inOffset = CutComparison::rescale(transition.inOffset, m_from, m_to);
            transition.outOffset = CutComparison::rescale(transition.outOffset, m_from, m_to);
        }
        return old;
    }

private:
    Rational m_from, m_to;
    std::int64_t m_oldStart, m_newStart;
};

std::string trackLabel(const TimelineView& view, const std::optional<std::size_t>& track) {
    if (!track)
        return "(no track)";
    const std::string& name = view.tracks[*track].name;
    return name.empty() ? "#" + std::to_string(*track + 1) : name;
}

std::string signedFrames(std::int64_t frames) {
    return (frames > 0 ? "+" : "") + std::to_string(frames);
}

/// "slipped, also moved: head -3, tail +3, shift +11 frames".
std::string changeLine(const CutComparison::ClipChange& change) {
    std::string line = CutComparison::changeName(change.change);
    for (std::size_t i = 0; i < change.also.size(); ++i)
        line += (i == 0 ? ", also " : ", ") + std::string(CutComparison::alsoName(change.also[i]));
    if (change.oldItem && change.newItem)
        line += ": head " + signedFrames(change.head) + ", tail " + signedFrames(change.tail) +
                ", shift " + signedFrames(change.shift) + " frames";
    return line;
}

/// The top of the boxes of `row`; none when it draws none.
std::optional<double> boxTop(const PictureRow& row) {
    if (row.boxes.empty())
        return std::nullopt;
    return row.boxes.front().y;
}

/// Tags the clip boxes of `row` with the changes of their items, their
/// tooltips opening with the change.
void tagRow(PictureRow& row,
            const std::unordered_map<std::size_t, const CutComparison::ClipChange*>& changes) {
    for (PictureBox& box : row.boxes) {
        if (box.kind != PictureBox::Kind::Clip && box.kind != PictureBox::Kind::OfflineClip)
            continue;
        const auto found = changes.find(box.item);
        if (found == changes.end())
            continue;
        box.tag = tagOf(found->second->change);
        box.tooltip = changeLine(*found->second) + "\n" + box.tooltip;
    }
}

} // namespace

PictureTag tagOf(Change change) {
    switch (change) {
    case Change::Moved:
        return {"\xE2\x86\x94", "#56B4E9", PictureTag::Pattern::Plain}; // U+2194 ↔
    case Change::Trimmed:
        return {"T", "#E69F00", PictureTag::Pattern::Plain};
    case Change::Slipped:
        return {"S", "#F0E442", PictureTag::Pattern::Plain};
    case Change::Version:
        return {"V", "#CC79A7", PictureTag::Pattern::Plain};
    case Change::Added:
        return {"A", "#009E73", PictureTag::Pattern::Dotted};
    case Change::Removed:
        return {"R", "#D55E00", PictureTag::Pattern::Hatched};
    case Change::Same:
    default:
        return {"=", "#DDDDDD", PictureTag::Pattern::Plain};
    }
}

TimelinePicture layout(const CutComparison::Result& result, PictureOptions options,
                       const std::string& oldName, const std::string& newName) {
    const NewClock clock(result);
    TimelineView both;
    both.hasTimeline = true;
    both.name = result.oldView.name + " -> " + result.newView.name;
    both.rate = result.newView.rate;
    both.pictureRate = result.newView.pictureRate;
    both.start = result.newView.start;
    both.duration = std::max(result.newView.duration,
                             clock.frame(result.oldView.start + result.oldView.duration) -
                                 result.newView.start);
    for (const CutComparison::TrackChanges& pair : result.tracks) {
        TimelineTrack before =
            pair.oldTrack ? clock.track(result.oldView.tracks[*pair.oldTrack]) : TimelineTrack();
        TimelineTrack after =
            pair.newTrack ? result.newView.tracks[*pair.newTrack] : TimelineTrack();
        before.name = "old: " + trackLabel(result.oldView, pair.oldTrack);
        after.name = "new: " + trackLabel(result.newView, pair.newTrack);
        if (!pair.oldTrack)
            before.kind = after.kind;
        if (!pair.newTrack)
            after.kind = before.kind;
        both.tracks.push_back(std::move(before));
        both.tracks.push_back(std::move(after));
        options.spaceBelow.push_back(kBandSpace);
        options.spaceBelow.push_back(kPairSpace);
    }
    options.viewOrder = true;
    options.source = oldName + " -> " + newName;
    for (const Change change : kChanges)
        options.tagKeys.emplace_back(tagOf(change), CutComparison::changeName(change));
    options.orderNote = "Each track of the old cut is drawn above its partner in the new cut, each "
                        "clip joined to its partner by a band; both count from their cut's start "
                        "at the new cut's rate.";
    TimelinePicture picture = TimelinePicture::layout(both, options);

    const auto clamped = [&](std::int64_t frame) {
        return std::clamp(picture.xOf(frame), picture.timeLeft, picture.timeRight);
    };
    for (std::size_t t = 0; t < result.tracks.size(); ++t) {
        const CutComparison::TrackChanges& pair = result.tracks[t];
        std::unordered_map<std::size_t, const CutComparison::ClipChange*> oldChanges, newChanges;
        for (const CutComparison::ClipChange& change : pair.changes) {
            if (change.oldItem)
                oldChanges[*change.oldItem] = &change;
            if (change.newItem)
                newChanges[*change.newItem] = &change;
        }
        PictureRow& oldRow = picture.rows[2 * t];
        PictureRow& newRow = picture.rows[2 * t + 1];
        tagRow(oldRow, oldChanges);
        tagRow(newRow, newChanges);
        const std::optional<double> top = boxTop(oldRow);
        const std::optional<double> bottom = boxTop(newRow);
        if (!top || !bottom)
            continue;
        for (const CutComparison::ClipChange& change : pair.changes) {
            if (!change.oldItem || !change.newItem)
                continue;
            const TimelineItem& was = both.tracks[2 * t].items[*change.oldItem];
            const TimelineItem& is = both.tracks[2 * t + 1].items[*change.newItem];
            PictureBand band;
            band.top = *top + PictureLayout::kBoxHeight;
            band.topLeft = clamped(was.record.start);
            band.topRight = clamped(was.record.end());
            band.bottom = *bottom;
            band.bottomLeft = clamped(is.record.start);
            band.bottomRight = clamped(is.record.end());
            // Both ends outside the drawn range: nothing of the pair shows.
            if (band.topRight <= band.topLeft && band.bottomRight <= band.bottomLeft)
                continue;
            band.tag = tagOf(change.change);
            band.tooltip = was.name + (was.name == is.name ? "" : " -> " + is.name) + ": " +
                           changeLine(change);
            picture.bands.push_back(std::move(band));
        }
    }
    return picture;
}

} // namespace zemcomp::ComparePicture
