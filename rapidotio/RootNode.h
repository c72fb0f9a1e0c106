#pragma once

#include "rapidotio/Node.h"

namespace ZEM_0_81::rapidotio {

/// The top of a document tree. Read: its one child is the document's "timeline"
/// object when there is one, else the node's own JSON read as the timeline.
/// Written: hands the document's top-level object to its children, so the
/// timeline fills it. A JSON value that is not an object (an array, a string, a
/// number) yields no child, so such a document reads as empty; under
/// diagnostics its lookups report as missing members.
class RootNode final : public Node {
public:
    using Parent = Node;

    RootNode(const Value& json, Node* parent);
    explicit RootNode(const std::string& name);

    void parseChildren() override;
};

} // namespace ZEM_0_81::rapidotio
