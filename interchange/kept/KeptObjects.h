#pragma once

#include "interchange/kept/JsonValues.h"
#include "interchange/timing/TimeValues.h"
#include "rapidotio/keys/EffectKeys.h"
#include "rapidotio/keys/ObjectKeys.h"
#include "rapidotio/keys/RationalTimeKeys.h"
#include "rapidotio/keys/TimeRangeKeys.h"

#include <cstring>
#include <string>
#include <string_view>

namespace ZEM_0_81::Interchange {

/// What another tool says beyond the edit tree's own values is kept in the shape
/// of standard OTIO's objects, as the OpenTimelineIO library writes them,
/// whatever format it was read from: a transition as a "Transition.1", a speed
/// as a "LinearTimeWarp.1" or "FreezeFrame.1", a marker as a "Marker.2", a
/// tool's own data as a dictionary of an object's "metadata" (ForeignMembers).
/// A composition written as standard OTIO then carries it, and every format's
/// writer finds it in one shape. These are the words of those objects, and the
/// readers of their members, that the formats share.
namespace KeptObjects {

// Members of every object: "OTIO_SCHEMA" ("Clip.2": a type word and a
// version), "metadata" and "name". The words OTIO documents share with the
// product dialect are its declarations.
constexpr const char* kSchema = rapidotio::keys::ObjectKeys::schema;
constexpr const char* kMetadata = rapidotio::keys::ObjectKeys::metadata;
constexpr const char* kName = rapidotio::keys::ObjectKeys::name;
/// An item's "enabled" (false for one that does not play).
constexpr const char* kEnabled = "enabled";

/// "RationalTime.1" ({"OTIO_SCHEMA", "rate", "value"}) and "TimeRange.1"
/// ({"OTIO_SCHEMA", "duration", "start_time"}).
constexpr const char* kRationalTime = rapidotio::keys::RationalTimeKeys::schema;
constexpr const char* kTimeRange = rapidotio::keys::TimeRangeKeys::schema;
constexpr const char* kRate = rapidotio::keys::RationalTimeKeys::rate;
constexpr const char* kValue = rapidotio::keys::RationalTimeKeys::value;
constexpr const char* kStartTime = rapidotio::keys::TimeRangeKeys::startTime;
constexpr const char* kDuration = rapidotio::keys::TimeRangeKeys::duration;

/// A transition's members: the time it spans before and after its cut, and its kind.
constexpr const char* kInOffset = "in_offset";
constexpr const char* kOutOffset = "out_offset";
constexpr const char* kTransitionType = "transition_type";
/// The schema a transition is kept as.
constexpr const char* kTransitionSchema = "Transition.1";

/// An effect's name ("effect_name").
constexpr const char* kEffectName = rapidotio::keys::EffectKeys::effectName;

/// A marker's members: the range it marks, its comment and its colour (a name,
/// or a "Color.1" from "Marker.3" on); and the schema a marker read from another
/// format is kept as.
constexpr const char* kMarkedRange = "marked_range";
constexpr const char* kComment = "comment";
constexpr const char* kColor = "color";
constexpr const char* kMarkerSchema = "Marker.2";

/// The "OTIO_SCHEMA" text of `object` ("" when absent or not a string).
std::string schemaOf(const Value& object);

/// The member `key` of `object`, the first when several have its name (as a
/// DOM's FindMember finds it), or null. Inline, the key's length counted where
/// the call is made: the readers look up every member of every item here.
inline const Value* memberOf(const Value& object, std::string_view key) {
    if (!object.IsObject())
        return nullptr;
    for (const auto& member : object.GetObject()) {
        if (rapidotio::textIs(member.name, key.data(), key.size()))
            return &member.value;
    }
    return nullptr;
}

/// The time `object` holds (a "RationalTime.1" with a finite value and a positive
/// rate), its rate snapped (RecordTime::snapRate); false otherwise.
bool timeOf(const Value* object, RationalTime& time);

} // namespace KeptObjects

} // namespace ZEM_0_81::Interchange
