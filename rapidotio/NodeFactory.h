#pragma once

#include "rapidotio/Node.h"

namespace ZEM_0_81::rapidotio {

/// Creates the node for a JSON object by its "OTIO_SCHEMA" (type word, a dot,
/// version "1"), with `parent` as parent. Returns null, after a diagnostic, for
/// a missing or unversioned schema, another version or an unknown type word. A
/// value that is not an object has no "OTIO_SCHEMA" and so yields null with the
/// same diagnostics.
SharedPtr<Node> createNode(const Value& object, Node* parent);

} // namespace ZEM_0_81::rapidotio
