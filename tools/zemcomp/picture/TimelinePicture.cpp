#include "tools/zemcomp/picture/TimelinePicture.h"

#include "composition/Timecode.h"
#include "tools/zemcomp/picture/TimelineCaptions.h"
#include "tools/zemcomp/text/TextFit.h"
#include "tools/zemcomp/text/TimeText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zemcomp {

using namespace ZEM_0_81;
using namespace PictureLayout;

namespace {

// Text sizes, in pixels; TimelineSvg's style sheet sets the same.
constexpr double kTitleSize = 16.0;
constexpr double kTextSize = 11.0;
constexpr double kSmallSize = 10.0;
constexpr double kTrackNameSize = 12.0;

constexpr double kMargin = 10.0;
constexpr double kLineHeight = 16.0;
constexpr double kRulerHeight = 28.0;
constexpr double kRowTopPadding = 4.0;
constexpr double kRowBottomPadding = 8.0;
constexpr double kBoxPadding = 4.0;
constexpr double kBadgeGap = 2.0;
constexpr double kMinimumNoteWidth = 4.0;
constexpr double kNoteSpacing = 2.0;
constexpr double kMinimumTickSpacing = 6.0;
constexpr double kLegendSampleWidth = 24.0;
constexpr double kLegendSampleHeight = 14.0;
constexpr std::size_t kNotesListedOnShared = 12;

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    if (b > 0 && a > kLargest - b)
        return kLargest;
    if (b < 0 && a < kSmallest - b)
        return kSmallest;
    return a + b;
}

/// The first frame after `range`, held at the largest frame rather than
/// overflowing; an empty or negative duration ends where it starts.
std::int64_t endOf(const FrameRange& range) {
    return range.duration <= 0 ? range.start : saturatingAdd(range.start, range.duration);
}

/// Whether a range from `start` to `end` shows in [from, to): a range of no
/// frames shows when its start does.
bool shows(std::int64_t start, std::int64_t end, std::int64_t from, std::int64_t to) {
    if (end <= start)
        return start >= from && start < to;
    return end > from && start < to;
}

/// `to` - `from` as a double, exact up to the double's precision even where
/// the difference does not fit a signed 64-bit integer, or where the two are
/// too large for a double to tell apart.
double difference(std::int64_t to, std::int64_t from) {
    // Unsigned subtraction is exact modulo 2^64, and the magnitude of the
    // difference of two 64-bit integers fits 64 unsigned bits.
    if (to >= from)
        return static_cast<double>(static_cast<std::uint64_t>(to) -
                                   static_cast<std::uint64_t>(from));
    return -static_cast<double>(static_cast<std::uint64_t>(from) - static_cast<std::uint64_t>(to));
}

/// Where a view's contents go, frames to pixels.
class Scale {
public:
    Scale(std::int64_t from, std::int64_t to, double left, double right)
        : m_from(from), m_left(left), m_right(right),
          m_pixelsPerFrame((right - left) / difference(to, from)) {}

    double x(std::int64_t frame) const {
        return m_left + difference(frame, m_from) * m_pixelsPerFrame;
    }
    /// x, held inside the time area.
    double clampedX(std::int64_t frame) const { return std::clamp(x(frame), m_left, m_right); }
    double pixelsPerFrame() const { return m_pixelsPerFrame; }

private:
    std::int64_t m_from;
    double m_left;
    double m_right;
    double m_pixelsPerFrame;
};

/// Tracks in the order they are drawn, top to bottom: video with the highest
/// on top, then audio with the first on top, then tracks of no kind; each
/// group's first index.
struct RowOrder {
    std::vector<std::size_t> tracks;
    std::vector<std::size_t> groupStarts;
};

RowOrder rowOrder(const TimelineView& view, bool viewOrder) {
    RowOrder order;
    if (viewOrder) {
        for (std::size_t i = 0; i < view.tracks.size(); ++i)
            order.tracks.push_back(i);
        order.groupStarts.push_back(0);
        return order;
    }
    const auto addGroup = [&](TimelineTrack::Kind kind, bool reversed) {
        const std::size_t before = order.tracks.size();
        for (std::size_t i = 0; i < view.tracks.size(); ++i) {
            const std::size_t index = reversed ? view.tracks.size() - 1 - i : i;
            if (view.tracks[index].kind == kind)
                order.tracks.push_back(index);
        }
        if (order.tracks.size() != before)
            order.groupStarts.push_back(before);
    };
    addGroup(TimelineTrack::Kind::Video, true);
    addGroup(TimelineTrack::Kind::Audio, false);
    addGroup(TimelineTrack::Kind::None, false);
    return order;
}

/// The ruler's spacing: major ticks far enough apart for their labels, at a
/// round number of frames, seconds, minutes or hours.
struct TickSpacing {
    std::int64_t major = 1;
    std::int64_t minor = 0; ///< 0 when minor ticks would crowd
};

