#pragma once

// The layout of a timeline picture: where every track row, clip, gap, note,
// badge, ruler tick and legend entry goes, and what each says, computed from a
// timeline view alone. Nothing here writes SVG; TimelineSvg turns a layout
// into a document.

#include "interchange/TimelineView.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zemcomp {

/// The layout rule, in pixels. The time area runs from kTimeAreaLeft to the
/// picture's width less kTimeAreaRightMargin; frame f of the drawn range
/// [from, to) lies at
///     x = kTimeAreaLeft + (f - from) * (width - kTimeAreaLeft - kTimeAreaRightMargin) / (to -
///     from)
/// and an item from frame s for d frames is a box from x(s) to x(s + d), cut
/// to the time area.
namespace PictureLayout {
constexpr double kTimeAreaLeft = 180.0; ///< the track labels' column is left of it
constexpr double kTimeAreaRightMargin = 20.0;
constexpr double kDefaultWidth = 1600.0;
constexpr double kMinimumWidth = 480.0;
constexpr double kMaximumWidth = 100000.0;
/// Items narrower than this are merged with their narrow neighbours into one
/// hatched block: a feature-length cut drawn a page wide stays readable and
/// its file small.
constexpr double kMergeBelowWidth = 3.0;
/// A merged block ends once it is this wide, so that each block's tooltip
/// speaks of a stretch of the timeline a pointer can single out.
constexpr double kMergedBlockWidth = 24.0;
/// A merged block's tooltip names up to this many of its items, each with its
/// record range; a larger block names the first ones and its last.
constexpr std::size_t kMergedItemsNamed = 64;
constexpr double kBoxHeight = 34.0;
constexpr double kNoteLaneHeight = 14.0;
/// Overlapping notes take up to this many lanes above their row's boxes;
/// notes that find no free lane share a marker.
constexpr std::size_t kMaximumNoteLanes = 3;
constexpr double kBadgeSize = 11.0;
/// The narrowest a transition is drawn, centred on its cut.
constexpr double kTransitionWidth = 6.0;
} // namespace PictureLayout

/// A mark a comparison puts on a box, a band and a legend key: a letter, a
/// fill colour ("#56B4E9") and a pattern, so that a grey print keeps it.
struct PictureTag {
    enum class Pattern { Plain, Hatched, Dotted };

    std::string letter;
    std::string colour;
    Pattern pattern = Pattern::Plain;
};

/// What to draw.
struct PictureOptions {
    /// The picture's width in pixels, from kMinimumWidth to kMaximumWidth.
    double width = PictureLayout::kDefaultWidth;
    /// The frames to draw, absolute at the composition's rate, the end
    /// excluded; the whole timeline when none.
    std::optional<ZEM_0_81::FrameRange> range;
    /// The document's name, shown in the heading.
    std::string source;
    /// Draws the tracks in the view's order, one group, rather than video
    /// above audio (for two cuts drawn one over the other).
    bool viewOrder = false;
    /// Room left below each row, by row in drawing order (none past the end):
    /// for what is drawn between two rows.
    std::vector<double> spaceBelow;
    /// Legend keys after the picture's own: a tag and what it means. With
    /// any, the keys of clips by their tracks' kinds are left out: the
    /// picture's clips take their tags' colours.
    std::vector<std::pair<PictureTag, std::string>> tagKeys;
    /// The legend's closing sentence in place of the one on the order of the
    /// tracks; none keeps that one.
    std::string orderNote;
};

/// A text placed at its baseline.
struct PictureText {
    double x = 0.0;
    double y = 0.0;
    std::string text;
    /// Right-aligned at x rather than left-aligned.
    bool alignEnd = false;
};

/// A small square on a box: an effect's letter or the paint icon.
struct PictureBadge {
    enum class Kind { Compositing, Mask, Look, Other, Paint, More };

    Kind kind = Kind::Other;
    double x = 0.0;
    double y = 0.0;
    /// The effect is switched off in the edit tree.
    bool muted = false;
    std::string tooltip;

    /// The letter on the badge: "C", "M", "L", "E", "+"; empty for paint.
    static const char* letter(Kind kind);
};

/// A clip, a gap, or several items too narrow to draw apart.
struct PictureBox {
    enum class Kind { Clip, OfflineClip, Gap, Merged };

    Kind kind = Kind::Clip;
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    /// The name, shortened to fit; its text is empty when nothing fits.
    PictureText label;
    /// A word beside the badges ("offline"), when it fits.
    PictureText status;
    std::string tooltip;
    std::vector<PictureBadge> badges;
    /// How many clips and gaps of the track the box stands for (1 unless merged).
    std::size_t items = 1;
    /// A merged block of gaps alone, drawn as empty as a gap.
    bool gapsOnly = false;
    /// The index in TimelineTrack::items of the item it stands for (of the
    /// first, for a merged block).
    std::size_t item{};
    /// A comparison's mark: the box takes its colour and pattern, and its
    /// letter in its top right corner when it fits.
    std::optional<PictureTag> tag;
};

