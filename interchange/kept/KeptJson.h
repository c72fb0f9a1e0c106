#pragma once

#include "interchange/kept/KeptObjects.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

namespace ZEM_0_81::Interchange::KeptJson {

// Writing the JSON texts kept data is shaped as (standard OTIO's objects), for
// the formats that keep what they read to write it back.

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

/// `text` as a JSON string, whatever bytes it holds.
inline void string(Writer& writer, const std::string& text) {
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

/// The member `key` holding `text`.
inline void member(Writer& writer, const char* key, const std::string& text) {
    writer.Key(key);
    string(writer, text);
}

/// The member `key` holding a "RationalTime.1" of `value` at `rate`.
inline void time(Writer& writer, const char* key, double value, double rate) {
    writer.Key(key);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kRationalTime);
    writer.Key(KeptObjects::kRate);
    writer.Double(rate);
    writer.Key(KeptObjects::kValue);
    writer.Double(value);
    writer.EndObject();
}

/// The member `key` holding a "TimeRange.1" from `start` lasting `duration`, at `rate`.
inline void timeRange(Writer& writer, const char* key, double start, double duration, double rate) {
    writer.Key(key);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kTimeRange);
    time(writer, KeptObjects::kDuration, duration, rate);
    time(writer, KeptObjects::kStartTime, start, rate);
    writer.EndObject();
}

} // namespace ZEM_0_81::Interchange::KeptJson
