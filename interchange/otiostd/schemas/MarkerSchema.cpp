#include "interchange/otiostd/schemas/MarkerSchema.h"

#include "interchange/notes/ReviewNotes.h"
#include "interchange/otiostd/kept/ForeignJson.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/schemas/SchemaVersions.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmSegmentNode.h"

#include <rapidjson/document.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ZEM_0_81::Interchange::MarkerSchema {

namespace {

using KeptObjects::kColor;
using KeptObjects::kComment;
using KeptObjects::kMarkedRange;
constexpr const char* kOlderRange = "range"; // "Marker.1"
constexpr const char* kCaptionSeparator = ": ";
// "Color.1", as the newest markers hold their colour: its components and name.
constexpr const char* kColorSchema = "Color.1";
constexpr const char* kColorComponents[4] = {"r", "g", "b", "a"};
// The first marker version that holds a "Color.1" (before it, a colour name).
constexpr int kColorObjectVersion = 3;

using ReviewNotes::kDefaultColour;
using ReviewNotes::NamedColour;
using ReviewNotes::namedColourOf;
using ReviewNotes::nearestColourName;
using ReviewNotes::Note;
using ReviewNotes::noteShown;
using ReviewNotes::reviewNote;
using ReviewNotes::Rgba;

// A name OTIO does not know is white, as OTIO reads it.
constexpr Rgba kUnknownColour = {1.0f, 1.0f, 1.0f, 1.0f};

std::string textMember(const Value& object, const char* key) {
    const Value* value = OtioTiming::memberOf(object, key);
    return value && value->IsString() ? textOf(*value) : std::string();
}

Rgba colourOf(const Value& marker) {
    const Value* colour = OtioTiming::memberOf(marker, kColor);
    if (!colour || colour->IsNull())
        return kDefaultColour;
    if (colour->IsString()) {
        const NamedColour* named = namedColourOf(textOf(*colour));
        return named ? named->rgba : kUnknownColour;
    }
    Rgba rgba = kUnknownColour;
    for (int i = 0; i < 4; ++i) {
        double component = 0.0;
        const Value* value = OtioTiming::memberOf(*colour, kColorComponents[i]);
        if (value && finiteNumber(*value, component))
            rgba[i] = static_cast<float>(component);
    }
    return rgba;
}

/// The member holding the marked range: "marked_range", or "range" in the oldest markers.
const char* rangeKeyOf(const Value& marker) {
    if (OtioTiming::memberOf(marker, kMarkedRange) || !OtioTiming::memberOf(marker, kOlderRange))
        return kMarkedRange;
    return kOlderRange;
}

std::int32_t clampedFrame(double frame) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::fmin(std::fmax(std::round(frame), low), high));
}

/// What the note of `marker` shows when the item's range starts at
/// `time.writtenStart`.
Note noteOf(const Value& marker, const ItemTime& time) {
    Note note;
    const std::string name = textMember(marker, SchemaMembers::kName);
    const std::string comment = textMember(marker, kComment);
    note.caption = comment.empty() ? name
                   : name.empty()  ? comment
                                   : name + kCaptionSeparator + comment;
    note.rgba = colourOf(marker);
    TimeRange range = kZeroRange;
    if (OtioTiming::rangeOf(OtioTiming::memberOf(marker, rangeKeyOf(marker)), range)) {
        const double offset = range.start_time.value - RecordTime::rescale(time.writtenStart.value,
                                                                           time.writtenStart.rate,
                                                                           range.start_time.rate);
        const double start = time.recordIn + RecordTime::rescale(offset, range.start_time.rate,
                                                                 time.compositionRate);
        const double duration =
            RecordTime::rescale(range.duration.value, range.duration.rate, time.compositionRate);
        if (std::isfinite(start) && std::isfinite(duration)) {
            note.ranged = true;
            note.start = clampedFrame(start);
            note.duration = static_cast<std::uint32_t>(
                std::fmin(std::fmax(std::round(duration), 1.0), 4294967295.0));
        }
    }
    return note;
}

CoSharedPtr<DmAnnotationSettings> annotationOf(const Note& note) {
    return reviewNote(note.caption, note.rgba, note.ranged ? note.start : 0,
                      note.ranged ? note.duration : 0);
}

/// `marker` (a copy, owned by `document`) with its range counted from where the
/// item's range starts as written.
void rebase(rapidotio::Document& marker, const ItemTime& time) {
    const char* key = rangeKeyOf(marker);
    TimeRange range = kZeroRange;
    if (!OtioTiming::rangeOf(OtioTiming::memberOf(marker, key), range))
        return;
    const double actual =
        RecordTime::rescale(time.actualStart.value, time.actualStart.rate, range.start_time.rate);
    const double written =
        RecordTime::rescale(time.writtenStart.value, time.writtenStart.rate, range.start_time.rate);
    if (RecordTime::identical(actual, written) || !std::isfinite(actual) || !std::isfinite(written))
        return;
    Value& value = marker[key][TimeSchema::kStartTime][TimeSchema::kValue];
    value.SetDouble(value.GetDouble() - actual + written);
}

