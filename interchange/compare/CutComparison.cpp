#include "interchange/CutComparison.h"

#include "interchange/Failure.h"
#include "interchange/TimelineSegments.h"
#include "interchange/clips/ClipLook.h"
#include "interchange/compare/ClipFrames.h"
#include "interchange/compare/ClipPairing.h"
#include "interchange/compare/NoteCarrier.h"
#include "interchange/compare/PairChange.h"
#include "interchange/compare/ShotMatches.h"
#include "interchange/compare/TrackPairing.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmRoot.h"

namespace ZEM_0_81 {

namespace {

using namespace Interchange::Compare;

using Interchange::failed;

/// One cut as compared: its view, the segments of its items and the looks of
/// its clips.
struct Cut {
    TimelineView view;
    TimelineSegments segments;
    /// The look of each item, by track and item; none for none.
    std::vector<std::vector<std::optional<ClipLookValues>>> looks;
};

/// The cut of `root`, whose walk only reads it.
void readCut(const DmRoot& root, Cut& cut) {
    buildTimeline(const_cast<DmRoot&>(root), cut.view, cut.segments);
    cut.looks.resize(cut.view.tracks.size());
    for (std::size_t t = 0; t < cut.view.tracks.size(); ++t) {
        const std::vector<TimelineItem>& items = cut.view.tracks[t].items;
        cut.looks[t].resize(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            if (const DmLookSettings* look =
                    items[i].isClip() ? Interchange::Clips::lookOf(*cut.segments[t][i]) : nullptr)
                cut.looks[t][i] =
                    ClipLookValues{Interchange::Clips::valuesOf(*look), look->isMuted()};
    }
}

/// The tree of `composition`, or null with `status` and `message` set to why
/// it has none.
const DmRoot* treeOf(const Composition& composition, const char* which, Status& status,
                     String* message) {
    const DmRoot& root = composition.getTree(status);
    if (status)
        return &root;
    failed(status,
           std::string("the ") + which + " cut has no edit tree: " + status.getDescription(),
           message);
    return nullptr;
}

const ClipLookValues* lookOf(const Cut& cut, std::size_t track, std::size_t item) {
    const std::optional<ClipLookValues>& look = cut.looks[track][item];
    return look ? &*look : nullptr;
}

/// The clips of track `track` of `view`, placed at `rate` (the new cut's).
std::vector<CutClip> clipsOf(const TimelineView& view, const std::optional<std::size_t>& track,
                             const Rational& rate) {
    std::vector<CutClip> clips;
    if (!track)
        return clips;
    const std::vector<TimelineItem>& items = view.tracks[*track].items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].isClip())
            clips.push_back(CutClip{i, &items[i],
                                    rescale(items[i].record.start - view.start, view.rate, rate)});
    return clips;
}

CutComparison::TrackChanges compareTrack(const Cut& before, const Cut& after,
                                         const TrackPair& pair) {
    CutComparison::TrackChanges changes;
    changes.oldTrack = pair.oldTrack;
    changes.newTrack = pair.newTrack;
    const Rational& rate = after.view.rate;
    const std::vector<CutClip> oldClips = clipsOf(before.view, pair.oldTrack, rate);
    const std::vector<CutClip> newClips = clipsOf(after.view, pair.newTrack, rate);
    const Pairing pairing = pairClips(oldClips, newClips, candidatesOf(oldClips, newClips));

    // A removed clip follows the partner of the paired clip before it in the
    // old cut: at the place it had among its neighbours.
    std::vector<std::vector<std::size_t>> removedAfter(newClips.size() + 1);
    std::size_t anchor = 0; // 0: before every new clip; n + 1: after new clip n
    for (std::size_t o = 0; o < oldClips.size(); ++o) {
        if (pairing.newOfOld[o] != Pairing::kNoPartner)
            anchor = pairing.newOfOld[o] + 1;
        else
            removedAfter[anchor].push_back(o);
    }
    const auto addRemoved = [&](std::size_t at) {
        for (const std::size_t o : removedAfter[at])
            changes.changes.push_back(unpaired(oldClips[o], false));
    };
    addRemoved(0);
    for (std::size_t n = 0; n < newClips.size(); ++n) {
        const std::size_t o = pairing.oldOfNew[n];
        if (o == Pairing::kNoPartner) {
            changes.changes.push_back(unpaired(newClips[n], true));
        } else {
            const ComparedClip was{&oldClips[o], lookOf(before, *pair.oldTrack, oldClips[o].item)};
            const ComparedClip is{&newClips[n], lookOf(after, *pair.newTrack, newClips[n].item)};
            changes.changes.push_back(changeOf(was, is));
        }
        addRemoved(n + 1);
    }
    return changes;
}

/// Compares two cuts; the views move into `result`, the segments stay.
Status compareCuts(Cut& before, Cut& after, const CutComparison::Options& options,
                   CutComparison::Result& result, String* message) {
    std::vector<TrackPair> pairs = pairTracks(before.view, after.view);
    if (!options.track.empty()) {
        const std::optional<TrackPair> named =
            pairNamed(pairs, before.view, after.view, options.track);
        if (!named)
            return failed(Status(Status::NoData),
                          "no track \"" + options.track +
                              "\" in either cut (a name, or a number from 1 to the new cut's "
                              "tracks)",
                          message);
        pairs = {*named};
    }
    CutComparison::Result compared;
    for (const TrackPair& pair : pairs)
        compared.tracks.push_back(compareTrack(before, after, pair));
    compared.oldView = std::move(before.view);
    compared.newView = std::move(after.view);
    result = std::move(compared);
    return Status();
}

} // namespace

