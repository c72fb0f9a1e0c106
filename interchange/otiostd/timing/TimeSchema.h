#pragma once

#include "interchange/kept/KeptObjects.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/timing/TimeValues.h"

namespace ZEM_0_81::Interchange {

/// "RationalTime.1" ({"OTIO_SCHEMA", "rate", "value"}) and "TimeRange.1"
/// ({"OTIO_SCHEMA", "duration", "start_time"}), both members always written, as
/// the OpenTimelineIO library requires them.
namespace TimeSchema {

using KeptObjects::kDuration;
using KeptObjects::kRate;
using KeptObjects::kRationalTime;
using KeptObjects::kStartTime;
using KeptObjects::kTimeRange;
using KeptObjects::kValue;

void writeTime(OtioWriter& writer, const RationalTime& time);
void writeRange(OtioWriter& writer, const TimeRange& range);

/// Member `key` of `members` as a time: an object with a finite "value" and
/// "rate" (made exact when it stands for a frame rate: RecordTime::canonicalRate).
/// False when absent or null; a member of another shape is reported as a
/// loss and reads as absent.
bool readTime(const Members& members, const char* key, RationalTime& time);
/// Member `key` as a range: an object with a "start_time" and a "duration", each
/// read as a time. False when absent or null, or (reported) malformed.
bool readRange(const Members& members, const char* key, TimeRange& range);

} // namespace TimeSchema

} // namespace ZEM_0_81::Interchange
