#pragma once

#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmEffectSettings.h"
#include "outside/dmtree/DmIdTable.h"
#include "outside/dmtree/DmSimpleChannel.h"

#include <vector>

/// Compositing of a segment: text attributes (blend mode) and animated channels
/// (transparency), each addressed by id.
class KRDMTREE_API DmCompSettings : public DmEffectSettings {
public:
    /// Attribute ids; other integer values may be used too.
    enum AttributId : std::int32_t {
        kBlendMode = 0,
    };
    /// Channel ids; other integer values may be used too.
    enum ChannelId : std::int32_t {
        kTransparency = 0, ///< 1 - opacity
    };

    /// Settings without attributes or channels, without a reference taken.
    static DmCompSettings* create();

    /// Stores `channel` under `id` with a counted reference; null removes the entry.
    void setAttribut(AttributId id, DmSimpleChannel* channel);
    /// The attribute `id`, or null when never set.
    CoSharedPtr<DmSimpleChannel> getAttribut(AttributId id) const;
    /// Ids of the attributes held, ascending.
    std::vector<AttributId> getAttributIds() const;

    /// Stores `channel` under `id` with a counted reference; null removes the entry.
    void setChannel(ChannelId id, DmAnimationChannel* channel);
    /// The channel `id`, or null when never set.
    CoSharedPtr<DmAnimationChannel> getChannel(ChannelId id) const;
    /// Ids of the channels held, ascending.
    std::vector<ChannelId> getChannelIds() const;

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmCompSettings() = default;
    /// Deep-copies every attribute and channel.
    DmCompSettings(const DmCompSettings& other);

private:
    DmIdTable::Table<AttributId, DmSimpleChannel> m_attributs;
    DmIdTable::Table<ChannelId, DmAnimationChannel> m_channels;
};
