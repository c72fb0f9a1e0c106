#include "tests/interchange/otiostd/InterchangeTestSupport.h"

#include "interchange/StandardOtio.h"
#include "outside/dmtree/DmRoot.h"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ZEM_0_81::test {

namespace {

SharedPtr<Composition> holding(Composition::JsonType type, const std::string& text) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, "source", "source", Rational(24, 1)));
    composition->setJson(type, String(text.c_str(), text.size()));
    Status status;
    composition->getTree(status);
    EXPECT_TRUE(status) << "import failed with " << status.getCode();
    return composition;
}

rapidjson::Document parsed(const std::string& text) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseNanAndInfFlag>(
        text.c_str(), text.size());
    EXPECT_FALSE(document.HasParseError()) << text.substr(0, 200);
    return document;
}

// --- the model of a re-save ------------------------------------------------------------

bool isSchema(const rapidjson::Value& object, const char* prefix) {
    const auto found = object.FindMember("OTIO_SCHEMA");
    return found != object.MemberEnd() && found->value.IsString() &&
           std::strncmp(found->value.GetString(), prefix, std::strlen(prefix)) == 0;
}

/// The schemas of values (times, ranges, boxes) rather than objects with metadata.
bool isValueSchema(const rapidjson::Value& object) {
    return isSchema(object, "RationalTime.") || isSchema(object, "TimeRange.") ||
           isSchema(object, "Box2d.") || isSchema(object, "V2d.");
}

void addIfAbsent(rapidjson::Value& object, const char* key, rapidjson::Value value,
                 rapidjson::Document::AllocatorType& allocator) {
    if (!object.HasMember(key))
        object.AddMember(rapidjson::Value(key, allocator), value, allocator);
}

void resaveValue(rapidjson::Value& value, rapidjson::Document::AllocatorType& allocator) {
    if (value.IsArray()) {
        for (rapidjson::Value& element : value.GetArray())
            resaveValue(element, allocator);
        return;
    }
    if (value.IsDouble()) {
        const double number = value.GetDouble();
        if (std::trunc(number) != number)
            value.SetDouble(std::nextafter(number, HUGE_VAL));
        return;
    }
    if (!value.IsObject())
        return;
    if (value.HasMember("OTIO_SCHEMA") && !isValueSchema(value)) {
        addIfAbsent(value, "metadata", rapidjson::Value(rapidjson::kObjectType), allocator);
        addIfAbsent(value, "name", rapidjson::Value(""), allocator);
    }
    if (isSchema(value, "Clip.") || isSchema(value, "Gap.") || isSchema(value, "Track.") ||
        isSchema(value, "Stack.")) {
        addIfAbsent(value, "effects", rapidjson::Value(rapidjson::kArrayType), allocator);
        addIfAbsent(value, "markers", rapidjson::Value(rapidjson::kArrayType), allocator);
        addIfAbsent(value, "enabled", rapidjson::Value(true), allocator);
        addIfAbsent(value, "color", rapidjson::Value(), allocator);
        addIfAbsent(value, "source_range", rapidjson::Value(), allocator);
    }
    if (isSchema(value, "ExternalReference.") || isSchema(value, "MissingReference.")) {
        addIfAbsent(value, "available_image_bounds", rapidjson::Value(), allocator);
        addIfAbsent(value, "available_range", rapidjson::Value(), allocator);
    }
    for (auto& member : value.GetObject())
        resaveValue(member.value, allocator);

    // Members in key order: moved out, sorted by name, moved back.
    std::vector<rapidjson::Value::Member*> members;
    for (auto& member : value.GetObject())
        members.push_back(&member);
    std::sort(members.begin(), members.end(), [](const auto* a, const auto* b) {
        return std::strcmp(a->name.GetString(), b->name.GetString()) < 0;
    });
    rapidjson::Value sorted(rapidjson::kObjectType);
    for (auto* member : members)
        sorted.AddMember(member->name, member->value, allocator);
    value = sorted;
}

// --- comparing trees ----------------------------------------------------------------------

bool withinOneUlp(double a, double b) {
    return a == b || std::nextafter(a, b) == b;
}

void compare(const rapidjson::Value& expected, const rapidjson::Value& actual,
             const std::string& place, const std::string& what) {
    if (expected.IsNumber() && actual.IsNumber() && (expected.IsDouble() || actual.IsDouble())) {
        EXPECT_TRUE(withinOneUlp(expected.GetDouble(), actual.GetDouble()))
            << what << " at " << place << ": " << expected.GetDouble() << " vs "
            << actual.GetDouble();
        return;
    }
    ASSERT_EQ(expected.GetType(), actual.GetType()) << what << " at " << place;
    if (expected.IsObject()) {
        ASSERT_EQ(expected.MemberCount(), actual.MemberCount()) << what << " at " << place;
        for (const auto& member : expected.GetObject()) {
            const auto found = actual.FindMember(member.name);
            ASSERT_NE(found, actual.MemberEnd())
                << what << " at " << place << ": no " << member.name.GetString();
            compare(member.value, found->value, place + "/" + member.name.GetString(), what);
        }
    } else if (expected.IsArray()) {
        ASSERT_EQ(expected.Size(), actual.Size()) << what << " at " << place;
        for (rapidjson::SizeType i = 0; i < expected.Size(); ++i)
            compare(expected[i], actual[i], place + "/" + std::to_string(i), what);
    } else {
        EXPECT_TRUE(expected == actual) << what << " at " << place;
    }
}

