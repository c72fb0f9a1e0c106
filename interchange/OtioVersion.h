#pragma once

#include "composition/CompositionApi.h"

#include <cstdint>

namespace ZEM_0_81 {

/// The OpenTimelineIO releases whose schemas StandardOtio::write can target,
/// named by the labels of the OpenTimelineIO library's own schema version map
/// (what its "otiotool --downgrade LABEL" takes). Releases differ, for what
/// this system writes, in the clip and marker schemas they read:
///
/// | label              | clip                                   | marker                    |
/// |--------------------|----------------------------------------|---------------------------|
/// | 0.14.0             | "Clip.1": one "media_reference"        | "Marker.2": a colour name |
/// | 0.15.0 ... 0.18.1  | "Clip.2": "media_references" by key    | "Marker.2"                |
/// | 0.19.0             | "Clip.2"                               | "Marker.3": a "Color.1"   |
///
/// A release reads the schemas of every release before it, and refuses a
/// schema version newer than its own. Reading accepts every version.
enum class OtioVersion : std::int32_t {
    V0_14_0 = 0,
    V0_15_0 = 1,
    V0_16_0 = 2,
    V0_17_0 = 3,
    V0_18_0 = 4,
    V0_18_1 = 5,
    V0_19_0 = 6,
};

/// Every version, oldest first.
constexpr OtioVersion kOtioVersions[] = {
    OtioVersion::V0_14_0, OtioVersion::V0_15_0, OtioVersion::V0_16_0, OtioVersion::V0_17_0,
    OtioVersion::V0_18_0, OtioVersion::V0_18_1, OtioVersion::V0_19_0};

/// The version written when none is asked for: the current release's.
constexpr OtioVersion kCurrentOtioVersion = OtioVersion::V0_18_1;

/// The label of a version ("0.14.0" ... "0.19.0"); "" for a value outside the
/// enumeration.
ZEM_API const char* otioVersionName(OtioVersion version);

/// The version labelled `name`: exactly as otioVersionName spells it, or
/// "0.19.0.dev1", the label the OpenTimelineIO library's map gives 0.19.0
/// while it is being made. False, leaving `version` untouched, for any other
/// name or a null pointer.
ZEM_API bool otioVersionFromName(const char* name, OtioVersion& version);

} // namespace ZEM_0_81
