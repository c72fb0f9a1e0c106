#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/TimelineView.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ZEM_0_81 {

/// Two cuts of one edit compared clip by clip, and the review notes of the old
/// one carried onto the new: what editors call a change list. Both work on two
/// compositions of any dialect through their TimelineView and edit tree; no
/// file is read or written here.
///
/// Pairing, in short (interchange/compare/COMPARE.md gives every rule):
/// - Tracks are paired by name, else by kind and order.
/// - Within a pair of tracks, a clip of the new cut is paired with the clip of
///   the old cut that shows the same shot: the same media path; or the same
///   name once a version token is set aside ("sh010_comp_v003" and
///   "sh010_comp_v004"; the tokens "_v003", ".v003", "-v3", " v3", and "v3" at
///   the start of a name: a "v" or "V" and one to six digits between
///   separators); or the same media path once version tokens are set aside in
///   each of its parts; or, for clips without media or a name, the same reel
///   with source ranges that overlap. A name that is only the reel is no name.
/// - Clips of the same shot pair only when they share source frames, unless
///   each is the only use of the shot on its track. A shot used several times
///   pairs by the most source frames in common; between pairings that share as
///   many, the one that keeps the order of the cut, then the nearest in time.
///
/// The change of a pair is the first that applies of Version, Trimmed,
/// Slipped, Moved; the others that apply, and a changed speed, look, effects
/// or switch, are its `also`. Record places are offsets from each cut's start:
/// a cut starting at another timecode moves nothing.
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person.
class ZEM_API CutComparison {
public:
    /// What happened to a clip between the two cuts.
    enum class Change : std::int32_t {
        Same = 0,    ///< the same source frames at the same record offset
        Moved = 1,   ///< the same source frames at another record offset
        Trimmed = 2, ///< its head or tail (or both) lengthened or shortened
        Slipped = 3, ///< the same length of other source frames
        Version = 4, ///< another version of the shot's media
        Added = 5,   ///< in the new cut only
        Removed = 6, ///< in the old cut only
    };
    /// "same", "moved", "trimmed", "slipped", "version", "added", "removed";
    /// "" for a value outside the enumeration.
    static const char* changeName(Change change);

    /// A further change of a pair, in the order they are listed.
    enum class Also : std::int32_t {
        Trimmed = 0,
        Slipped = 1,
        Version = 2,
        Moved = 3,
        Speed = 4,   ///< the speed another tool gave it (TimelineItem::speed)
        Look = 5,    ///< its CDL look: added, removed, other values or switched
        Effects = 6, ///< its other effects (kind, name or switch), looks and notes aside
        Enabled = 7, ///< switched on or off (TimelineItem::enabled)
    };
    /// "trimmed", "slipped", "version", "moved", "speed", "look", "effects",
    /// "enabled"; "" for a value outside the enumeration.
    static const char* alsoName(Also also);

    /// One line of the change list: a pair of clips, or a clip without partner.
    struct ClipChange {
        Change change = Change::Same;
        /// The further changes, in the order of Also.
        std::vector<Also> also;
        /// The clip's index in TimelineTrack::items of its track in each cut;
        /// none on the side it is missing from (Added, Removed).
        std::optional<std::size_t> oldItem;
        std::optional<std::size_t> newItem;
        /// Frames at the new clip's source rate by which its head and tail show
        /// more (positive) or less (negative) than the old clip's; a slip by s
        /// frames is head -s and tail +s; 0 when unchanged. When either clip's
        /// source start is not known, the head is 0 and a change of length is
        /// at the tail.
        std::int64_t head = 0;
        std::int64_t tail = 0;
        /// The new record offset of the clip's first frame less the old one, at
        /// the new cut's rate. 0 for Added and Removed.
        std::int64_t shift = 0;

        /// True unless the clips are paired, Same, with nothing in `also`.
        bool changed() const { return change != Change::Same || !also.empty(); }
    };

    /// The changes of one pair of tracks.
    struct TrackChanges {
        /// The track's index in TimelineView::tracks of each cut; none for a
        /// track of one cut that has no partner in the other.
        std::optional<std::size_t> oldTrack;
        std::optional<std::size_t> newTrack;
        /// Clips only, in record order: the clips of the new cut in their
        /// order, each removed clip right after the partner of the paired clip
        /// before it in the old cut (first when there is none).
        std::vector<ClipChange> changes;
    };

