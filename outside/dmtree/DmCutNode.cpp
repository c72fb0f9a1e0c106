#include "outside/dmtree/DmCutNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmCutNode* DmCutNode::create(eDmTreeMediaType mediaType) {
    return new DmCutNode(mediaType);
}

void DmCutNode::accept(DmTreeVisitor& visitor) {
    visitor.visitCutNode(this);
}

CoSharedPtr<DmPropertySet> DmCutNode::clone() const {
    return new DmCutNode(*this);
}
