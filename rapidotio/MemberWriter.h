#pragma once

#include "rapidotio/TextOutput.h"

#include <rapidjson/writer.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace ZEM_0_81::rapidotio {

struct RationalTime;
struct TimeRange;

/// The compact RapidJSON writer that documents are streamed through, with one
/// addition: a text in which nothing needs escaping (as keys and most values)
/// is copied into the output whole rather than a character at a time. The
/// characters written are the same.
class JsonTextWriter : public rapidjson::Writer<TextOutput> {
public:
    explicit JsonTextWriter(TextOutput& output) : Writer(output) {}

    /// A string value, or an object's key (a key is written as a string).
    bool Text(const char* text, rapidjson::SizeType length);
    /// A text known to hold no character JSON escapes, as the schemas' constant
    /// keys: copied as it stands.
    bool PlainText(const char* text, rapidjson::SizeType length);
    bool Text(const char* text) {
        return Text(text, static_cast<rapidjson::SizeType>(std::strlen(text)));
    }
};

/// Writes the members of one node straight into a JSON text writer, so that a
/// node's toJson reads as the list of its members in the order they are
/// written. Keys are constant texts that outlive the call; string values are
/// written with all their bytes.
///
/// A node's children are written by the document writer, not by the node: the
/// node marks their place with children(), and the document writer runs the
/// node's list twice around them, once up to that mark (the head) and once from
/// it (the tail). Calls outside the part being written do nothing, so the same
/// list serves both, and writing a tree needs no recursion.
///
/// A number that is not finite cannot be written as JSON: the writer throws
/// Json::Exception with JsonConversionFailed (780), and the text written so far
/// is not to be used.
class MemberWriter {
public:
    /// Which part of a node's list reaches the text.
    enum class Part {
        Whole, ///< everything; the node has no children
        Head,  ///< up to and including the opening of the children
        Tail,  ///< from the closing of the children to the end
    };

    /// Writes `part` of a node's list into `writer`. `childrenWritten` tells
    /// whether at least one child writes something where children() is called,
    /// for children(key, OmitWhenEmpty).
    MemberWriter(JsonTextWriter& writer, Part part, bool childrenWritten = false)
        : m_writer(writer), m_part(part), m_live(part != Part::Tail),
          m_childrenWritten(childrenWritten) {}

    MemberWriter(const MemberWriter&) = delete;
    MemberWriter& operator=(const MemberWriter&) = delete;

    // --- objects and arrays ------------------------------------------------------

    /// Starts the node's own object, as an element of its owner's array.
    void beginObject();
    /// Starts an object member.
    void beginObject(const char* key) { beginObject(Key(key)); }
    void endObject();
    /// Starts an array member.
    void beginArray(const char* key) { beginArray(Key(key)); }
    /// Starts an array element of the array being written.
    void beginArray();
    void endArray();

    // --- members -------------------------------------------------------------------

    void member(const char* key, const std::string& text) { member(Key(key), text); }
    void member(const char* key, const char* text) { member(Key(key), Key(text)); }
    void member(const char* key, double number) { member(Key(key), number); }
    void member(const char* key, bool flag) { member(Key(key), flag); }
    void member(const char* key, std::int32_t number) { member(Key(key), number); }
    void member(const char* key, std::uint32_t number) { member(Key(key), number); }
    /// A member whose name is a text of the node (all its bytes).
    void member(const std::string& key, const std::string& text);
    /// A "RationalTime.1" object member.
    void member(const char* key, const RationalTime& time);
    /// A "TimeRange.1" object member.
    void member(const char* key, const TimeRange& range);
    /// An array member of two numbers: [first, second].
    void pair(const char* key, double first, double second) { pair(Key(key), first, second); }
    /// An array member of two integers.
    void pair(const char* key, std::int32_t first, std::int32_t second) {
        pair(Key(key), first, second);
    }
    /// An array member holding each number of `numbers`, widened to double.
    template <class Numbers> void numbers(const char* key, const Numbers& numbers) {
        if (!m_live)
            return;
        beginArray(key);
        for (const auto number : numbers)
            value(static_cast<double>(number));
        endArray();
    }
    /// An element of the array being written: an object filled by `write(*this)`.
    template <class Write> void element(Write write) {
        if (!m_live)
            return;
        m_writer.StartObject();
        write(*this);
        m_writer.EndObject();
    }

    // --- children ------------------------------------------------------------------

    /// What children() writes when no child writes anything there.
    enum class WhenEmpty { WriteEmptyArray, Omit };

    /// The place of the node's children: the array member `key`. The head ends
    /// with its opening, the tail starts with its closing; a node without
    /// children writes it empty, or leaves it out with WhenEmpty::Omit.
    void children(const char* key, WhenEmpty whenEmpty = WhenEmpty::WriteEmptyArray);
    /// The place of the node's children when they write into the object the node
    /// itself is writing: nothing of its own is written there.
    void children();

private:
    /// A constant text (a key, a schema name) with its length, taken where it is
    /// named: the length of the schemas' constant texts is then worked out when
    /// compiling, and the functions that write them are shared by every node.
    struct Key {
        explicit Key(const char* text)
            : text(text),
              length(static_cast<rapidjson::SizeType>(std::char_traits<char>::length(text))) {}
        const char* text;
        rapidjson::SizeType length;
    };
    void beginObject(Key key);
    void beginArray(Key key);
    void member(Key key, const std::string& text);
    void member(Key key, Key text);
    void member(Key key, double number);
    void member(Key key, bool flag);
    void member(Key key, std::int32_t number);
    void member(Key key, std::uint32_t number);
    void pair(Key key, double first, double second);
    void pair(Key key, std::int32_t first, std::int32_t second);

    static rapidjson::SizeType size(const std::string& text);
    void string(const std::string& text) { m_writer.Text(text.data(), size(text)); }
    /// Writes a double; throws for a number that is not finite.
    void value(double number);
    [[noreturn]] static void notFinite();

    JsonTextWriter& m_writer;
    Part m_part;
    bool m_live;
    bool m_childrenWritten;
};

} // namespace ZEM_0_81::rapidotio
