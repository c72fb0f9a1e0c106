#include "outside/dmtree/DmTreeVisitor.h"

DmTreeVisitor::DmTreeVisitor(const char* name) : m_name(name) {}

DmTreeVisitor::~DmTreeVisitor() = default;

void DmTreeVisitor::visitCompositionNode(DmCompositionNode*) {}
void DmTreeVisitor::visitTrackNode(DmTrackNode*) {}
void DmTreeVisitor::visitLayerNode(DmLayerNode*) {}
void DmTreeVisitor::visitTransitionNode(DmTransitionNode*) {}
void DmTreeVisitor::visitCutNode(DmCutNode*) {}
void DmTreeVisitor::visitTrxEffectNode(DmTrxEffectNode*) {}
void DmTreeVisitor::visitSegmentNode(DmSegmentNode*) {}
void DmTreeVisitor::visitContainerNode(DmContainerNode*) {}
void DmTreeVisitor::visitBlobNode(DmBlobNode*) {}
void DmTreeVisitor::visitBatchFxNode(DmBatchFxNode*) {}

const char* DmTreeVisitor::getVisitorName() const {
    return m_name.str().c_str();
}
