#pragma once

#include "composition/CompositionApi.h"
#include "outside/core/Rational.h"
#include "outside/core/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class DmRoot;

namespace ZEM_0_81 {

class Composition;

// A read-only view of a composition as a timeline, in OpenTimelineIO's terms:
// tracks (the edit tree's layers) holding clips and gaps in order, each with its
// ranges, media, effects and review notes. It is a snapshot of plain values,
// built by one walk of the edit tree; it holds no reference to the composition
// and does not change when the composition does. Members may be added in later
// versions; none is renamed or removed.
//
// Frames are whole numbers and rates exact fractions, as the edit tree holds
// them: record frames count at the composition's rate, source frames at the
// clip's own source rate. A rate that cannot be read is 0/1.

/// A span of frames: from `start` for `duration` frames, the last frame being
/// start + duration - 1.
struct FrameRange {
    std::int64_t start = 0;
    std::int64_t duration = 0;

    /// The first frame after the range.
    std::int64_t end() const { return start + duration; }
    bool operator==(const FrameRange& other) const {
        return start == other.start && duration == other.duration;
    }
    bool operator!=(const FrameRange& other) const { return !(*this == other); }
};

/// An exact, possibly fractional, number of frames: numerator / denominator,
/// in lowest terms with a positive denominator. A clip whose source rate
/// differs from the composition's plays a fractional number of source frames
/// when the two rates do not divide (48 frames at 24 play 47.952 frames of
/// 23.976 media).
struct FrameCount {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;

    bool isWhole() const { return denominator == 1; }
    double toDouble() const {
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    bool operator==(const FrameCount& other) const {
        return numerator == other.numerator && denominator == other.denominator;
    }
    bool operator!=(const FrameCount& other) const { return !(*this == other); }
};

/// What a clip plays of its media, as the OTIO export writes its "source_range".
struct SourceRange {
    /// The first frame played, at `rate`, of any size (sound at a time of day
    /// counts billions of samples); none when the edit tree does not know where
    /// in the media the clip starts (the product's OTIO dialect read none).
    std::optional<std::int64_t> start;
    /// The source frames the clip's record duration covers: record duration x
    /// source rate / composition rate. The record duration itself when the
    /// composition's rate cannot be read; 0 when the source rate cannot be.
    FrameCount duration;
    /// The source's frame rate.
    Rational rate;
};

/// One media input of a clip.
struct TimelineMedia {
    /// Where the path came from, by the key the OTIO dialect writes it under in
    /// the clip's "paths": a movie ("mp4"), a file sequence or still ("file"), a
    /// movie file ("movie"); anything else, for example a media reference's
    /// "target_url" alone, is Other.
    enum class Kind : std::int32_t { Mp4, File, Movie, Other };

    Kind kind = Kind::Other;
    /// The media's path: the first sequence of the input's source information;
    /// empty when it has none.
    std::string path;
    /// The folder the edit tree keeps beside the path (empty for movies).
    std::string folder;
    /// The media's available range at `rate`: its first frame (none when the
    /// edit tree does not know it) and its length.
    std::optional<std::int64_t> availableStart;
    std::int64_t availableDuration = 0;
    /// The media's frame rate.
    Rational rate;

    /// "mp4", "file", "movie" or "other".
    static const char* kindName(Kind kind) {
        switch (kind) {
        case Kind::Mp4:
            return "mp4";
        case Kind::File:
            return "file";
        case Kind::Movie:
            return "movie";
        default:
            return "other";
        }
    }
};

/// One effect of a clip or gap, in the order the segment holds them.
struct TimelineEffect {
    /// Compositing ("Comp"), angular mask ("AngularMask"), colour decision list
    /// ("CDL"), annotation ("Annotation"), or a kind the OTIO dialect does not
    /// carry.
    enum class Kind : std::int32_t { Comp, AngularMask, Look, Annotation, Other };

    Kind kind = Kind::Other;
    /// The OTIO effect name ("Comp", "AngularMask", "CDL", "Annotation"), or the
    /// edit tree's own name for an Other effect.
    std::string name;
    /// Switched off in the edit tree. A compositing effect is never muted.
    bool muted = false;

    /// "Comp", "AngularMask", "CDL", "Annotation" or "Other".
    static const char* kindName(Kind kind) {
        switch (kind) {
        case Kind::Comp:
            return "Comp";
        case Kind::AngularMask:
            return "AngularMask";
        case Kind::Look:
            return "CDL";
        case Kind::Annotation:
            return "Annotation";
        default:
            return "Other";
        }
    }
};

/// A colour, each component from 0 to 1.
struct Colour {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 1.0f;
};

/// A review note: one text paragraph of an annotation.
struct TimelineNote {
    std::string text;
    /// Where the note shows, in absolute record frames. When its annotation layer
    /// has no frame range of its own, the range of the clip or gap it is on, and
    /// `ownRange` is false.
    FrameRange range;
    bool ownRange = false;
    /// The text colour (black when the edit tree has none).
    Colour colour;
    /// False when the note's layer is switched off.
    bool visible = true;
};

/// A paint layer of an annotation: strokes drawn over the picture.
struct TimelinePaint {
    /// Where the strokes show, as for TimelineNote::range.
    FrameRange range;
    bool ownRange = false;
    std::uint32_t strokes = 0;
    /// Points over all strokes.
    std::uint64_t points = 0;
    bool visible = true;
};

/// A clip or a gap of a track.
struct TimelineItem {
    enum class Kind : std::int32_t { Clip, Gap };

