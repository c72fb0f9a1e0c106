#pragma once

#include "rapidotio/Node.h"

#include "rapidotio/keys/TrackKeys.h"

namespace ZEM_0_81::rapidotio {

/// "Track.1": one video or audio lane of clips and gaps.
class TrackNode final : public Node {
public:
    using Parent = Node;
    static constexpr const char* schema = keys::TrackKeys::schema;

    /// Reads "kind": "video" or "audio" in any letter case, anything else None.
    TrackNode(const Value& json, Node* parent);
    explicit TrackNode(const std::string& name);

    void accept(NodeVisitor& visitor) override;
    void leave(NodeVisitor& visitor) override;
    /// The track's own kind.
    TrackKind trackKind() const override;
    /// An element of the stack's "children": {"name", "OTIO_SCHEMA", "children",
    /// "kind"}, "kind" only when the kind has a text.
    Placement placement() const override;
    void toJson(MemberWriter& writer) const override;

    /// The text of a kind: "Video", "Audio", or "" for any other value.
    static const char* kindText(TrackKind kind);

    TrackKind kind = None;
};

} // namespace ZEM_0_81::rapidotio
