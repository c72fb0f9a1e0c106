#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "outside/core/List.h"
#include "outside/core/SharedPtr.h"

namespace ZEM_0_81 {

/// A list of compositions that hosts can pass across the library boundary. The
/// list holds one reference to every composition it contains. The instance is
/// compiled and exported by this library; hosts use it without seeing its
/// definitions.
using CompositionList = List<SharedPtr<Composition>>;

#if !defined(ZEM_COMPOSITION_LIST_INSTANTIATION)
extern template class ZEM_API List<SharedPtr<Composition>>;
#endif

} // namespace ZEM_0_81
