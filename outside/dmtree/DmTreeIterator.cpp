#include "outside/dmtree/DmTreeIterator.h"

#include "outside/dmtree/DmTreeNode.h"

DmTreeIterator::DmTreeIterator(DmTreeNode* start, DmTreeVisitor* visitor)
    : m_start(start), m_visitor(visitor) {}

DmTreeIterator::~DmTreeIterator() = default;

void DmTreeIterator::traverse() {
    if (m_start && m_visitor)
        walk(m_start);
}

DmPreIt::DmPreIt(DmTreeNode* start, DmTreeVisitor* visitor) : DmTreeIterator(start, visitor) {}

void DmPreIt::walk(DmTreeNode* node) {
    node->accept(*visitor());
    // Children are read by index on every step, so a visitor that appends to a
    // node while it is walked neither invalidates the walk nor loses a child.
    for (std::uint32_t i = 0; i < node->getNbChildren(); ++i) {
        const CoSharedPtr<DmTreeNode> child = node->getChild(i);
        if (child)
            walk(child.get());
    }
    node->acceptEnd(*visitor());
}
