#include "DmTestTree.h"

#include <gtest/gtest.h>

namespace DmTest {

DmAnimationChannel* makeChannel(std::initializer_list<float> values) {
    auto* channel = DmAnimationChannel::create(DmAnimationChannel::kInterpTypeDefault,
                                               DmAnimationChannel::kExtrapolationConstant,
                                               DmKeyFrame::getCurrentVersion(), 0.0);
    double time = 0.0;
    for (const float value : values) {
        channel->addKeyFrame(DmKeyFrame::create2(time, value, DmKeyFrame::kInterpDefault,
                                                 DmKeyFrame::kOrderDefault, 0.0, 0.5, -1.25, 1e-9,
                                                 1));
        time += 12.0;
    }
    return channel;
}

namespace {

DmSourceNode* makeSource() {
    CoSharedPtr<DmSourceInfo> info = DmSourceInfo::create();
    info->addSequence("/show/sq/a.mov");
    info->addSequence("/show/sq/b.mov");
    info->setSourceType(DmSourceInfo::kSourceTypeMovie);
    info->setFileType(DmSourceInfo::kFileTypeMovie);
    info->setPath("/show/sq");
    info->setOriginalSourceUID(R"({"entity":{"id":7,"type":"Version"}})");

    CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
    res->setCenterX(0.5);
    res->setCenterY(-0.25);
    res->setSizeX(1920.0);
    res->setSizeY(1080.0);
    res->setWidth(1920);
    res->setHeight(1080);
    res->setDepth(16, 4, true, false);
    res->setFrameRatio(1.7777778f);

    CoSharedPtr<DmAudioProperties> audio = DmAudioProperties::create();
    audio->setNbChannels(2);
    audio->setSamplingRate(48000.0);

    CoSharedPtr<DmSourceNode::MediaInput> primary =
        DmSourceNode::MediaInput::create(10.0, 100.0, info.get(), "23.976", eDmMediaVideo, true);
    primary->setPrimaryRes(res.get());
    primary->setAudioProperties(audio.get());
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_FRAME_RATE", "23.976"));
    primary->addExtraData(DmSourceNode::DictionaryEntry::create("ZEM_VIDEO_CODEC", "h264"));
    const DmString note("quote \" back\\slash \xC3\xA9t\xC3\xA9 tab\t");
    primary->setPropertyValue(40, eDmPropString, &note);

    // A second input with nothing optional set, and a resolution with only a
    // centre: unset values must stay unset through copies and JSON.
    auto* second = DmSourceNode::MediaInput::create(0.0, 50.0, nullptr, "25",
                                                    static_cast<eDmTreeMediaType>(7), false);
    auto* partial = DmFrameResolution::create();
    partial->setCenterX(3.0);
    second->setPrimaryRes(partial);

    auto* source = DmSourceNode::create(primary.get(), 0.0, 48.0, 12.0, true, false);
    source->addMultiInput(second);
    source->setSegmentId("clip-uid-1");
    source->setName("shot 010");
    source->setRecLength(47.0);
    return source;
}

DmCompSettings* makeComp() {
    auto* comp = DmCompSettings::create();
    comp->setAttribut(DmCompSettings::kBlendMode, DmSimpleChannel::create("multiply"));
    comp->setChannel(DmCompSettings::kTransparency, makeChannel({0.25f, 0.75f}));
    comp->setChannel(static_cast<DmCompSettings::ChannelId>(12), makeChannel({}));
    return comp;
}

DmAngularMaskSettings* makeMask() {
    auto* mask = DmAngularMaskSettings::create();
    const double x = 0.1;
    const double y = -0.2;
    const float angle = 33.3f;
    mask->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &x);
    mask->setPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &y);
    mask->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle);
    mask->setMuted(true);
    return mask;
}

DmLookSettings* makeLook() {
    auto* look = DmLookSettings::create();
    look->slope[1] = 1.1;
    look->offset[2] = -0.05;
    look->power[0] = 0.9;
    look->saturation = 0.8;
    return look;
}

DmAnnotationSettings* makeAnnotation() {
    auto* paint = DmPaintLayer::create();
    paint->setFrameRange(-3, 5);
    paint->setHold(true);
    paint->setGhostBefore(1);
    auto* coloured = DmStroke::create();
    coloured->setColor(1.0f, 0.5f, 0.25f, 0.1f);
    coloured->setType("paint");
    coloured->setBrush("circle");
    coloured->addPoint(10.0, 20.0, 2.5);
    coloured->addPoint(-1.0, 1e6, 0.0);
    paint->addStroke(coloured);
    paint->addStroke(DmStroke::create()); // no colour, no points

    auto* paragraph = DmTextParagraph::create();
    paragraph->setTextStr("Hello\nworld");
    paragraph->fontName = "Sans";
    paragraph->setWidth(0.3f);
    paragraph->setChannel(DmTextParagraph::kFontSize, makeChannel({24.0f}));
    paragraph->setChannel(DmTextParagraph::kColorAlpha, makeChannel({1.0f}));
    paragraph->setAttribut(DmTextParagraph::kJustification, DmSimpleChannel::create("center"));
    auto* text = DmTextLayer::create();
    text->setFrameRange(4, 1);
    text->setGhost(true);
    text->setGhostAfter(0);
    text->setMuted(true);
    text->setChannel(DmTextLayer::kPositionX, makeChannel({0.5f}));
    text->setChannel(DmTextLayer::kPositionY, makeChannel({-0.5f}));
    text->addParagraph(paragraph);
    text->addParagraph(DmTextParagraph::create());

    auto* annotation = DmAnnotationSettings::create();
    annotation->addLayer(paint);
    annotation->addLayer(text);
    return annotation;
}

} // namespace

