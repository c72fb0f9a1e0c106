#include "outside/dmtree/DmReelNode.h"

#include "outside/dmtree/DmCompositionNode.h"

DmReelNode* DmReelNode::create() {
    return new DmReelNode();
}

int DmReelNode::addComposition(DmCompositionNode* composition) {
    return addChild(composition);
}

DmTreeNode* DmReelNode::copyNode() const {
    return new DmReelNode(*this);
}
