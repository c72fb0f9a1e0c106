#pragma once

#include "outside/dmtree/DmApi.h"
#include "outside/dmtree/DmTypes.h"

class DmRoot;
class DmTreeNode;

/// Reads edit-tree JSON (the dialect DmTreeJsonBuilder writes, described in
/// outside/dmtree/JSON.md) back into a tree.
class KRDMTREE_API DmJsonImporter {
public:
    /// Reads a document whose tree is a root. On success `root` receives the new
    /// root without a reference taken (the caller's first holder owns it). On a
    /// syntax error, a document of another shape, or a null `json`, returns a
    /// failed status with a message and leaves `root` untouched; nothing is leaked.
    static DmStatus importRootFromStr(const char* json, DmRoot*& root);
    /// The same for a document whose tree is any node kind.
    static DmStatus importNodeFromStr(const char* json, DmTreeNode*& node);
};
