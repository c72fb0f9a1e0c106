#pragma once

// Helpers of the FCPXML tests: documents built around a storyline, reading
// and writing them, and each item of a composition's tracks as one line of
// text, to compare with what a test works out by hand.

#include "interchange/Fcpxml.h"
#include "interchange/TimelineView.h"

#include <string>
#include <vector>

namespace ZEM_0_81::test::fcpx {

/// The resources every document of the tests holds, besides its own:
/// - formats "r24" (1/24s, 1920x1080), "r2398" (1001/24000s), "r2997"
///   (1001/30000s), "r25" (1/25s);
/// - assets "a1" (picture and sound at 24, its own time from 3600s for 1000s,
///   file:///m/a1.mov), "a2" (picture at 24 from 0s for 100s, file:///m/a2.mov),
///   "a3" (sound at 48000 from 0s for 300s, file:///m/a3.wav), "a4" (picture at
///   23.976 from 18018/5s, its frame 86400, for 100s, file:///m/a4.mov);
/// - effect "e1", a title ("Basic Title").
extern const char* const kResources;

/// A document of version `version` holding one project "P" in event "E" of a
/// library, whose sequence has the attributes `sequence` (format "r24" and a
/// tcStart of 0s when empty) and the storyline `spine` (the spine's content).
/// `resources` are added to kResources.
std::string documentOf(const std::string& spine, const std::string& sequence = "",
                       const std::string& resources = "", const std::string& version = "1.10");

/// A document read: the composition (null when the read failed) and each loss
/// as "PLACE | SCHEMA | what".
struct FcpxmlRead {
    SharedPtr<Composition> composition;
    std::vector<std::string> losses;
    Status status;
    std::string message;
};
FcpxmlRead readFcpxml(const std::string& text, const std::string& timeline = "");

/// The places of the losses, in order.
std::vector<std::string> lossPlaces(const std::vector<std::string>& losses);
/// The losses whose text holds `words`.
std::vector<std::string> lossesWith(const std::vector<std::string>& losses,
                                    const std::string& words);

/// Each clip and gap of the first composition as the timeline view shows it,
/// track by track: "TRACK IN+LENGTH clip NAME src START@RATE[ file PATH]" or
/// "TRACK IN+LENGTH gap[ NAME]" (record frames at the composition's rate,
/// source frames at the clip's, rates as "24" or "24000/1001").
std::vector<std::string> itemsOf(const Composition& composition);

/// The view of the first composition.
TimelineView viewOf(const Composition& composition);

/// The text written for `composition`; a test failure when it cannot be.
/// `losses` (when given) receives each loss as readFcpxml gives them.
std::string writeFcpxml(const Composition& composition, std::int32_t version = 8,
                        std::vector<std::string>* losses = nullptr);

} // namespace ZEM_0_81::test::fcpx
