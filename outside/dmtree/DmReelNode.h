#pragma once

#include "outside/dmtree/DmTreeNode.h"

class DmCompositionNode;

/// A reel: holds compositions. Walked through without a visit.
class KRDMTREE_API DmReelNode : public DmTreeNode {
public:
    /// An empty reel, without a reference taken.
    static DmReelNode* create();
    /// Appends a composition, keeping a counted reference; 0 on success, 1 for null.
    int addComposition(DmCompositionNode* composition);

protected:
    DmTreeNode* copyNode() const override;
    DmReelNode() = default;
    DmReelNode(const DmReelNode&) = default;
};
