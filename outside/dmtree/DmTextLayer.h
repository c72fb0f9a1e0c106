#pragma once

#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmEffectLayer.h"
#include "outside/dmtree/DmIdTable.h"
#include "outside/dmtree/DmTextParagraph.h"

#include <vector>

/// A text layer of an annotation: paragraphs in the order added and animated
/// channels (position) addressed by id.
class KRDMTREE_API DmTextLayer : public DmEffectLayer {
public:
    /// Channel ids; other integer values may be used too.
    enum ChannelId : std::int32_t {
        kPositionX = 0,
        kPositionY = 1,
    };

    /// An empty layer without a reference taken.
    static DmTextLayer* create();

    /// Appends a paragraph, keeping a counted reference; null is ignored.
    void addParagraph(DmTextParagraph* paragraph);
    std::uint32_t getNbParagraphs() const {
        return static_cast<std::uint32_t>(m_paragraphs.size());
    }
    /// The paragraph at `index`, or null past the end; the layer keeps its reference.
    DmTextParagraph* getParagraph(std::uint32_t index) const;

    /// Stores `channel` under `id` with a counted reference; null removes the entry.
    void setChannel(ChannelId id, DmAnimationChannel* channel);
    /// The channel `id`, or null when never set.
    CoSharedPtr<DmAnimationChannel> getChannel(ChannelId id) const;
    /// Ids of the channels held, ascending.
    std::vector<ChannelId> getChannelIds() const;

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmTextLayer() = default;
    /// Deep-copies every paragraph and channel.
    DmTextLayer(const DmTextLayer& other);

private:
    std::vector<CoSharedPtr<DmTextParagraph>> m_paragraphs;
    DmIdTable::Table<ChannelId, DmAnimationChannel> m_channels;
};