// --- OTIO's view ---------------------------------------------------------------------------

const rapidjson::Value& member(const rapidjson::Value& object, const char* key) {
    static const rapidjson::Value null;
    if (!object.IsObject())
        return null;
    const auto found = object.FindMember(key);
    return found == object.MemberEnd() ? null : found->value;
}

double seconds(const rapidjson::Value& time) {
    return member(time, "value").GetDouble() / member(time, "rate").GetDouble();
}

} // namespace

SharedPtr<Composition> fromProductOtio(const std::string& text) {
    return holding(Composition::JsonType::Otio, text);
}

SharedPtr<Composition> fromDmTree(const std::string& text) {
    return holding(Composition::JsonType::DmTree, text);
}

SharedPtr<Composition> fromTree(const DmRoot& root) {
    return Composition::create("tree", root);
}

std::string dmTreeOf(const Composition& composition) {
    String text;
    const Status status = composition.getJson(Composition::JsonType::DmTree, text);
    EXPECT_TRUE(status) << "no edit-tree JSON: " << status.getCode();
    return std::string(text.c_str(), text.size());
}

std::string writeStandard(const Composition& composition) {
    String text, message;
    const Status status = StandardOtio::write(composition, text, &message);
    EXPECT_TRUE(status) << status.getCode() << ": " << message.c_str();
    return std::string(text.c_str(), text.size());
}

SharedPtr<Composition> readStandard(const std::string& text, LossReport& losses) {
    SharedPtr<Composition> composition;
    String message;
    const Status status =
        StandardOtio::read(text.c_str(), text.size(), "read", composition, losses, &message);
    EXPECT_TRUE(status) << status.getCode() << ": " << message.c_str();
    return composition;
}

std::vector<std::string> entriesOf(const LossReport& losses) {
    std::vector<std::string> entries;
    String path, schema, what;
    for (std::uint32_t i = 0; losses.getEntry(i, path, schema, what); ++i)
        entries.push_back(std::string(path.c_str()) + " | " + schema.c_str() + " | " +
                          what.c_str());
    return entries;
}

std::string resave(const std::string& standard) {
    rapidjson::Document document = parsed(standard);
    resaveValue(document, document.GetAllocator());
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 4);
    document.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

void expectSameTree(const std::string& expected, const std::string& actual,
                    const std::string& what) {
    const rapidjson::Document a = parsed(expected);
    const rapidjson::Document b = parsed(actual);
    compare(a, b, "", what);
}

std::vector<SeenTrack> seenTracks(const std::string& standard, std::size_t timeline) {
    const rapidjson::Document document = parsed(standard);
    const rapidjson::Value* root = &document;
    if (isSchema(document, "SerializableCollection."))
        root = &member(document, "children")[static_cast<rapidjson::SizeType>(timeline)];
    const rapidjson::Value& start = member(*root, "global_start_time");
    const double rate = member(start, "rate").GetDouble();
    const double origin = seconds(start);

    std::vector<SeenTrack> tracks;
    for (const rapidjson::Value& track : member(member(*root, "tracks"), "children").GetArray()) {
        SeenTrack seen;
        seen.name = member(track, "name").GetString();
        seen.kind = member(track, "kind").GetString();
        // A trim puts its start at the start of the stack.
        const rapidjson::Value& trim = member(track, "source_range");
        double at = origin - (trim.IsObject() ? seconds(member(trim, "start_time")) : 0.0);
        for (const rapidjson::Value& item : member(track, "children").GetArray()) {
            SeenItem entry;
            entry.schema = member(item, "OTIO_SCHEMA").GetString();
            entry.name = member(item, "name").GetString();
            const rapidjson::Value& zem = member(member(item, "metadata"), "zem");
            entry.filler = member(zem, "ZEM_SCHEMA").IsString() &&
                           std::string(member(zem, "ZEM_SCHEMA").GetString()) == "Filler.1";
            const double duration = seconds(member(member(item, "source_range"), "duration"));
            entry.recordStart = at * rate;
            entry.recordDuration = duration * rate;
            at += duration;
            const rapidjson::Value& references = member(item, "media_references");
            if (references.IsObject()) {
                const rapidjson::Value& active =
                    member(references, member(item, "active_media_reference_key").GetString());
                if (member(active, "target_url").IsString())
                    entry.activeUrl = member(active, "target_url").GetString();
            }
            for (const rapidjson::Value& effect : member(item, "effects").GetArray())
                entry.effects.push_back(std::string(member(effect, "effect_name").GetString()) +
                                        "/" + member(effect, "name").GetString());
            seen.items.push_back(entry);
        }
        tracks.push_back(seen);
    }
    return tracks;
}

} // namespace ZEM_0_81::test

