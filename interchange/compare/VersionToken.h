#pragma once

// Version tokens in the names of shots and their media: "sh010_comp_v003" and
// "sh010_comp_v004" are two versions of one shot.

#include <string>

namespace ZEM_0_81::Interchange::Compare {

/// `name` with its version tokens set aside: a "v" or "V" followed by one to
/// six digits, that starts the name or follows a separator ('_', '.', '-', ' ',
/// '/') and ends it or comes before one. Each token goes with the separator
/// before it (or, at the start of the name or of a path's part, the one after
/// it): "sh010_comp_v003" and "sh010_comp.v3" are "sh010_comp",
/// "v2_sh010" is "sh010", "/shots/v003/sh010_v003.exr" is "/shots/sh010.exr";
/// "sh010v3", "rev2" and "v1234567" keep theirs.
std::string withoutVersion(const std::string& name);

} // namespace ZEM_0_81::Interchange::Compare
