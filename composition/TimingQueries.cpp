// The timing queries of a composition: its length and its start, read from the
// composition node of the edit tree.

#include "composition/Composition.h"

#include "composition/CompositionImpl.h"
#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmString.h"
#include "json/Narrowing.h"

namespace ZEM_0_81 {

namespace {

/// The composition node of a tree: the first child of the root's first child,
/// when those are a reel and a composition node; null otherwise.
DmCompositionNode* compositionNodeOf(const DmRoot* root) {
    if (!root)
        return nullptr;
    const auto* reel = dynamic_cast<const DmReelNode*>(root->getChild(0));
    if (!reel)
        return nullptr;
    return dynamic_cast<DmCompositionNode*>(reel->getChild(0));
}

/// Both timing queries: the tree step, then the composition node, then the tick
/// count that `ticksOf` reads from it, then the rate of the start timecode's
/// frame-rate text. `time` is untouched on a failure before the tick count; a
/// rate that cannot be read leaves the new tick count with the previous rate.
template <class TicksOf>
Status readCompositionTime(Composition::Impl& impl, Time& time, TicksOf ticksOf) {
    Status status;
    const DmRoot* root = impl.ensureTree(status);
    if (!status)
        return status;
    const DmCompositionNode* composition = compositionNodeOf(root);
    if (!composition)
        return Status(Status::NoData);

    time.setNbTicks(ticksOf(*composition));
    Rational rate;
    status =
        FPSUtils::getFPSFromString(String(DmStr2CStr(composition->getStartTcFcm()).c_str()), rate);
    if (status)
        time.setRate(rate);
    return status;
}

} // namespace

Status Composition::getDuration(Time& time) const {
    // The length in frames, truncated to an unsigned 32-bit count and widened
    // without sign.
    return readCompositionTime(*m_impl, time, [](const DmCompositionNode& composition) {
        return static_cast<std::int64_t>(Json::truncateToUint32(composition.getCompLength()));
    });
}

Status Composition::getStartTime(Time& time) const {
    return readCompositionTime(*m_impl, time, [](const DmCompositionNode& composition) {
        return Json::truncateToInt64(composition.getStartTC());
    });
}

} // namespace ZEM_0_81
