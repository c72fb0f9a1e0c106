#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::bench {

/// The shape of a synthetic timeline. Every count is exact: a generator run with
/// the same shape and seed gives the same text byte for byte on every machine.
struct TimelineShape {
    int videoTracks = 1;    ///< tracks of kind "Video"
    int audioTracks = 0;    ///< tracks of kind "Audio", after the video tracks
    int clipsPerTrack = 4;  ///< clips on each track
    int effectsPerClip = 1; ///< image effects on each video clip, cycling Comp, AngularMask, CDL
    /// When set, the image effects of every video clip instead: a Comp and a CDL
    /// (a look), in this order, whatever effectsPerClip says.
    bool compAndLookOnEveryClip = false;
    int gapEvery = 3;        ///< a gap after every gapEvery-th clip (0: no gaps)
    int annotationEvery = 4; ///< an annotation on every annotationEvery-th video clip (0: none)
    int strokesPerAnnotation = 2;
    int pointsPerStroke = 16;
    int textsPerAnnotation = 1;
    int extraDataEntries = 2; ///< "extra_data" members of each media reference
    /// Written with four spaces a level, as the OpenTimelineIO library writes
    /// documents, instead of compact.
    bool indented = false;
    /// Its standard OTIO, whose reading the benchmark times, as another tool
    /// would write the same timeline: without the members only this system
    /// writes, indented as the OpenTimelineIO library indents.
    bool anotherTool = false;
};

/// A named size of the benchmark with the shape that gives it.
struct TimelineSize {
    std::string name;
    TimelineShape shape;
};

/// The sizes the benchmark knows: S (about 10 KB), M (about 1 MB), L (about
/// 10 MB), XL (about 40 MB, a feature-length cut with review notes), then D
/// (about 12 MB: 3000 clips dense with effects, metadata and paint), D3 (the
/// same shape three times as long), as compact OTIO text, Di (D indented as the
/// OpenTimelineIO library writes it), P and P3 (a plain cut of 10 000 and
/// 30 000 clips without effects or notes), and Pa (P, its standard OTIO as
/// another tool writes it).
const std::vector<TimelineSize>& standardSizes();

/// What a generated timeline holds, for checking an import against it.
struct TimelineCounts {
    std::size_t tracks = 0;
    std::size_t clips = 0;
    std::size_t gaps = 0;
    std::size_t effects = 0; ///< image effects and annotations on clips and gaps
    std::size_t annotations = 0;
    std::size_t points = 0;
};

/// Writes a synthetic OTIO timeline of `shape` as compact JSON (indented when the
/// shape says so): a timeline at 24
/// frames per second starting at one hour, one stack of tracks, clips with media
/// references and their product metadata, gaps, image effects and annotations
/// made of paint strokes and text captions. Times and rates are written as
/// doubles with a fraction, counts, ids and pixel sizes as integers, in the forms
/// the OTIO reader takes. The pseudo-random values come from `seed` alone.
std::string generateTimeline(const TimelineShape& shape, TimelineCounts* counts = nullptr,
                             std::uint64_t seed = 0x5eed2024c0ffee01ULL);

} // namespace ZEM_0_81::bench
