#include "json/ConstantChannel.h"

#include "outside/dmtree/DmKeyFrame.h"
#include "outside/dmtree/DmSimpleChannel.h"
#include "json/HandOver.h"

#include <utility>

namespace ZEM_0_81::Json {

DmAnimationChannel* createChannel() {
    return DmAnimationChannel::create(DmAnimationChannel::kInterpTypeDefault,
                                      DmAnimationChannel::kExtrapolationConstant,
                                      DmKeyFrame::getCurrentVersion(), 0.0);
}

void addConstantKey(DmAnimationChannel& channel, float value) {
    handOver(DmKeyFrame::create2(0.0, value, DmKeyFrame::kInterpDefault, DmKeyFrame::kOrderDefault,
                                 0.0, 0.0, 0.0, 0.0, 1u),
             [&](DmKeyFrame* key) { channel.addKeyFrame(key); });
}

CoSharedPtr<DmAnimationChannel> makeConstantChannel(float value) {
    const CoSharedPtr<DmAnimationChannel> channel(createChannel());
    addConstantKey(*channel, value);
    return channel;
}

void setTextAttribute(DmTextParagraph& paragraph, DmTextParagraph::AttributId id, DmString text) {
    handOver(DmSimpleChannel::create(std::move(text)),
             [&](DmSimpleChannel* attribute) { paragraph.setAttribut(id, attribute); });
}

} // namespace ZEM_0_81::Json
