#pragma once

#include "composition/CompositionApi.h"

#include <cstddef>

namespace ZEM_0_81 {

/// Gives back to the system the memory the library keeps between calls for
/// speed, and returns how many bytes that was (0 when it kept none).
///
/// An export of a long text (64 KB and more, on Linux) writes it into pages of
/// its own. When the host lets the text go (the last String holding it is
/// destroyed), its pages are kept, up to 64 MB in all, so that the next export
/// writes into pages already present instead of faulting fresh ones in, which
/// costs about as much as the writing. A host that is done exporting, or short
/// of memory, calls this to let them go now; the next long export maps fresh
/// pages. Texts still held are not touched. Safe to call from any thread, at any
/// time.
ZEM_API std::size_t releaseSpareMemory();

} // namespace ZEM_0_81
