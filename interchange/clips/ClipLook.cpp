#include "interchange/clips/ClipLook.h"

#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmSegmentNode.h"

#include <algorithm>
#include <iterator>

namespace ZEM_0_81::Interchange::Clips {

DmLookSettings* lookOf(const DmSegmentNode& segment) {
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i)
        if (auto* look = dynamic_cast<DmLookSettings*>(segment.getEffect(i)))
            return look;
    return nullptr;
}

AscCdl::Look valuesOf(const DmLookSettings& look) {
    AscCdl::Look values;
    std::copy(std::begin(look.slope), std::end(look.slope), values.slope.begin());
    std::copy(std::begin(look.offset), std::end(look.offset), values.offset.begin());
    std::copy(std::begin(look.power), std::end(look.power), values.power.begin());
    values.saturation = look.saturation;
    return values;
}

} // namespace ZEM_0_81::Interchange::Clips