    struct Options {
        /// The track to compare, by its name in the new cut, else in the old,
        /// else by its number from 1 among the new cut's tracks; all tracks
        /// when empty.
        std::string track;
    };

    struct Result {
        /// The two cuts as compared.
        TimelineView oldView;
        TimelineView newView;
        /// The new cut's tracks in their order (with their partners), then the
        /// old cut's tracks that have none.
        std::vector<TrackChanges> tracks;

        /// True when any clip changed (ClipChange::changed); a new timeline
        /// name alone is no change.
        bool changed() const;
    };

    /// Compares `oldCut` with `newCut`. Fails as TimelineView::build does
    /// (either cut's tree failure), or with NoData (512) when Options::track
    /// names no track of either cut; `result` is then untouched.
    static Status compare(const Composition& oldCut, const Composition& newCut,
                          const Options& options, Result& result, String* message = nullptr);

    /// `frames` at `from` counted at `to`, as the comparison counts a cut's
    /// frames at the other's rate: the nearest frame, halves away from zero;
    /// `frames` as they stand when the rates are the same or either is not a
    /// rate above 0.
    static std::int64_t rescale(std::int64_t frames, const Rational& from, const Rational& to);

    /// A review note or paint layer of the old cut that was not carried, or
    /// carried over part of its frames only.
    struct LeftBehind {
        enum class Reason : std::int32_t {
            Removed = 0,       ///< its clip has no partner in the new cut
            OnGap = 1,         ///< it is on a gap: only clips' notes are carried
            FramesGone = 2,    ///< none of its source frames is in the partner
            PartlyGone = 3,    ///< carried over the frames that remain (`carried`)
            SourceUnknown = 4, ///< its clip's or its partner's source start is not known
            OutOfRange = 5,    ///< its place in the new cut lies past what a note can mark
        };
        Reason why = Reason::Removed;
        /// False for a paint layer.
        bool isNote = true;
        /// The note's text; for paint, empty.
        std::string text;
        /// Its paint strokes (0 for a note).
        std::uint32_t strokes = 0;
        /// Where it showed in the old cut: absolute record frames at its rate.
        FrameRange record;
        /// Its track and item in the old cut's TimelineView.
        std::size_t track{};
        std::size_t item{};
        /// For PartlyGone, the frames carried, at the new cut's rate: where it
        /// now shows.
        FrameRange carried;
    };
    /// "its clip is not in the new cut", "notes on gaps are not carried", ...
    static const char* reasonText(LeftBehind::Reason reason);

    /// What carrying the notes did.
    struct Carried {
        /// Notes (text paragraphs) and paint layers carried, wholly or in part.
        std::size_t notes = 0;
        std::size_t paint = 0;
        /// Notes and paint layers not carried because the partner already held
        /// them at the same frames (the same text; the same strokes and points).
        std::size_t alreadyThere = 0;
        /// One entry per note or paint layer not carried or carried in part, in
        /// the order of the old cut's tracks and items.
        std::vector<LeftBehind> left;
        /// The comparison the notes followed.
        Result comparison;
    };

    /// Moves the review notes and paint (the annotations) of each clip of
    /// `oldCut` onto the clip it is paired with in `newCut`, each at the same
    /// source frames as before: a note on frame 1012 of a shot's media lands on
    /// frame 1012 of that shot in the new cut. A note whose frames are no longer
    /// all in the partner is carried over those that remain, or not at all, and
    /// listed in `carried.left`; one on a gap, or on a clip without partner, is
    /// listed too. An annotation without a range of its own covers its whole
    /// clip and goes to the partner whole. The notes already on `newCut` stay,
    /// and one already there at the same frames is not doubled. The tree of
    /// `newCut` is replaced only when a note was carried. Fails, changing
    /// nothing, as compare does.
    static Status carryNotes(const Composition& oldCut, Composition& newCut, const Options& options,
                             Carried& carried, String* message = nullptr);
};

} // namespace ZEM_0_81
