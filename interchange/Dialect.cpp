#include "interchange/Dialect.h"

#include "interchange/Edl.h"
#include "interchange/Fcpxml.h"

#include "rapidotio/keys/ObjectKeys.h"
#include "rapidotio/keys/TimelineKeys.h"
#include "strictjson/StrictParse.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <cstring>
#include <vector>

namespace ZEM_0_81 {

namespace {

constexpr const char* kDmTreeName = "dmtree";
constexpr const char* kOtioName = "otio";
constexpr const char* kOtioStandardName = "otio-std";
constexpr const char* kEdlName = "edl";
constexpr const char* kXmemlName = "xmeml";
constexpr const char* kFcpxmlName = "fcpxml";

// What marks a document of each dialect.
constexpr const char* kFormatKey = "format";
constexpr const char* kTimelineKey = rapidotio::keys::DocumentKeys::timeline;
constexpr const char* kMetadataKey = rapidotio::keys::ObjectKeys::metadata;
constexpr const char* kZemKey = rapidotio::keys::MetadataKeys::zem;
constexpr const char* kSchemaKey = rapidotio::keys::MetadataKeys::zemSchema;
constexpr const char* kProductTimelineSchema = rapidotio::keys::TimelineMetadataKeys::zemSchema;

/// True when the first byte of `text` other than white space (and a UTF-8
/// byte-order mark) is '<': XML, of whatever root.
bool startsAsXml(const char* text, std::size_t length) {
    std::size_t at = length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    while (at < length &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at < length && text[at] == '<';
}

bool equals(const char* text, rapidjson::SizeType length, const char* word) {
    return length == std::strlen(word) && std::memcmp(text, word, length) == 0;
}

/// Streaming scan for the members that decide a document's dialect. Returning
/// false from a handler stops the scan once the dialect is known.
class DialectScan : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DialectScan> {
public:
    Dialect result = Dialect::OtioStandard;

    bool Default() { return valueDone(); }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (m_pending == Role::Schema && equals(text, length, kProductTimelineSchema)) {
            result = Dialect::Otio;
            return false;
        }
        return valueDone();
    }
    bool StartObject() {
        if (m_frames.empty()) {
            m_frames.push_back(Role::Root);
        } else {
            // Only the members on the way to the marker are followed; every other
            // object is walked through as Other.
            const Role role =
                m_pending == Role::Timeline || m_pending == Role::Metadata || m_pending == Role::Zem
                    ? m_pending
                    : Role::Other;
            m_frames.push_back(role);
        }
        m_pending = Role::Other;
        return true;
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        const Role frame = m_frames.back();
        m_pending = Role::Other;
        if (frame == Role::Root && equals(text, length, kFormatKey)) {
            result = Dialect::DmTree;
            return false;
        }
        if (frame == Role::Root && equals(text, length, kTimelineKey))
            m_pending = Role::Timeline;
        else if ((frame == Role::Root || frame == Role::Timeline) &&
                 equals(text, length, kMetadataKey))
            m_pending = Role::Metadata;
        else if (frame == Role::Metadata && equals(text, length, kZemKey))
            m_pending = Role::Zem;
        else if (frame == Role::Zem && equals(text, length, kSchemaKey))
            m_pending = Role::Schema;
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        m_frames.pop_back();
        return valueDone();
    }
    bool StartArray() {
        // Nothing in an array decides a dialect: a top-level one is standard OTIO's,
        // whose reader says it holds no timeline.
        m_frames.push_back(Role::Other);
        m_pending = Role::Other;
        return true;
    }
    bool EndArray(rapidjson::SizeType) {
        m_frames.pop_back();
        return valueDone();
    }

private:
    enum class Role { Other, Root, Timeline, Metadata, Zem, Schema };

    bool valueDone() {
        m_pending = Role::Other;
        // A scalar at the top: nothing more to learn.
        return !m_frames.empty();
    }

    std::vector<Role> m_frames;
    Role m_pending = Role::Other;
};

} // namespace

Dialect detectDialect(const char* text, std::size_t length) {
    if (!text)
        return Dialect::OtioStandard;
    if (Fcpxml::looksLikeFcpxml(text, length))
        return Dialect::Fcpxml;
    // XML, its root element naming the format; XML of another root is read as
    // xmeml, whose reader says what root it has instead.
    if (startsAsXml(text, length))
        return Dialect::Xmeml;
    if (Edl::looksLikeEdl(text, length))
        return Dialect::Edl;
    DialectScan scan;
    // The scan stops where every parse of the text would (StrictJson::guardMisreads).
    std::string guarded;
    if (StrictJson::guardMisreads(text, length, false, guarded))
        text = guarded.c_str();
    rapidjson::MemoryStream stream(text, length);
    rapidjson::Reader reader;
    // Iterative, so that no nesting reaches the call stack; the NaN and Infinity
    // literals of standard OTIO are let through so that the scan goes on past them.
    reader.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag>(stream, scan);
    return scan.result;
}

const char* dialectName(Dialect dialect) {
    switch (dialect) {
    case Dialect::DmTree:
        return kDmTreeName;
    case Dialect::Otio:
        return kOtioName;
    case Dialect::OtioStandard:
        return kOtioStandardName;
    case Dialect::Edl:
        return kEdlName;
    case Dialect::Xmeml:
        return kXmemlName;
    case Dialect::Fcpxml:
        return kFcpxmlName;
    }
    return "";
}

bool dialectFromName(const char* name, Dialect& dialect) {
    if (!name)
        return false;
    for (const Dialect candidate :
         {Dialect::DmTree, Dialect::Otio, Dialect::OtioStandard, Dialect::Edl, Dialect::Xmeml,
          Dialect::Fcpxml}) {
        if (std::strcmp(name, dialectName(candidate)) == 0) {
            dialect = candidate;
            return true;
        }
    }
    return false;
}

} // namespace ZEM_0_81