TickSpacing tickSpacing(const Rational& rate, double pixelsPerFrame, double labelWidth,
                        double span) {
    std::int64_t fps = 0;
    if (!Timecode::framesPerSecond(rate, fps))
        fps = 0;

    std::vector<std::int64_t> candidates;
    if (fps > 0) {
        // Within a second, steps that divide it, so that every second has a
        // tick: 1, 2, 3, 4, 6, 8, 12 frames at 24, 1 and 5 at 25.
        for (std::int64_t frames = 1; frames < fps && frames <= 1000; ++frames)
            if (fps % frames == 0)
                candidates.push_back(frames);
        for (const std::int64_t seconds : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800})
            candidates.push_back(seconds * fps);
        for (std::int64_t hours = fps * 3600; hours <= kLargest / 2; hours *= 2)
            candidates.push_back(hours);
    } else {
        // Without a rate, round numbers of frames.
        for (std::int64_t power = 1; power <= kLargest / 10; power *= 10)
            for (const std::int64_t step : {1, 2, 5})
                candidates.push_back(power * step);
    }

    TickSpacing spacing;
    spacing.major = candidates.back();
    for (const std::int64_t candidate : candidates) {
        if (static_cast<double>(candidate) * pixelsPerFrame >= labelWidth ||
            static_cast<double>(candidate) >= span) {
            spacing.major = candidate;
            break;
        }
    }
    for (const std::int64_t parts : {10, 6, 5, 4, 3, 2}) {
        if (spacing.major % parts == 0 &&
            static_cast<double>(spacing.major / parts) * pixelsPerFrame >= kMinimumTickSpacing) {
            spacing.minor = spacing.major / parts;
            break;
        }
    }
    return spacing;
}

/// Frame numbers as a timecode counts them. At the drop-frame rates (29.97
/// and 59.94) a timecode skips the first 2 or 4 numbers of each minute but
/// every tenth, so round timecodes ("00:01:00;02", the first frame of the
/// second minute) are round in this count and not in frames; at every other
/// rate the two counts are the same.
class TimecodeCount {
public:
    explicit TimecodeCount(const Rational& rate) {
        if (Timecode::isDropFrame(rate) && Timecode::framesPerSecond(rate, m_perSecond))
            m_dropped = m_perSecond / 15;
    }

    /// The timecode's number for `frame`.
    std::int64_t number(std::int64_t frame) const {
        if (!converts(frame))
            return frame;
        const bool negative = frame < 0;
        std::int64_t count = negative ? -frame : frame;
        const std::int64_t perMinute = 60 * m_perSecond - m_dropped;
        const std::int64_t perTenMinutes = 600 * m_perSecond - 9 * m_dropped;
        const std::int64_t rest = count % perTenMinutes;
        count += 9 * m_dropped * (count / perTenMinutes);
        if (rest > m_dropped)
            count += m_dropped * ((rest - m_dropped) / perMinute);
        return negative ? -count : count;
    }

    /// The frame of the timecode numbered `number`; a number the timecode
    /// skips stands for the first frame of its minute.
    std::int64_t frame(std::int64_t number) const {
        if (!converts(number))
            return number;
        const bool negative = number < 0;
        std::int64_t count = negative ? -number : number;
        const std::int64_t minutes = count / (60 * m_perSecond);
        if (minutes % 10 != 0 && count % (60 * m_perSecond) < m_dropped)
            count += m_dropped - count % (60 * m_perSecond);
        count -= m_dropped * (minutes - minutes / 10);
        return negative ? -count : count;
    }

private:
    /// Past 2^61 the counts are left alone rather than risk overflow.
    bool converts(std::int64_t value) const {
        return m_dropped != 0 && value > -(std::int64_t(1) << 61) &&
               value < (std::int64_t(1) << 61);
    }

    std::int64_t m_perSecond = 0;
    std::int64_t m_dropped = 0;
};

/// The first multiple of `step` at or after `frame`.
std::int64_t firstMultiple(std::int64_t frame, std::int64_t step) {
    std::int64_t quotient = frame / step;
    if (quotient * step < frame)
        ++quotient;
    // The multiple past the largest frame does not exist: begin one step lower,
    // and the caller's bound check stops there.
    if (quotient > kLargest / step)
        --quotient;
    return quotient * step;
}

/// The legend's keys, in order.
struct LegendKey {
    LegendEntry::Sample sample;
    const char* text;
};

constexpr std::array<LegendKey, 15> kLegendKeys = {{
    {LegendEntry::Sample::VideoClip, "video clip"},
    {LegendEntry::Sample::AudioClip, "audio clip"},
    {LegendEntry::Sample::OtherClip, "clip on a track of no kind"},
    {LegendEntry::Sample::OfflineClip, "offline clip (no media)"},
    {LegendEntry::Sample::Gap, "gap"},
    {LegendEntry::Sample::Merged, "items too short to draw apart"},
    {LegendEntry::Sample::Note, "review note over its range"},
    {LegendEntry::Sample::Compositing, "compositing"},
    {LegendEntry::Sample::Mask, "mask"},
    {LegendEntry::Sample::Look, "look (CDL)"},
    {LegendEntry::Sample::OtherEffect, "other effect"},
    {LegendEntry::Sample::MutedEffect, "effect switched off"},
    {LegendEntry::Sample::Paint, "paint strokes"},
    {LegendEntry::Sample::Mark, "composition start and end"},
    {LegendEntry::Sample::Transition, "transition (kept, not played)"},
}};

/// A note to draw, where it wants to be.
struct WantedNote {
    const TimelineNote* note;
    const TimelineItem* item;
    double x0;
    double x1;  ///< drawn: at least kMinimumNoteWidth from x0
    double end; ///< the note's own end
};

