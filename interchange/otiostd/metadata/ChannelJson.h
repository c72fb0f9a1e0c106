#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmSimpleChannel.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace ZEM_0_81::Interchange {

/// Animated values (DmAnimationChannel) and text attributes (DmSimpleChannel)
/// in a "zem" description.
///
/// CHANNEL: a channel of one key at time 0 with the default interpolation and
/// nothing else set (the form the product import gives a fixed value) is written
/// as that key's value, a number; any other channel as an object
/// {"interp": I, "extrapolation": I, "version": U, "parameter": D,
/// "key_frames": [KEY, ...], "properties": ...}, KEY being {"time": D,
/// "value": F, "mode": I, "order": I, "parameters": [D, D, D, D], "count": U,
/// "properties": ...}.
///
/// SIMPLE: an attribute is written as its text, or as {"value": S,
/// "properties": ...} when it carries properties.
///
/// Channels and attributes that an owner keeps by id and that have no named
/// member of their own go into "channels": [[ID, CHANNEL], ...] and
/// "attributes": [[ID, SIMPLE], ...].
namespace ChannelJson {

constexpr const char* kChannels = "channels";
constexpr const char* kAttributes = "attributes";

/// True, with the value, when `channel` has the constant form described above.
bool isConstant(const DmAnimationChannel& channel, float& value);

void writeChannel(OtioWriter& writer, const DmAnimationChannel& channel);
void writeSimple(OtioWriter& writer, const DmSimpleChannel& attribute);

/// The channel written at `value` (the current place of `members`' context);
/// null, with the loss reported against `members`' schema, when malformed.
CoSharedPtr<DmAnimationChannel> readChannel(const Members& members, const Value& value);
CoSharedPtr<DmSimpleChannel> readSimple(const Members& members, const Value& value);

/// Writes `owner`'s channels (ids `Owner::ChannelId`) whose ids are not in
/// `named` as "channels"; nothing when there are none.
template <class Owner>
void writeChannels(OtioWriter& writer, const Owner& owner,
                   std::initializer_list<typename Owner::ChannelId> named) {
    bool started = false;
    for (const auto id : owner.getChannelIds()) {
        if (std::find(named.begin(), named.end(), id) != named.end())
            continue;
        const CoSharedPtr<DmAnimationChannel> channel = owner.getChannel(id);
        if (!channel)
            continue;
        if (!started) {
            writer.key(kChannels);
            writer.beginArray();
            started = true;
        }
        writer.beginArray();
        writer.integer(static_cast<std::int32_t>(id));
        writeChannel(writer, *channel);
        writer.endArray();
    }
    if (started)
        writer.endArray();
}

/// The same for `owner`'s attributes (ids `Owner::AttributId`), as "attributes".
template <class Owner>
void writeAttributes(OtioWriter& writer, const Owner& owner,
                     std::initializer_list<typename Owner::AttributId> named) {
    bool started = false;
    for (const auto id : owner.getAttributIds()) {
        if (std::find(named.begin(), named.end(), id) != named.end())
            continue;
        const CoSharedPtr<DmSimpleChannel> attribute = owner.getAttribut(id);
        if (!attribute)
            continue;
        if (!started) {
            writer.key(kAttributes);
            writer.beginArray();
            started = true;
        }
        writer.beginArray();
        writer.integer(static_cast<std::int32_t>(id));
        writeSimple(writer, *attribute);
        writer.endArray();
    }
    if (started)
        writer.endArray();
}

/// Calls `set(id, value)` for every well-formed [ID, X] pair of the array member
/// `key`; malformed pairs are reported as losses. `set` reports its own losses.
template <class Set> void forEachPair(const Members& members, const char* key, Set set) {
    const Value* pairs = members.arrayMember(key);
    if (!pairs)
        return;
    const ReadContext::Scope scope(members.context(), key);
    for (rapidjson::SizeType i = 0; i < pairs->Size(); ++i) {
        const ReadContext::Scope element(members.context(), i);
        const Value& pair = (*pairs)[i];
        if (pair.IsArray() && pair.Size() == 2 && pair[0].IsInt()) {
            const ReadContext::Scope value(members.context(), std::size_t(1));
            set(pair[0].GetInt(), pair[1]);
        } else {
            members.context().lose(members.schema(), "ignored: expected [id, value]");
        }
    }
}

/// Sets on `owner` the channels of "channels" (see forEachPair).
template <class Owner> void readChannels(const Members& members, Owner& owner) {
    forEachPair(members, kChannels, [&](std::int32_t id, const Value& value) {
        const CoSharedPtr<DmAnimationChannel> channel = readChannel(members, value);
        if (channel)
            owner.setChannel(static_cast<typename Owner::ChannelId>(id), channel.get());
    });
}

/// Sets on `owner` the attributes of "attributes".
template <class Owner> void readAttributes(const Members& members, Owner& owner) {
    forEachPair(members, kAttributes, [&](std::int32_t id, const Value& value) {
        const CoSharedPtr<DmSimpleChannel> attribute = readSimple(members, value);
        if (attribute)
            owner.setAttribut(static_cast<typename Owner::AttributId>(id), attribute.get());
    });
}

} // namespace ChannelJson

} // namespace ZEM_0_81::Interchange
