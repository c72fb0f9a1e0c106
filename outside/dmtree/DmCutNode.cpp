#include "outside/dmtree/DmCutNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmCutNode* DmCutNode::create(eDmTreeMediaType mediaType) {
    return new DmCutNode(mediaType);
}

void DmCutNode::accept(DmTreeVisitor& visitor) {
    visitor.visitCutNode(this);
}

DmTreeNode* DmCutNode::copyNode() const {
    return new DmCutNode(*this);
}
