#include "json/ConstantChannel.h"

#include "outside/dmtree/DmKeyFrame.h"
#include "outside/dmtree/DmSimpleChannel.h"

namespace ZEM_0_81::Json {

CoSharedPtr<DmAnimationChannel> makeConstantChannel(float value) {
    const CoSharedPtr<DmAnimationChannel> channel(DmAnimationChannel::create(
        DmAnimationChannel::kInterpTypeDefault, DmAnimationChannel::kExtrapolationConstant,
        DmKeyFrame::getCurrentVersion(), 0.0));
    const CoSharedPtr<DmKeyFrame> key(DmKeyFrame::create2(
        0.0, value, DmKeyFrame::kInterpDefault, DmKeyFrame::kOrderDefault, 0.0, 0.0, 0.0, 0.0, 1u));
    channel->addKeyFrame(key.get());
    return channel;
}

void setTextAttribute(DmTextParagraph& paragraph, DmTextParagraph::AttributId id,
                      const DmString& text) {
    const CoSharedPtr<DmSimpleChannel> attribute(DmSimpleChannel::create(text));
    paragraph.setAttribut(id, attribute.get());
}

} // namespace ZEM_0_81::Json
