#pragma once

#include "interchange/kept/JsonValues.h"
#include "interchange/notes/ReviewNotes.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange::Fcp7 {

/// Where what an xmeml document says beyond the edit tree's own values lives in
/// the edit tree: in the homes standard OTIO keeps another tool's data in
/// (interchange/kept/), as the OpenTimelineIO library shapes them, so that a
/// document read here and written as standard OTIO carries it, and the xmeml
/// writer finds it again to write it back as it came.
///
/// - The kept metadata (ForeignMembers::kMetadataId) of a composition (its
///   sequence), a layer (its track), a segment (its clipitem or
///   generatoritem) and a media input (its file): the dictionary "xmeml", an
///   object holding "element" (the element's name), "attributes" ([[NAME,
///   VALUE], ...], in order: a dictionary's keys would be sorted by the
///   OpenTimelineIO library), "kept" (the XML text of the children the reader
///   does not read, in order) and texts and numbers of the element's own
///   (XMEML.md lists them).
/// - A transitionitem: a "Transition.1" kept on the segment after its cut
///   (ForeignMembers::KeptTransitions), its offsets the frames before and after
///   the cut, its metadata "xmeml" as above.
/// - A speed (a Time Remap filter): a "LinearTimeWarp.1" ("time_scalar" the
///   speed over 100, negative in reverse) or, for a variable speed, a
///   "TimeEffect.1", among the effects the edit tree cannot apply
///   (ForeignMembers::Leftovers), the filter as it came in "xmeml" → "kept".
/// - A marker: a review note standing for a "Marker.2" (ReviewNotes), the
///   marker as it came in its metadata "xmeml" → "kept".
namespace Kept {

/// The dictionary of an object's metadata that holds what xmeml says.
constexpr const char* kXmeml = "xmeml";

/// The members of that dictionary.
constexpr const char* kElement = "element";
constexpr const char* kAttributes = "attributes";
constexpr const char* kKept = "kept";

/// Texts and numbers an element keeps beside its children (KeptElement).
constexpr const char* kOut = "out";                    ///< a clip's out point, as written
constexpr const char* kRecordLength = "record_length"; ///< its record length then
constexpr const char* kIn = "in";                      ///< and its in point
constexpr const char* kNested = "sequence";            ///< a nested sequence, as it came
constexpr const char* kVideo = "video";                ///< a sequence's other video children
constexpr const char* kAudio = "audio";                ///< and audio children
constexpr const char* kFormat = "format";              ///< its video format, as it came
constexpr const char* kWidth = "width";                ///< the picture size the format gave
constexpr const char* kHeight = "height";
constexpr const char* kDisplayFormat = "displayformat"; ///< DF or NDF of its timecode
constexpr const char* kFile = "file";                   ///< a media input's file, as it came
constexpr const char* kFileId = "file_id";              ///< the id of one given back from its input
constexpr const char* kFileVideo = "file_video";        ///< and the media it declares: 1
constexpr const char* kFileAudio = "file_audio";
constexpr const char* kPath = "path"; ///< what the input was read as
constexpr const char* kStart = "start";
constexpr const char* kLength = "length";
constexpr const char* kRate = "rate";
constexpr const char* kAlignment = "alignment"; ///< a transition's, as written
constexpr const char* kCutPoint = "cut_point";  ///< 1 when it said its cut in ticks

/// What one element keeps.
struct KeptElement {
    std::string element;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string kept;
    std::map<std::string, std::string> texts;
    std::map<std::string, double> numbers;

    bool empty() const {
        return element.empty() && attributes.empty() && kept.empty() && texts.empty() &&
               numbers.empty();
    }
    /// The text `key` ("" when none) and the number `key` (false when none).
    std::string text(const char* key) const;
    bool number(const char* key, double& value) const;
};

/// The JSON text of the metadata holding `element`: {"xmeml": {...}}.
std::string metadataText(const KeptElement& element);
/// Stores `element` as the kept metadata of `object`.
void keep(const KeptElement& element, DmPropertySet& object);
/// What `object` keeps; false when it keeps no "xmeml" dictionary.
bool keptOf(const DmPropertySet& object, KeptElement& element);
/// The "xmeml" dictionary of `metadata` (an object's "metadata"); false when it
/// holds none.
bool keptIn(const Value& metadata, KeptElement& element);

/// A transition as an xmeml document says it.
struct TransitionData {
    std::string name;
    std::string type;           ///< OTIO's "transition_type"
    std::int64_t inOffset = 0;  ///< frames before the cut
    std::int64_t outOffset = 0; ///< frames after it
    KeptElement element;
};
/// The "Transition.1" text of `data`, its offsets at `rate` frames a second.
std::string transitionText(const TransitionData& data, double rate);
/// The transition `kept` holds (a kept "Transition.1" of any format) at `rate`,
/// its offsets rounded to whole frames; false when it is no object.
bool transitionOf(const Value& kept, double rate, TransitionData& data);

/// The kinds of effect a speed is kept as.
constexpr const char* kTimeWarpSchema = "LinearTimeWarp.1";
constexpr const char* kTimeEffectSchema = "TimeEffect.1";
constexpr const char* kFreezeFrameSchema = "FreezeFrame.1";
constexpr const char* kTimeScalar = "time_scalar";
/// The text of the effect a Time Remap filter `filter` (its XML) is kept as:
/// a "LinearTimeWarp.1" of `timeScalar` for a constant speed, else a
/// "TimeEffect.1" named `name`.
std::string speedText(bool constant, double timeScalar, const std::string& name,
                      const std::string& filter);

/// The "Marker.2" text of a marker named `name` with `comment`, in `colour`
/// (a name OTIO knows), marking `duration` frames from `start` at `rate`, as
/// the clip's source range counts, the marker's XML kept as `xml`.
std::string markerText(const std::string& name, const std::string& comment, const char* colour,
                       double start, double duration, double rate, const std::string& xml);

/// The XML a review note's kept marker came as ("xmeml" → "kept"); empty when
/// `annotation` keeps none.
std::string keptMarkerXml(const DmPropertySet& annotation);

} // namespace Kept

} // namespace ZEM_0_81::Interchange::Fcp7
