#pragma once

#include "interchange/kept/KeptObjects.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "rapidotio/keys/ItemKeys.h"
#include "rapidotio/keys/ObjectKeys.h"

#include <string>
#include <string_view>

class DmPropertySet;

namespace ZEM_0_81::Interchange {

namespace ForeignMembers {
class Leftovers;
}

/// What every schema object of a standard OTIO document has: its "OTIO_SCHEMA"
/// ("Clip.2": a type word and a version), its "metadata" dictionary and its
/// "name". This system's own data rides in "metadata" → "zem", an object whose
/// "ZEM_SCHEMA" member names what it describes; it holds no "OTIO_SCHEMA" member
/// anywhere, so that the OpenTimelineIO library reads it as plain dictionaries.
namespace SchemaMembers {

// The words OTIO documents share with the product dialect are its declarations.
using KeptObjects::kMetadata;
using KeptObjects::kName;
using KeptObjects::kSchema;
constexpr const char* kZem = rapidotio::keys::MetadataKeys::zem;
constexpr const char* kZemSchema = rapidotio::keys::MetadataKeys::zemSchema;

// Members of every item (clips, gaps, tracks, stacks), written as the
// OpenTimelineIO library writes them.
constexpr const char* kSourceRange = rapidotio::keys::ItemKeys::sourceRange;
constexpr const char* kEffects = rapidotio::keys::ItemKeys::effects;
constexpr const char* kMarkers = "markers";
using KeptObjects::kEnabled;
// Members of compositions (stacks and tracks) and collections.
constexpr const char* kChildren = rapidotio::keys::ObjectKeys::children;

/// The type word and version of an "OTIO_SCHEMA" text such as "Clip.2". False
/// when the text has no dot or no version number after the last one.
bool parseSchema(const std::string& text, std::string& type, int& version);
/// The same, `type` a view of `text`.
bool parseSchema(std::string_view text, std::string_view& type, int& version);

using KeptObjects::schemaOf;

/// True when `object` is one of the effects the OpenTimelineIO library defines
/// (Effect, TimeEffect, LinearTimeWarp, FreezeFrame), which it takes in an
/// item's "effects".
bool isOtioEffect(const Value& object);

/// True when `object` is a Marker, which the OpenTimelineIO library takes in an
/// item's "markers".
bool isOtioMarker(const Value& object);

/// "metadata" → "zem" of `object` when both are objects, else null.
const Value* zemOf(const Value& object);

/// "metadata" → "zem" → "ZEM_SCHEMA" of `object` ("" when absent).
std::string zemSchemaOf(const Value& object);

/// Enters "metadata" → "zem" of an object of the input for the scope's lifetime
/// and reads its members (none when the object has no such description).
class ZemScope {
public:
    ZemScope(ReadContext& context, const Value& object, const std::string& schema)
        : m_metadata(context, kMetadata), m_zem(context, kZem),
          m_members(context, zemOf(object), schema) {}
    /// The description of the object of `owner`, which must outlive it.
    explicit ZemScope(const Members& owner)
        : m_metadata(owner.context(), kMetadata), m_zem(owner.context(), kZem),
          m_members(owner, owner.object() ? zemOf(*owner.object()) : nullptr) {}

    const Members& members() const { return m_members; }
    bool exists() const { return m_members.object() != nullptr; }

private:
    ReadContext::Scope m_metadata;
    ReadContext::Scope m_zem;
    Members m_members;
};

/// What the reader reports of an object besides what its schema's reader takes:
/// which of its members the edit tree has no place for.
enum class Unread {
    Metadata,    ///< members of "metadata" other than "zem"
    Kept,        ///< nothing: the reader keeps the rest (ForeignMembers)
    Item,        ///< "enabled": false (the rest is kept, markers are read)
    Composition, ///< "enabled": false, every marker and every effect (of a track or a stack)
};

/// Reports as losses what `object` holds that the edit tree has no place for.
/// With `leftovers`, the markers, effects and "enabled": false reported are kept
/// there, to be written back.
void reportUnread(const Members& object, Unread what,
                  ForeignMembers::Leftovers* leftovers = nullptr);

/// Starts a schema object: "OTIO_SCHEMA".
void start(OtioWriter& writer, const char* schema);

/// Writes "metadata": {"zem": {"ZEM_SCHEMA": zemSchema, and leaves the zem object
/// open for the caller's members; endZem closes both objects, writing before the
/// end of "metadata" the metadata members other tools wrote that `kept` keeps
/// (ForeignMembers).
void startZem(OtioWriter& writer, const char* zemSchema);
void endZem(OtioWriter& writer, const DmPropertySet* kept = nullptr);

/// Writes "metadata" holding nothing of this system's own: {} and what `kept`
/// keeps of other tools.
void emptyMetadata(OtioWriter& writer, const DmPropertySet* kept = nullptr);

/// Writes "markers" and "enabled", the item members that the edit tree has
/// nothing for: the markers `kept` keeps (ForeignMembers::Leftovers; none
/// without it) and "enabled": false when it keeps that, else true.
void plainItemMembers(OtioWriter& writer, const DmPropertySet* kept = nullptr);

/// Writes "effects" of an item the edit tree has no effects for: the effects
/// `kept` keeps (ForeignMembers::Leftovers; none without it).
void plainEffects(OtioWriter& writer, const DmPropertySet* kept = nullptr);

} // namespace SchemaMembers

} // namespace ZEM_0_81::Interchange
