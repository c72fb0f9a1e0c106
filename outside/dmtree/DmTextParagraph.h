#pragma once

#include "outside/dmtree/DmAnimationChannel.h"
#include "outside/dmtree/DmIdTable.h"
#include "outside/dmtree/DmSimpleChannel.h"

#include <vector>

/// A paragraph of a text layer: its text and font name (read and written
/// directly), a width, animated channels (font size, colour, orientation) and
/// text attributes (justification), each addressed by id.
class KRDMTREE_API DmTextParagraph : public DmPropertySet {
public:
    /// Channel ids; other integer values may be used too.
    enum ChannelId : std::int32_t {
        kFontSize = 0,
        kColorRed = 3,
        kColorGreen = 4,
        kColorBlue = 5,
        kColorAlpha = 6,
        kOrientation = 25,
    };
    /// Attribute ids; other integer values may be used too.
    enum AttributId : std::int32_t {
        kJustification = 2,
    };

    /// An empty paragraph (texts "", width 0) without a reference taken.
    static DmTextParagraph* create();

    DmString text;
    DmString fontName;

    /// Sets `text`.
    void setTextStr(DmString value) { text = std::move(value); }
    void setWidth(float width) { m_width = width; }
    float getWidth() const { return m_width; }
    /// The value of the first key of channel kFontSize; 0 when there is none.
    float getFontSize() const;

    /// Stores `channel` under `id` with a counted reference; null removes the entry.
    void setChannel(ChannelId id, DmAnimationChannel* channel);
    /// The channel `id`, or null when never set.
    CoSharedPtr<DmAnimationChannel> getChannel(ChannelId id) const;
    /// Ids of the channels held, ascending.
    std::vector<ChannelId> getChannelIds() const;

    /// Stores `channel` under `id` with a counted reference; null removes the entry.
    void setAttribut(AttributId id, DmSimpleChannel* channel);
    /// The attribute `id`, or null when never set.
    CoSharedPtr<DmSimpleChannel> getAttribut(AttributId id) const;
    /// Ids of the attributes held, ascending.
    std::vector<AttributId> getAttributIds() const;

    /// The class name, "DmTextParagraph".
    virtual const char* getName() const;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmTextParagraph() = default;
    /// Deep-copies every channel and attribute.
    DmTextParagraph(const DmTextParagraph& other);

private:
    float m_width = 0.0f;
    DmIdTable::Table<ChannelId, DmAnimationChannel> m_channels;
    DmIdTable::Table<AttributId, DmSimpleChannel> m_attributs;
};
