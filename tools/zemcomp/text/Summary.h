#pragma once

#include "composition/Composition.h"
#include "interchange/TimelineView.h"
#include "tools/zemcomp/files/Document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zemcomp {

/// How many of each kind of thing an edit tree holds.
struct Counts {
    std::uint64_t compositions = 0; ///< OTIO timelines
    std::uint64_t tracks = 0;
    std::uint64_t layers = 0;
    std::uint64_t clips = 0;   ///< source segments
    std::uint64_t gaps = 0;    ///< gap segments
    std::uint64_t effects = 0; ///< effect settings attached to segments
};

/// One answer of a time query.
struct TimeAnswer {
    ZEM_0_81::Status status;
    ZEM_0_81::Time time;
};

/// The output bounds at one frame.
struct BoundsAnswer {
    std::int64_t at = 0;
    ZEM_0_81::Status status;
    ZEM_0_81::Bounds bounds;
    bool outside = false; ///< the frame lies before the start or from the end on
};

/// One thing reading standard OTIO lost.
struct Loss {
    std::string path; ///< JSON Pointer into the input
    std::string schema;
    std::string what;
};

/// What `info` reports of a composition.
struct Summary {
    ZEM_0_81::Status status; ///< of getting the tree: the import's result
    std::string name;        ///< the first composition node's name
    TimeAnswer duration;
    TimeAnswer start;
    std::vector<BoundsAnswer> bounds;
    Counts counts;                   ///< of the whole edit tree
    ZEM_0_81::TimelineView timeline; ///< the first composition in OTIO's terms
    /// Transitions of its standard OTIO tracks the edit tree keeps, not plays.
    std::size_t transitions = 0;
    std::string dialect;      ///< the dialect the document was read in
    std::vector<Loss> losses; ///< what reading standard OTIO lost
};

/// Asks the composition of `loaded` everything `info` shows: its tree (and so
/// its import), name, counts, timeline view, duration, start, and the bounds at
/// each of `frames` (at the start frame when `frames` is empty), each marked when
/// it lies outside the composition; with the dialect it was read in and what
/// reading it lost. A failed read of standard OTIO is the summary's status.
Summary summarize(const Loaded& loaded, const std::vector<std::int64_t>& frames);

/// The entries of a loss report.
std::vector<Loss> lossesOf(const ZEM_0_81::LossReport& report);

/// One line per loss, for standard error: "FILE: JSON-POINTER: SCHEMA: what".
std::string lossLines(const std::vector<Loss>& losses, const std::string& documentName);

/// Why --strict fails a document that lost `count` things while being read
/// (or, when `writing`, written): "FILE: 2 losses while reading (--strict)".
std::string strictFailure(std::size_t count, const std::string& documentName, bool writing = false);

/// The summary as one JSON object, without a line end; `file` is the document's
/// name; "losses" and "dialect" come last.
std::string toJson(const Summary& summary, const std::string& file);

/// The summary as lines of text for a person: times as timecode with frames
/// and seconds, contents in OTIO's words, then the edit tree's own counts.
std::string toText(const Summary& summary, const std::string& documentName);

/// "3 OTIO tracks, 6 clips, 1 gap, 0 effects, 00:00:07:12 (180 frames at 24 fps, 7.500 s)".
std::string oneLine(const Summary& summary);

/// "frame 5 is outside the composition (frames 86400 to 86579)", for a bounds
/// answer whose frame lies outside; empty otherwise.
std::string outsideNote(const Summary& summary, const BoundsAnswer& answer);

} // namespace zemcomp