namespace ZEM_0_81::test {

namespace {

const char* const kKnownSchemas[] = {
    "Timeline.1", "Stack.1", "Track.1", "Clip.2", "Gap.1", "Effect.1", "ExternalReference.1",
    "MissingReference.1", "RationalTime.1", "TimeRange.1", "Box2d.1", "V2d.1",
    "SerializableCollection.1",
    // Kept as other tools wrote them.
    "ImageSequenceReference.1", "Marker.1", "Marker.2", "Marker.3", "Color.1", "TimeEffect.1",
    "LinearTimeWarp.1", "FreezeFrame.1", "Transition.1", "GeneratorReference.1"};

void checkLoadable(const rapidjson::Value& value, const std::string& place, bool inMetadata) {
    if (value.IsArray()) {
        for (rapidjson::SizeType i = 0; i < value.Size(); ++i)
            checkLoadable(value[i], place + "/" + std::to_string(i), inMetadata);
        return;
    }
    if (!value.IsObject())
        return;
    std::vector<std::string> keys;
    for (const auto& m : value.GetObject())
        keys.emplace_back(m.name.GetString());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end())
        << "a key twice at " << place;

    const auto schemaMember = value.FindMember("OTIO_SCHEMA");
    if (schemaMember != value.MemberEnd()) {
        EXPECT_FALSE(inMetadata) << "OTIO_SCHEMA inside metadata at " << place;
        ASSERT_TRUE(schemaMember->value.IsString()) << place;
        const std::string schema = schemaMember->value.GetString();
        EXPECT_NE(std::find(std::begin(kKnownSchemas), std::end(kKnownSchemas), schema),
                  std::end(kKnownSchemas))
            << "schema " << schema << " at " << place;
        const auto has = [&](const char* key, rapidjson::Type type) {
            const rapidjson::Value& found = member(value, key);
            EXPECT_EQ(found.GetType(), type) << schema << " needs " << key << " at " << place;
        };
        if (schema == "RationalTime.1") {
            EXPECT_TRUE(member(value, "rate").IsNumber()) << place;
            EXPECT_TRUE(member(value, "value").IsNumber()) << place;
        } else if (schema == "TimeRange.1") {
            has("start_time", rapidjson::kObjectType);
            has("duration", rapidjson::kObjectType);
        } else if (schema == "Timeline.1") {
            has("tracks", rapidjson::kObjectType);
            EXPECT_TRUE(isSchema(member(value, "tracks"), "Stack.")) << place;
        } else if (schema == "Stack.1" || schema == "SerializableCollection.1") {
            has("children", rapidjson::kArrayType);
        } else if (schema == "Track.1") {
            has("children", rapidjson::kArrayType);
            has("kind", rapidjson::kStringType);
        } else if (schema == "Clip.2") {
            has("media_references", rapidjson::kObjectType);
            has("active_media_reference_key", rapidjson::kStringType);
            const rapidjson::Value& key = member(value, "active_media_reference_key");
            if (key.IsString()) {
                EXPECT_TRUE(member(value, "media_references").HasMember(key.GetString())) << place;
            }
        } else if (schema == "ExternalReference.1") {
            has("target_url", rapidjson::kStringType);
        } else if (schema == "Effect.1") {
            has("effect_name", rapidjson::kStringType);
        } else if (schema == "Box2d.1") {
            has("min", rapidjson::kObjectType);
            has("max", rapidjson::kObjectType);
        }
        const rapidjson::Value& effects = member(value, "effects");
        if (effects.IsArray()) {
            for (const rapidjson::Value& effect : effects.GetArray())
                EXPECT_TRUE(isSchema(effect, "Effect.") || isSchema(effect, "TimeEffect.") ||
                            isSchema(effect, "LinearTimeWarp.") || isSchema(effect, "FreezeFrame."))
                    << "a non-effect in effects at " << place;
        }
    }
    for (const auto& m : value.GetObject())
        checkLoadable(m.value, place + "/" + m.name.GetString(),
                      inMetadata || std::strcmp(m.name.GetString(), "metadata") == 0);
}

} // namespace

void expectLoadableByOtio(const std::string& standard) {
    const rapidjson::Document document = parsed(standard);
    ASSERT_TRUE(document.IsObject());
    checkLoadable(document, "", false);
}

} // namespace ZEM_0_81::test
