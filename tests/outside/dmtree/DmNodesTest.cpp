// Tree nodes, sources and their inputs: defaults, what getters give back, deep copies.

#include "DmTestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

std::string nameOf(const DmTreeNode* node) {
    return DmStr2CStr(node->getName()).c_str();
}

TEST(DmTreeNode, ChildrenAreKeptInOrderAndCounted) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    EXPECT_EQ(root->getNbChildren(), 0u);
    EXPECT_EQ(root->getChild(0), nullptr);
    EXPECT_EQ(nameOf(root.get()), "");

    auto* first = DmReelNode::create();
    auto* second = DmReelNode::create();
    EXPECT_EQ(root->addReel(first), 0);
    EXPECT_EQ(root->addChild(second), 0);
    EXPECT_EQ(first->refcount(), 1); // the parent keeps the child
    ASSERT_EQ(root->getNbChildren(), 2u);
    EXPECT_EQ(root->getChild(0), first);
    EXPECT_EQ(root->getChild(1), second);
    EXPECT_EQ(root->getChild(2), nullptr);

    EXPECT_NE(root->addChild(nullptr), 0);
    EXPECT_NE(root->addChild(root.get()), 0);
    EXPECT_EQ(root->getNbChildren(), 2u);

    first->setName("reel A");
    EXPECT_EQ(nameOf(first), "reel A");
}

TEST(DmTreeNode, CompositionTrackAndLayerStartAsCreated) {
    CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
    CoSharedPtr<DmCompositionNode> comp = DmCompositionNode::create("Cut", "29.97", res.get());
    EXPECT_EQ(nameOf(comp.get()), "Cut");
    EXPECT_EQ(comp->getStartTC(), 0.0);
    EXPECT_EQ(comp->getCompLength(), 0.0);
    EXPECT_EQ(comp->getFcm(), DmString("29.97"));
    EXPECT_EQ(comp->getStartTcFcm(), DmString("29.97"));
    EXPECT_EQ(comp->getResolution(), res.get());
    comp->setStartTC(3600.0, "30");
    comp->setCompLength(99.0);
    EXPECT_EQ(comp->getStartTC(), 3600.0);
    EXPECT_EQ(comp->getStartTcFcm(), DmString("30"));
    EXPECT_EQ(comp->getFcm(), DmString("29.97"));
    EXPECT_EQ(comp->getCompLength(), 99.0);

    CoSharedPtr<DmTrackNode> track = DmTrackNode::create(3, eDmMediaUnset);
    EXPECT_EQ(track->getIndex(), 3);
    EXPECT_EQ(track->getMediaType(), eDmMediaUnset);
    track->setMediaType(eDmMediaAudio);
    EXPECT_EQ(track->getMediaType(), eDmMediaAudio);

    CoSharedPtr<DmLayerNode> layer = DmLayerNode::create(2, eDmMediaAudio, 5, true);
    EXPECT_EQ(layer->mediaType, eDmMediaAudio);
    EXPECT_EQ(layer->getIndex(), 2);
    EXPECT_EQ(layer->getParameter(), 5);
    EXPECT_TRUE(layer->isFirstLayer());
    EXPECT_EQ(layer->getLayerStartTC(), 0.0);
    EXPECT_EQ(layer->getLayerLength(), 0.0);
    layer->setLayerStartTC(10.0);
    layer->setLayerLength(20.0);
    EXPECT_EQ(layer->getLayerStartTC(), 10.0);
    EXPECT_EQ(layer->getLayerLength(), 20.0);
}

TEST(DmSegmentNode, GapAndCutKeepTheirTimingAndEffects) {
    CoSharedPtr<DmGapNode> gap =
        DmGapNode::create(5.0, 10.0, eDmMediaVideo, DmString((const wchar_t*)nullptr));
    EXPECT_EQ(nameOf(gap.get()), "");
    EXPECT_EQ(gap->getRecIn(), 5.0);
    EXPECT_EQ(gap->getRecLength(), 10.0);
    EXPECT_EQ(gap->getSegmentId(), DmString(""));
    gap->setRecLength(7.0);
    EXPECT_EQ(gap->getRecLength(), 7.0);
    EXPECT_EQ(CoSharedPtr<DmGapNode>(DmGapNode::create(0, 1, eDmMediaVideo, L"g\u00e9"))->getName(),
              DmString("g\xC3\xA9"));

    CoSharedPtr<DmCutNode> cut = DmCutNode::create(eDmMediaAudio);
    EXPECT_EQ(cut->getMediaType(), eDmMediaAudio);
    EXPECT_EQ(cut->getRecIn(), 0.0);
    EXPECT_EQ(cut->getRecLength(), 0.0);

    // Effects keep their order; lookup by name gives the first match.
    auto* firstLook = DmLookSettings::create();
    auto* secondLook = DmLookSettings::create();
    gap->addEffect(firstLook);
    gap->addEffect(nullptr);
    gap->addEffect(DmAnnotationSettings::create());
    gap->addEffect(secondLook);
    ASSERT_EQ(gap->getNbEffects(), 3u);
    EXPECT_EQ(gap->getEffect(0), firstLook);
    EXPECT_EQ(gap->getEffect(3), nullptr);
    EXPECT_EQ(gap->getEffectByName("DmLookSettings"), firstLook);
    EXPECT_EQ(gap->getEffectByName("DmAnnotationSettings"), gap->getEffect(1));
    EXPECT_EQ(gap->getEffectByName("DmCompSettings"), nullptr);
    EXPECT_EQ(gap->getEffectByName(nullptr), nullptr);
}

