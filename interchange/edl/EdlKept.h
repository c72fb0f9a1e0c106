#pragma once

#include "rapidotio/JsonAccess.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange::Cmx {

/// Where what an EDL says beyond the edit tree's own values lives in the edit
/// tree: in the homes standard OTIO keeps another tool's data in, as the
/// OpenTimelineIO library shapes them, so that a list read here and written as
/// standard OTIO shows OTIO users reels, transitions, speeds and markers, and
/// standard OTIO converted from a list elsewhere gives them back.
///
/// - A segment's kept metadata (ForeignMembers::kMetadataId), dictionary
///   "cmx_3600": "reel" (the reel as written), "comments" (the plain comment
///   lines of its event, as they came), "source" ([IN, OUT, LENGTH]: the
///   event's own source in and out, kept when the out is not in + record
///   length, with the record length then, LENGTH, so that a segment changed
///   since is written from what it holds), "key" ({"code": "K" or "KO",
///   "duration": N} on a key's foreground).
/// - A transition: a "Transition.1" kept on its incoming segment
///   (ForeignMembers::KeptTransitions), "SMPTE_Dissolve" or "SMPTE_Wipe", in
///   offset 0 and out offset its duration, its metadata "cmx_3600":
///   "transition" (the code as written, "D" or "W001") and "from" (the outgoing
///   source: "reel" and "source_in" as a zero-length first line names them,
///   "name" and "file" as the FROM statements do).
/// - A speed: a "LinearTimeWarp.1" ("time_scalar" the speed over the rate) or
///   a "FreezeFrame.1" kept as an effect the edit tree cannot apply
///   (ForeignMembers::Leftovers), its metadata "cmx_3600" → "m2" or
///   "freeze_frame" the line as it came.
/// - A locator: a review note standing for a "Marker.2" (ReviewNotes), its
///   metadata "cmx_3600" → "color" the colour word as written.
namespace Kept {

constexpr const char* kComments = "comments";
constexpr const char* kSource = "source";
constexpr const char* kKey = "key";
constexpr const char* kCode = "code";
constexpr const char* kDuration = "duration";
constexpr const char* kTransition = "transition";
constexpr const char* kFrom = "from";
constexpr const char* kSourceIn = "source_in";
constexpr const char* kFile = "file";
constexpr const char* kM2 = "m2";
constexpr const char* kFreezeFrame = "freeze_frame";
constexpr const char* kColor = "color";

constexpr const char* kDissolveType = "SMPTE_Dissolve";
constexpr const char* kWipeType = "SMPTE_Wipe";
constexpr const char* kTimeWarpSchema = "LinearTimeWarp.1";
constexpr const char* kFreezeFrameSchema = "FreezeFrame.1";
constexpr const char* kTimeScalar = "time_scalar";

/// What a segment keeps in "cmx_3600".
struct SegmentData {
    std::string reel;
    bool hasSource = false;
    std::int64_t sourceIn = 0;
    std::int64_t sourceOut = 0;
    std::int64_t recordLength = 0;
    std::vector<std::string> comments;
    std::string keyCode; ///< empty for a segment that is no key's foreground
    std::int64_t keyDuration = 0;
};
/// Stores `data` as the kept metadata of `segment`.
void keepSegment(const SegmentData& data, DmPropertySet& segment);
/// What `segment` keeps but its key, which no writer takes up: the reel where
/// ForeignMembers::reelOf reads it, so that standard OTIO converted elsewhere
/// gives its reels. False when it keeps no "cmx_3600" dictionary.
bool keptSegment(const DmPropertySet& segment, SegmentData& data);

/// The colour words of the marker a review note `annotation` stands for: the
/// word it came with ("cmx_3600" → "color", empty when none) and the marker's
/// own "color"; false when it stands for none.
bool markerColours(const DmPropertySet& annotation, std::string& word, std::string& colour);

/// The outgoing source a transition's first line names.
struct Outgoing {
    std::string reel;
    std::int64_t sourceIn = 0;
    std::string name;
    std::string file;
};

/// A transition as a list says it.
struct TransitionData {
    bool wipe = false;
    std::string code;          ///< as written ("D", "W001"); empty when not known
    std::int64_t duration = 0; ///< frames at the list's rate
    std::int64_t inOffset = 0; ///< frames before the cut: 0 in a list
    std::string type;          ///< its "transition_type" as kept
    bool hasFrom = false;
    Outgoing from;
};
/// The "Transition.1" text of `data` at `rate` frames a second.
std::string transitionText(const TransitionData& data, double rate);
/// The transition `kept` (a kept "Transition.1", this system's or another
/// tool's) at `rate`: its offsets in frames, rounded; false when it is no object.
bool transitionOf(const rapidotio::Value& kept, double rate, TransitionData& data);

/// The text of the effect a speed is kept as: "FreezeFrame.1" when `freeze`,
/// else "LinearTimeWarp.1" with `timeScalar`; `line`, the statement as it
/// came, under `lineKey` (kM2 or kFreezeFrame).
std::string speedText(bool freeze, double timeScalar, const char* lineKey, const std::string& line);

/// The "Marker.2" text of a locator: named `caption`, in OTIO's `colour`
/// ("RED"), the word as written `word` (kept when not empty), marking one
/// frame at `start` counted at `rate` as the clip's source range counts.
std::string markerText(const std::string& caption, const char* colour, const std::string& word,
                       double start, double rate);

/// The member "cmx_3600" of the kept metadata (`metadata`, an object) of an OTIO
/// object; null when there is none or it is no object.
const rapidotio::Value* cmxOf(const rapidotio::Value& metadata);
/// The string member `key` of `object`; empty when absent or no string.
std::string textMember(const rapidotio::Value& object, const char* key);

} // namespace Kept

} // namespace ZEM_0_81::Interchange::Cmx
