#include "composition/SpareMemory.h"

#include "rapidotio/TextOutput.h"

namespace ZEM_0_81 {

std::size_t releaseSpareMemory() {
    return rapidotio::TextOutput::releaseSparePages();
}

} // namespace ZEM_0_81
