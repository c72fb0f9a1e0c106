#pragma once

#include "outside/core/Status.h"
#include "outside/dmtree/CoSharedPtr.h"

class DmRoot;
class DmString;

namespace ZEM_0_81 {

/// Writes the edit tree `tree` as one compact OTIO JSON text into `out`. Returns
/// success, or the failure of a JSON-layer error (then `out` is not to be used).
Status exportOtioJson(const CoSharedPtr<DmRoot>& tree, DmString& out);

} // namespace ZEM_0_81
