#include "outside/dmtree/DmGapNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

#include <utility>

DmGapNode* DmGapNode::create(double recIn, double recLength, eDmTreeMediaType mediaType,
                             DmString name) {
    auto* gap = new DmGapNode(recIn, recLength, mediaType);
    gap->setName(std::move(name));
    return gap;
}

void DmGapNode::accept(DmTreeVisitor& visitor) {
    visitor.visitGapNode(this);
}

DmTreeNode* DmGapNode::copyNode() const {
    return new DmGapNode(*this);
}
