#include "outside/dmtree/DmContainerNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmContainerNode* DmContainerNode::create() {
    return new DmContainerNode();
}

void DmContainerNode::accept(DmTreeVisitor& visitor) {
    visitor.visitContainerNode(this);
}

DmTreeNode* DmContainerNode::copyNode() const {
    return new DmContainerNode(*this);
}