const char* CutComparison::changeName(Change change) {
    switch (change) {
    case Change::Same:
        return "same";
    case Change::Moved:
        return "moved";
    case Change::Trimmed:
        return "trimmed";
    case Change::Slipped:
        return "slipped";
    case Change::Version:
        return "version";
    case Change::Added:
        return "added";
    case Change::Removed:
        return "removed";
    }
    return "";
}

const char* CutComparison::alsoName(Also also) {
    switch (also) {
    case Also::Trimmed:
        return "trimmed";
    case Also::Slipped:
        return "slipped";
    case Also::Version:
        return "version";
    case Also::Moved:
        return "moved";
    case Also::Speed:
        return "speed";
    case Also::Look:
        return "look";
    case Also::Effects:
        return "effects";
    case Also::Enabled:
        return "enabled";
    }
    return "";
}

const char* CutComparison::reasonText(LeftBehind::Reason reason) {
    switch (reason) {
    case LeftBehind::Reason::Removed:
        return "its clip is not in the new cut";
    case LeftBehind::Reason::OnGap:
        return "it is on a gap, and only notes of clips are carried";
    case LeftBehind::Reason::FramesGone:
        return "none of its frames is in the new cut's clip";
    case LeftBehind::Reason::PartlyGone:
        return "only part of its frames is in the new cut's clip";
    case LeftBehind::Reason::SourceUnknown:
        return "the source frames of its clip or of the new clip are not known";
    case LeftBehind::Reason::OutOfRange:
        return "its place in the new cut lies beyond the frames a note can mark";
    }
    return "";
}

std::int64_t CutComparison::rescale(std::int64_t frames, const Rational& from, const Rational& to) {
    return Interchange::Compare::rescale(frames, from, to);
}

bool CutComparison::Result::changed() const {
    for (const TrackChanges& track : tracks)
        for (const ClipChange& change : track.changes)
            if (change.changed())
                return true;
    return false;
}

Status CutComparison::compare(const Composition& oldCut, const Composition& newCut,
                              const Options& options, Result& result, String* message) {
    Status status;
    const DmRoot* oldRoot = treeOf(oldCut, "old", status, message);
    const DmRoot* newRoot = oldRoot ? treeOf(newCut, "new", status, message) : nullptr;
    if (!newRoot)
        return status;
    Cut before, after;
    readCut(*oldRoot, before);
    readCut(*newRoot, after);
    return compareCuts(before, after, options, result, message);
}

Status CutComparison::carryNotes(const Composition& oldCut, Composition& newCut,
                                 const Options& options, Carried& carried, String* message) {
    Status status;
    const DmRoot* oldRoot = treeOf(oldCut, "old", status, message);
    const DmRoot* newRoot = oldRoot ? treeOf(newCut, "new", status, message) : nullptr;
    if (!newRoot)
        return status;
    // The notes go onto a copy of the new cut's tree, which replaces it when
    // any went: the composition changes only through its public API.
    const CoSharedPtr<DmPropertySet> copy = newRoot->clone();
    auto* tree = dynamic_cast<DmRoot*>(copy.get());
    Cut before, after;
    readCut(*oldRoot, before);
    readCut(*tree, after);
    Carried result;
    status = compareCuts(before, after, options, result.comparison, message);
    if (!status)
        return status;
    const CarryingCuts cuts{result.comparison.oldView, before.segments, result.comparison.newView,
                            after.segments};
    if (carryAll(cuts, result.comparison, result))
        newCut.setTree(*tree);
    carried = std::move(result);
    return Status();
}

} // namespace ZEM_0_81
