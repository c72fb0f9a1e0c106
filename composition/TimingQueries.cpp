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

/// Sets the rate of `time` from the composition's start-timecode frame-rate text
/// and returns the result of reading that text; on failure the rate is untouched.
Status applyStartRate(const DmCompositionNode& composition, Time& time) {
    Rational rate;
    const Status status =
        FPSUtils::getFPSFromString(String(DmStr2CStr(composition.getStartTcFcm()).c_str()), rate);
    if (status)
        time.setRate(rate);
    return status;
}

} // namespace

Status Composition::getDuration(Time& time) const {
    Status status;
    const DmRoot* root = m_impl->ensureTree(status);
    if (!status)
        return status;
    const DmCompositionNode* composition = compositionNodeOf(root);
    if (!composition)
        return Status(Status::NoData);

    // The length in frames, truncated to an unsigned 32-bit count and widened
    // without sign.
    const std::uint32_t frames = Json::truncateToUint32(composition->getCompLength());
    time.setNbTicks(static_cast<std::int64_t>(frames));
    return applyStartRate(*composition, time);
}

Status Composition::getStartTime(Time& time) const {
    Status status;
    const DmRoot* root = m_impl->ensureTree(status);
    if (!status)
        return status;
    const DmCompositionNode* composition = compositionNodeOf(root);
    if (!composition)
        return Status(Status::NoData);

    time.setNbTicks(Json::truncateToInt64(composition->getStartTC()));
    return applyStartRate(*composition, time);
}

} // namespace ZEM_0_81
