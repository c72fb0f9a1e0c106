#pragma once

#include "composition/Composition.h"
#include "outside/core/String.h"
#include "outside/dmtree/CoSharedPtr.h"

class DmRoot;

namespace ZEM_0_81 {

/// The private record of a Composition.
///
/// While `tree` is empty, at most one text is non-empty and it is the text the
/// caller gave. While `tree` is present, a non-empty text is either generated
/// from this tree or the text the tree was imported from.
struct ZEM_HIDDEN Composition::Impl {
    String id;
    CoSharedPtr<DmRoot> tree; ///< never shared with a caller's tree
    String dmTreeJson;        ///< edit-tree JSON given or generated; empty when none
    String otioJson;          ///< OTIO JSON given or exported; empty when none

    /// The tree step of every query: the held tree, else the tree imported from the
    /// held text (kept, even after a failed OTIO import), else the shared empty
    /// root. `status` is written only on failure (512, 515 or 517).
    DmRoot* ensureTree(Status& status);

    /// The process-wide empty root handed out for compositions without content;
    /// made once, thread-safely, and never released.
    static DmRoot* emptyRoot();
};

} // namespace ZEM_0_81
