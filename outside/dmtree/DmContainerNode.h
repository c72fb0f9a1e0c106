#pragma once

#include "outside/dmtree/DmTreeNode.h"

/// A plain grouping node that may hold segments or other nodes as children.
/// Visited with visitContainerNode; a walk goes on into its children.
class KRDMTREE_API DmContainerNode : public DmTreeNode {
public:
    /// An empty container without a reference taken.
    static DmContainerNode* create();

    void accept(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmContainerNode() = default;
    DmContainerNode(const DmContainerNode&) = default;
};
