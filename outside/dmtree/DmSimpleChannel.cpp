#include "outside/dmtree/DmSimpleChannel.h"

DmSimpleChannel* DmSimpleChannel::create(const DmString& text) {
    return new DmSimpleChannel(text);
}

CoSharedPtr<DmPropertySet> DmSimpleChannel::clone() const {
    return new DmSimpleChannel(*this);
}
