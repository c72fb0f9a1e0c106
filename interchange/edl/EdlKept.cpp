#include "interchange/edl/EdlKept.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptJson.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmPropertySet.h"
#include "strictjson/StrictParse.h"

#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cmath>

namespace ZEM_0_81::Interchange::Cmx::Kept {

namespace {

using KeptJson::member;
using KeptJson::string;
using KeptJson::time;
using KeptJson::Writer;

/// Opens "metadata": {"cmx_3600": {; closeCmx closes both.
void openCmx(Writer& writer) {
    writer.Key(KeptObjects::kMetadata);
    writer.StartObject();
    writer.Key(ForeignMembers::kCmx3600);
    writer.StartObject();
}

void closeCmx(Writer& writer) {
    writer.EndObject();
    writer.EndObject();
}

std::string textOf(const rapidjson::StringBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize());
}

bool integerMember(const Value& object, const char* key, std::int64_t& out) {
    const auto found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsInt64())
        return false;
    out = found->value.GetInt64();
    return true;
}

std::int64_t framesOf(const Value& transition, const char* key, double rate) {
    RationalTime time;
    if (!KeptObjects::timeOf(KeptObjects::memberOf(transition, key), time))
        return 0;
    const double frames = std::round(RecordTime::rescale(time.value, time.rate, rate));
    // Offsets past any list's reach, infinite ones at the list's rate too, are
    // held at a bound the sum of two still fits, so the writer reports them as
    // too long rather than as no transition.
    constexpr double kReach = 4e18;
    return static_cast<std::int64_t>(std::fmax(-kReach, std::fmin(frames, kReach)));
}

/// Streams a kept JSON text without building its document (one is read for
/// each clip a list is written for), telling `found` of each string and
/// integer with the keys on the way to it: ["cmx_3600", "reel"] for the
/// reel; the elements of an array have the array's keys. `found` returns false
/// to stop the scan when it knows enough. The text may nest as deeply as kept
/// texts do: the parse is iterative.
template <class Found>
class PathScan : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, PathScan<Found>> {
public:
    explicit PathScan(const Found& found) : m_found(found) {
        // Kept texts nest a few levels: no growth on the way down.
        m_path.reserve(8);
        m_frames.reserve(8);
    }

    bool Default() { return value(); }
    bool Int(int i) { return integer(i); }
    bool Uint(unsigned u) { return integer(u); }
    bool Int64(std::int64_t i) { return integer(i); }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        return m_found(m_path, text, length, nullptr) && value();
    }
    bool StartObject() {
        m_frames.push_back(Frame{false});
        return true;
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (m_frames.back().keyed)
            m_path.pop_back();
        m_path.emplace_back(text, length);
        m_frames.back().keyed = true;
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        if (m_frames.back().keyed)
            m_path.pop_back();
        m_frames.pop_back();
        return value();
    }
    bool StartArray() {
        m_frames.push_back(Frame{false});
        return true;
    }
    bool EndArray(rapidjson::SizeType) {
        m_frames.pop_back();
        return value();
    }

private:
    struct Frame {
        bool keyed; ///< an object whose current key is on m_path
    };

    bool value() { return true; }
    bool integer(std::int64_t i) { return m_found(m_path, nullptr, 0, &i) && value(); }

    const Found& m_found;
    std::vector<std::string> m_path;
    std::vector<Frame> m_frames;
};

/// Scans `text` with `found` (see PathScan); false when it is not JSON (as far
/// as it was scanned).
template <class Found> bool scan(const std::string& text, const Found& found) {
    PathScan<Found> handler(found);
    // The scan stops where every parse of the text would (StrictJson::guardMisreads).
    std::string guarded;
    const bool misread = StrictJson::guardMisreads(text.c_str(), text.size(), false, guarded);
    rapidjson::StringStream stream(misread ? guarded.c_str() : text.c_str());
    rapidjson::Reader reader;
    const rapidjson::ParseResult result =
        reader.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag>(stream,
                                                                                      handler);
    return !result.IsError() || result.Code() == rapidjson::kParseErrorTermination;
}

