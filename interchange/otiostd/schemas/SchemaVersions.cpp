#include "interchange/otiostd/schemas/SchemaVersions.h"

#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/MarkerSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/places/LossPlaces.h"

#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::SchemaVersions {

namespace {

/// The version of "Clip" and of "Marker" that `version` reads as its own.
struct Versions {
    int clip;
    int marker;
};

Versions versionsOf(OtioVersion version) {
    return Versions{version < OtioVersion::V0_15_0 ? 1 : 2, version < OtioVersion::V0_19_0 ? 2 : 3};
}

/// The version `object` should be of for the release, when it is a clip or a
/// marker of another one; 0 otherwise.
int targetOf(const Value& object, const Versions& versions, bool& isClip) {
    std::string type;
    int version = 0;
    if (!SchemaMembers::parseSchema(SchemaMembers::schemaOf(object), type, version))
        return 0;
    isClip = type == ClipSchema::kType;
    const int target = isClip ? versions.clip : type == MarkerSchema::kType ? versions.marker : 0;
    return target != version ? target : 0;
}

/// True when some object within `value` is a clip or a marker to turn into the
/// release's; found without recursion.
bool needsTurning(const Value& value, const Versions& versions) {
    std::vector<const Value*> pending{&value};
    while (!pending.empty()) {
        const Value* current = pending.back();
        pending.pop_back();
        bool isClip = false;
        if (current->IsObject()) {
            if (targetOf(*current, versions, isClip) != 0)
                return true;
            for (const auto& member : current->GetObject())
                pending.push_back(&member.value);
        } else if (current->IsArray()) {
            for (const Value& element : current->GetArray())
                pending.push_back(&element);
        }
    }
    return false;
}

} // namespace

const char* clipSchema(OtioVersion version) {
    return versionsOf(version).clip == 1 ? ClipSchema::kOlderSchema : ClipSchema::kSchema;
}

const char* markerSchema(OtioVersion version) {
    return versionsOf(version).marker == 3 ? "Marker.3" : "Marker.2";
}

void writeKept(OtioWriter& writer, const Value& value) {
    const Versions versions = versionsOf(writer.version());
    if (!writer.turnsKept() || !needsTurning(value, versions)) {
        writer.json(value);
        return;
    }
    // Kept values nest no deeper than ForeignMembers::kMaxDepth, which the
    // copy's recursion stays well within.
    rapidotio::Document copy;
    copy.CopyFrom(value, copy.GetAllocator());
    std::vector<std::pair<Value*, std::string>> pending{{&copy, std::string()}};
    while (!pending.empty()) {
        auto [current, pointer] = std::move(pending.back());
        pending.pop_back();
        if (current->IsArray()) {
            for (rapidjson::SizeType i = 0; i < current->Size(); ++i) {
                std::string below = pointer;
                appendPointerToken(below, std::to_string(i));
                pending.emplace_back(&(*current)[i], std::move(below));
            }
            continue;
        }
        if (!current->IsObject())
            continue;
        bool isClip = false;
        if (const int target = targetOf(*current, versions, isClip); target != 0 && isClip) {
            std::vector<std::string> dropped;
            ClipSchema::convert(*current, copy.GetAllocator(), target, dropped);
            std::string reference = pointer;
            appendPointerToken(reference, ClipSchema::kMediaReference);
            for (const std::string& key : dropped)
                writer.lose(ClipSchema::kOlderSchema, ClipSchema::droppedWhy(key), reference);
        } else if (target != 0) {
            MarkerSchema::convert(*current, copy.GetAllocator(), target);
        }
        for (auto& member : current->GetObject()) {
            std::string below = pointer;
            appendPointerToken(below, member.name.GetString(), member.name.GetStringLength());
            pending.emplace_back(&member.value, std::move(below));
        }
    }
    writer.json(copy);
}

} // namespace ZEM_0_81::Interchange::SchemaVersions
