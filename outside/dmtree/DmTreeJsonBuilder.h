#pragma once

#include "outside/dmtree/DmApi.h"
#include "outside/dmtree/DmTypes.h"

class DmTreeNode;

/// Writes a tree as edit-tree JSON (described in outside/dmtree/JSON.md):
/// compact, deterministic, and holding every value of every object in the tree.
class KRDMTREE_API DmTreeJsonBuilder {
public:
    /// Writes `node` and its subtree into `out`, streaming the text and handing it
    /// over without a copy; a tree of any depth is written without recursion.
    /// Fails, leaving `out` untouched, for a null node, a non-finite number
    /// anywhere in the tree, or an object kind the dialect does not know.
    static DmStatus generateStr(const DmTreeNode* node, DmString& out);
};
