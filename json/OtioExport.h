#pragma once

#include "outside/core/Status.h"
#include "outside/dmtree/CoSharedPtr.h"

class DmRoot;
class DmString;

namespace ZEM_0_81 {

class String;

/// Writes the edit tree `tree` as one compact OTIO JSON text into `out`,
/// streaming it while the tree is walked (the document's nodes are made and let
/// go as they are written) and handing it over without a copy. Returns success,
/// or the failure of a JSON-layer error, with `out` untouched: 780 for a number
/// that JSON cannot hold.
Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, String& out);

/// The same text as an edit-tree text (a copy of it).
Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, DmString& out);

} // namespace ZEM_0_81
