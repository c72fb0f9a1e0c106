#pragma once

#include "interchange/fcpxml/FcpxmlTime.h"
#include "rapidotio/JsonAccess.h"

#include <pugixml.hpp>

#include <string>
#include <utility>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange::Fcpx {

/// Where what FCPXML says beyond the edit tree's own values lives in the edit
/// tree: in the homes standard OTIO keeps another tool's data in, so that a
/// document read here and written as standard OTIO carries it, and the FCPXML
/// writer gives it back.
///
/// - A segment's kept metadata (ForeignMembers::kMetadataId), dictionary
///   "fcpxml": "element" (the story element it came from: "asset-clip",
///   "title", "mc-clip", ...), "attributes" ([[name, value], ...]: roles,
///   "srcEnable", the retimed "start" of a clip with a time map, and
///   "conformedFrame", the frame duration of media conformed frame for frame,
///   whose own frames its source counts), "children" (the XML of its notes, keywords, ratings,
///   metadata, rate conforming, time map, and a title's texts, as they came),
///   "effect" ({"name", "uid", "src"}: the effect a title or generator uses).
/// - A layer's: "fcpxml" → "lane" (the lane it holds).
/// - The composition's: "fcpxml" → "version", "project", "event", "library",
///   "sequence" ([[name, value], ...] of the sequence's attributes other than
///   its times), "format" ([[name, value], ...]).
/// - A transition: a "Transition.1" kept on the segment after its cut
///   (ForeignMembers::KeptTransitions), "SMPTE_Dissolve", its offsets around
///   the cut, metadata "fcpxml" → "name" (the transition's own).
/// - A speed: a "LinearTimeWarp.1" or "FreezeFrame.1" kept as an effect the
///   edit tree cannot apply, metadata "fcpxml" → "timeMap" (its XML).
/// - A marker: a review note standing for a "Marker.2", metadata "fcpxml" →
///   "kind" ("marker", "to-do", "chapter"), "completed" (a to-do's state:
///   "0" or "1"), "note", "posterOffset".
namespace Kept {
constexpr const char* kFcpxml = "fcpxml";
constexpr const char* kElement = "element";
constexpr const char* kAttributes = "attributes";
constexpr const char* kChildren = "children";
constexpr const char* kEffect = "effect";
constexpr const char* kName = "name";
constexpr const char* kUid = "uid";
constexpr const char* kSrc = "src";
constexpr const char* kLane = "lane";
constexpr const char* kVersion = "version";
constexpr const char* kProject = "project";
constexpr const char* kEvent = "event";
constexpr const char* kLibrary = "library";
constexpr const char* kSequence = "sequence";
constexpr const char* kFormat = "format";
constexpr const char* kTimeMap = "timeMap";
constexpr const char* kConformedFrame = "conformedFrame";
constexpr const char* kKind = "kind";
constexpr const char* kCompleted = "completed";
constexpr const char* kNote = "note";
constexpr const char* kPosterOffset = "posterOffset";
constexpr const char* kMarkerKind = "marker";
constexpr const char* kTodoKind = "to-do";
constexpr const char* kChapterKind = "chapter";
constexpr const char* kDissolveType = "SMPTE_Dissolve";
} // namespace Kept

using Attributes = std::vector<std::pair<std::string, std::string>>;

/// What a segment keeps of the element it came from.
struct KeptElement {
    std::string element;
    Attributes attributes;
    std::vector<std::string> children;
    std::string effectName;
    std::string effectUid;
    std::string effectSrc;
};

/// The members of the "fcpxml" dictionary of `kept` (a JSON object text).
std::string keptText(const KeptElement& kept);
/// What `segment` keeps; false when it keeps no "fcpxml" dictionary.
bool keptElement(const DmPropertySet& segment, KeptElement& kept);

/// Stores `members` (an "fcpxml" dictionary's JSON object text) as the kept
/// metadata of `object`, beside the other tools' dictionaries it keeps.
void keepDictionary(const std::string& members, DmPropertySet& object);
/// The "fcpxml" dictionary `object` keeps, parsed into `document`; null when none.
const rapidotio::Value* dictionaryOf(const DmPropertySet& object, rapidotio::Document& document);

/// The members a generated media's input keeps, as standard OTIO's
/// "GeneratorReference" has them: {"generator_kind": `kind`, "parameters": {}}.
std::string generatorMembers(const std::string& kind);

/// The XML text of `node` as it came, on one line.
std::string xmlText(const pugi::xml_node& node);

/// A speed in words: "50%", "-100%", "33.333%".
std::string speedWords(const Time& scalar);

/// The text of the effect a time map is kept as: "FreezeFrame.1" when
/// `freeze`, else "LinearTimeWarp.1" with `scalar`; `timeMap` its XML.
std::string speedText(bool freeze, double scalar, const std::string& timeMap);

/// The "Transition.1" text of a transition named `name`, `inOffset` frames
/// before its cut and `outOffset` after it at `rate` frames a second.
std::string transitionText(const std::string& name, double inOffset, double outOffset, double rate);

/// The "Marker.2" text of a marker: named `value`, its comment `note`, in
/// OTIO's `colour`, of `kind` (Kept::kMarkerKind, ...), marking `duration`
/// frames from `start` counted at `rate` as the clip's source range counts;
/// `completed` when not empty.
std::string markerText(const std::string& value, const char* colour, const char* kind,
                       const std::string& completed, const std::string& note, double start,
                       double duration, double rate);

} // namespace ZEM_0_81::Interchange::Fcpx
