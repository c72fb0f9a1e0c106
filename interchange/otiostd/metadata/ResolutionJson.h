#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmFrameResolution.h"

namespace ZEM_0_81::Interchange {

/// A frame resolution (DmFrameResolution) in a "zem" description, with the
/// member names of the product's media metadata. Every value of a resolution may
/// be unset, and stays so:
///
///     {"bounds": {"center": [X, Y], "size": [W, H]},     doubles, null when unset
///      "pixel_resolution": [W, H],                        integers, null when unset
///      "data_type": S, "num_video_channels": I,           a depth that has a name
///      "depth": {"bits", "channels", "float", "flag"},    any other depth
///      "frame_ratio": F,                                   the picture's width / height
///      "pixel_aspect": F,                                  written, not read: see below
///      "properties": ...}
///
/// A member is left out when none of its values is set. "pixel_aspect" is the
/// product's pixel aspect, derived from the frame ratio and the pixel size as the
/// product's export derives it, for readers that know the product's metadata;
/// the exact "frame_ratio" is what is read back.
namespace ResolutionJson {

/// Writes member `key`: the resolution, or null for none.
void write(OtioWriter& writer, const char* key, const DmFrameResolution* resolution);

/// Writes the members of `resolution` into the object being written, its
/// properties as `propertiesKey`, for a description that holds the resolution's
/// values among its own (as the product's media metadata does).
void writeMembers(OtioWriter& writer, const DmFrameResolution& resolution,
                  const char* propertiesKey);

/// The resolution whose members `members` holds among others (see writeMembers).
CoSharedPtr<DmFrameResolution> readMembers(const Members& members, const char* propertiesKey);

/// Reads member `key` of `members`: false when the member is absent (or, with a
/// loss reported, neither an object nor null); true otherwise, with `resolution`
/// the resolution read, or null for a null member.
bool read(const Members& members, const char* key, CoSharedPtr<DmFrameResolution>& resolution);

} // namespace ResolutionJson

} // namespace ZEM_0_81::Interchange