    Kind kind = Kind::Clip;
    std::string name;
    /// Where the item plays, in absolute frames at the composition's rate (the
    /// composition's start included): the segment's record-in and length.
    FrameRange record;
    /// What it plays. For a gap, as the OTIO export writes a gap: from 0 for
    /// the record duration, at the composition's rate.
    SourceRange source;
    /// The clip's media inputs, the primary one first; empty for gaps.
    std::vector<TimelineMedia> media;
    /// The primary input's path, which the OTIO export writes as the media
    /// reference's "target_url"; empty for gaps.
    std::string targetUrl;
    /// A clip without usable media: no input, or no input with a path. Always
    /// false for gaps.
    bool offline = false;
    /// The clip's identifier in the edit tree (its segment id).
    std::string clipId;
    /// The tape or file a cut list names for its source (black, for a gap),
    /// as an EDL gives it or standard OTIO converted from one keeps it
    /// (metadata "cmx_3600" → "reel"); empty when it has none.
    std::string reel;
    std::vector<TimelineEffect> effects;
    /// The text paragraphs of its annotations, in order.
    std::vector<TimelineNote> notes;
    /// The paint layers of its annotations, in order.
    std::vector<TimelinePaint> paint;
    /// The speed another tool gave it, which the edit tree keeps to write back
    /// but does not play: the product of the "time_scalar" of its kept
    /// "LinearTimeWarp" effects (2 plays twice as fast, -1 backwards), 0 with a
    /// kept "FreezeFrame"; 1 when it keeps neither.
    double speed = 1.0;
    /// False when another tool switched it off ("enabled": false), which the
    /// edit tree keeps to write back but plays as if on.
    bool enabled = true;

    /// "clip" or "gap": the word the view's users share (the Python values' "kind",
    /// the "type" of zemcomp list's JSON and tables).
    static const char* kindName(Kind kind) { return kind == Kind::Clip ? "clip" : "gap"; }

    bool isClip() const { return kind == Kind::Clip; }
    bool isGap() const { return kind == Kind::Gap; }
    /// True when any of its annotations holds a paint stroke.
    bool hasPaint() const {
        for (const TimelinePaint& layer : paint)
            if (layer.strokes != 0)
                return true;
        return false;
    }
};

/// A transition of a track. The edit tree has none: it plays the cut, and keeps
/// the transition as it came (from standard OTIO, or an EDL's dissolve or wipe)
/// to write it back.
struct TimelineTransition {
    /// The frame of the cut it spans: where the item after it starts, or the
    /// track's end for one after its last item; absolute at the composition's
    /// rate, as record frames count.
    std::int64_t cut = 0;
    /// The frames it spans before and after the cut, at the composition's rate,
    /// rounded to the nearest frame. The cut lies within ±2^62 and the offsets
    /// within ±2^53, so that they add up without overflow.
    std::int64_t inOffset = 0;
    std::int64_t outOffset = 0;
    std::string name;
    /// Its "transition_type" ("SMPTE_Dissolve"); empty when it has none.
    std::string type;

    /// The record frames it spans: its offsets around its cut.
    FrameRange record() const { return FrameRange{cut - inOffset, inOffset + outOffset}; }
};

/// A track in OTIO's sense: one layer of the edit tree, with its clips and gaps
/// in playing order.
struct TimelineTrack {
    enum class Kind : std::int32_t { None, Video, Audio };

    std::string name;
    /// From the layer's media type, as the OTIO export writes "kind".
    Kind kind = Kind::None;
    /// Which of the composition's edit-tree tracks (OTIO stacks) holds the layer,
    /// counting from 0. Documents read from OTIO have one.
    std::int32_t stack = 0;
    std::vector<TimelineItem> items;
    /// The transitions the edit tree keeps on the track, in the order of their cuts.
    std::vector<TimelineTransition> transitions;

    /// "video", "audio" or "none".
    static const char* kindName(Kind kind) {
        switch (kind) {
        case Kind::Video:
            return "video";
        case Kind::Audio:
            return "audio";
        default:
            return "none";
        }
    }
};

/// A composition as a timeline. Build one with TimelineView::build.
struct TimelineView {
    /// False when the composition holds no composition node (an OTIO document
    /// without a timeline): the view is then empty.
    bool hasTimeline = false;
    std::string name;
    /// The composition's frame rate (of its start timecode).
    Rational rate;
    /// The rate its pictures run at, for timecode: `rate` itself, unless that is
    /// a sound's sample rate (see isSampleRate), as a timeline of another tool
    /// is timed at when its sound lands on whole frames only there; then the
    /// source rate of its first clip on a video track that is none, else of its
    /// first clip on any track that is none, else `rate` still.
    Rational pictureRate;
    /// The composition's start and duration in frames, as Composition's
    /// getStartTime and getDuration give them.
    std::int64_t start = 0;
    std::int64_t duration = 0;
    /// Tracks in the edit tree's order (for OTIO documents, the document's order).
    std::vector<TimelineTrack> tracks;

    /// The view of `composition`'s first composition node, importing its text
    /// first when needed. Fails with the composition's tree failure (NoData 512,
    /// DmTreeJsonImportFailed 515 or OtioImportFailed 517), leaving `view`
    /// untouched. A composition without a composition node (an OTIO document
    /// without a timeline) gives success and an empty view whose hasTimeline is
    /// false.
    ZEM_API static Status build(const Composition& composition, TimelineView& view);

    /// The view of the first composition node of `root` (the first child of its
    /// first reel), as above. Never fails.
    ZEM_API static Status build(const DmRoot& root, TimelineView& view);

    /// True for a rate of more than 1000 frames a second: no picture runs that
    /// fast, a sound's samples do (44100, 48000, 96000).
    ZEM_API static bool isSampleRate(const Rational& rate);
};

} // namespace ZEM_0_81
