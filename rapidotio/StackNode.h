#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/keys/StackKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Stack.1": the timeline's stack of tracks.
class StackNode : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::StackKeys::schema;

    StackNode(const Value& json, Node* parent);
    explicit StackNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// Adds {"OTIO_SCHEMA", "children"} to the object `target` as "tracks"; the
    /// stack's name is not written.
    void toJson(Value& target, Allocator& allocator) const override;
};

} // namespace ZEM_0_81::rapidotio
