#include "outside/dmtree/DmRoot.h"

#include "outside/dmtree/DmReelNode.h"

DmRoot* DmRoot::create() {
    return new DmRoot();
}

int DmRoot::addReel(DmReelNode* reel) {
    return addChild(reel);
}

DmTreeNode* DmRoot::copyNode() const {
    return new DmRoot(*this);
}
