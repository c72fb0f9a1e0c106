#include "tools/zemcomp/picture/TimelineSvg.h"

#include "tools/zemcomp/picture/SvgWriter.h"

#include <algorithm>
#include <string>

namespace zemcomp::TimelineSvg {

using ZEM_0_81::TimelineTrack;

namespace {

// Colours from the Okabe-Ito palette, which readers with any common colour
// vision deficiency tell apart; every distinction also has a second cue
// (outline, pattern, letter or shape), so that a grey print keeps it too.
// Text sizes match the layout's.
constexpr const char* kStyle =
    "text{font-family:DejaVu Sans Mono,Menlo,Consolas,Liberation Mono,monospace;"
    "font-size:11px;fill:#000}"
    ".title{font-size:16px;font-weight:bold}"
    ".small{font-size:10px}"
    ".track-name{font-size:12px;font-weight:bold}"
    ".end{text-anchor:end}"
    ".halo{paint-order:stroke;stroke:#fff;stroke-width:3px;stroke-linejoin:round}"
    ".page{fill:#fff}"
    ".labels{fill:#e6e6e6}"
    ".row-even{fill:#fff}"
    ".row-odd{fill:#f2f2f2}"
    ".separator{stroke:#000;stroke-width:1.2}"
    ".ruler-band{fill:#f7f7f7;stroke:#000;stroke-width:.6}"
    ".major{stroke:#000;stroke-width:1}"
    ".minor{stroke:#555;stroke-width:.6}"
    ".grid{stroke:#d4d4d4;stroke-width:.6}"
    ".mark{stroke:#000;stroke-width:1.4;stroke-dasharray:6 3}"
    ".box{stroke:#000;stroke-width:.8}"
    ".video{fill:#56B4E9}"
    ".audio{fill:#009E73}"
    ".none{fill:#F0E442}"
    ".offline{fill:url(#offline-hatch);stroke:#D55E00;stroke-width:1.5;stroke-dasharray:4 2}"
    ".gap-box{fill:#fff;fill-opacity:0;stroke:#666;stroke-dasharray:2 2}"
    ".gap-label{fill:#444;font-style:italic}"
    ".merged-box{fill:url(#merged-hatch);stroke:#333}"
    ".note-marker{fill:#FBE3D4;stroke:#D55E00}"
    ".note-flag{fill:#D55E00}"
    ".note-hidden{fill:#fff;stroke:#D55E00;stroke-dasharray:3 2}"
    ".badge-box{stroke:#000;stroke-width:.7}"
    ".compositing{fill:#E69F00}"
    ".mask{fill:#CC79A7}"
    ".look{fill:#F0E442}"
    ".other-effect{fill:#BBBBBB}"
    ".more{fill:#fff}"
    ".muted{fill:#fff}"
    ".strike{stroke:#000;stroke-width:1.1}"
    ".badge-letter{font-size:9px;font-weight:bold;text-anchor:middle}";

/// Added to the style sheet of a picture that draws transitions only, so that
/// the pictures of timelines without any stay as they were.
constexpr const char* kTransitionStyle =
    ".transition-box{fill:#fff;fill-opacity:.6;stroke:#000;stroke-width:.8}"
    ".transition-line{stroke:#000;stroke-width:1}";

/// Added to the style sheet of a picture with tags (a comparison's), so that
/// the pictures without stay as they were.
constexpr const char* kTagStyle = ".tag-box{stroke:#000;stroke-width:.8}"
                                  ".tag-dotted{stroke-width:1.6;stroke-dasharray:2 2}"
                                  ".band{fill-opacity:.45;stroke:#000;stroke-width:.5}"
                                  ".tag-letter{font-size:9px;font-weight:bold;text-anchor:middle}";

constexpr double kSampleWidth = 24.0;
constexpr double kSampleHeight = 14.0;

/// The hatching of tags with a hatched pattern, over their colour.
void tagHatch(SvgWriter& svg) {
    svg.open("pattern", {{"id", "tag-hatch"},
                         {"width", 5.0},
                         {"height", 5.0},
                         {"patternUnits", "userSpaceOnUse"},
                         {"patternTransform", "rotate(-45)"}});
    svg.empty("line", {{"x1", 1.0},
                       {"y1", 0.0},
                       {"x2", 1.0},
                       {"y2", 5.0},
                       {"stroke", "#000"},
                       {"stroke-opacity", 0.6},
                       {"stroke-width", 1.3}});
    svg.close();
}

void definitions(SvgWriter& svg, bool tags) {
    svg.open("defs");
    if (tags)
        tagHatch(svg);
    svg.open("pattern", {{"id", "offline-hatch"},
                         {"width", 6.0},
                         {"height", 6.0},
                         {"patternUnits", "userSpaceOnUse"},
                         {"patternTransform", "rotate(45)"}});
    svg.empty("rect", {{"width", 6.0}, {"height", 6.0}, {"fill", "#fff"}});
    svg.empty("line", {{"x1", 1.0},
                       {"y1", 0.0},
                       {"x2", 1.0},
                       {"y2", 6.0},
                       {"stroke", "#D55E00"},
                       {"stroke-opacity", 0.5},
                       {"stroke-width", 1.6}});
    svg.close();
    svg.open("pattern", {{"id", "merged-hatch"},
                         {"width", 4.0},
                         {"height", 4.0},
                         {"patternUnits", "userSpaceOnUse"},
                         {"patternTransform", "rotate(45)"}});
    svg.empty("rect", {{"width", 4.0}, {"height", 4.0}, {"fill", "#d9d9d9"}});
    svg.empty("line", {{"x1", 1.0},
                       {"y1", 0.0},
                       {"x2", 1.0},
                       {"y2", 4.0},
                       {"stroke", "#333"},
                       {"stroke-width", 1.2}});
    svg.close();
    // The paint icon: a brush stroke on a white tile.
    svg.open("symbol", {{"id", "paint-icon"}, {"viewBox", "0 0 11 11"}});
    svg.empty("rect", {{"x", 0.35},
                       {"y", 0.35},
                       {"width", 10.3},
                       {"height", 10.3},
                       {"rx", 2.0},
                       {"fill", "#fff"},
                       {"stroke", "#000"},
                       {"stroke-width", 0.7}});
    svg.empty("path", {{"d", "M2 8.5C3.5 1.5 5.5 10.5 9 2.5"},
                       {"fill", "none"},
                       {"stroke", "#0072B2"},
                       {"stroke-width", 1.8},
                       {"stroke-linecap", "round"}});
    svg.close();
    svg.close();
}

void text(SvgWriter& svg, const PictureText& placed, const char* classes = nullptr) {
    if (placed.text.empty())
        return;
    std::string all = classes ? classes : "";
    if (placed.alignEnd)
        all += all.empty() ? "end" : " end";
    if (all.empty())
        svg.text("text", {{"x", placed.x}, {"y", placed.y}}, placed.text);
    else
        svg.text("text", {{"x", placed.x}, {"y", placed.y}, {"class", all}}, placed.text);
}

const char* clipClass(TimelineTrack::Kind kind) {
    switch (kind) {
    case TimelineTrack::Kind::Video:
        return "box video";
    case TimelineTrack::Kind::Audio:
        return "box audio";
    default:
        return "box none";
    }
}

const char* badgeClass(const PictureBadge& badge) {
    if (badge.muted)
        return "badge-box muted";
    switch (badge.kind) {
    case PictureBadge::Kind::Compositing:
        return "badge-box compositing";
    case PictureBadge::Kind::Mask:
        return "badge-box mask";
    case PictureBadge::Kind::Look:
        return "badge-box look";
    case PictureBadge::Kind::More:
        return "badge-box more";
    default:
        return "badge-box other-effect";
    }
}

/// A line across a badge at (x, y): the effect is switched off.
void strike(SvgWriter& svg, double x, double y) {
    svg.empty("line", {{"x1", x + 1.0},
                       {"y1", y + 10.0},
                       {"x2", x + 10.0},
                       {"y2", y + 1.0},
                       {"class", "strike"}});
}

void badge(SvgWriter& svg, const PictureBadge& placed) {
    svg.open("g", {{"class", "badge"}});
    svg.text("title", {}, placed.tooltip);
    if (placed.kind == PictureBadge::Kind::Paint) {
        svg.empty("use", {{"href", "#paint-icon"},
                          {"x", placed.x},
                          {"y", placed.y},
                          {"width", 11.0},
                          {"height", 11.0}});
    } else {
        svg.empty("rect", {{"x", placed.x},
                           {"y", placed.y},
                           {"width", 11.0},
                           {"height", 11.0},
                           {"class", badgeClass(placed)}});
        svg.text("text", {{"x", placed.x + 5.5}, {"y", placed.y + 8.6}, {"class", "badge-letter"}},
                 PictureBadge::letter(placed.kind));
        if (placed.muted)
            strike(svg, placed.x, placed.y);
    }
    svg.close();
}

/// A rectangle in `tag`'s colour and pattern.
void tagShape(SvgWriter& svg, const PictureTag& tag, double x, double y, double width,
              double height) {
    svg.empty("rect", {{"x", x},
                       {"y", y},
                       {"width", width},
                       {"height", height},
                       {"fill", tag.colour},
                       {"class", tag.pattern == PictureTag::Pattern::Dotted ? "tag-box tag-dotted"
                                                                            : "tag-box"}});
    if (tag.pattern == PictureTag::Pattern::Hatched)
        svg.empty("rect", {{"x", x},
                           {"y", y},
                           {"width", width},
                           {"height", height},
                           {"fill", "url(#tag-hatch)"}});
}

/// `tag`'s letter on a white square with its top left corner at (x, y).
void tagLetter(SvgWriter& svg, const PictureTag& tag, double x, double y) {
    svg.empty("rect", {{"x", x},
                       {"y", y},
                       {"width", 11.0},
                       {"height", 11.0},
                       {"fill", "#fff"},
                       {"class", "badge-box"}});
    svg.text("text", {{"x", x + 5.5}, {"y", y + 8.6}, {"class", "tag-letter"}}, tag.letter);
}

void band(SvgWriter& svg, const PictureBand& placed) {
    svg.open("g", {{"class", "pair"}});
    svg.text("title", {}, placed.tooltip);
    const std::string points =
        SvgWriter::number(placed.topLeft) + "," + SvgWriter::number(placed.top) + " " +
        SvgWriter::number(placed.topRight) + "," + SvgWriter::number(placed.top) + " " +
        SvgWriter::number(placed.bottomRight) + "," + SvgWriter::number(placed.bottom) + " " +
        SvgWriter::number(placed.bottomLeft) + "," + SvgWriter::number(placed.bottom);
    svg.empty("polygon", {{"points", points}, {"fill", placed.tag.colour}, {"class", "band"}});
    if (placed.tag.pattern == PictureTag::Pattern::Hatched)
        svg.empty("polygon", {{"points", points}, {"fill", "url(#tag-hatch)"}});
    // The letter in the middle, where the band is wide enough to hold it.
    const double left = (placed.topLeft + placed.bottomLeft) / 2.0;
    const double right = (placed.topRight + placed.bottomRight) / 2.0;
    if (right - left >= 13.0 && placed.bottom - placed.top >= 13.0)
        tagLetter(svg, placed.tag, (left + right) / 2.0 - 5.5,
                  (placed.top + placed.bottom) / 2.0 - 5.5);
    svg.close();
}

void box(SvgWriter& svg, const PictureBox& placed, TimelineTrack::Kind kind) {
    const char* group = "clip";
    const char* shape = clipClass(kind);
    const char* label = nullptr;
    switch (placed.kind) {
    case PictureBox::Kind::OfflineClip:
        shape = "box offline";
        label = "halo";
        break;
    case PictureBox::Kind::Gap:
        group = "gap";
        shape = "gap-box";
        label = "gap-label";
        break;
    case PictureBox::Kind::Merged:
        group = "merged";
        shape = placed.gapsOnly ? "gap-box" : "merged-box";
        label = placed.gapsOnly ? "gap-label" : "halo";
        break;
    default:
        break;
    }
    svg.open("g", {{"class", group}});
    svg.text("title", {}, placed.tooltip);
    if (placed.tag && placed.kind != PictureBox::Kind::Gap &&
        placed.kind != PictureBox::Kind::Merged) {
        tagShape(svg, *placed.tag, placed.x, placed.y, placed.width, placed.height);
        text(svg, placed.label, "halo");
        text(svg, placed.status, "small halo");
        for (const PictureBadge& one : placed.badges)
            badge(svg, one);
        if (placed.width >= 30.0)
            tagLetter(svg, *placed.tag, placed.x + placed.width - 13.0, placed.y + 2.0);
        svg.close();
        return;
    }
    // Audio clips have round corners: a cue beside their colour.
    if (kind == TimelineTrack::Kind::Audio && placed.kind != PictureBox::Kind::Gap &&
        !placed.gapsOnly)
        svg.empty("rect", {{"x", placed.x},
                           {"y", placed.y},
                           {"width", placed.width},
                           {"height", placed.height},
                           {"rx", std::min(4.0, placed.width / 2.0)},
                           {"class", shape}});
    else
        svg.empty("rect", {{"x", placed.x},
                           {"y", placed.y},
                           {"width", placed.width},
                           {"height", placed.height},
                           {"class", shape}});
    text(svg, placed.label, label);
    text(svg, placed.status, "small halo");
    for (const PictureBadge& one : placed.badges)
        badge(svg, one);
    svg.close();
}

void note(SvgWriter& svg, const PictureNote& placed) {
    svg.open("g", {{"class", "note"}});
    svg.text("title", {}, placed.tooltip);
    svg.empty("rect", {{"x", placed.x},
                       {"y", placed.y},
                       {"width", placed.width},
                       {"height", placed.height},
                       {"class", placed.hidden ? "note-hidden" : "note-marker"}});
    svg.empty("rect", {{"x", placed.x},
                       {"y", placed.y},
                       {"width", 3.0},
                       {"height", placed.height},
                       {"class", "note-flag"}});
    text(svg, placed.label, "small");
    svg.close();
}

/// A transition's box with the diagonal of a dissolve across it.
void transitionShape(SvgWriter& svg, double x, double y, double width, double height) {
    svg.empty(
        "rect",
        {{"x", x}, {"y", y}, {"width", width}, {"height", height}, {"class", "transition-box"}});
    svg.empty("line", {{"x1", x},
                       {"y1", y + height},
                       {"x2", x + width},
                       {"y2", y},
                       {"class", "transition-line"}});
}

void transition(SvgWriter& svg, const PictureTransition& placed) {
    svg.open("g", {{"class", "transition"}});
    svg.text("title", {}, placed.tooltip);
    transitionShape(svg, placed.x, placed.y, placed.width, placed.height);
    svg.close();
}

void sample(SvgWriter& svg, const LegendEntry& entry) {
    const double x = entry.x;
    const double y = entry.y;
    const auto rect = [&](const char* classes) {
        svg.empty("rect", {{"x", x},
                           {"y", y},
                           {"width", kSampleWidth},
                           {"height", kSampleHeight},
                           {"class", classes}});
    };
    const auto letter = [&](const char* classes, const char* text) {
        svg.empty("rect", {{"x", x + 6.5},
                           {"y", y + 1.5},
                           {"width", 11.0},
                           {"height", 11.0},
                           {"class", classes}});
        svg.text("text", {{"x", x + 12.0}, {"y", y + 10.1}, {"class", "badge-letter"}}, text);
    };
    switch (entry.sample) {
    case LegendEntry::Sample::VideoClip:
        rect("box video");
        break;
    case LegendEntry::Sample::AudioClip:
        svg.empty("rect", {{"x", x},
                           {"y", y},
                           {"width", kSampleWidth},
                           {"height", kSampleHeight},
                           {"rx", 4.0},
                           {"class", "box audio"}});
        break;
    case LegendEntry::Sample::OtherClip:
        rect("box none");
        break;
    case LegendEntry::Sample::OfflineClip:
        rect("box offline");
        break;
    case LegendEntry::Sample::Gap:
        rect("gap-box");
        break;
    case LegendEntry::Sample::Merged:
        rect("merged-box");
        break;
    case LegendEntry::Sample::Note:
        svg.empty("rect", {{"x", x},
                           {"y", y + 1.0},
                           {"width", kSampleWidth},
                           {"height", 12.0},
                           {"class", "note-marker"}});
        svg.empty(
            "rect",
            {{"x", x}, {"y", y + 1.0}, {"width", 3.0}, {"height", 12.0}, {"class", "note-flag"}});
        break;
    case LegendEntry::Sample::Compositing:
        letter("badge-box compositing", "C");
        break;
    case LegendEntry::Sample::Mask:
        letter("badge-box mask", "M");
        break;
    case LegendEntry::Sample::Look:
        letter("badge-box look", "L");
        break;
    case LegendEntry::Sample::OtherEffect:
        letter("badge-box other-effect", "E");
        break;
    case LegendEntry::Sample::MutedEffect:
        letter("badge-box muted", "L");
        strike(svg, x + 6.5, y + 1.5);
        break;
    case LegendEntry::Sample::Paint:
        svg.empty("use", {{"href", "#paint-icon"},
                          {"x", x + 6.5},
                          {"y", y + 1.5},
                          {"width", 11.0},
                          {"height", 11.0}});
        break;
    case LegendEntry::Sample::Mark:
        svg.empty("line", {{"x1", x + 12.0},
                           {"y1", y - 2.0},
                           {"x2", x + 12.0},
                           {"y2", y + kSampleHeight + 2.0},
                           {"class", "mark"}});
        break;
    case LegendEntry::Sample::Transition:
        transitionShape(svg, x, y, kSampleWidth, kSampleHeight);
        break;
    case LegendEntry::Sample::Tag:
        tagShape(svg, entry.tag, x, y, kSampleWidth, kSampleHeight);
        tagLetter(svg, entry.tag, x + 6.5, y + 1.5);
        break;
    }
}

/// One path of vertical strokes from `top` to `bottom` at the ticks of one
/// kind: one element for all of them, however many.
std::string strokes(const TimelinePicture& picture, bool major, double top, double bottom) {
    std::string path;
    for (const PictureTick& tick : picture.ticks)
        if (tick.major == major)
            path += "M" + SvgWriter::number(tick.x) + " " + SvgWriter::number(top) + "V" +
                    SvgWriter::number(bottom);
    return path;
}

void heading(SvgWriter& svg, const TimelinePicture& picture) {
    svg.open("g", {{"class", "heading"}});
    text(svg, picture.title, "title");
    for (const PictureText& line : picture.heading)
        text(svg, line);
    svg.close();
}

/// Track bands, the label column and the grid, behind everything else.
void background(SvgWriter& svg, const TimelinePicture& picture) {
    const double tracksHeight = picture.tracksBottom - picture.tracksTop;
    svg.empty("rect", {{"x", 0.0},
                       {"y", picture.tracksTop},
                       {"width", picture.timeLeft - 6.0},
                       {"height", tracksHeight},
                       {"class", "labels"}});
    for (std::size_t i = 0; i < picture.rows.size(); ++i) {
        const PictureRow& row = picture.rows[i];
        svg.empty("rect", {{"x", picture.timeLeft - 6.0},
                           {"y", row.y},
                           {"width", picture.width - picture.timeLeft + 6.0},
                           {"height", row.height},
                           {"class", i % 2 == 0 ? "row-even" : "row-odd"}});
    }
    const std::string grid = strokes(picture, true, picture.tracksTop, picture.tracksBottom);
    if (!grid.empty())
        svg.empty("path", {{"d", grid}, {"class", "grid"}});
    for (const double y : picture.separators)
        svg.empty(
            "line",
            {{"x1", 0.0}, {"y1", y}, {"x2", picture.width}, {"y2", y}, {"class", "separator"}});
}

void track(SvgWriter& svg, const PictureRow& row) {
    svg.open("g", {{"class", "track"}});
    svg.open("g", {{"class", "track-label"}});
    svg.text("title", {}, row.tooltip);
    text(svg, row.name, "track-name");
    text(svg, row.detail, "small");
    text(svg, row.counts, "small");
    svg.close();
    for (const PictureBox& one : row.boxes)
        box(svg, one, row.kind);
    for (const PictureTransition& one : row.transitions)
        transition(svg, one);
    for (const PictureNote& one : row.notes)
        note(svg, one);
    svg.close();
}

void ruler(SvgWriter& svg, const TimelinePicture& picture) {
    svg.open("g", {{"class", "ruler"}});
    svg.empty("rect", {{"x", picture.timeLeft},
                       {"y", picture.rulerTop},
                       {"width", picture.timeRight - picture.timeLeft},
                       {"height", picture.rulerBottom - picture.rulerTop},
                       {"class", "ruler-band"}});
    const std::string minor =
        strokes(picture, false, picture.rulerBottom - 5.0, picture.rulerBottom);
    if (!minor.empty())
        svg.empty("path", {{"d", minor}, {"class", "minor"}});
    const std::string major =
        strokes(picture, true, picture.rulerBottom - 11.0, picture.rulerBottom);
    if (!major.empty())
        svg.empty("path", {{"d", major}, {"class", "major"}});
    for (const PictureTick& tick : picture.ticks)
        text(svg, tick.label, "small");
    svg.close();
}

void marks(SvgWriter& svg, const TimelinePicture& picture) {
    for (const PictureMark& mark : picture.marks) {
        svg.open("g", {{"class", "bound"}});
        svg.empty("line", {{"x1", mark.x},
                           {"y1", picture.marksTop},
                           {"x2", mark.x},
                           {"y2", picture.tracksBottom},
                           {"class", "mark"}});
        text(svg, mark.label, "small");
        svg.close();
    }
}

void legend(SvgWriter& svg, const TimelinePicture& picture) {
    svg.open("g", {{"class", "legend"}});
    for (const LegendEntry& entry : picture.legend) {
        sample(svg, entry);
        text(svg, entry.text, "small");
    }
    for (const PictureText& line : picture.legendNotes)
        text(svg, line, "small");
    svg.close();
}

} // namespace

std::string write(const TimelinePicture& picture) {
    SvgWriter svg(picture.width, picture.height);
    svg.text("title", {}, picture.title.text);
    const bool tags =
        !picture.bands.empty() ||
        std::any_of(picture.legend.begin(), picture.legend.end(), [](const LegendEntry& entry) {
            return entry.sample == LegendEntry::Sample::Tag;
        });
    svg.text("style", {},
             std::string(kStyle) + (picture.transitions == 0 ? "" : kTransitionStyle) +
                 (tags ? kTagStyle : ""));
    definitions(svg, tags);
    svg.empty("rect", {{"width", picture.width}, {"height", picture.height}, {"class", "page"}});
    heading(svg, picture);
    background(svg, picture);
    for (const PictureBand& one : picture.bands)
        band(svg, one);
    for (const PictureRow& row : picture.rows)
        track(svg, row);
    if (picture.emptyMessage)
        text(svg, *picture.emptyMessage);
    ruler(svg, picture);
    marks(svg, picture);
    legend(svg, picture);
    return svg.finish();
}

} // namespace zemcomp::TimelineSvg
