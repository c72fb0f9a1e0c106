#pragma once

#include "interchange/OtioVersion.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

namespace ZEM_0_81::Interchange {

/// The schemas an OpenTimelineIO release reads as its own, of those whose
/// versions differ between the releases this system writes for (OtioVersion):
/// its clip and its marker. Every other schema written (Timeline.1, Stack.1,
/// Track.1, Gap.1, the references, Effect.1, the times) is the same in all of
/// them. What another tool wrote and this system keeps as it came (a nested
/// composition, a marker) is written with its clips and markers turned into the
/// release's, as the OpenTimelineIO library's own downgrade and upgrade turn
/// them (ClipSchema::convert, MarkerSchema::convert).
namespace SchemaVersions {

/// "Clip.1" for 0.14, "Clip.2" from 0.15 on.
const char* clipSchema(OtioVersion version);
/// "Marker.2" up to 0.18, "Marker.3" from 0.19 on.
const char* markerSchema(OtioVersion version);

/// Writes `value`, kept as another tool wrote it, as the next value: as it
/// stands unless the writer turns kept values into its release's schemas
/// (OtioWriter::turnsKept) and some clip or marker in it is of another; then a
/// copy with them turned, each reference a "Clip.1" has no place for reported
/// (OtioWriter::lose).
void writeKept(OtioWriter& writer, const Value& value);

} // namespace SchemaVersions

} // namespace ZEM_0_81::Interchange
