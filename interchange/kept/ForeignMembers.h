#pragma once

#include "interchange/kept/JsonValues.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <string>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange {

/// What another tool writes on an object that this system has no member of its
/// own for, kept in the edit tree as text and written back where it came from:
/// the members of the object's "metadata" other than "zem" (a tool's own
/// dictionary, such as "Resolve_OTIO" or "cmx_3600"), and the object's members
/// that its schema's reader does not take (an item's "color", members of newer
/// versions). Each kind is one text property of the edit-tree object standing
/// for the OTIO object: a compact JSON object holding the members as they came,
/// NaN and Infinity included (the OpenTimelineIO library writes and reads them).
///
/// Null members are OTIO's defaults and are not kept. Values nested deeper than
/// kMaxDepth are not kept either, and are reported.
///
/// Every format keeps here what it reads beyond the edit tree, shaped as
/// standard OTIO's objects (KeptObjects), so that a composition converted to
/// standard OTIO carries it; the standard OTIO reader and writer take and write
/// these as OTIO members (otiostd/kept/ForeignJson.h).
namespace ForeignMembers {

/// The property holding the metadata members ("OTMD").
constexpr std::int32_t kMetadataId = 0x4F544D44;
/// The property holding the other members ("OTMB").
constexpr std::int32_t kMembersId = 0x4F544D42;
/// The property of an annotation that stands for a marker: the marker as it
/// came ("OTMK"; see MarkerSchema).
constexpr std::int32_t kMarkerId = 0x4F544D4B;

/// The property holding what an object's reader takes but the edit tree cannot
/// hold ("OTLO"; see Leftovers).
constexpr std::int32_t kLeftoversId = 0x4F544C4F;

/// The property of a segment holding the transitions that lead into it, and of
/// a layer holding those after its last item ("OTTR"; see KeptTransitions).
constexpr std::int32_t kTransitionsId = 0x4F545452;

/// The property of an offline segment that stands for a nested composition: the
/// composition as it came ("OTNC"; see NestedComposition).
constexpr std::int32_t kNestedId = 0x4F544E43;

/// Parses `text`, a kept JSON text, into `document` as it was written: NaN and
/// Infinity literals, full precision, any depth; false on a syntax error.
bool parseKept(const std::string& text, rapidotio::Document& document);

/// The ids above: properties the writers show as OTIO members, never among an
/// object's "properties".
const std::vector<std::int32_t>& ids();

/// The kept text of property `id` of `object` parsed into `document` (see
/// parseKept; it may hold a parse error); false when `object` keeps none.
bool parsedProperty(const DmPropertySet& object, std::int32_t id, rapidotio::Document& document);

/// The writer of kept texts: compact, NaN and Infinity as literals.
using TextWriter = rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>,
                                     rapidjson::CrtAllocator, rapidjson::kWriteNanAndInfFlag>;

/// Nesting depth of the values kept.
constexpr unsigned kMaxDepth = 128;

/// True when `value` nests no deeper than `limit` arrays and objects, found
/// going `limit` levels down at most, whatever its depth.
bool withinDepth(const Value& value, unsigned limit);

/// The compact JSON text of `value`, when it is nested no deeper than kMaxDepth;
/// false otherwise.
bool textOf(const Value& value, std::string& text);

/// The kept members of `object`, parsed; false when it keeps none (or their
/// text is not a JSON object).
bool keptMembers(const DmPropertySet& object, rapidotio::Document& members);
/// True when `object` keeps a member `key`.
bool holds(const DmPropertySet& object, const char* key);
/// The kept metadata members of `object`, parsed; false when it keeps none (or
/// their text is not a JSON object).
bool keptMetadata(const DmPropertySet& object, rapidotio::Document& metadata);

/// The dictionary that cut lists (CMX 3600 EDLs), and standard OTIO converted
/// from them, keep their own data in: the metadata member "cmx_3600", whose
/// "reel" names the tape or file a clip's source was cut from.
constexpr const char* kCmx3600 = "cmx_3600";
constexpr const char* kReel = "reel";
/// The reel `object` keeps ("cmx_3600" → "reel", a string); "" when none.
std::string reelOf(const DmPropertySet& object);

/// What an object's reader takes but the edit tree has no place for, kept so
/// that the object is written back as it came: effects the edit tree has no
/// settings for (every effect of a track or a stack), markers of tracks and
/// stacks, "enabled": false, and members that were null where the edit tree
/// needs a value, and times the edit tree holds at another rate than they were
/// written at. The edit tree plays the object as if they were not there; the
/// reader still reports each of them (but the nulls and the times). Kept on the
/// edit-tree object as one compact JSON object ({"effects": [...], "markers":
/// [...], "enabled": false, "null": [keys], "as_written": {key: {"value": V,
/// "stands_for": N}}}, each member only when there is something to keep).
class Leftovers {
public:
    /// How a loss report's sentence ends for what is kept: "(kept, and written
    /// back as it came)", or for "enabled": false, "(written back disabled)".
    static constexpr const char* kKeptNote = " (kept, and written back as it came)";
    static constexpr const char* kDisabledNote = " (written back disabled)";