/// A marker and the notes it stands for.
struct NoteMarker {
    PictureNote note;
    std::vector<const WantedNote*> notes;
};

/// Each note takes the first of the lanes free at its start; when every lane is
/// taken it joins the marker that ends first. `lanes` is set to the lanes used.
std::vector<NoteMarker> markersIn(const std::vector<WantedNote>& wanted, double top,
                                  std::size_t& lanes) {
    std::vector<NoteMarker> markers;
    std::array<std::optional<std::size_t>, kMaximumNoteLanes> laneLast{};
    const auto endOfLast = [&](std::size_t lane) {
        const PictureNote& last = markers[*laneLast[lane]].note;
        return last.x + last.width;
    };
    lanes = 0;
    for (const WantedNote& note : wanted) {
        std::optional<std::size_t> lane;
        for (std::size_t l = 0; l < kMaximumNoteLanes && !lane; ++l)
            if (!laneLast[l] || endOfLast(l) + kNoteSpacing <= note.x0)
                lane = l;
        if (lane) {
            NoteMarker marker;
            marker.note.x = note.x0;
            marker.note.width = note.x1 - note.x0;
            marker.note.y = top + kNoteLaneHeight * static_cast<double>(*lane);
            marker.notes.push_back(&note);
            laneLast[*lane] = markers.size();
            markers.push_back(std::move(marker));
            lanes = std::max(lanes, *lane + 1);
            continue;
        }
        std::size_t earliest = 0;
        for (std::size_t l = 1; l < kMaximumNoteLanes; ++l)
            if (endOfLast(l) < endOfLast(earliest))
                earliest = l;
        NoteMarker& shared = markers[*laneLast[earliest]];
        // By the note's own end, not its drawn one: a run of short notes that
        // each widened the marker would make it grow without end.
        shared.note.width = std::max(shared.note.x + shared.note.width, note.end) - shared.note.x;
        shared.notes.push_back(&note);
    }
    return markers;
}

class Layout {
public:
    Layout(const TimelineView& view, const PictureOptions& options)
        : m_view(view), m_options(options), m_clock(Clock::of(view)) {}

    TimelinePicture run();

private:
    void rangeToDraw();
    void heading();
    void marks(double top);
    void ruler();
    PictureRow row(std::size_t index, double top);
    std::vector<PictureTransition> transitions(std::size_t index, double top);
    std::vector<PictureBox> boxes(const TimelineTrack& track, double top);
    PictureBox itemBox(const TimelineItem& item, double x0, double x1, double top);
    PictureBox mergedBox(const TimelineTrack& track, std::size_t first, std::size_t last, double x0,
                         double x1, double top);
    std::vector<PictureNote> notes(const TimelineTrack& track, double top, std::size_t& lanes);
    std::vector<WantedNote> wantedNotes(const TimelineTrack& track) const;
    PictureNote markerNote(NoteMarker& marker);
    void legend(double top);

    const TimelineView& m_view;
    const PictureOptions& m_options;
    /// How record times are written: timecode at the picture's rate.
    const Clock m_clock;
    TimelinePicture m_picture;
    std::optional<Scale> m_scale;
};

TimelinePicture Layout::run() {
    m_picture.width = std::clamp(m_options.width, kMinimumWidth, kMaximumWidth);
    if (std::isnan(m_options.width))
        m_picture.width = kDefaultWidth;
    m_picture.timeLeft = kTimeAreaLeft;
    m_picture.timeRight = m_picture.width - kTimeAreaRightMargin;
    rangeToDraw();
    m_scale.emplace(m_picture.from, m_picture.to, m_picture.timeLeft, m_picture.timeRight);

    heading();
    const double marksTop = kMargin + kLineHeight * (1.5 + m_picture.heading.size());
    marks(marksTop);
    ruler();

    const RowOrder order = rowOrder(m_view, m_options.viewOrder);
    double y = m_picture.rulerBottom + 4.0;
    m_picture.tracksTop = y;
    std::size_t group = 0;
    for (std::size_t i = 0; i < order.tracks.size(); ++i) {
        if (group < order.groupStarts.size() && order.groupStarts[group] == i) {
            if (i != 0) {
                y += 3.0;
                m_picture.separators.push_back(y);
                y += 4.0;
            }
            ++group;
        }
        m_picture.rows.push_back(row(order.tracks[i], y));
        y += m_picture.rows.back().height;
        if (i < m_options.spaceBelow.size())
            y += m_options.spaceBelow[i];
    }
    if (m_picture.rows.empty()) {
        m_picture.emptyMessage =
            PictureText{m_picture.timeLeft + 4.0, y + 20.0, "This timeline has no tracks.", false};
        y += 32.0;
    }
    m_picture.tracksBottom = y;

    legend(y + 18.0);
    return std::move(m_picture);
}

void Layout::rangeToDraw() {
    if (m_options.range && m_options.range->duration > 0) {
        m_picture.from = m_options.range->start;
        m_picture.to = endOf(*m_options.range);
    } else {
        // The composition, widened to any item that lies outside it, so that
        // every clip is drawn.
        m_picture.from = m_view.start;
        m_picture.to = saturatingAdd(m_view.start, std::max<std::int64_t>(m_view.duration, 0));
        for (const TimelineTrack& track : m_view.tracks)
            for (const TimelineItem& item : track.items) {
                m_picture.from = std::min(m_picture.from, item.record.start);
                m_picture.to = std::max(m_picture.to, endOf(item.record));
            }
    }
    if (m_picture.to <= m_picture.from) {
        if (m_picture.from == kLargest)
            m_picture.from = kLargest - 1;
        m_picture.to = m_picture.from + 1;
    }
}

