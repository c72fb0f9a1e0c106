#pragma once

#include "outside/dmtree/DmTreeNode.h"

class DmReelNode;

/// Top of an edit tree; its children are reels. Walked through without a visit.
class KRDMTREE_API DmRoot : public DmTreeNode {
public:
    /// An empty root (no reel), without a reference taken.
    static DmRoot* create();
    /// Appends a reel, keeping a counted reference; 0 on success, 1 for null.
    int addReel(DmReelNode* reel);

protected:
    DmTreeNode* copyNode() const override;
    DmRoot() = default;
    DmRoot(const DmRoot&) = default;
};