/// A review note's marker above its row, over the note's range.
struct PictureNote {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    PictureText label;
    std::string tooltip;
    /// How many notes share the marker.
    std::size_t count = 1;
    /// Every note of the marker is switched off.
    bool hidden = false;
};

/// A transition of a standard OTIO track over the boxes of its row, across the
/// frames it spans around its cut, at least kTransitionWidth wide; transitions
/// that overlap at the picture's width share one. The edit tree keeps them but
/// plays the cuts.
struct PictureTransition {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    std::string tooltip;
    /// How many transitions it stands for, and a line naming each (up to
    /// kMergedItemsNamed).
    std::size_t count = 1;
    std::string names;
};

/// One track's band across the picture.
struct PictureRow {
    ZEM_0_81::TimelineTrack::Kind kind = ZEM_0_81::TimelineTrack::Kind::None;
    double y = 0.0;
    double height = 0.0;
    PictureText name;
    PictureText detail; ///< "video track"
    PictureText counts; ///< "3 clips, 1 gap"
    std::string tooltip;
    std::vector<PictureBox> boxes;
    std::vector<PictureNote> notes;
    std::vector<PictureTransition> transitions;
};

/// A band between two rows joining the boxes of one thing drawn twice (a
/// clip in two cuts): from [topLeft, topRight] at `top` to [bottomLeft,
/// bottomRight] at `bottom`, in its tag's colour and pattern, its letter in
/// the middle when it fits.
struct PictureBand {
    double top = 0.0;
    double topLeft = 0.0;
    double topRight = 0.0;
    double bottom = 0.0;
    double bottomLeft = 0.0;
    double bottomRight = 0.0;
    PictureTag tag;
    std::string tooltip;
};

/// A tick of the time ruler; major ticks carry a timecode label when it fits.
struct PictureTick {
    double x = 0.0;
    bool major = false;
    PictureText label;
};

/// A line across the tracks at the composition's start or end.
struct PictureMark {
    double x = 0.0;
    PictureText label;
};

/// One key of the legend: a sample of what is drawn and its meaning.
struct LegendEntry {
    enum class Sample {
        VideoClip,
        AudioClip,
        OtherClip,
        OfflineClip,
        Gap,
        Merged,
        Note,
        Compositing,
        Mask,
        Look,
        OtherEffect,
        MutedEffect,
        Paint,
        Mark,
        Transition,
        Tag
    };

    Sample sample = Sample::VideoClip;
    double x = 0.0;
    double y = 0.0; ///< top of the sample
    PictureText text;
    /// The tag a Tag sample shows.
    PictureTag tag;
};

/// A timeline laid out for drawing.
struct TimelinePicture {
    double width = 0.0;
    double height = 0.0;
    PictureText title;
    std::vector<PictureText> heading;

    /// The drawn range of frames, the end excluded, and the time area it
    /// fills.
    std::int64_t from = 0;
    std::int64_t to = 0;
    double timeLeft = 0.0;
    double timeRight = 0.0;

    double rulerTop = 0.0;
    double rulerBottom = 0.0;
    std::vector<PictureTick> ticks;
    std::vector<PictureMark> marks;
    double marksTop = 0.0;

    double tracksTop = 0.0;
    double tracksBottom = 0.0;
    std::vector<PictureRow> rows;
    /// Lines between the video tracks and the audio tracks (and between those
    /// and tracks of no kind).
    std::vector<double> separators;
    /// Bands between rows, drawn over the rows' backgrounds, under their boxes.
    std::vector<PictureBand> bands;
    /// Shown in the time area when there is nothing to draw.
    std::optional<PictureText> emptyMessage;

    std::vector<LegendEntry> legend;
    std::vector<PictureText> legendNotes;

    /// Items drawn as merged blocks, and the blocks.
    std::size_t mergedItems = 0;
    std::size_t mergedBlocks = 0;
    /// Notes drawn on a marker they share, and those markers.
    std::size_t sharedNotes = 0;
    std::size_t sharedMarkers = 0;
    /// Transitions drawn, alone or sharing a mark.
    std::size_t transitions = 0;

    /// The x of `frame` by the layout rule, not cut to the time area.
    double xOf(std::int64_t frame) const;

    /// Lays out `view` by `options`: video tracks above audio tracks, the
    /// highest video track on top and the first audio track under the video,
    /// then tracks of no kind. The view must hold a timeline.
    static TimelinePicture layout(const ZEM_0_81::TimelineView& view,
                                  const PictureOptions& options);
};

} // namespace zemcomp