void Layout::heading() {
    const double textWidth = m_picture.width - 2 * kMargin;
    const std::string name = m_view.name.empty() ? std::string("(unnamed timeline)") : m_view.name;
    m_picture.title = PictureText{kMargin, kMargin + kTitleSize,
                                  fitText(name, columnsIn(textWidth, kTitleSize)), false};

    std::uint64_t clips = 0;
    std::uint64_t gaps = 0;
    std::uint64_t notes = 0;
    for (const TimelineTrack& track : m_view.tracks)
        for (const TimelineItem& item : track.items) {
            (item.isGap() ? gaps : clips) += 1;
            notes += item.notes.size();
        }
    const Clock& rate = m_clock;
    std::vector<std::string> parts = {
        m_options.source,
        TimelineCaptions::rate(m_view.rate) +
            (m_clock.converts() ? ", timecode at " + TimelineCaptions::rate(m_clock.shown)
                                : std::string()),
        TimelineCaptions::timecode(m_view.start, rate) + " to " +
            TimelineCaptions::timecode(saturatingAdd(m_view.start, m_view.duration), rate) + ", " +
            TimelineCaptions::count(
                static_cast<std::uint64_t>(std::max<std::int64_t>(m_view.duration, 0)), "frame",
                "frames"),
        TimelineCaptions::count(m_view.tracks.size(), "track", "tracks") + ", " +
            TimelineCaptions::count(clips, "clip", "clips") + ", " +
            TimelineCaptions::count(gaps, "gap", "gaps") + ", " +
            TimelineCaptions::count(notes, "note", "notes")};
    if (m_options.range && m_options.range->duration > 0) {
        const FrameRange drawn{m_picture.from, m_picture.to - m_picture.from};
        parts.push_back("drawn: " + TimelineCaptions::range(drawn, rate));
    }

    // The parts one after the other, on as many lines as the width needs; a
    // part too long for a line keeps its start and its end (a path's file name).
    const std::string separator = "  \xC2\xB7  "; // "  ·  "
    const std::size_t columns = columnsIn(textWidth, kTextSize);
    std::string line;
    double y = kMargin + kTitleSize;
    const auto flush = [&] {
        y += kLineHeight;
        m_picture.heading.push_back(PictureText{kMargin, y, std::move(line), false});
        line.clear();
    };
    for (const std::string& part : parts) {
        const std::string fitted = fitText(part, columns, Elide::Middle);
        if (!line.empty() && displayColumns(line + separator + fitted) > columns)
            flush();
        line += (line.empty() ? "" : separator) + fitted;
    }
    flush();
}

void Layout::marks(double top) {
    m_picture.marksTop = top;
    const Clock& rate = m_clock;
    struct Wanted {
        std::int64_t frame;
        std::string text;
        bool preferEnd;
    };
    const std::array<Wanted, 2> wanted = {{
        {m_view.start, "start " + TimelineCaptions::timecode(m_view.start, rate), false},
        {saturatingAdd(m_view.start, m_view.duration),
         "end " + TimelineCaptions::timecode(saturatingAdd(m_view.start, m_view.duration), rate),
         true},
    }};

    double firstLineRight = -1.0; // right edge of the text on the first line
    std::size_t lines = 1;
    for (const Wanted& mark : wanted) {
        if (mark.frame < m_picture.from || mark.frame > m_picture.to)
            continue;
        const double x = m_scale->x(mark.frame);
        const double width = textWidth(mark.text, kSmallSize);
        // Beside the line, on the side the picture has room for.
        bool alignEnd = mark.preferEnd;
        if (alignEnd && x - 3.0 - width < kMargin)
            alignEnd = false;
        if (!alignEnd && x + 3.0 + width > m_picture.width - kMargin)
            alignEnd = true;
        const double left = alignEnd ? x - 3.0 - width : x + 3.0;
        double y = top + kSmallSize;
        if (firstLineRight >= 0.0 && left < firstLineRight + 8.0) {
            y += kLineHeight - 3.0;
            lines = 2;
        } else {
            firstLineRight = left + width;
        }
        m_picture.marks.push_back(
            PictureMark{x, {alignEnd ? x - 3.0 : x + 3.0, y, mark.text, alignEnd}});
    }
    m_picture.rulerTop = top + 4.0 + (kLineHeight - 3.0) * static_cast<double>(lines);
    m_picture.rulerBottom = m_picture.rulerTop + kRulerHeight;
}

