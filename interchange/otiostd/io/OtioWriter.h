#pragma once

#include "interchange/LossReport.h"
#include "interchange/OtioVersion.h"
#include "outside/core/String.h"
#include "outside/dmtree/DmString.h"
#include "rapidotio/JsonAccess.h"
#include "rapidotio/MemberWriter.h"
#include "rapidotio/TextOutput.h"

#include <rapidjson/document.h>
#include <rapidjson/writer.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange {

/// Streams one standard OTIO document as compact JSON text straight from the
/// edit tree, without building a document object model. The text grows in one
/// block of its own and is handed over as a String without a copy (takeText).
///
/// The text is strict JSON: a number that is not finite has no JSON spelling
/// (and readers other than the OpenTimelineIO library refuse the NaN and
/// Infinity literals that library would write), so `number` throws
/// Json::Exception with JsonGenerationFailed, naming the place in the document
/// as a JSON Pointer. The caller then drops the writer and its partial text.
///
/// The writer keeps the path from the document's top to the value being written,
/// for that message only: the open arrays' element counts and the open objects'
/// current keys. A NUL-terminated key is kept as a pointer, so it must outlive
/// the object it is written in (string literals do); a key given with its
/// length is copied.
class OtioWriter {
public:
    /// A writer of a document for the OpenTimelineIO release `version`, which
    /// reports what that release cannot hold in `losses` (when not null). With
    /// `turnsKept`, what another tool wrote and is kept is written in that
    /// release's schemas too; else as it came.
    explicit OtioWriter(OtioVersion version = kCurrentOtioVersion, bool turnsKept = false,
                        LossReport* losses = nullptr);
    OtioWriter(const OtioWriter&) = delete;
    OtioWriter& operator=(const OtioWriter&) = delete;

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    /// The next member's key: a NUL-terminated text that outlives the object.
    void key(const char* name);
    /// The next member's key, `length` bytes, for keys made while writing
    /// (copied).
    void key(const char* name, std::size_t length);
    void key(const std::string& name) { key(name.data(), name.size()); }

    void string(const char* text);
    void string(const char* text, std::size_t length);
    void string(const std::string& text) { string(text.data(), text.size()); }
    void string(const DmString& text) { string(text.str()); }
    /// Throws for NaN and infinities (see above).
    void number(double value);
    void integer(std::int64_t value);
    void unsignedInteger(std::uint64_t value);
    void boolean(bool value);
    void null();

    /// What `json` does with a number that is not finite.
    enum class NonFinite {
        Literal, ///< writes the NaN or Infinity literal the OpenTimelineIO library writes
        Fail,    ///< throws, as `number` does
    };
    /// Any JSON value as it stands, members in order; integers as integers and
    /// other numbers as doubles; numbers that are not finite as `nonFinite` says
    /// (Literal: values other tools wrote, kept as they came). Written from a
    /// stack of its own, so a value of any depth is written without recursion.
    void json(const rapidotio::Value& value, NonFinite nonFinite = NonFinite::Literal);

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

    /// The release the document is written for.
    OtioVersion version() const { return m_version; }
    /// True when what another tool wrote is written in that release's schemas.
    bool turnsKept() const { return m_turnsKept; }
    /// Reports that what is written at `pointer() + below`, of schema `schema`,
    /// leaves out what the target release cannot hold, and why.
    void lose(const std::string& schema, const std::string& what,
              const std::string& below = std::string()) const;

    /// The number of characters written so far.
    std::size_t size() const { return m_output.size(); }
    /// Hands the text written over without copying it, once the top value is
    /// closed; the writer is not to be used after.
    String takeText() { return m_output.takeString(); }

private:
    /// One open array or object on the path to the current value.
    struct Frame {
        bool isArray = false;
        std::size_t index = 0;     ///< arrays: index of the next element
        const char* key = nullptr; ///< objects: the current member's key
        std::string ownedKey;      ///< objects: a copied key, when `key` is null
    };

    /// Counts a finished value in the enclosing array.
    void valueDone() {
        if (!m_path.empty() && m_path.back().isArray)
            ++m_path.back().index;
    }
    /// Throws for a number that is not finite, naming its place.
    [[noreturn]] void notFinite(double value) const;
    /// A number of a parsed value (see `json`).
    void jsonNumber(const rapidotio::Value& value, NonFinite nonFinite);

    rapidotio::TextOutput m_output;
    rapidotio::JsonTextWriter m_writer;
    std::vector<Frame> m_path;
    OtioVersion m_version;
    bool m_turnsKept;
    LossReport* m_losses;
};

} // namespace ZEM_0_81::Interchange
