#include "outside/dmtree/DmAudioProperties.h"

DmAudioProperties* DmAudioProperties::create() {
    return new DmAudioProperties();
}

CoSharedPtr<DmPropertySet> DmAudioProperties::clone() const {
    return new DmAudioProperties(*this);
}
