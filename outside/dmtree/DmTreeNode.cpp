#include "outside/dmtree/DmTreeNode.h"

#include <utility>

DmTreeNode::DmTreeNode(const DmTreeNode& other) : DmPropertySet(other), m_name(other.m_name) {}

DmTreeNode::~DmTreeNode() {
    // Children that this node holds the last reference to would release their
    // own children in their destructors, one call deeper per level. Instead
    // their children are taken over here first, so every destructor below finds
    // none left; a child held elsewhere as well keeps its subtree.
    std::vector<CoSharedPtr<DmTreeNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        CoSharedPtr<DmTreeNode> node = std::move(pending.back());
        pending.pop_back();
        if (node && node->refcount() == 1) {
            for (CoSharedPtr<DmTreeNode>& child : node->m_children)
                pending.push_back(std::move(child));
            node->m_children.clear();
        }
    }
}

CoSharedPtr<DmPropertySet> DmTreeNode::clone() const {
    const CoSharedPtr<DmTreeNode> copy(copyNode());
    // Pairs of an original node and its copy whose children are still to copy.
    std::vector<std::pair<const DmTreeNode*, DmTreeNode*>> pending{{this, copy.get()}};
    while (!pending.empty()) {
        const auto [original, target] = pending.back();
        pending.pop_back();
        target->m_children.reserve(original->m_children.size());
        for (const CoSharedPtr<DmTreeNode>& child : original->m_children) {
            const CoSharedPtr<DmTreeNode> childCopy(child->copyNode());
            target->m_children.push_back(childCopy);
            if (!child->m_children.empty())
                pending.emplace_back(child.get(), childCopy.get());
        }
    }
    return copy;
}

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
