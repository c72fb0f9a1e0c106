#include "outside/dmtree/DmTreeNode.h"

DmTreeNode::DmTreeNode(const DmTreeNode& other) : DmPropertySet(other), m_name(other.m_name) {
    m_children.reserve(other.m_children.size());
    for (const auto& child : other.m_children)
        m_children.push_back(dmCloneOf(child.get()));
}

DmTreeNode::~DmTreeNode() = default;

std::uint32_t DmTreeNode::getNbChildren() const {
    return static_cast<std::uint32_t>(m_children.size());
}

DmTreeNode* DmTreeNode::getChild(std::uint32_t index) const {
    return index < m_children.size() ? m_children[index].get() : nullptr;
}

int DmTreeNode::addChild(DmTreeNode* child) {
    if (!child || child == this)
        return 1;
    m_children.emplace_back(child);
    return 0;
}

void DmTreeNode::accept(DmTreeVisitor&) {}

void DmTreeNode::acceptEnd(DmTreeVisitor&) {}
