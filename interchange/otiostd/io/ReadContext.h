#pragma once

#include "interchange/kept/JsonValues.h"
#include "outside/dmtree/DmString.h"
#include "rapidotio/JsonAccess.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ZEM_0_81 {
class LossReport;
namespace rapidotio {
class DocumentMemory;
}
} // namespace ZEM_0_81

namespace ZEM_0_81::Interchange {

class TrackItems;

/// The state of reading one standard OTIO document that every schema's reader
/// shares: where in the input it is (kept as a JSON Pointer for messages) and
/// the loss report it fills.
///
/// Reading never stops for a member it cannot use: the member is reported as a
/// loss and the reader goes on with its default. Only a document that cannot be
/// read at all fails, through `fail`.
class ReadContext {
public:
    /// `memory`, when given, holds the document's values: see release. `items`,
    /// when given, holds the tracks' items the parse left in the text.
    explicit ReadContext(LossReport& losses, rapidotio::DocumentMemory* memory = nullptr,
                         TrackItems* items = nullptr);

    /// Enters a member or an element of the input for the scope's lifetime, so that
    /// whatever is reported meanwhile names it. Keys must outlive the scope (keys
    /// of the input document and string literals do).
    class Scope {
    public:
        Scope(ReadContext& context, const char* key) : m_context(context) {
            context.m_path.push_back(Token{key, std::char_traits<char>::length(key), 0});
        }
        Scope(ReadContext& context, const Value& key);
        Scope(ReadContext& context, std::size_t index);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ReadContext& m_context;
    };

    /// The JSON Pointer of the current place.
    std::string pointer() const;
    /// Reports that what is at the current place, of schema `schema` ("none" is
    /// reported for an object without one), was dropped or approximated, and why.
    void lose(const std::string& schema, const std::string& what);
    /// The same for what is at `below` (a JSON Pointer) under the current place.
    void loseBelow(const std::string& below, const std::string& schema, const std::string& what);
    /// Throws Json::Exception with OtioImportFailed (517) and "POINTER: what" (just
    /// "what" at the top of the document).
    [[noreturn]] void fail(const std::string& what) const;

    /// True while reading a timeline written by another tool: its rates are then
    /// taken as the frame rates they stand for (RecordTime::snapRate), as they are
    /// often written rounded.
    bool snapsRates() const { return m_snapRates; }
    void setSnapRates(bool snap) { m_snapRates = snap; }

    /// Tells that `object`, and everything before it in the text, will not be
    /// read again: the memory of those values may be handed back while the edit
    /// tree grows (rapidotio::DocumentMemory::release). Readers call it as they
    /// leave an item they read once, front to back.
    void release(const Value& object);

    /// The tracks' items left in the text, or null when the document was parsed whole.
    TrackItems* trackItems() const { return m_items; }

private:
    struct Token {
        const char* key; ///< null for an array index
        std::size_t length;
        std::size_t index;
    };

    std::vector<Token> m_path;
    LossReport& m_losses;
    rapidotio::DocumentMemory* m_memory;
    TrackItems* m_items;
    bool m_snapRates = false;
};

/// The name of a member looked up, with its length: counted where the call is
/// made, so that a constant name costs nothing to measure.
struct Key {
    constexpr Key(const char* name) : text(name), length(std::char_traits<char>::length(name)) {}
    const char* text;
    std::size_t length;
};

/// True when the member name `name` (a string of the input) is `key`.
inline bool named(const Value& name, Key key) {
    return rapidotio::textIs(name, key.text, key.length);
}

/// Typed reading of the members of one object of the input. A member that is
/// absent or null reads as absent; a member of another type is reported as a loss
/// of `schema` ("... ignored: expected a number") and also reads as absent, so
/// the caller keeps its default either way. A null or non-object `object` has no
/// members.
class Members {
public:
    Members(ReadContext& context, const Value* object, std::string schema);
    /// The members of `object`, a value inside `owner`'s object, reported as of
    /// the owner's schema: its name is not copied, so `owner` must outlive them.
    Members(const Members& owner, const Value* object);
    Members(const Members&) = delete;
    Members& operator=(const Members&) = delete;

    ReadContext& context() const { return m_context; }
    const std::string& schema() const { return *m_schema; }
    const Value* object() const { return m_object; }

    /// The member `key` as it stands (null included), or null when absent.
    const Value* find(Key key) const;
    bool has(Key key) const { return find(key) != nullptr; }

    /// A finite number, integer or not.
    bool getDouble(Key key, double& out) const;
    /// A number in the single-precision range, rounded to single precision.
    bool getFloat(Key key, float& out) const;
    /// An integer in the signed 32-bit range.
    bool getInt(Key key, std::int32_t& out) const;
    /// An integer in the unsigned 32-bit range.
    bool getUint(Key key, std::uint32_t& out) const;
    bool getBool(Key key, bool& out) const;
    bool getString(Key key, std::string& out) const;
    bool getString(Key key, DmString& out) const;
    /// An object or an array; null when absent, null or of another type.
    const Value* objectMember(Key key) const;
    const Value* arrayMember(Key key) const;

    /// Reports member `key` as ignored because it is not `expected`.
    void wrongType(Key key, const char* expected) const;

private:
    ReadContext& m_context;
    const Value* m_object;
    std::string m_ownSchema;     ///< the schema's name, unless an owner's is used
    const std::string* m_schema; ///< m_ownSchema, or the owner's
};

} // namespace ZEM_0_81::Interchange
