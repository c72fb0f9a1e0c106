#include "outside/dmtree/DmCompositionNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmCompositionNode::DmCompositionNode(const DmString& name, const DmString& fcm,
                                     DmFrameResolution* resolution)
    : m_startTcFcm(fcm), m_fcm(fcm), m_resolution(resolution) {
    setName(name);
}

DmCompositionNode::DmCompositionNode(const DmCompositionNode& other)
    : DmTreeNode(other), m_startTC(other.m_startTC), m_startTcFcm(other.m_startTcFcm),
      m_fcm(other.m_fcm), m_length(other.m_length),
      m_resolution(dmCloneOf(other.m_resolution.get())) {}

DmCompositionNode* DmCompositionNode::create(const DmString& name, const DmString& fcm,
                                             DmFrameResolution* resolution) {
    return new DmCompositionNode(name, fcm, resolution);
}

void DmCompositionNode::setStartTC(double tc, const DmString& fcm) {
    m_startTC = tc;
    m_startTcFcm = fcm;
}

void DmCompositionNode::accept(DmTreeVisitor& visitor) {
    visitor.visitCompositionNode(this);
}

void DmCompositionNode::acceptEnd(DmTreeVisitor& visitor) {
    visitor.endCompositionNode(this);
}

DmTreeNode* DmCompositionNode::copyNode() const {
    return new DmCompositionNode(*this);
}