void Layout::ruler() {
    // The ruler counts the frames timecodes are shown at (see Clock): the
    // picture's, on a timeline timed at its sound's sample rate.
    const Rational& rate = m_clock.shown;
    const std::int64_t from = m_clock.shownFrame(m_picture.from);
    const std::int64_t to = m_clock.shownFrame(m_picture.to);
    const double span = difference(to, from);
    const double pixelsPerFrame =
        m_clock.converts() ? m_scale->pixelsPerFrame() * m_clock.rate.getValue() / rate.getValue()
                           : m_scale->pixelsPerFrame();
    // Room for the widest label the range can have, and some air.
    const double labelWidth =
        std::max(textWidth(TimelineCaptions::timecode(from, rate), kSmallSize),
                 textWidth(TimelineCaptions::timecode(to, rate), kSmallSize)) +
        14.0;
    const TickSpacing spacing = tickSpacing(rate, pixelsPerFrame, labelWidth, span);

    // Ticks at round timecodes: multiples of the step in the timecode's own
    // count, which at the drop-frame rates is not the count of frames.
    const TimecodeCount count(rate);
    const auto addTicks = [&](std::int64_t step, bool major) {
        std::optional<std::int64_t> previous;
        for (std::int64_t number = firstMultiple(count.number(from), step);;) {
            const std::int64_t shown = count.frame(number);
            if (shown > to)
                break;
            const std::int64_t frame = m_clock.frameAt(shown);
            // The numbers drop-frame timecode skips stand for the minute's
            // first frame: with steps shorter than the skip, that frame gets
            // one tick, not one per number.
            const bool repeated = shown == previous;
            previous = shown;
            if (!repeated && frame >= m_picture.from && frame <= m_picture.to &&
                (major || number % spacing.major != 0)) {
                PictureTick tick;
                tick.x = m_scale->x(frame);
                tick.major = major;
                if (major) {
                    const std::string text = TimelineCaptions::timecode(shown, rate);
                    if (tick.x + 3.0 + textWidth(text, kSmallSize) <= m_picture.timeRight)
                        tick.label =
                            PictureText{tick.x + 3.0, m_picture.rulerTop + 12.0, text, false};
                }
                m_picture.ticks.push_back(std::move(tick));
            }
            if (number > kLargest - step)
                break;
            number += step;
        }
    };
    addTicks(spacing.major, true);
    if (spacing.minor != 0)
        addTicks(spacing.minor, false);
}

PictureRow Layout::row(std::size_t index, double top) {
    const TimelineTrack& track = m_view.tracks[index];
    PictureRow row;
    row.kind = track.kind;
    row.y = top;

    std::size_t lanes = 0;
    row.notes = notes(track, top + kRowTopPadding, lanes);
    const double boxTop = top + kRowTopPadding + kNoteLaneHeight * static_cast<double>(lanes);
    row.boxes = boxes(track, boxTop);
    row.transitions = transitions(index, boxTop);
    row.height = boxTop - top + kBoxHeight + kRowBottomPadding;

    std::uint64_t clips = 0;
    std::uint64_t gaps = 0;
    for (const TimelineItem& item : track.items)
        (item.isGap() ? gaps : clips) += 1;
    const double labelWidth = kTimeAreaLeft - 2 * kMargin;
    const std::string name = track.name.empty() ? std::string("(unnamed track)") : track.name;
    // Three lines around the row's middle: the name, the kind, the counts.
    const double middle = top + row.height / 2.0;
    row.name =
        PictureText{kMargin, middle - 7.0,
                    fitText(name, columnsIn(labelWidth, kTrackNameSize), Elide::Middle), false};
    row.detail = PictureText{kMargin, middle + 5.0,
                             std::string(TimelineTrack::kindName(track.kind)) + " track", false};
    row.counts = PictureText{kMargin, middle + 16.0,
                             fitText(TimelineCaptions::count(clips, "clip", "clips") + ", " +
                                         TimelineCaptions::count(gaps, "gap", "gaps"),
                                     columnsIn(labelWidth, kSmallSize)),
                             false};
    const bool severalStacks =
        std::any_of(m_view.tracks.begin(), m_view.tracks.end(),
                    [](const TimelineTrack& other) { return other.stack != 0; });
    row.tooltip =
        name + "\n" + TimelineTrack::kindName(track.kind) + " track" +
        (severalStacks ? ", in track " + std::to_string(track.stack + 1) + " of the edit tree"
                       : std::string()) +
        "\n" + TimelineCaptions::count(clips, "clip", "clips") + ", " +
        TimelineCaptions::count(gaps, "gap", "gaps");
    return row;
}

std::vector<PictureBox> Layout::boxes(const TimelineTrack& track, double top) {
    struct Placed {
        std::size_t index;
        double x0;
        double x1;
        bool narrow() const { return x1 - x0 < kMergeBelowWidth; }
    };
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < track.items.size(); ++i) {
        const TimelineItem& item = track.items[i];
        const std::int64_t end = endOf(item.record);
        if (!shows(item.record.start, end, m_picture.from, m_picture.to))
            continue;
        placed.push_back({i, m_scale->clampedX(item.record.start), m_scale->clampedX(end)});
    }

    std::vector<PictureBox> result;
    for (std::size_t i = 0; i < placed.size();) {
        // A run of narrow items that touch one another becomes one block, up to
        // the block's width.
        std::size_t last = i;
        if (placed[i].narrow())
            while (last + 1 < placed.size() && placed[last + 1].narrow() &&
                   placed[last + 1].x0 - placed[last].x1 < 1.0 &&
                   placed[last + 1].x1 - placed[i].x0 <= kMergedBlockWidth)
                ++last;
        if (last == i) {
            const Placed& one = placed[i];
            result.push_back(itemBox(track.items[one.index], one.x0, one.x1, top));
            result.back().item = one.index;
        } else {
            double x1 = placed[i].x1;
            for (std::size_t j = i; j <= last; ++j)
                x1 = std::max(x1, placed[j].x1);
            result.push_back(
                mergedBox(track, placed[i].index, placed[last].index, placed[i].x0, x1, top));
            result.back().item = placed[i].index;
            m_picture.mergedItems += last - i + 1;
            ++m_picture.mergedBlocks;
        }
        i = last + 1;
    }
    return result;
}

