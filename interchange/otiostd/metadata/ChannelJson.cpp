#include "interchange/otiostd/metadata/ChannelJson.h"

#include "interchange/otiostd/metadata/PropertyJson.h"
#include "json/ConstantChannel.h"

#include "outside/dmtree/DmKeyFrame.h"

#include <cstring>

namespace ZEM_0_81::Interchange::ChannelJson {

namespace {

constexpr const char* kInterp = "interp";
constexpr const char* kExtrapolation = "extrapolation";
constexpr const char* kVersion = "version";
constexpr const char* kParameter = "parameter";
constexpr const char* kKeyFrames = "key_frames";
constexpr const char* kTime = "time";
constexpr const char* kValue = "value";
constexpr const char* kMode = "mode";
constexpr const char* kOrder = "order";
constexpr const char* kParameters = "parameters";
constexpr const char* kCount = "count";

/// Bitwise zero: -0.0 is a value of its own, and must not pass for 0.
bool isPositiveZero(double value) {
    const double zero = 0.0;
    return std::memcmp(&value, &zero, sizeof value) == 0;
}

void writeKey(OtioWriter& writer, const DmKeyFrame& key) {
    writer.beginObject();
    writer.member(kTime, key.getTime());
    writer.member(kValue, static_cast<double>(key.getValue()));
    writer.memberInteger(kMode, key.getInterpMode());
    writer.memberInteger(kOrder, key.getInterpOrder());
    writer.key(kParameters);
    writer.beginArray();
    for (std::uint32_t i = 0; i < DmKeyFrame::kNbParameters; ++i)
        writer.number(key.getParameter(i));
    writer.endArray();
    writer.memberUnsigned(kCount, key.getCount());
    PropertyJson::write(writer, key);
    writer.endObject();
}

CoSharedPtr<DmKeyFrame> readKey(const Members& owner, const Value& object) {
    const Members key(owner, &object);
    double time = 0.0;
    float value = 0.0f;
    std::int32_t mode = DmKeyFrame::kInterpDefault;
    std::int32_t order = DmKeyFrame::kOrderDefault;
    std::uint32_t count = 1;
    double parameters[DmKeyFrame::kNbParameters] = {};
    if (!key.getDouble(kTime, time) || !key.getFloat(kValue, value)) {
        owner.context().lose(owner.schema(),
                             "key frame ignored: it needs a \"time\" and a \"value\"");
        return CoSharedPtr<DmKeyFrame>();
    }
    key.getInt(kMode, mode);
    key.getInt(kOrder, order);
    key.getUint(kCount, count);
    if (const Value* read = key.arrayMember(kParameters)) {
        for (rapidjson::SizeType i = 0; i < read->Size() && i < DmKeyFrame::kNbParameters; ++i)
            finiteNumber((*read)[i], parameters[i]);
    }
    const CoSharedPtr<DmKeyFrame> made(
        DmKeyFrame::create2(time, value, static_cast<DmKeyFrame::InterpMode>(mode),
                            static_cast<DmKeyFrame::InterpOrder>(order), parameters[0],
                            parameters[1], parameters[2], parameters[3], count));
    PropertyJson::read(key, *made);
    return made;
}

} // namespace

bool isConstant(const DmAnimationChannel& channel, float& value) {
    if (channel.getNbProperties() != 0 ||
        channel.getInterpType() != DmAnimationChannel::kInterpTypeDefault ||
        channel.getExtrapolationType() != DmAnimationChannel::kExtrapolationConstant ||
        channel.getVersion() != DmKeyFrame::getCurrentVersion() ||
        !isPositiveZero(channel.getParameter()) || channel.getNbKeyFrames() != 1)
        return false;
    const CoSharedPtr<DmKeyFrame> key = channel.getKeyFrame(0);
    if (!key || key->getNbProperties() != 0 || !isPositiveZero(key->getTime()) ||
        key->getInterpMode() != DmKeyFrame::kInterpDefault ||
        key->getInterpOrder() != DmKeyFrame::kOrderDefault || key->getCount() != 1)
        return false;
    for (std::uint32_t i = 0; i < DmKeyFrame::kNbParameters; ++i) {
        if (!isPositiveZero(key->getParameter(i)))
            return false;
    }
    value = key->getValue();
    return true;
}

void writeChannel(OtioWriter& writer, const DmAnimationChannel& channel) {
    float constant = 0.0f;
    if (isConstant(channel, constant)) {
        writer.number(static_cast<double>(constant));
        return;
    }
    writer.beginObject();
    writer.memberInteger(kInterp, channel.getInterpType());
    writer.memberInteger(kExtrapolation, channel.getExtrapolationType());
    writer.memberUnsigned(kVersion, channel.getVersion());
    writer.member(kParameter, channel.getParameter());
    writer.key(kKeyFrames);
    writer.beginArray();
    for (std::uint32_t i = 0; i < channel.getNbKeyFrames(); ++i) {
        if (const CoSharedPtr<DmKeyFrame> key = channel.getKeyFrame(i))
            writeKey(writer, *key);
    }
    writer.endArray();
    PropertyJson::write(writer, channel);
    writer.endObject();
}

void writeSimple(OtioWriter& writer, const DmSimpleChannel& attribute) {
    if (attribute.getNbProperties() == 0) {
        writer.string(attribute.getValue());
        return;
    }
    writer.beginObject();
    writer.member(kValue, attribute.getValue());
    PropertyJson::write(writer, attribute);
    writer.endObject();
}

CoSharedPtr<DmAnimationChannel> readChannel(const Members& members, const Value& value) {
    float constant = 0.0f;
    if (singleFloat(value, constant))
        return Json::makeConstantChannel(constant);
    if (!value.IsObject()) {
        members.context().lose(members.schema(),
                               "channel ignored: expected a number or a channel object");
        return CoSharedPtr<DmAnimationChannel>();
    }
    const Members channel(members, &value);
    std::int32_t interp = DmAnimationChannel::kInterpTypeDefault;
    std::int32_t extrapolation = DmAnimationChannel::kExtrapolationConstant;
    std::uint32_t version = DmKeyFrame::getCurrentVersion();
    double parameter = 0.0;
    channel.getInt(kInterp, interp);
    channel.getInt(kExtrapolation, extrapolation);
    channel.getUint(kVersion, version);
    channel.getDouble(kParameter, parameter);
    const CoSharedPtr<DmAnimationChannel> made(DmAnimationChannel::create(
        static_cast<DmAnimationChannel::DeprecatedInterpType>(interp),
        static_cast<DmAnimationChannel::ExtrapolationType>(extrapolation), version, parameter));
    if (const Value* keys = channel.arrayMember(kKeyFrames)) {
        const ReadContext::Scope scope(members.context(), kKeyFrames);
        for (rapidjson::SizeType i = 0; i < keys->Size(); ++i) {
            const ReadContext::Scope element(members.context(), i);
            if (const CoSharedPtr<DmKeyFrame> key = readKey(channel, (*keys)[i]))
                made->addKeyFrame(key.get());
        }
    }
    PropertyJson::read(channel, *made);
    return made;
}

CoSharedPtr<DmSimpleChannel> readSimple(const Members& members, const Value& value) {
    if (value.IsString())
        return CoSharedPtr<DmSimpleChannel>(DmSimpleChannel::create(DmString(textOf(value))));
    const Members attribute(members, &value);
    DmString text;
    if (!value.IsObject() || !attribute.getString(kValue, text)) {
        members.context().lose(members.schema(),
                               "attribute ignored: expected a text or {\"value\": text}");
        return CoSharedPtr<DmSimpleChannel>();
    }
    const CoSharedPtr<DmSimpleChannel> made(DmSimpleChannel::create(text));
    PropertyJson::read(attribute, *made);
    return made;
}

} // namespace ZEM_0_81::Interchange::ChannelJson
