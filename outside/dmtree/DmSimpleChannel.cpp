#include "outside/dmtree/DmSimpleChannel.h"

#include <utility>

DmSimpleChannel* DmSimpleChannel::create(DmString text) {
    return new DmSimpleChannel(std::move(text));
}

CoSharedPtr<DmPropertySet> DmSimpleChannel::clone() const {
    return new DmSimpleChannel(*this);
}
