#pragma once

#include "outside/dmtree/DmSegmentNode.h"

/// A cut between two segments of a layer; record-in and length start at 0.
class KRDMTREE_API DmCutNode : public DmSegmentNode {
public:
    /// A cut without a reference taken.
    static DmCutNode* create(eDmTreeMediaType mediaType);

    void accept(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    explicit DmCutNode(eDmTreeMediaType mediaType) : DmSegmentNode(0.0, 0.0, mediaType) {}
    DmCutNode(const DmCutNode&) = default;
};
