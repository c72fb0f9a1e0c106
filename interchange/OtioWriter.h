#pragma once

#include "outside/dmtree/DmString.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange {

/// Streams one standard OTIO document as compact JSON text into a buffer of its
/// own, straight from the edit tree, without building a document object model.
///
/// The text is strict JSON: a number that is not finite has no JSON spelling
/// (and readers other than the OpenTimelineIO library refuse the NaN and
/// Infinity literals that library would write), so `number` throws
/// Json::Exception with JsonGenerationFailed, naming the place in the document
/// as a JSON Pointer. The caller then drops the writer and its partial text.
///
/// The writer keeps the path from the document's top to the value being written,
/// for that message only; object keys given as `const char*` must outlive the
/// object they are written in (string literals do).
class OtioWriter {
public:
    OtioWriter();
    OtioWriter(const OtioWriter&) = delete;
    OtioWriter& operator=(const OtioWriter&) = delete;

    void startObject();
    void endObject();
    void startArray();
    void endArray();

    /// The next member's key.
    void key(const char* name);
    /// The next member's key, for keys made while writing (copied).
    void key(const std::string& name);

    void string(const char* text);
    void string(const std::string& text);
    void string(const DmString& text);
    /// Throws for NaN and infinities (see above).
    void number(double value);
    void integer(std::int64_t value);
    void unsignedInteger(std::uint64_t value);
    void boolean(bool value);
    void null();
    /// Any JSON value as it stands, members in order; numbers that are not finite
    /// as the NaN and Infinity literals the OpenTimelineIO library writes (values
    /// other tools wrote, kept as they came). Recursive: callers bound the depth.
    void json(const rapidjson::Value& value);

    /// A member: the key, then the value.
    void member(const char* name, const char* text) {
        key(name);
        string(text);
    }
    void member(const char* name, const std::string& text) {
        key(name);
        string(text);
    }
    void member(const char* name, const DmString& text) {
        key(name);
        string(text);
    }
    void member(const char* name, double value) {
        key(name);
        number(value);
    }
    void memberBool(const char* name, bool value) {
        key(name);
        boolean(value);
    }
    void memberInteger(const char* name, std::int64_t value) {
        key(name);
        integer(value);
    }
    void memberUnsigned(const char* name, std::uint64_t value) {
        key(name);
        unsignedInteger(value);
    }

    /// The JSON Pointer of the value written next (or being written).
    std::string pointer() const;

    /// The text written so far; complete once the top value is closed.
    const char* text() const { return m_buffer.GetString(); }
    std::size_t size() const { return m_buffer.GetSize(); }

private:
    /// One open array or object on the path to the current value.
    struct Frame {
        bool isArray = false;
        std::size_t index = 0;     ///< arrays: index of the next element
        const char* key = nullptr; ///< objects: the current member's key
        std::string ownedKey;      ///< objects: a copied key, when `key` is null
    };

    /// Counts a finished value in the enclosing array.
    void valueDone();

    rapidjson::StringBuffer m_buffer;
    rapidjson::Writer<rapidjson::StringBuffer> m_writer;
    std::vector<Frame> m_path;
};

} // namespace ZEM_0_81::Interchange
