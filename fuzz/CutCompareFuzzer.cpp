// libFuzzer target: arbitrary bytes as two CMX 3600 EDLs, the old and the new
// cut, split at the first line "%%" (without one, the whole text is both cuts),
// read at a rate the first byte picks. Whatever reads is compared both ways and
// with itself, and the old cut's notes are carried onto the new one twice.
// Properties: comparing never fails; a cut compared with itself is the same
// clip for clip; every change names clips of its own tracks; a second carry
// adds nothing; the carried cut still writes as a list. Any crash, hang, leak
// or sanitizer report is a finding.

#include "fuzz/FuzzChecks.h"
#include "interchange/CutComparison.h"
#include "interchange/Edl.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace ZEM_0_81;
using fuzz::require;

namespace {

Rational rateOf(const std::uint8_t* data, std::size_t size) {
    const Rational rates[] = {Rational(), Rational(30000, 1001), Rational(25, 1),
                              Rational(24000, 1001)};
    return rates[size > 0 ? data[0] % 4 : 0];
}

SharedPtr<Composition> readList(const std::string& text, const Rational& rate) {
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    if (!Edl::read(text.data(), text.size(), rate, "fuzz", composition, losses, &message))
        return nullptr;
    return composition;
}

/// Every change of `result` names an item of its own track of the right cut,
/// and each item of a compared track shows up at most once.
void wellFormed(const CutComparison::Result& result) {
    for (const CutComparison::TrackChanges& track : result.tracks) {
        require(track.oldTrack || track.newTrack, "a pair of tracks has a track");
        for (const CutComparison::ClipChange& change : track.changes) {
            require(change.oldItem || change.newItem, "a change has a clip");
            if (change.oldItem)
                require(track.oldTrack && *track.oldTrack < result.oldView.tracks.size() &&
                            *change.oldItem < result.oldView.tracks[*track.oldTrack].items.size(),
                        "an old clip is an item of its old track");
            if (change.newItem)
                require(track.newTrack && *track.newTrack < result.newView.tracks.size() &&
                            *change.newItem < result.newView.tracks[*track.newTrack].items.size(),
                        "a new clip is an item of its new track");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Rational rate = rateOf(data, size);
    const std::size_t split = text.find("\n%%\n");
    const std::string oldText = split == std::string::npos ? text : text.substr(0, split + 1);
    const std::string newText = split == std::string::npos ? text : text.substr(split + 4);
    const SharedPtr<Composition> oldCut = readList(oldText, rate);
    SharedPtr<Composition> newCut = readList(newText, rate);
    if (!oldCut || !newCut)
        return 0;

    const CutComparison::Options all;
    CutComparison::Result result;
    require(static_cast<bool>(CutComparison::compare(*oldCut, *newCut, all, result)),
            "two cuts that read compare");
    wellFormed(result);
    CutComparison::Result back;
    require(static_cast<bool>(CutComparison::compare(*newCut, *oldCut, all, back)),
            "two cuts that read compare the other way");
    wellFormed(back);

    CutComparison::Result itself;
    require(static_cast<bool>(CutComparison::compare(*oldCut, *oldCut, all, itself)),
            "a cut compares with itself");
    wellFormed(itself);
    require(!itself.changed(), "a cut compared with itself has no change");
    for (const CutComparison::TrackChanges& track : itself.tracks)
        for (const CutComparison::ClipChange& change : track.changes)
            require(change.oldItem && change.newItem && *change.oldItem == *change.newItem,
                    "a cut compared with itself pairs each clip with itself");

    CutComparison::Carried first;
    require(static_cast<bool>(CutComparison::carryNotes(*oldCut, *newCut, all, first)),
            "the notes of a cut that reads are carried");
    CutComparison::Carried second;
    require(static_cast<bool>(CutComparison::carryNotes(*oldCut, *newCut, all, second)),
            "the notes are carried a second time");
    require(second.notes == 0 && second.paint == 0,
            "notes carried a second time are all there already");

    String written;
    LossReport losses;
    String message;
    require(static_cast<bool>(Edl::write(*newCut, Edl::WriteOptions(), written, losses, &message)),
            "the cut the notes were carried onto writes as a list");
    return 0;
}
