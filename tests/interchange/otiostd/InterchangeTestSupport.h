#pragma once

// Helpers of the standard OTIO tests: compositions from the other dialects, the
// two directions of the interchange, comparisons of edit trees, and a model of
// what the OpenTimelineIO library does to a document it loads and saves.

#include "composition/Composition.h"
#include "interchange/LossReport.h"

#include <string>
#include <vector>

class DmRoot;

namespace ZEM_0_81::test {

/// A composition holding `text` of the product's OTIO dialect, imported.
SharedPtr<Composition> fromProductOtio(const std::string& text);
/// A composition holding `text` of edit-tree JSON, imported.
SharedPtr<Composition> fromDmTree(const std::string& text);
/// A composition holding a copy of `root`.
SharedPtr<Composition> fromTree(const DmRoot& root);

/// The edit-tree JSON of a composition's tree (empty, with a test failure, when
/// there is none).
std::string dmTreeOf(const Composition& composition);

/// The standard OTIO text of a composition; a test failure when it cannot be
/// written.
std::string writeStandard(const Composition& composition);

/// The composition read from standard OTIO text; null, with a test failure, when
/// it cannot be read. `losses` receives the loss report.
SharedPtr<Composition> readStandard(const std::string& text, LossReport& losses);

/// The text of every entry of a loss report, "POINTER | SCHEMA | what".
std::vector<std::string> entriesOf(const LossReport& losses);

/// What the OpenTimelineIO library does to our document when it loads it and
/// saves it again, as far as a reader can notice: every object member sorted by
/// key (the library keeps its dictionaries sorted; the order of a schema object's
/// own members, which it keeps, does not matter to the reader either), the
/// members every item and reference gets ("metadata", "effects", "markers",
/// "enabled", "color", "available_image_bounds") added where absent, every double
/// that is not a whole number read one unit in the last place off, and the text
/// indented by four spaces.
std::string resave(const std::string& standard);

/// Expects two edit-tree JSON texts to hold the same tree: the same members and
/// values, doubles allowed to differ by one unit in the last place.
void expectSameTree(const std::string& expected, const std::string& actual,
                    const std::string& what);

/// One item of a track as the OpenTimelineIO library sees it.
struct SeenItem {
    std::string schema; ///< "Clip.2" or "Gap.1"
    std::string name;
    bool filler = false;              ///< a gap marked as filler
    double recordStart = 0.0;         ///< global start + range in the track, at the timeline rate
    double recordDuration = 0.0;      ///< at the timeline rate
    std::string activeUrl;            ///< a clip's active media reference's target URL
    std::vector<std::string> effects; ///< "effect_name/name" of each effect
};

/// One track as the OpenTimelineIO library sees it.
struct SeenTrack {
    std::string name;
    std::string kind;
    std::vector<SeenItem> items;
};

/// The tracks of a standard OTIO timeline (the document, or the `timeline`-th
/// timeline of a collection), with each item's place worked out as OTIO does:
/// items follow one another from the timeline's global start (less the start
/// of the track's trim), each lasting its source range's duration.
std::vector<SeenTrack> seenTracks(const std::string& standard, std::size_t timeline = 0);

} // namespace ZEM_0_81::test

namespace ZEM_0_81::test {

/// Expects `standard` to hold nothing the OpenTimelineIO library refuses when it
/// loads a document with no schema registered: every schema object one it knows,
/// with every member its reader requires ("tracks", "children", "kind",
/// "media_references" with the active key among them, "target_url",
/// "effect_name", both members of every time and range); only effects in
/// "effects" (Effect, TimeEffect, LinearTimeWarp, FreezeFrame); no "OTIO_SCHEMA"
/// anywhere inside "metadata" (it would turn a dictionary into an unknown
/// schema); no key twice in an object.
void expectLoadableByOtio(const std::string& standard);

} // namespace ZEM_0_81::test
