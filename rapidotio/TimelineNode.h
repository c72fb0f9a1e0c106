#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/TimeValues.h"
#include "rapidotio/keys/TimelineKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Timeline.1": the document's timeline, holding one stack under "tracks".
class TimelineNode final : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::TimelineKeys::schema;
    /// The version written into the timeline metadata, whatever was read.
    static constexpr const char* writtenVersion = "0.81";

    /// Reads "global_start_time" and "metadata" → "zem" → "version".
    TimelineNode(const Value& json, Node* parent);
    /// version is "0.81", global_start_time unset.
    explicit TimelineNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// Reads the one "tracks" object; the timeline's "children" are never read.
    void parseChildren() override;
    /// Fills the object its owner writes (the document's top level): the children
    /// first (the stack adds "tracks"), then "name", "OTIO_SCHEMA", "metadata",
    /// "global_start_time".
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    RationalTime global_start_time;
    std::string version;
};

} // namespace ZEM_0_81::rapidotio