std::vector<PictureTransition> Layout::transitions(std::size_t index, double top) {
    std::vector<PictureTransition> result;
    for (const TimelineTransition& transition : m_view.tracks[index].transitions) {
        const FrameRange spanned{saturatingAdd(transition.cut, -transition.inOffset),
                                 transition.inOffset + transition.outOffset};
        const std::int64_t end = endOf(spanned);
        // A cut at either end of the drawn range shows, even with nothing around it.
        if (!shows(spanned.start, end, m_picture.from, m_picture.to) &&
            (transition.cut < m_picture.from || transition.cut > m_picture.to))
            continue;
        double x0 = m_scale->clampedX(spanned.start);
        double x1 = m_scale->clampedX(end);
        if (x1 - x0 < kTransitionWidth) {
            const double cut = m_scale->clampedX(transition.cut);
            x0 = std::max(m_picture.timeLeft, cut - kTransitionWidth / 2.0);
            x1 = std::min(m_picture.timeRight, x0 + kTransitionWidth);
            x0 = std::max(m_picture.timeLeft, x1 - kTransitionWidth);
        }
        const std::string line =
            "transition" + (transition.name.empty() ? std::string() : " " + transition.name) +
            (transition.type.empty() ? std::string() : " (" + transition.type + ")");
        ++m_picture.transitions;
        // Transitions that overlap at this width share one mark, as narrow items
        // share a block, which names them.
        if (!result.empty() && x0 < result.back().x + result.back().width) {
            PictureTransition& shared = result.back();
            shared.width = std::max(shared.width, x1 - shared.x);
            if (++shared.count <= kMergedItemsNamed)
                shared.names +=
                    "\n" + line + " at " + TimelineCaptions::timecode(transition.cut, m_clock);
            shared.tooltip = TimelineCaptions::count(shared.count, "transition", "transitions") +
                             " too close to draw apart:" + shared.names +
                             (shared.count > kMergedItemsNamed ? "\n…" : "");
            continue;
        }
        PictureTransition placed;
        placed.x = x0;
        placed.y = top;
        placed.width = x1 - x0;
        placed.height = kBoxHeight;
        placed.names = "\n" + line + " at " + TimelineCaptions::timecode(transition.cut, m_clock);
        placed.tooltip = line + "\n" + TimelineCaptions::range(spanned, m_clock) +
                         " across the cut at " +
                         TimelineCaptions::timecode(transition.cut, m_clock) +
                         "\nkept from the OTIO document; the edit tree plays the cut";
        result.push_back(std::move(placed));
    }
    return result;
}

PictureBox Layout::itemBox(const TimelineItem& item, double x0, double x1, double top) {
    PictureBox box;
    box.kind = item.isGap()   ? PictureBox::Kind::Gap
               : item.offline ? PictureBox::Kind::OfflineClip
                              : PictureBox::Kind::Clip;
    box.x = x0;
    box.y = top;
    box.width = x1 - x0;
    box.height = kBoxHeight;
    box.tooltip = TimelineCaptions::item(item, m_clock);

    const double inner = box.width - 2 * kBoxPadding;
    box.label = PictureText{x0 + kBoxPadding, top + 14.0,
                            fitText(item.name, columnsIn(inner, kTextSize), Elide::Middle), false};

    // Badges along the bottom: the effects (annotations are drawn as notes
    // and paint), then the paint icon; when they do not all fit, as many as
    // do and a "+" that names the rest.
    std::vector<PictureBadge> wanted;
    for (const TimelineEffect& effect : item.effects) {
        PictureBadge badge;
        switch (effect.kind) {
        case TimelineEffect::Kind::Comp:
            badge.kind = PictureBadge::Kind::Compositing;
            break;
        case TimelineEffect::Kind::AngularMask:
            badge.kind = PictureBadge::Kind::Mask;
            break;
        case TimelineEffect::Kind::Look:
            badge.kind = PictureBadge::Kind::Look;
            break;
        case TimelineEffect::Kind::Annotation:
            continue;
        default:
            badge.kind = PictureBadge::Kind::Other;
        }
        badge.muted = effect.muted;
        badge.tooltip = TimelineCaptions::effect(effect);
        wanted.push_back(std::move(badge));
    }
    if (item.hasPaint()) {
        PictureBadge badge;
        badge.kind = PictureBadge::Kind::Paint;
        badge.tooltip = TimelineCaptions::paint(item, m_clock);
        wanted.push_back(std::move(badge));
    }
    const std::size_t fit =
        inner < kBadgeSize
            ? 0
            : static_cast<std::size_t>((inner + kBadgeGap) / (kBadgeSize + kBadgeGap));
    std::size_t shown = std::min(fit, wanted.size());
    if (shown < wanted.size() && shown > 0) {
        --shown;
        PictureBadge more;
        more.kind = PictureBadge::Kind::More;
        more.tooltip = TimelineCaptions::count(wanted.size() - shown, "more", "more") + ":";
        for (std::size_t i = shown; i < wanted.size(); ++i)
            more.tooltip +=
                "\n" + (wanted[i].kind == PictureBadge::Kind::Paint ? std::string("paint strokes")
                                                                    : wanted[i].tooltip);
        wanted[shown] = std::move(more);
        ++shown;
    }
    wanted.resize(shown);
    const double badgeTop = top + kBoxHeight - kBoxPadding - kBadgeSize;
    double x = x0 + kBoxPadding;
    for (PictureBadge& badge : wanted) {
        badge.x = x;
        badge.y = badgeTop;
        x += kBadgeSize + kBadgeGap;
    }
    box.badges = std::move(wanted);

    if (box.kind == PictureBox::Kind::OfflineClip) {
        const std::string word = "offline";
        const double left = box.badges.empty() ? x0 + kBoxPadding : x + 2.0;
        if (left + textWidth(word, kSmallSize) <= x1 - kBoxPadding)
            box.status = PictureText{left, top + kBoxHeight - kBoxPadding - 1.5, word, false};
    }
    return box;
}

