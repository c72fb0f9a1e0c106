#include "outside/core/RefCounted.h"

namespace ZEM_0_81 {

// Defined here so that the virtual tables and type information of the two bases
// live in this library alone, not in every library that derives from them.
RefCountedMT::~RefCountedMT() = default;
RefCountedST::~RefCountedST() = default;

} // namespace ZEM_0_81