    /// The members of the kept object holding the effects and the markers.
    static constexpr const char* kEffects = "effects";
    static constexpr const char* kMarkers = "markers";

    /// Keeps `effect` as it stands; false (nothing kept) when it is nested too deeply.
    bool effect(const Value& effect);
    /// Keeps `marker` as it stands; false (nothing kept) when it is nested too deeply.
    bool marker(const Value& marker);
    /// Keeps "enabled": false.
    void disabled() { m_disabled = true; }
    /// Keeps that the member `key` was null or absent, where the edit tree needs a
    /// value and the reader made one up (a media reference's "available_range").
    void null(const char* key);
    /// Keeps `value`, the member `key` as it came, where the edit tree holds
    /// `standsFor` instead (a timeline's "global_start_time" counted at another
    /// rate than the edit tree's start timecode); its writer writes it back as it
    /// came while the edit tree still holds `standsFor`. False (nothing kept)
    /// when it is nested too deeply.
    bool asWritten(const char* key, const Value& value, double standsFor);

    /// Stores what was kept on `target`; nothing when nothing was.
    void keepOn(DmPropertySet& target) const;

    /// The effects `object` keeps, parsed into `document`; null when it keeps none.
    static const Value* effects(const DmPropertySet& object, rapidotio::Document& document);
    /// The markers `object` keeps, parsed into `document`; null when it keeps none.
    static const Value* markers(const DmPropertySet& object, rapidotio::Document& document);
    /// False when `object` keeps "enabled": false.
    static bool enabled(const DmPropertySet& object);
    /// True when `object` keeps that its member `key` was null.
    static bool wasNull(const DmPropertySet& object, const char* key);
    /// The member `key` that `object` keeps as it came, parsed into `document`,
    /// when what the edit tree holds instead is still `standsFor`; null otherwise.
    static const Value* writtenAs(const DmPropertySet& object, const char* key, double standsFor,
                                  rapidotio::Document& document);

private:
    std::string m_effects; ///< compact JSON texts, separated by commas
    std::string m_markers;
    std::string m_nulls;   ///< the keys of members that were null, as JSON strings
    std::string m_written; ///< "key":{"value":V,"stands_for":N} members kept as they came
    bool m_disabled = false;
};

/// The transitions of a track, which the edit tree has no place for: each is
/// kept on the segment read after it, or on the layer when no segment follows,
/// as a compact JSON array, and written back before that segment (or after the
/// layer's last item). A transition takes no track time, so nothing moves.
class KeptTransitions {
public:
    /// Keeps `transition` as it stands; false (nothing kept) when it is nested
    /// too deeply.
    bool add(const Value& transition);
    /// Stores on `target` the transitions kept since the last call, and forgets them.
    void keepOn(DmPropertySet& target);

    /// The transitions `object` keeps, parsed into `document`; null when it keeps
    /// none (or their text is not a JSON array).
    static const Value* kept(const DmPropertySet& object, rapidotio::Document& document);

private:
    std::string m_texts; ///< compact JSON texts, separated by commas
};

} // namespace ForeignMembers

} // namespace ZEM_0_81::Interchange
