#include "outside/dmtree/DmKeyFrame.h"

namespace {
// Version of the key-frame layout; channels record the version they were made with.
constexpr std::uint32_t kKeyFrameVersion = 3;
} // namespace

std::uint32_t DmKeyFrame::getCurrentVersion() {
    return kKeyFrameVersion;
}

DmKeyFrame* DmKeyFrame::create2(double time, float value, InterpMode mode, InterpOrder order,
                                double a, double b, double c, double d, std::uint32_t count) {
    return new DmKeyFrame(time, value, mode, order, a, b, c, d, count);
}

CoSharedPtr<DmPropertySet> DmKeyFrame::clone() const {
    return new DmKeyFrame(*this);
}