/// Gives `marker` the whole item as its marked range, in place of a range that
/// is absent or malformed.
void coverItem(rapidotio::Document& marker, const ItemTime& time) {
    const double rate =
        time.writtenStart.rate > 0.0 ? time.writtenStart.rate : time.compositionRate;
    auto& allocator = marker.GetAllocator();
    const auto timeValue = [&](double value) {
        Value object(rapidjson::kObjectType);
        object.AddMember(Value(SchemaMembers::kSchema, allocator),
                         Value(TimeSchema::kRationalTime, allocator), allocator);
        object.AddMember(Value(TimeSchema::kRate, allocator), Value(rate), allocator);
        object.AddMember(Value(TimeSchema::kValue, allocator), Value(value), allocator);
        return object;
    };
    Value range(rapidjson::kObjectType);
    range.AddMember(Value(SchemaMembers::kSchema, allocator),
                    Value(TimeSchema::kTimeRange, allocator), allocator);
    range.AddMember(Value(TimeSchema::kDuration, allocator),
                    timeValue(RecordTime::rescale(time.recordLength, time.compositionRate, rate)),
                    allocator);
    range.AddMember(Value(TimeSchema::kStartTime, allocator), timeValue(time.writtenStart.value),
                    allocator);
    // Every member of that name goes: a document may repeat a key, and a lookup
    // finds the first one left.
    const char* key = rangeKeyOf(marker);
    while (marker.RemoveMember(key)) {
    }
    marker.AddMember(Value(key, allocator), range, allocator);
}

/// A colour name as a "Color.1" holds it: "Green" for GREEN.
std::string titleCase(const char* name) {
    std::string text = name;
    for (std::size_t i = 1; i < text.size(); ++i)
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    return text;
}

/// A marker saying what `note` says, keeping the metadata of the marker it
/// stood for (`kept`, possibly not an object).
void writeNew(OtioWriter& writer, const Note& note, const Value& kept, const ItemTime& time) {
    const char* schema = SchemaVersions::markerSchema(writer.version());
    SchemaMembers::start(writer, schema);
    writer.key(SchemaMembers::kMetadata);
    if (const Value* metadata = OtioTiming::memberOf(kept, SchemaMembers::kMetadata);
        metadata && metadata->IsObject())
        writer.json(*metadata);
    else
        writer.json(Value(rapidjson::kObjectType));
    writer.member(SchemaMembers::kName, note.caption);
    std::string version;
    int number = 0;
    SchemaMembers::parseSchema(schema, version, number);
    if (number >= kColorObjectVersion) {
        // The note's own colour, named when it is one OTIO names.
        const char* nearest = nearestColourName(note.rgba);
        const NamedColour* named = namedColourOf(nearest);
        writer.key(kColor);
        SchemaMembers::start(writer, kColorSchema);
        for (int i = 0; i < 4; ++i)
            writer.member(kColorComponents[i], static_cast<double>(note.rgba[i]));
        writer.member(SchemaMembers::kName,
                      named && named->rgba == note.rgba ? titleCase(nearest) : std::string());
        writer.endObject();
    } else {
        writer.member(kColor, nearestColourName(note.rgba));
    }
    const double rate =
        time.writtenStart.rate > 0.0 ? time.writtenStart.rate : time.compositionRate;
    const double start = time.writtenStart.value + RecordTime::rescale(note.start - time.recordIn,
                                                                       time.compositionRate, rate);
    writer.key(kMarkedRange);
    TimeSchema::writeRange(
        writer, TimeRange{{note.ranged ? start : time.writtenStart.value, rate},
                          {RecordTime::rescale(note.duration, time.compositionRate, rate), rate}});
    writer.member(kComment, "");
    writer.endObject();
}

void writeMarker(OtioWriter& writer, const DmAnnotationSettings& annotation, const ItemTime& time) {
    Note shown;
    const bool hasShape = noteShown(annotation, shown);
    DmString kept;
    rapidotio::Document marker;
    if (annotation.getPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &kept) ==
        eDmSuccess) {
        const std::string& text = kept.str();
        if (ForeignMembers::parseKept(text, marker) && marker.IsObject() && hasShape &&
            shown.ranged && noteOf(marker, time) == shown) {
            ForeignMembers::writeText(writer, text);
            return;
        }
    }
    if (marker.HasParseError())
        marker.SetObject();
    writeNew(writer, shown, marker, time);
}

} // namespace