CoSharedPtr<DmRoot> makeFullTree() {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    auto* reel = DmReelNode::create();
    root->addReel(reel);
    auto* compRes = DmFrameResolution::create(); // every value unset
    auto* composition = DmCompositionNode::create("Edit 1", "24", compRes);
    composition->setStartTC(86400.0, "24");
    composition->setCompLength(120.0);
    reel->addComposition(composition);
    auto* track = DmTrackNode::create(0, eDmMediaUnset);
    track->setMediaType(eDmMediaVideo);
    composition->addChild(track);

    auto* layer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    layer->setName("V1");
    layer->setLayerStartTC(0.0);
    layer->setLayerLength(120.0);
    track->addChild(layer);

    DmSourceNode* source = makeSource();
    source->addEffect(makeComp());
    source->addEffect(makeMask());
    source->addEffect(makeLook());
    source->addEffect(makeAnnotation());
    layer->addChild(source);
    layer->addChild(DmCutNode::create(eDmMediaVideo));
    auto* gap = DmGapNode::create(48.0, 24.0, eDmMediaVideo, DmString((const wchar_t*)nullptr));
    gap->addEffect(makeAnnotation());
    layer->addChild(gap);
    auto* container = DmContainerNode::create();
    container->addChild(DmGapNode::create(72.0, 48.0, eDmMediaAudio, L"filler \u00e9"));
    layer->addChild(container);

    auto* second = DmLayerNode::create(1, eDmMediaAudio, -4, false);
    second->addChild(DmSourceNode::create(nullptr, 0.0, 10.0, 0.0, false, true));
    track->addChild(second);

    const bool yes = true;
    const std::int32_t answer = -42;
    root->setPropertyValue(1, eDmPropBool, &yes);
    track->setPropertyValue(2, eDmPropInt32, &answer);
    return root;
}

namespace {

void collectChannel(const DmAnimationChannel* channel, std::vector<const DmPropertySet*>& out) {
    out.push_back(channel);
    for (std::uint32_t i = 0; i < channel->getNbKeyFrames(); ++i)
        out.push_back(channel->getKeyFrame(i).get());
}

void collectEffect(const DmEffectSettings* fx, std::vector<const DmPropertySet*>& out) {
    out.push_back(fx);
    if (const auto* comp = dynamic_cast<const DmCompSettings*>(fx)) {
        for (const auto id : comp->getAttributIds())
            out.push_back(comp->getAttribut(id).get());
        for (const auto id : comp->getChannelIds())
            collectChannel(comp->getChannel(id).get(), out);
    } else if (const auto* note = dynamic_cast<const DmAnnotationSettings*>(fx)) {
        for (std::uint32_t i = 0; i < note->getNbLayers(); ++i)
            collectEffect(note->getLayer(i), out);
    } else if (const auto* paint = dynamic_cast<const DmPaintLayer*>(fx)) {
        for (std::uint32_t i = 0; i < paint->getNbStrokes(); ++i)
            out.push_back(paint->getStroke(i));
    } else if (const auto* text = dynamic_cast<const DmTextLayer*>(fx)) {
        for (const auto id : text->getChannelIds())
            collectChannel(text->getChannel(id).get(), out);
        for (std::uint32_t i = 0; i < text->getNbParagraphs(); ++i) {
            const DmTextParagraph* paragraph = text->getParagraph(i);
            out.push_back(paragraph);
            for (const auto id : paragraph->getChannelIds())
                collectChannel(paragraph->getChannel(id).get(), out);
            for (const auto id : paragraph->getAttributIds())
                out.push_back(paragraph->getAttribut(id).get());
        }
    }
}

void collectInput(const DmSourceNode::Input* input, std::vector<const DmPropertySet*>& out) {
    out.push_back(input);
    if (input->getSrcInfo())
        out.push_back(input->getSrcInfo());
    if (input->getPrimaryRes())
        out.push_back(input->getPrimaryRes());
    if (input->getAudioProperties())
        out.push_back(input->getAudioProperties().get());
    if (const auto* media = dynamic_cast<const DmSourceNode::MediaInput*>(input)) {
        for (std::uint32_t i = 0; i < media->getNbExtraData(); ++i)
            out.push_back(media->getExtraData(i));
    }
}

void collect(const DmTreeNode* node, std::vector<const DmPropertySet*>& out) {
    out.push_back(node);
    if (const auto* comp = dynamic_cast<const DmCompositionNode*>(node)) {
        if (comp->getResolution())
            out.push_back(comp->getResolution());
    }
    if (const auto* segment = dynamic_cast<const DmSegmentNode*>(node)) {
        for (std::uint32_t i = 0; i < segment->getNbEffects(); ++i)
            collectEffect(segment->getEffect(i), out);
    }
    if (const auto* source = dynamic_cast<const DmSourceNode*>(node)) {
        for (std::uint32_t i = 0; i < source->getNbMultiInputs(); ++i)
            collectInput(source->getMultiInput(i), out);
    }
    for (std::uint32_t i = 0; i < node->getNbChildren(); ++i)
        collect(node->getChild(i), out);
}

} // namespace

std::vector<const DmPropertySet*> collectObjects(const DmTreeNode* node) {
    std::vector<const DmPropertySet*> out;
    collect(node, out);
    return out;
}

std::string jsonOf(const DmTreeNode* node) {
    DmString text;
    const DmStatus status = DmTreeJsonBuilder::generateStr(node, text);
    EXPECT_TRUE(status.ok()) << DmStr2CStr(status.getMessage()).c_str();
    return text.str();
}

} // namespace DmTest
