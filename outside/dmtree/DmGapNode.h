#pragma once

#include "outside/dmtree/DmSegmentNode.h"

/// A gap: a segment that plays nothing but may carry effects.
class KRDMTREE_API DmGapNode : public DmSegmentNode {
public:
    /// A gap named `name` (may be empty), without a reference taken.
    static DmGapNode* create(double recIn, double recLength, eDmTreeMediaType mediaType,
                             DmString name);

    void accept(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmGapNode(double recIn, double recLength, eDmTreeMediaType mediaType)
        : DmSegmentNode(recIn, recLength, mediaType) {}
    DmGapNode(const DmGapNode&) = default;
};
