#pragma once

#include "outside/core/Status.h"
#include "outside/dmtree/CoSharedPtr.h"

class DmRoot;

namespace ZEM_0_81 {

/// Imports an OTIO JSON text (NUL-terminated UTF-8) into `tree`, which must hold
/// a root: the importer adds one reel and the composition to it. Returns success,
/// JsonSyntaxError (775) when the text is not strict JSON, or the failure of
/// another JSON-layer error. Whatever was added to `tree` before a failure stays.
Status importOtioJson(const char* text, CoSharedPtr<DmRoot>& tree);

} // namespace ZEM_0_81