void readAll(const Members& item, const ItemTime& time, DmSegmentNode& segment) {
    const Value* markers = item.arrayMember(SchemaMembers::kMarkers);
    if (!markers)
        return;
    ReadContext& context = item.context();
    const ReadContext::Scope scope(context, SchemaMembers::kMarkers);
    for (rapidjson::SizeType i = 0; i < markers->Size(); ++i) {
        const ReadContext::Scope element(context, i);
        const Value& value = (*markers)[i];
        const std::string schema = SchemaMembers::schemaOf(value);
        std::string type;
        int version = 0;
        if (!SchemaMembers::parseSchema(schema, type, version) || type != kType) {
            context.lose(schema, "dropped: not a marker");
            continue;
        }
        // Copied to be rebased: RapidJSON copies by recursion, so only what the
        // edit tree would keep anyway.
        if (!ForeignMembers::withinDepth(value, ForeignMembers::kMaxDepth)) {
            context.lose(schema, "dropped: nested more deeply than the edit tree keeps");
            continue;
        }
        rapidotio::Document marker;
        marker.CopyFrom(value, marker.GetAllocator());
        rebase(marker, time);
        if (!noteOf(marker, time).ranged) {
            // Reports what is wrong with the range, when it is there at all.
            TimeRange range = kZeroRange;
            TimeSchema::readRange(Members(context, &value, schema), rangeKeyOf(value), range);
            context.lose(schema, "approximated: without a usable marked range the note covers "
                                 "the whole item");
            coverItem(marker, time);
        }
        std::string text;
        if (!ForeignMembers::textOf(marker, text)) {
            context.lose(schema, "dropped: nested more deeply than the edit tree keeps");
            continue;
        }
        const CoSharedPtr<DmAnnotationSettings> annotation = annotationOf(noteOf(marker, time));
        const DmString kept(std::move(text));
        annotation->setPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &kept);
        segment.addEffect(annotation.get());
    }
}

void convert(Value& marker, rapidotio::Allocator& allocator, int version) {
    std::string type;
    int from = 0;
    if (!SchemaMembers::parseSchema(SchemaMembers::schemaOf(marker), type, from) || from == version)
        return;
    // "Marker.1" holds its range as "range".
    if (from < 2 && !marker.HasMember(kMarkedRange) && marker.HasMember(kOlderRange)) {
        Value range(std::move(marker[kOlderRange]));
        marker.RemoveMember(kOlderRange);
        marker.AddMember(Value(kMarkedRange, allocator), range, allocator);
    }
    const auto colour = marker.FindMember(kColor);
    if (colour != marker.MemberEnd() && version >= kColorObjectVersion &&
        colour->value.IsString()) {
        // A name OTIO knows is its colour; another is white, keeping the name.
        const std::string name = textOf(colour->value);
        const NamedColour* named = namedColourOf(name);
        Value object(rapidjson::kObjectType);
        object.AddMember(Value(SchemaMembers::kSchema, allocator), Value(kColorSchema, allocator),
                         allocator);
        for (int i = 0; i < 4; ++i)
            object.AddMember(Value(kColorComponents[i], allocator),
                             Value(double(named ? named->rgba[i] : kUnknownColour[i])), allocator);
        object.AddMember(Value(SchemaMembers::kName, allocator),
                         Value(named ? titleCase(named->name).c_str() : name.c_str(), allocator),
                         allocator);
        colour->value = object;
    } else if (colour != marker.MemberEnd() && version < kColorObjectVersion &&
               colour->value.IsObject()) {
        // Its name, in capitals when OTIO knows it; else the nearest name OTIO knows.
        const Value* name = OtioTiming::memberOf(colour->value, SchemaMembers::kName);
        const std::string text = name && name->IsString() ? textOf(*name) : std::string();
        const NamedColour* named = namedColourOf(text);
        const std::string written = named           ? named->name
                                    : !text.empty() ? text
                                                    : nearestColourName(colourOf(marker));
        colour->value.SetString(written.c_str(), static_cast<rapidjson::SizeType>(written.size()),
                                allocator);
    }
    const std::string schema = std::string(kType) + "." + std::to_string(version);
    marker[SchemaMembers::kSchema].SetString(
        schema.c_str(), static_cast<rapidjson::SizeType>(schema.size()), allocator);
}

void writeAll(OtioWriter& writer, const DmSegmentNode& segment, const ItemTime& time) {
    writer.key(SchemaMembers::kMarkers);
    writer.beginArray();
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* effect = segment.getEffect(i);
        if (effect && ReviewNotes::isMarker(*effect))
            writeMarker(writer, static_cast<const DmAnnotationSettings&>(*effect), time);
    }
    writer.endArray();
}

} // namespace ZEM_0_81::Interchange::MarkerSchema