bool is(const std::vector<std::string>& path, std::initializer_list<const char*> keys) {
    if (path.size() != keys.size())
        return false;
    std::size_t i = 0;
    for (const char* key : keys)
        if (path[i++] != key)
            return false;
    return true;
}

} // namespace

const Value* cmxOf(const Value& metadata) {
    if (!metadata.IsObject())
        return nullptr;
    const auto found = metadata.FindMember(ForeignMembers::kCmx3600);
    return found != metadata.MemberEnd() && found->value.IsObject() ? &found->value : nullptr;
}

std::string textMember(const Value& object, const char* key) {
    if (!object.IsObject())
        return {};
    const auto found = object.FindMember(key);
    if (found == object.MemberEnd() || !found->value.IsString())
        return {};
    return std::string(found->value.GetString(), found->value.GetStringLength());
}

void keepSegment(const SegmentData& data, DmPropertySet& segment) {
    if (data.reel.empty() && !data.hasSource && data.comments.empty() && data.keyCode.empty())
        return;
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(ForeignMembers::kCmx3600);
    writer.StartObject();
    if (!data.reel.empty())
        member(writer, ForeignMembers::kReel, data.reel);
    if (data.hasSource) {
        writer.Key(kSource);
        writer.StartArray();
        writer.Int64(data.sourceIn);
        writer.Int64(data.sourceOut);
        writer.Int64(data.recordLength);
        writer.EndArray();
    }
    if (!data.comments.empty()) {
        writer.Key(kComments);
        writer.StartArray();
        for (const std::string& comment : data.comments)
            string(writer, comment);
        writer.EndArray();
    }
    if (!data.keyCode.empty()) {
        writer.Key(kKey);
        writer.StartObject();
        member(writer, kCode, data.keyCode);
        writer.Key(kDuration);
        writer.Int64(data.keyDuration);
        writer.EndObject();
    }
    writer.EndObject();
    writer.EndObject();
    const DmString text(textOf(buffer));
    segment.setPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text);
}

bool keptSegment(const DmPropertySet& segment, SegmentData& data) {
    DmString text;
    if (segment.getPropertyValue(ForeignMembers::kMetadataId, eDmPropString, &text) != eDmSuccess)
        return false;
    // Where ForeignMembers::reelOf finds the reel, read with the rest in one
    // scan; the first of members named twice counts, as a lookup finds it.
    SegmentData read;
    bool cmx = false, hasReel = false;
    std::vector<std::int64_t> source;
    const auto cmx3600 = ForeignMembers::kCmx3600;
    const auto found = [&](const std::vector<std::string>& path, const char* value,
                           std::size_t length, const std::int64_t* integer) {
        if (path.empty() || path[0] != cmx3600)
            return true;
        cmx = true;
        if (value && !hasReel && is(path, {cmx3600, ForeignMembers::kReel})) {
            read.reel.assign(value, length);
            hasReel = true;
        } else if (integer && is(path, {cmx3600, kSource})) {
            source.push_back(*integer);
        } else if (value && is(path, {cmx3600, kComments})) {
            read.comments.emplace_back(value, length);
        }
        return true;
    };
    if (!scan(text.str(), found) || !cmx)
        return false;
    if (source.size() == 3) {
        read.hasSource = true;
        read.sourceIn = source[0];
        read.sourceOut = source[1];
        read.recordLength = source[2];
    }
    data = std::move(read);
    return true;
}

bool markerColours(const DmPropertySet& annotation, std::string& word, std::string& colour) {
    DmString text;
    if (annotation.getPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &text) != eDmSuccess)
        return false;
    word.clear();
    colour.clear();
    bool hasWord = false, hasColour = false;
    // The marker's range, which takes the longest to scan, comes after both
    // in the markers this system keeps: the scan stops once it has both.
    const auto found = [&](const std::vector<std::string>& path, const char* value,
                           std::size_t length, const std::int64_t*) {
        if (!value)
            return true;
        if (!hasWord && is(path, {KeptObjects::kMetadata, ForeignMembers::kCmx3600, kColor})) {
            word.assign(value, length);
            hasWord = true;
        } else if (!hasColour && is(path, {kColor})) {
            colour.assign(value, length);
            hasColour = true;
        }
        return !(hasColour && hasWord);
    };
    return scan(text.str(), found);
}