TEST(DmSourceNode, TimingAndSourceInfoComeFromThePrimaryInput) {
    CoSharedPtr<DmSourceNode> empty = DmSourceNode::create(nullptr, 1.0, 2.0, 3.0, true, false);
    EXPECT_EQ(empty->getInput(), nullptr);
    EXPECT_EQ(empty->getNbMultiInputs(), 0u);
    EXPECT_EQ(empty->getSrcInfo(), nullptr);
    EXPECT_EQ(empty->getSrcIn(), 0.0);
    EXPECT_EQ(empty->getSrcLength(), 0.0);
    EXPECT_EQ(empty->getRelIn(), 3.0);
    EXPECT_TRUE(empty->getFlag1());
    EXPECT_FALSE(empty->getFlag2());

    auto* info = DmSourceInfo::create();
    auto* primary = DmSourceNode::MediaInput::create(100.0, 250.0, info, "25", eDmMediaVideo, true);
    auto* extra = DmSourceNode::MediaInput::create(7.0, 8.0, nullptr, "24", eDmMediaAudio, false);
    CoSharedPtr<DmSourceNode> source = DmSourceNode::create(primary, 0.0, 48.0, 12.0, true, false);
    source->addMultiInput(extra);
    source->addMultiInput(nullptr);
    EXPECT_EQ(source->getInput(), primary);
    ASSERT_EQ(source->getNbMultiInputs(), 2u); // the primary one counts
    EXPECT_EQ(source->getMultiInput(0), primary);
    EXPECT_EQ(source->getMultiInput(1), extra);
    EXPECT_EQ(source->getMultiInput(2), nullptr);
    EXPECT_EQ(source->getSrcInfo(), info);
    EXPECT_EQ(source->getSrcIn(), 100.0);
    EXPECT_EQ(source->getSrcLength(), 250.0);
    EXPECT_EQ(source->getRelIn(), 12.0);
    EXPECT_EQ(source->getRecIn(), 0.0);
    EXPECT_EQ(source->getRecLength(), 48.0);

    EXPECT_EQ(primary->getFcm(), DmString("25"));
    EXPECT_EQ(primary->getSrcInfo(), info);
    EXPECT_EQ(primary->getPrimaryRes(), nullptr);
    EXPECT_FALSE(primary->getAudioProperties());
    EXPECT_EQ(extra->getSrcInfo(), nullptr);

    // A source made without input takes its first added input as the primary one.
    empty->addMultiInput(
        DmSourceNode::MediaInput::create(4.0, 5.0, nullptr, "", eDmMediaVideo, true));
    EXPECT_EQ(empty->getInput(), empty->getMultiInput(0));
    EXPECT_EQ(empty->getSrcIn(), 4.0);
}

TEST(DmSourceNode, MediaInputKeepsExtraDataInOrder) {
    CoSharedPtr<DmSourceNode::MediaInput> input =
        DmSourceNode::MediaInput::create(0.0, 1.0, nullptr, "24", eDmMediaVideo, true);
    input->addExtraData(DmSourceNode::DictionaryEntry::create("A", "1"));
    input->addExtraData(nullptr);
    input->addExtraData(DmSourceNode::DictionaryEntry::create("B", "2"));
    ASSERT_EQ(input->getNbExtraData(), 2u);
    EXPECT_EQ(input->getExtraData(0)->getKey(), DmString("A"));
    EXPECT_EQ(input->getExtraData(1)->getValue(), DmString("2"));
    EXPECT_EQ(input->getExtraData(2), nullptr);
    input->clearExtraData();
    EXPECT_EQ(input->getNbExtraData(), 0u);

    CoSharedPtr<DmAudioProperties> audio = DmAudioProperties::create();
    EXPECT_EQ(audio->getNbChannels(), 0);
    EXPECT_EQ(audio->getSamplingRate(), 0.0);
    input->setAudioProperties(audio.get());
    EXPECT_EQ(input->getAudioProperties(), audio);
}

