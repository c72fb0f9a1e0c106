// compare and carry_notes: two cuts of one edit compared clip by clip, and the
// review notes of the old carried onto the new.

#include "Bindings.h"
#include "BoundComposition.h"
#include "ErrorRaising.h"
#include "ValueConversion.h"

#include "interchange/CutComparison.h"

#include <pybind11/stl.h>

#include <mutex>
#include <optional>
#include <string>

namespace py = pybind11;
using namespace py::literals;

namespace zempy {

using namespace ZEM_0_81;

namespace {

/// Runs `work` on both compositions with the interpreter lock released and
/// both compositions' locks held (once, when they are one composition).
template <class Work>
auto bothUnlocked(const BoundComposition& first, const BoundComposition& second, Work&& work) {
    py::gil_scoped_release release;
    if (&first == &second) {
        std::lock_guard<std::mutex> guard(first.lock());
        return work(*first.held(), *second.held());
    }
    std::scoped_lock guard(first.lock(), second.lock());
    return work(*first.held(), *second.held());
}

CutComparison::Options optionsOf(const std::optional<std::string>& track) {
    CutComparison::Options options;
    if (track)
        options.track = *track;
    return options;
}

[[noreturn]] void raiseFailure(const Status& status, const String& why) {
    raiseError(status, explain(std::string("cannot compare the cuts: ") + why.c_str(), status));
}

py::object optionalItem(const TimelineView& view, const std::optional<std::size_t>& track,
                        const std::optional<std::size_t>& item) {
    if (!track || !item)
        return py::none();
    return itemValue(view.tracks[*track].items[*item]);
}

py::object trackName(const TimelineView& view, const std::optional<std::size_t>& track) {
    return track ? py::object(text(view.tracks[*track].name)) : py::object(py::none());
}

py::object comparisonValue(const CutComparison::Result& result) {
    const py::object types = zempy::valueTypes();
    const py::object changeClass = types.attr("Change");
    const py::object trackClass = types.attr("TrackChanges");
    py::tuple tracks(result.tracks.size());
    for (std::size_t t = 0; t < result.tracks.size(); ++t) {
        const CutComparison::TrackChanges& track = result.tracks[t];
        py::tuple changes(track.changes.size());
        for (std::size_t c = 0; c < track.changes.size(); ++c) {
            const CutComparison::ClipChange& change = track.changes[c];
            py::tuple also(change.also.size());
            for (std::size_t a = 0; a < change.also.size(); ++a)
                also[a] = CutComparison::alsoName(change.also[a]);
            changes[c] = changeClass(
                "change"_a = CutComparison::changeName(change.change), "also"_a = also,
                "old"_a = optionalItem(result.oldView, track.oldTrack, change.oldItem),
                "new"_a = optionalItem(result.newView, track.newTrack, change.newItem),
                "head"_a = change.head, "tail"_a = change.tail, "shift"_a = change.shift);
        }
        tracks[t] =
            trackClass("old"_a = trackName(result.oldView, track.oldTrack),
                       "new"_a = trackName(result.newView, track.newTrack), "changes"_a = changes);
    }
    return types.attr("Comparison")("tracks"_a = tracks);
}

py::object compare(const BoundComposition& before, const BoundComposition& after,
                   const std::optional<std::string>& track) {
    struct Answer {
        Status status;
        String why;
        CutComparison::Result result;
    };
    const Answer answer =
        bothUnlocked(before, after, [&](const Composition& old, const Composition& current) {
            Answer compared;
            compared.status = CutComparison::compare(old, current, optionsOf(track),
                                                     compared.result, &compared.why);
            return compared;
        });
    if (!answer.status)
        raiseFailure(answer.status, answer.why);
    return comparisonValue(answer.result);
}

py::object carryNotes(const BoundComposition& before, const BoundComposition& after,
                      const std::optional<std::string>& track) {
    struct Answer {
        Status status;
        String why;
        SharedPtr<Composition> carriedTo;
        CutComparison::Carried carried;
    };
    Answer answer =
        bothUnlocked(before, after, [&](const Composition& old, const Composition& current) {
            Answer done;
            // The notes go onto a copy: the composition given stays as it was.
            done.carriedTo = current.clone();
            done.status = CutComparison::carryNotes(old, *done.carriedTo, optionsOf(track),
                                                    done.carried, &done.why);
            return done;
        });
    if (!answer.status)
        raiseFailure(answer.status, answer.why);
    const py::object leftClass = valueTypes().attr("LeftNote");
    const std::vector<CutComparison::LeftBehind>& left = answer.carried.left;
    py::tuple entries(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        const CutComparison::LeftBehind& one = left[i];
        const bool partly = one.why == CutComparison::LeftBehind::Reason::PartlyGone;
        entries[i] =
            leftClass("kind"_a = one.isNote ? "note" : "paint", "text"_a = text(one.text),
                      "strokes"_a = one.strokes, "record"_a = frameRangeValue(one.record),
                      "track"_a = one.track, "item"_a = one.item,
                      "why"_a = CutComparison::reasonText(one.why),
                      "carried"_a = partly ? frameRangeValue(one.carried) : py::object(py::none()));
    }
    const std::shared_ptr<BoundComposition> result =
        BoundComposition::adopt(std::move(answer.carriedTo), after.dialect(), after.losses());
    return valueTypes().attr("NotesCarried")(
        "composition"_a = result, "notes"_a = answer.carried.notes,
        "paint"_a = answer.carried.paint, "already_there"_a = answer.carried.alreadyThere,
        "left_behind"_a = entries);
}

} // namespace

void bindCompare(py::module_& module) {
    module.def("compare", &compare, "old"_a, "new"_a, "track"_a = py::none(), R"(
Compares two cuts of one edit clip by clip and returns a Comparison: for each
pair of tracks (matched by name, else by kind and order) its changes in record
order, each a Change with the fields of `zemcomp compare --json`: `change`
("same", "moved", "trimmed", "slipped", "version", "added", "removed"), `also`
(further changes: "trimmed", "slipped", "version", "moved", "speed", "look",
"effects", "enabled"), the `old` and `new` Item (None on the side a clip is
missing from), `head` and `tail` (frames the new clip shows more at each end,
at its source rate) and `shift` (how far it moved, at the new cut's rate).
`track` compares one track only: its name in `new` (else in `old`) or its
number from 1. Raises Error (code 512) when `track` names no track.)");
    module.def("carry_notes", &carryNotes, "old"_a, "new"_a, "track"_a = py::none(), R"(
Carries the review notes and paint of the clips of `old` onto their partners
in a copy of `new`, each at the same source frames of its shot, and returns
NotesCarried: that copy (`composition`), how many notes and paint layers went
(`notes`, `paint`), how many were already there (`already_there`) and the
LeftNote of each note or paint layer not carried, or carried over part of its
frames only (`left_behind`: where it was in `old`, its text, why, and where it
now shows when carried in part). `new` itself does not change.)");
}

} // namespace zempy
