// The exported instance of the core library's list for compositions.
#define ZEM_COMPOSITION_LIST_INSTANTIATION
#include "composition/CompositionList.h"

#include "outside/core/ListImpl.h"

namespace ZEM_0_81 {

template class ZEM_API List<SharedPtr<Composition>>;

} // namespace ZEM_0_81
