#pragma once

#include "outside/dmtree/DmTreeNode.h"

#include <cstdint>
#include <vector>

namespace ZEM_0_81::Interchange {

/// The children of an edit-tree node split by what standard OTIO can show: the
/// children it has a schema for at this place (`shown`, in order, each with the
/// other children that stand between it and the shown child before it), and the
/// other children after the last shown one.
///
/// Writing a node's children this way and reading them back in the same order
/// (each shown child's `before` nodes, the child, and at the end `after`) gives
/// the children in their original order.
struct ChildGroups {
    struct Shown {
        const DmTreeNode* node = nullptr;
        std::vector<const DmTreeNode*> before;
    };
    std::vector<Shown> shown;
    std::vector<const DmTreeNode*> after;

    /// Groups `parent`'s children; `isShown` tells a child standard OTIO shows here.
    template <class Predicate> static ChildGroups of(const DmTreeNode& parent, Predicate isShown) {
        ChildGroups groups;
        for (std::uint32_t i = 0; i < parent.getNbChildren(); ++i) {
            const DmTreeNode* child = parent.getChild(i);
            if (!child)
                continue;
            if (isShown(*child)) {
                groups.shown.push_back(Shown{child, std::move(groups.after)});
                groups.after.clear();
            } else {
                groups.after.push_back(child);
            }
        }
        return groups;
    }

    /// Groups the children that are of class `T`.
    template <class T> static ChildGroups ofKind(const DmTreeNode& parent) {
        return of(parent, [](const DmTreeNode& child) {
            return dynamic_cast<const T*>(&child) != nullptr;
        });
    }
};

} // namespace ZEM_0_81::Interchange
