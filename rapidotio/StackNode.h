#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/keys/StackKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Stack.1": the timeline's stack of tracks.
class StackNode final : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::StackKeys::schema;

    StackNode(const Value& json, Node* parent);
    explicit StackNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// The member "tracks" of the timeline's object: {"OTIO_SCHEMA", "children"};
    /// the stack's name is not written.
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;
};

} // namespace ZEM_0_81::rapidotio