std::string transitionText(const TransitionData& data, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kTransitionSchema);
    openCmx(writer);
    member(writer, kTransition, data.code);
    if (data.hasFrom || !data.from.name.empty() || !data.from.file.empty()) {
        writer.Key(kFrom);
        writer.StartObject();
        if (data.hasFrom) {
            member(writer, ForeignMembers::kReel, data.from.reel);
            writer.Key(kSourceIn);
            writer.Int64(data.from.sourceIn);
        }
        if (!data.from.name.empty())
            member(writer, KeptObjects::kName, data.from.name);
        if (!data.from.file.empty())
            member(writer, kFile, data.from.file);
        writer.EndObject();
    }
    closeCmx(writer);
    member(writer, KeptObjects::kName, std::string());
    writer.Key(KeptObjects::kTransitionType);
    writer.String(data.wipe ? kWipeType : kDissolveType);
    time(writer, KeptObjects::kInOffset, static_cast<double>(data.inOffset), rate);
    time(writer, KeptObjects::kOutOffset, static_cast<double>(data.duration), rate);
    writer.EndObject();
    return textOf(buffer);
}

bool transitionOf(const Value& kept, double rate, TransitionData& data) {
    if (!kept.IsObject())
        return false;
    TransitionData read;
    read.type = textMember(kept, KeptObjects::kTransitionType);
    read.wipe = read.type == kWipeType;
    read.inOffset = framesOf(kept, KeptObjects::kInOffset, rate);
    read.duration = read.inOffset + framesOf(kept, KeptObjects::kOutOffset, rate);
    if (const Value* metadata = KeptObjects::memberOf(kept, KeptObjects::kMetadata)) {
        if (const Value* cmx = cmxOf(*metadata)) {
            read.code = textMember(*cmx, kTransition);
            const auto from = cmx->FindMember(kFrom);
            if (from != cmx->MemberEnd() && from->value.IsObject()) {
                read.from.reel = textMember(from->value, ForeignMembers::kReel);
                read.hasFrom = !read.from.reel.empty() &&
                               integerMember(from->value, kSourceIn, read.from.sourceIn);
                read.from.name = textMember(from->value, KeptObjects::kName);
                read.from.file = textMember(from->value, kFile);
            }
        }
    }
    data = std::move(read);
    return true;
}

std::string speedText(bool freeze, double timeScalar, const char* lineKey,
                      const std::string& line) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(freeze ? kFreezeFrameSchema : kTimeWarpSchema);
    openCmx(writer);
    member(writer, lineKey, line);
    closeCmx(writer);
    member(writer, KeptObjects::kName, std::string());
    writer.Key(KeptObjects::kEffectName);
    writer.String(freeze ? "FreezeFrame" : "LinearTimeWarp");
    writer.Key(kTimeScalar);
    writer.Double(freeze ? 0.0 : timeScalar);
    writer.EndObject();
    return textOf(buffer);
}

std::string markerText(const std::string& caption, const char* colour, const std::string& word,
                       double start, double rate) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key(KeptObjects::kSchema);
    writer.String(KeptObjects::kMarkerSchema);
    if (word.empty()) {
        writer.Key(KeptObjects::kMetadata);
        writer.StartObject();
        writer.EndObject();
    } else {
        openCmx(writer);
        member(writer, kColor, word);
        closeCmx(writer);
    }
    member(writer, KeptObjects::kName, caption);
    writer.Key(kColor);
    writer.String(colour);
    KeptJson::timeRange(writer, KeptObjects::kMarkedRange, start, 1.0, rate);
    member(writer, KeptObjects::kComment, std::string());
    writer.EndObject();
    return textOf(buffer);
}

} // namespace ZEM_0_81::Interchange::Cmx::Kept