PictureBox Layout::mergedBox(const TimelineTrack& track, std::size_t first, std::size_t last,
                             double x0, double x1, double top) {
    PictureBox box;
    box.x = x0;
    box.y = top;
    box.width = x1 - x0;
    box.height = kBoxHeight;
    box.items = last - first + 1;

    std::uint64_t clips = 0;
    std::uint64_t gaps = 0;
    std::uint64_t offline = 0;
    std::uint64_t effects = 0;
    std::uint64_t notes = 0;
    std::uint64_t painted = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const TimelineItem& item = track.items[i];
        (item.isGap() ? gaps : clips) += 1;
        offline += item.offline ? 1 : 0;
        effects += item.effects.size();
        notes += item.notes.size();
        painted += item.hasPaint() ? 1 : 0;
    }
    box.kind = PictureBox::Kind::Merged;
    box.gapsOnly = clips == 0;

    const TimelineItem& firstItem = track.items[first];
    const TimelineItem& lastItem = track.items[last];
    const std::string summary = clips == 0 ? TimelineCaptions::count(gaps, "gap", "gaps")
                                           : TimelineCaptions::count(box.items, "item", "items");
    box.label =
        PictureText{x0 + kBoxPadding, top + 14.0,
                    fitText(summary, columnsIn(box.width - 2 * kBoxPadding, kTextSize)), false};
    const FrameRange covered{firstItem.record.start,
                             endOf(lastItem.record) - firstItem.record.start};
    // Each item by name and range, so that every clip can be found in the
    // picture; a large block names its first items and its last, which keeps
    // the file small however long the timeline.
    std::string named;
    const std::size_t listed = box.items <= kMergedItemsNamed ? box.items : kMergedItemsNamed - 1;
    for (std::size_t i = first; i < first + listed; ++i)
        named += "\n" + TimelineCaptions::itemLine(track.items[i], m_clock);
    if (listed < box.items)
        named += "\n(" +
                 TimelineCaptions::count(box.items - listed - 1, "more item", "more items") +
                 ")\n" + TimelineCaptions::itemLine(lastItem, m_clock);
    box.tooltip = TimelineCaptions::count(box.items, "item", "items") +
                  " too short to draw apart at this width: " +
                  TimelineCaptions::count(clips, "clip", "clips") + " (" + std::to_string(offline) +
                  " offline), " + TimelineCaptions::count(gaps, "gap", "gaps") + "\nfrom " +
                  TimelineCaptions::range(covered, m_clock) + "\n" +
                  TimelineCaptions::count(effects, "effect", "effects") + ", " +
                  TimelineCaptions::count(notes, "note", "notes") + ", paint on " +
                  TimelineCaptions::count(painted, "item", "items") + named +
                  "\nA shorter --range or a wider --width draws each one.";
    return box;
}

std::vector<WantedNote> Layout::wantedNotes(const TimelineTrack& track) const {
    std::vector<WantedNote> wanted;
    for (const TimelineItem& item : track.items)
        for (const TimelineNote& note : item.notes) {
            const std::int64_t end = endOf(note.range);
            if (!shows(note.range.start, end, m_picture.from, m_picture.to))
                continue;
            double x0 = m_scale->clampedX(note.range.start);
            const double ownEnd = m_scale->clampedX(end);
            double x1 = std::max(ownEnd, x0 + kMinimumNoteWidth);
            if (x1 > m_picture.timeRight) {
                x0 = std::max(m_picture.timeLeft, x0 - (x1 - m_picture.timeRight));
                x1 = m_picture.timeRight;
            }
            wanted.push_back({&note, &item, x0, x1, ownEnd});
        }
    std::stable_sort(wanted.begin(), wanted.end(),
                     [](const WantedNote& a, const WantedNote& b) { return a.x0 < b.x0; });
    return wanted;
}

