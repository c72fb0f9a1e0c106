// The timing queries of a composition: its length and its start, read from the
// composition node of the edit tree.

#include "composition/Composition.h"

#include "composition/CompositionImpl.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "json/EditTree.h"
#include "json/Narrowing.h"

namespace ZEM_0_81 {

namespace {

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
    const DmCompositionNode* composition = root ? Json::EditTree::firstComposition(*root) : nullptr;
    if (!composition)
        return Status(Status::NoData);

    time.setNbTicks(ticksOf(*composition));
    Rational rate;
    status = Json::EditTree::readRate(composition->getStartTcFcm(), rate);
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