TEST(DmSourceNode, MediaInputKeepsManyEntriesInOrderAndTakesNewOnesAfterAClear) {
    CoSharedPtr<DmSourceNode::MediaInput> input =
        DmSourceNode::MediaInput::create(0.0, 1.0, nullptr, "24", eDmMediaVideo, true);
    for (int round = 0; round < 2; ++round) {
        const std::uint32_t count = round == 0 ? 40 : 3;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::string text = std::to_string(round) + "-" + std::to_string(i);
            input->addExtraData(DmSourceNode::DictionaryEntry::create(
                DmString(("key " + text).c_str()), DmString(("value " + text).c_str())));
        }
        ASSERT_EQ(input->getNbExtraData(), count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::string text = std::to_string(round) + "-" + std::to_string(i);
            EXPECT_EQ(input->getExtraData(i)->getKey(), DmString(("key " + text).c_str()));
            EXPECT_EQ(input->getExtraData(i)->getValue(), DmString(("value " + text).c_str()));
        }
        input->clearExtraData();
    }
}

TEST(DmTreeNode, TextSettersLeaveTheCallersTextAsItWas) {
    // Long enough to live outside the text object itself.
    const DmString name("a name long enough to be held on the heap, not inline");
    const CoSharedPtr<DmGapNode> gap = DmGapNode::create(0.0, 1.0, eDmMediaVideo, name);
    EXPECT_EQ(gap->getName(), name);
    gap->setName(name);
    gap->setSegmentId(name);
    EXPECT_EQ(gap->getName(), name);
    EXPECT_EQ(gap->getSegmentId(), name);
    EXPECT_EQ(DmStr2CStr(name).c_str(),
              std::string("a name long enough to be held on the heap, not inline"));

    const CoSharedPtr<DmSourceInfo> info = DmSourceInfo::create();
    info->addSequence(name);
    info->setPath(name);
    info->setOriginalSourceUID(name);
    EXPECT_EQ(info->getSequence(0), name);
    EXPECT_EQ(info->getPath(), name);
    EXPECT_EQ(info->getOriginalSourceUID(), name);
    const CoSharedPtr<DmSimpleChannel> channel = DmSimpleChannel::create(name);
    EXPECT_EQ(channel->getValue(), name);
    EXPECT_FALSE(name.empty());
}

TEST(DmSourceInfo, StartsEmptyAndKeepsSequencesInOrder) {
    CoSharedPtr<DmSourceInfo> info = DmSourceInfo::create();
    EXPECT_EQ(info->getSourceType(), DmSourceInfo::kSourceTypeNone);
    EXPECT_EQ(info->getFileType(), DmSourceInfo::kFileTypeNone);
    EXPECT_EQ(info->getPath(), DmString(""));
    EXPECT_EQ(info->getOriginalSourceUID(), DmString(""));
    EXPECT_EQ(info->getSequence(0), DmString(""));
    info->addSequence("/a");
    info->addSequence("/b");
    EXPECT_EQ(info->getSequence(0), DmString("/a"));
    EXPECT_EQ(info->getSequence(1), DmString("/b"));
    EXPECT_EQ(info->getSequence(2), DmString(""));
    info->setSourceType(static_cast<DmSourceInfo::SourceType>(77));
    EXPECT_EQ(static_cast<int>(info->getSourceType()), 77);
}