PictureNote Layout::markerNote(NoteMarker& marker) {
    PictureNote note = std::move(marker.note);
    note.count = marker.notes.size();
    note.height = kNoteLaneHeight - 2.0;
    note.hidden = true;
    for (const WantedNote* one : marker.notes)
        note.hidden = note.hidden && !one->note->visible;
    std::string label;
    if (note.count == 1) {
        label = marker.notes.front()->note->text;
        note.tooltip = TimelineCaptions::note(*marker.notes.front()->note,
                                              *marker.notes.front()->item, m_clock);
    } else {
        label = std::to_string(note.count) + " notes: " + marker.notes.front()->note->text;
        note.tooltip = std::to_string(note.count) + " notes too close to draw apart:";
        for (std::size_t i = 0; i < marker.notes.size() && i < kNotesListedOnShared; ++i) {
            const TimelineNote& one = *marker.notes[i]->note;
            note.tooltip +=
                "\n" + TimelineCaptions::timecode(one.range.start, m_clock) + "  " + one.text;
        }
        if (marker.notes.size() > kNotesListedOnShared)
            note.tooltip +=
                "\nand " + std::to_string(marker.notes.size() - kNotesListedOnShared) + " more";
        m_picture.sharedNotes += note.count;
        ++m_picture.sharedMarkers;
    }
    // Line ends would break the one-line label.
    std::replace(label.begin(), label.end(), '\n', ' ');
    note.label =
        PictureText{note.x + 5.0, note.y + 9.0,
                    fitText(label, columnsIn(note.width - 7.0, kSmallSize), Elide::End), false};
    return note;
}

std::vector<PictureNote> Layout::notes(const TimelineTrack& track, double top, std::size_t& lanes) {
    const std::vector<WantedNote> wanted = wantedNotes(track);
    std::vector<NoteMarker> markers = markersIn(wanted, top, lanes);
    std::vector<PictureNote> result;
    for (NoteMarker& marker : markers)
        result.push_back(markerNote(marker));
    return result;
}

void Layout::legend(double top) {
    const double right = m_picture.width - kMargin;
    double x = kMargin;
    double y = top;
    const auto addKey = [&](LegendEntry::Sample sample, const std::string& text,
                            const PictureTag& tag) {
        const double width = kLegendSampleWidth + 6.0 + textWidth(text, kSmallSize);
        if (x + width > right && x > kMargin) {
            x = kMargin;
            y += kLineHeight + 4.0;
        }
        LegendEntry entry;
        entry.sample = sample;
        entry.tag = tag;
        entry.x = x;
        entry.y = y;
        // A key starts a line of its own when it does not fit the one it is on;
        // the longest is a third of the narrowest picture.
        entry.text = PictureText{x + kLegendSampleWidth + 6.0, y + 11.0, text, false};
        m_picture.legend.push_back(std::move(entry));
        x += width + 18.0;
    };
    // Clips that take their tags' colours are not coloured by their tracks' kinds.
    const bool tagged = !m_options.tagKeys.empty();
    for (const LegendKey& key : kLegendKeys) {
        // Only a picture that has transitions explains them.
        if (key.sample == LegendEntry::Sample::Transition && m_picture.transitions == 0)
            continue;
        if (tagged && (key.sample == LegendEntry::Sample::VideoClip ||
                       key.sample == LegendEntry::Sample::AudioClip ||
                       key.sample == LegendEntry::Sample::OtherClip))
            continue;
        addKey(key.sample, key.text, PictureTag());
    }
    for (const auto& [tag, text] : m_options.tagKeys)
        addKey(LegendEntry::Sample::Tag, text, tag);
    y += kLegendSampleHeight + 8.0;

    std::vector<std::string> notes;
    if (m_picture.mergedItems != 0)
        notes.push_back(
            TimelineCaptions::count(m_picture.mergedItems, "item", "items") + " narrower than " +
            std::to_string(static_cast<int>(kMergeBelowWidth)) + " px at this width are drawn as " +
            TimelineCaptions::count(m_picture.mergedBlocks, "hatched block", "hatched blocks") +
            "; a shorter --range or a wider --width draws each one.");
    if (m_picture.sharedNotes != 0)
        notes.push_back(TimelineCaptions::count(m_picture.sharedNotes, "note", "notes") +
                        " too close to draw apart share " +
                        TimelineCaptions::count(m_picture.sharedMarkers, "marker", "markers") +
                        ".");
    notes.push_back((m_options.orderNote.empty()
                         ? std::string("Tracks are drawn as editing applications show them: "
                                       "video above audio, the highest video track on top.")
                         : m_options.orderNote) +
                    " Point at a clip, gap, " + (m_picture.transitions == 0 ? "" : "transition, ") +
                    "note or badge for its details.");
    for (const std::string& note : notes)
        for (std::string& line : wrapText(note, columnsIn(right - kMargin, kSmallSize))) {
            y += kLineHeight - 2.0;
            m_picture.legendNotes.push_back(PictureText{kMargin, y, std::move(line), false});
        }
    m_picture.height = y + kMargin + 4.0;
}

} // namespace

const char* PictureBadge::letter(Kind kind) {
    switch (kind) {
    case Kind::Compositing:
        return "C";
    case Kind::Mask:
        return "M";
    case Kind::Look:
        return "L";
    case Kind::Other:
        return "E";
    case Kind::More:
        return "+";
    default:
        return "";
    }
}

double TimelinePicture::xOf(std::int64_t frame) const {
    return Scale(from, to, timeLeft, timeRight).x(frame);
}

TimelinePicture TimelinePicture::layout(const TimelineView& view, const PictureOptions& options) {
    return Layout(view, options).run();
}

} // namespace zemcomp
