#include "interchange/otiostd/metadata/ResolutionJson.h"

#include "interchange/otiostd/metadata/PropertyJson.h"
#include "rapidotio/MediaVocabulary.h"
#include "rapidotio/keys/ClipKeys.h"
#include "json/EditTree.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

namespace ZEM_0_81::Interchange::ResolutionJson {

namespace {

namespace keys = rapidotio::keys;
namespace MediaVocabulary = rapidotio::MediaVocabulary;

constexpr const char* kDepth = "depth";
constexpr const char* kBits = "bits";
constexpr const char* kChannels = "channels";
constexpr const char* kFloat = "float";
constexpr const char* kFlag = "flag";
constexpr const char* kFrameRatio = "frame_ratio";

using DoubleGetter = eDmErrorId (DmFrameResolution::*)(double&) const;
using IntGetter = eDmErrorId (DmFrameResolution::*)(std::int32_t&) const;

/// [first, second] with null for an unset value; nothing when both are unset.
template <class T, class Getter>
void writePair(OtioWriter& writer, const char* key, const DmFrameResolution& resolution,
               Getter first, Getter second) {
    T a{}, b{};
    const bool hasA = (resolution.*first)(a) == eDmSuccess;
    const bool hasB = (resolution.*second)(b) == eDmSuccess;
    if (!hasA && !hasB)
        return;
    writer.key(key);
    writer.beginArray();
    for (const auto& [has, value] : {std::pair<bool, T>{hasA, a}, std::pair<bool, T>{hasB, b}}) {
        if (!has)
            writer.null();
        else if constexpr (std::is_same_v<T, double>)
            writer.number(value);
        else
            writer.integer(value);
    }
    writer.endArray();
}

bool hasBounds(const DmFrameResolution& resolution) {
    double ignored = 0.0;
    return resolution.getCenterX(ignored) == eDmSuccess ||
           resolution.getCenterY(ignored) == eDmSuccess ||
           resolution.getSizeX(ignored) == eDmSuccess || resolution.getSizeY(ignored) == eDmSuccess;
}

void writeDepth(OtioWriter& writer, const DmFrameResolution& resolution) {
    std::int32_t bits = 0, channels = 0;
    bool isFloat = false, flag = false;
    if (resolution.getDepth(bits, channels, isFloat, flag) != eDmSuccess)
        return;
    // The product names depths by their sample type and always sets the flag off.
    const char* name = MediaVocabulary::sampleTypeName(bits, isFloat);
    if (name && !flag) {
        writer.member(keys::MediaMetadataKeys::dataType, name);
        writer.memberInteger(keys::MediaMetadataKeys::numVideoChannels, channels);
        return;
    }
    writer.key(kDepth);
    writer.beginObject();
    writer.memberInteger(kBits, bits);
    writer.memberInteger(kChannels, channels);
    writer.memberBool(kFloat, isFloat);
    writer.memberBool(kFlag, flag);
    writer.endObject();
}

void writeFrameRatio(OtioWriter& writer, const DmFrameResolution& resolution) {
    float ratio = 0.0f;
    if (resolution.getFrameRatio(ratio) != eDmSuccess)
        return;
    writer.member(kFrameRatio, static_cast<double>(ratio));
    // Written for a reader's information only, of a picture of positive size.
    std::int32_t height = 0;
    const std::optional<float> aspect = Json::EditTree::pixelAspectOf(resolution);
    if (aspect && resolution.getHeight(height) == eDmSuccess && height > 0 &&
        std::isfinite(*aspect))
        writer.member(keys::MediaMetadataKeys::pixelAspect, static_cast<double>(*aspect));
}

/// Reads [first, second] of `key` into the setters; null elements stay unset.
template <class T>
void readPair(const Members& members, const char* key, DmFrameResolution& resolution,
              void (DmFrameResolution::*first)(T), void (DmFrameResolution::*second)(T)) {
    const Value* pair = members.arrayMember(key);
    if (!pair)
        return;
    if (pair->Size() != 2) {
        members.wrongType(key, "two values");
        return;
    }
    for (rapidjson::SizeType i = 0; i < 2; ++i) {
        void (DmFrameResolution::*const set)(T) = i == 0 ? first : second;
        const Value& element = (*pair)[i];
        if (element.IsNull())
            continue;
        if constexpr (std::is_same_v<T, double>) {
            double value = 0.0;
            if (finiteNumber(element, value)) {
                (resolution.*set)(value);
                continue;
            }
        } else {
            if (element.IsInt()) {
                (resolution.*set)(element.GetInt());
                continue;
            }
        }
        const ReadContext::Scope scope(members.context(), key);
        const ReadContext::Scope at(members.context(), std::size_t(i));
        members.context().lose(members.schema(), "ignored: expected a number or null");
    }
}

void readDepth(const Members& members, DmFrameResolution& resolution) {
    std::string dataType;
    std::int32_t bits = 0, channels = 0;
    bool isFloat = false, flag = false;
    if (members.getString(keys::MediaMetadataKeys::dataType, dataType)) {
        if (MediaVocabulary::sampleTypeOf(dataType, bits, isFloat)) {
            members.getInt(keys::MediaMetadataKeys::numVideoChannels, channels);
            resolution.setDepth(bits, channels, isFloat, false);
        } else {
            members.wrongType(keys::MediaMetadataKeys::dataType, "a sample-type name");
        }
        return;
    }
    if (const Value* depth = members.objectMember(kDepth)) {
        const Members parts(members, depth);
        parts.getInt(kBits, bits);
        parts.getInt(kChannels, channels);
        parts.getBool(kFloat, isFloat);
        parts.getBool(kFlag, flag);
        resolution.setDepth(bits, channels, isFloat, flag);
    }
}

} // namespace

void writeMembers(OtioWriter& writer, const DmFrameResolution& resolution,
                  const char* propertiesKey) {
    if (hasBounds(resolution)) {
        writer.key(keys::MediaMetadataKeys::bounds);
        writer.beginObject();
        writePair<double, DoubleGetter>(writer, keys::BoundsKeys::center, resolution,
                                        &DmFrameResolution::getCenterX,
                                        &DmFrameResolution::getCenterY);
        writePair<double, DoubleGetter>(writer, keys::BoundsKeys::size, resolution,
                                        &DmFrameResolution::getSizeX, &DmFrameResolution::getSizeY);
        writer.endObject();
    }
    writePair<std::int32_t, IntGetter>(writer, keys::MediaMetadataKeys::pixelResolution, resolution,
                                       &DmFrameResolution::getWidth, &DmFrameResolution::getHeight);
    writeDepth(writer, resolution);
    writeFrameRatio(writer, resolution);
    PropertyJson::write(writer, resolution, {}, propertiesKey);
}

CoSharedPtr<DmFrameResolution> readMembers(const Members& members, const char* propertiesKey) {
    const CoSharedPtr<DmFrameResolution> made(DmFrameResolution::create());
    if (const Value* bounds = members.objectMember(keys::MediaMetadataKeys::bounds)) {
        const ReadContext::Scope inBounds(members.context(), keys::MediaMetadataKeys::bounds);
        const Members pairs(members, bounds);
        readPair<double>(pairs, keys::BoundsKeys::center, *made, &DmFrameResolution::setCenterX,
                         &DmFrameResolution::setCenterY);
        readPair<double>(pairs, keys::BoundsKeys::size, *made, &DmFrameResolution::setSizeX,
                         &DmFrameResolution::setSizeY);
    }
    readPair<std::int32_t>(members, keys::MediaMetadataKeys::pixelResolution, *made,
                           &DmFrameResolution::setWidth, &DmFrameResolution::setHeight);
    readDepth(members, *made);
    float ratio = 0.0f;
    if (members.getFloat(kFrameRatio, ratio))
        made->setFrameRatio(ratio);
    PropertyJson::read(members, *made, propertiesKey);
    return made;
}

void write(OtioWriter& writer, const char* key, const DmFrameResolution* resolution) {
    writer.key(key);
    if (!resolution) {
        writer.null();
        return;
    }
    writer.beginObject();
    writeMembers(writer, *resolution, PropertyJson::kProperties);
    writer.endObject();
}

bool read(const Members& members, const char* key, CoSharedPtr<DmFrameResolution>& resolution) {
    const Value* value = members.find(key);
    if (!value)
        return false;
    if (value->IsNull()) {
        resolution = nullptr;
        return true;
    }
    if (!value->IsObject()) {
        members.wrongType(key, "a resolution object or null");
        return false;
    }
    const ReadContext::Scope scope(members.context(), key);
    resolution = readMembers(Members(members, value), PropertyJson::kProperties);
    return true;
}

} // namespace ZEM_0_81::Interchange::ResolutionJson