TEST(DmFrameResolution, UnsetValuesFailAndLeaveTheOutputs) {
    CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
    double d = -9.0;
    std::int32_t i = -9;
    float f = -9.0f;
    std::int32_t bits = -9;
    std::int32_t channels = -9;
    bool isFloat = true;
    bool flag = true;
    EXPECT_NE(res->getCenterX(d), eDmSuccess);
    EXPECT_NE(res->getCenterY(d), eDmSuccess);
    EXPECT_NE(res->getSizeX(d), eDmSuccess);
    EXPECT_NE(res->getSizeY(d), eDmSuccess);
    EXPECT_NE(res->getWidth(i), eDmSuccess);
    EXPECT_NE(res->getHeight(i), eDmSuccess);
    EXPECT_NE(res->getFrameRatio(f), eDmSuccess);
    EXPECT_NE(res->getDepth(bits, channels, isFloat, flag), eDmSuccess);
    EXPECT_EQ(d, -9.0);
    EXPECT_EQ(i, -9);
    EXPECT_EQ(f, -9.0f);
    EXPECT_EQ(bits, -9);
    EXPECT_TRUE(isFloat && flag);

    res->setSizeY(540.0);
    res->setHeight(1080);
    res->setDepth(10, 3, false, true);
    res->setFrameRatio(2.39f);
    EXPECT_EQ(res->getSizeY(d), eDmSuccess);
    EXPECT_EQ(d, 540.0);
    EXPECT_EQ(res->getHeight(i), eDmSuccess);
    EXPECT_EQ(i, 1080);
    EXPECT_EQ(res->getDepth(bits, channels, isFloat, flag), eDmSuccess);
    EXPECT_EQ(bits, 10);
    EXPECT_EQ(channels, 3);
    EXPECT_FALSE(isFloat);
    EXPECT_TRUE(flag);
    EXPECT_EQ(res->getFrameRatio(f), eDmSuccess);
    EXPECT_EQ(f, 2.39f);
    EXPECT_NE(res->getSizeX(d), eDmSuccess); // the others stay unset

    const CoSharedPtr<DmPropertySet> copy = res->clone();
    auto* copied = dynamic_cast<DmFrameResolution*>(copy.get());
    ASSERT_NE(copied, nullptr);
    d = -1.0;
    EXPECT_NE(copied->getCenterX(d), eDmSuccess);
    EXPECT_EQ(copied->getSizeY(d), eDmSuccess);
    EXPECT_EQ(d, 540.0);
}

TEST(DmClone, CopiesEveryObjectOfATreeAndSharesNone) {
    const CoSharedPtr<DmRoot> original = DmTest::makeFullTree();
    const CoSharedPtr<DmPropertySet> copy = original->clone();
    auto* root = dynamic_cast<DmRoot*>(copy.get());
    ASSERT_NE(root, nullptr);

    const auto before = DmTest::collectObjects(original.get());
    const auto after = DmTest::collectObjects(root);
    EXPECT_EQ(before.size(), after.size());
    const std::set<const DmPropertySet*> originals(before.begin(), before.end());
    for (const DmPropertySet* object : after)
        EXPECT_EQ(originals.count(object), 0u) << "the copy shares an object";
    // Every copy is held exactly once, by its new owner.
    EXPECT_TRUE(std::all_of(after.begin() + 1, after.end(),
                            [](const DmPropertySet* o) { return o->refcount() == 1; }));

    // Same content: the copy writes the same JSON; changing it leaves the original.
    const std::string text = DmTest::jsonOf(original.get());
    EXPECT_EQ(DmTest::jsonOf(root), text);
    auto* layer = root->getChild(0)->getChild(0)->getChild(0)->getChild(0);
    auto* source = dynamic_cast<DmSourceNode*>(layer->getChild(0));
    ASSERT_NE(source, nullptr);
    source->getInput()->getPrimaryRes()->setCenterX(123.0);
    source->getInput()->getSrcInfo()->addSequence("/extra");
    dynamic_cast<DmLookSettings*>(source->getEffect(2))->saturation = 0.0;
    layer->addChild(DmCutNode::create(eDmMediaVideo));
    EXPECT_EQ(DmTest::jsonOf(original.get()), text);
    EXPECT_NE(DmTest::jsonOf(root), text);
}

TEST(DmClone, ASharedObjectIsCopiedOncePerHolder) {
    // One resolution given to two inputs: each copy gets its own.
    CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
    auto* a = DmSourceNode::MediaInput::create(0, 1, nullptr, "24", eDmMediaVideo, true);
    auto* b = DmSourceNode::MediaInput::create(0, 1, nullptr, "24", eDmMediaVideo, true);
    a->setPrimaryRes(res.get());
    b->setPrimaryRes(res.get());
    CoSharedPtr<DmSourceNode> source = DmSourceNode::create(a, 0, 1, 0, true, false);
    source->addMultiInput(b);
    const CoSharedPtr<DmPropertySet> copy = source->clone();
    auto* copied = dynamic_cast<DmSourceNode*>(copy.get());
    ASSERT_NE(copied, nullptr);
    DmFrameResolution* first = copied->getMultiInput(0)->getPrimaryRes();
    DmFrameResolution* second = copied->getMultiInput(1)->getPrimaryRes();
    EXPECT_NE(first, res.get());
    EXPECT_NE(second, res.get());
    EXPECT_NE(first, second);
}

} // namespace
