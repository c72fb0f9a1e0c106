#include "outside/dmtree/DmGapNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmGapNode* DmGapNode::create(double recIn, double recLength, eDmTreeMediaType mediaType,
                             const DmString& name) {
    auto* gap = new DmGapNode(recIn, recLength, mediaType);
    gap->setName(name);
    return gap;
}

void DmGapNode::accept(DmTreeVisitor& visitor) {
    visitor.visitGapNode(this);
}

DmTreeNode* DmGapNode::copyNode() const {
    return new DmGapNode(*this);
}
