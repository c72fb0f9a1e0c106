#pragma once

#include "outside/dmtree/DmTreeNode.h"

/// A track of a composition: an index and a media type; its children are layers.
class KRDMTREE_API DmTrackNode : public DmTreeNode {
public:
    /// A track without a reference taken.
    static DmTrackNode* create(std::int32_t index, eDmTreeMediaType mediaType);

    std::int32_t getIndex() const { return m_index; }
    eDmTreeMediaType getMediaType() const { return m_mediaType; }
    void setMediaType(eDmTreeMediaType mediaType) { m_mediaType = mediaType; }

    void accept(DmTreeVisitor& visitor) override;
    void acceptEnd(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmTrackNode(std::int32_t index, eDmTreeMediaType mediaType)
        : m_index(index), m_mediaType(mediaType) {}
    DmTrackNode(const DmTrackNode&) = default;

private:
    std::int32_t m_index;
    eDmTreeMediaType m_mediaType;
};
