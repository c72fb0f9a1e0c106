#include "outside/dmtree/DmTreeIterator.h"

#include "outside/dmtree/DmTreeNode.h"

#include <utility>
#include <vector>

DmTreeIterator::DmTreeIterator(DmTreeNode* start, DmTreeVisitor* visitor)
    : m_start(start), m_visitor(visitor) {}

DmTreeIterator::~DmTreeIterator() = default;

void DmTreeIterator::traverse() {
    if (m_start && m_visitor)
        walk(m_start);
}

DmPreIt::DmPreIt(DmTreeNode* start, DmTreeVisitor* visitor) : DmTreeIterator(start, visitor) {}

void DmPreIt::walk(DmTreeNode* start) {
    // An explicit stack instead of recursion, so that no depth of tree can
    // exhaust the call stack. Each entry is a node being walked and the index of
    // its next child. Children are read by index on every step, so a visitor that
    // appends to a node while it is walked neither invalidates the walk nor loses
    // a child. Every node below the start is held with a counted reference while
    // its subtree is walked; the start is the caller's.
    struct Level {
        DmTreeNode* node;
        CoSharedPtr<DmTreeNode> held;
        std::uint32_t next;
    };
    std::vector<Level> levels;
    start->accept(*visitor());
    levels.push_back(Level{start, nullptr, 0});
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next < level.node->getNbChildren()) {
            DmTreeNode* child = level.node->getChild(level.next++);
            if (!child)
                continue;
            CoSharedPtr<DmTreeNode> held(child);
            child->accept(*visitor());
            levels.push_back(Level{child, std::move(held), 0}); // `level` may move now
        } else {
            level.node->acceptEnd(*visitor());
            levels.pop_back();
        }
    }
}
