// Effects, annotation layers, strokes, paragraphs and animation channels.

#include "DmTestTree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(DmEffectSettings, NameAccessorGivesTheClassName) {
    const CoSharedPtr<DmEffectSettings> effects[] = {
        DmCompSettings::create(),       DmAngularMaskSettings::create(), DmLookSettings::create(),
        DmAnnotationSettings::create(), DmPaintLayer::create(),          DmTextLayer::create()};
    const char* names[] = {"DmCompSettings",       "DmAngularMaskSettings", "DmLookSettings",
                           "DmAnnotationSettings", "DmPaintLayer",          "DmTextLayer"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_STREQ(effects[i]->getName(), names[i]);
        EXPECT_FALSE(effects[i]->isMuted());
        effects[i]->setMuted(true);
        EXPECT_TRUE(effects[i]->isMuted());
    }
    EXPECT_STREQ(CoSharedPtr<DmTextParagraph>(DmTextParagraph::create())->getName(),
                 "DmTextParagraph");
}

TEST(DmEffectLayer, StartsWithItsDefaultRangeAndGhosting) {
    CoSharedPtr<DmPaintLayer> layer = DmPaintLayer::create();
    EXPECT_EQ(layer->getStartFrame(), 0);
    EXPECT_EQ(layer->getDuration(), 0u);
    EXPECT_FALSE(layer->isHold());
    EXPECT_FALSE(layer->isGhost());
    EXPECT_EQ(layer->getGhostBefore(), 3u);
    EXPECT_EQ(layer->getGhostAfter(), 3u);
    layer->setFrameRange(-10, 4);
    layer->setHold(true);
    layer->setGhost(true);
    layer->setGhostBefore(0);
    layer->setGhostAfter(9);
    EXPECT_EQ(layer->getStartFrame(), -10);
    EXPECT_EQ(layer->getDuration(), 4u);
    EXPECT_TRUE(layer->isHold());
    EXPECT_TRUE(layer->isGhost());
    EXPECT_EQ(layer->getGhostBefore(), 0u);
    EXPECT_EQ(layer->getGhostAfter(), 9u);
}

TEST(DmAnnotationSettings, HoldsLayersAndStrokesInOrder) {
    CoSharedPtr<DmAnnotationSettings> note = DmAnnotationSettings::create();
    auto* paint = DmPaintLayer::create();
    auto* text = DmTextLayer::create();
    note->addLayer(paint);
    note->addLayer(nullptr);
    note->addLayer(text);
    ASSERT_EQ(note->getNbLayers(), 2u);
    EXPECT_EQ(note->getLayer(0), paint);
    EXPECT_EQ(note->getLayer(1), text);
    EXPECT_EQ(note->getLayer(2), nullptr);

    auto* stroke = DmStroke::create();
    paint->addStroke(stroke);
    paint->addStroke(nullptr);
    EXPECT_EQ(paint->getNbStrokes(), 1u);
    EXPECT_EQ(paint->getStroke(0), stroke);
    EXPECT_EQ(paint->getStroke(1), nullptr);
}

TEST(DmStroke, ColourAndPointsAreReadBackOnlyWhenPresent) {
    CoSharedPtr<DmStroke> stroke = DmStroke::create();
    float r = -1.0f, g = -1.0f, b = -1.0f, a = -1.0f;
    EXPECT_FALSE(stroke->getColor(r, g, b, a));
    EXPECT_EQ(r, -1.0f);
    EXPECT_EQ(a, -1.0f);
    EXPECT_EQ(stroke->getType(), DmString(""));
    EXPECT_EQ(stroke->getBrush(), DmString(""));

    stroke->setColor(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_TRUE(stroke->getColor(r, g, b, a));
    EXPECT_EQ(r, 0.1f);
    EXPECT_EQ(g, 0.2f);
    EXPECT_EQ(b, 0.3f);
    EXPECT_EQ(a, 0.4f);

    stroke->addPoint(1.0, 2.0, 3.0);
    stroke->addPoint(4.0, 5.0, 6.0);
    ASSERT_EQ(stroke->getNbPoints(), 2u);
    double x = -1.0, y = -1.0, size = -1.0;
    EXPECT_TRUE(stroke->getPointData(1, x, y, size));
    EXPECT_EQ(x, 4.0);
    EXPECT_EQ(y, 5.0);
    EXPECT_EQ(size, 6.0);
    x = -1.0;
    EXPECT_FALSE(stroke->getPointData(2, x, y, size));
    EXPECT_EQ(x, -1.0);
}

TEST(DmStroke, LongStrokesKeepEveryPointInOrderAndAreCopiedWhole) {
    CoSharedPtr<DmStroke> stroke = DmStroke::create();
    const std::uint32_t count = 1000; // well past the room a new stroke makes
    for (std::uint32_t i = 0; i < count; ++i)
        stroke->addPoint(i, -0.5 * i, 1.0 + i);
    const CoSharedPtr<DmStroke> copy = dmCloneOf(stroke.get());
    stroke->addPoint(7.0, 7.0, 7.0);
    ASSERT_EQ(copy->getNbPoints(), count);
    ASSERT_EQ(stroke->getNbPoints(), count + 1);
    for (std::uint32_t i = 0; i < count; ++i) {
        double x = -1.0, y = -1.0, size = -1.0;
        ASSERT_TRUE(copy->getPointData(i, x, y, size)) << i;
        EXPECT_EQ(x, static_cast<double>(i));
        EXPECT_EQ(y, -0.5 * i);
        EXPECT_EQ(size, 1.0 + i);
    }
}

TEST(DmAnimationChannel, NullKeysAreIgnoredAndCopiesHoldEveryKeyOfTheirOwn) {
    CoSharedPtr<DmAnimationChannel> channel = DmTest::makeChannel({});
    channel->addKeyFrame(nullptr);
    EXPECT_EQ(channel->getNbKeyFrames(), 0u);
    EXPECT_FALSE(channel->getKeyFrame(0));
    EXPECT_FALSE(channel->getKeyFrame(1));

    const CoSharedPtr<DmAnimationChannel> single = DmTest::makeChannel({4.0f});
    ASSERT_EQ(single->getNbKeyFrames(), 1u);
    EXPECT_EQ(single->getKeyFrame(0)->getValue(), 4.0f);
    EXPECT_FALSE(single->getKeyFrame(1));

    const CoSharedPtr<DmAnimationChannel> several = DmTest::makeChannel({1.0f, 2.0f, 3.0f});
    several->addKeyFrame(nullptr);
    const CoSharedPtr<DmAnimationChannel> copy = dmCloneOf(several.get());
    ASSERT_EQ(copy->getNbKeyFrames(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->getKeyFrame(i)->getValue(), 1.0f + i);
        EXPECT_EQ(copy->getKeyFrame(i)->getTime(), several->getKeyFrame(i)->getTime());
        EXPECT_NE(copy->getKeyFrame(i), several->getKeyFrame(i)) << "a copy shares no key";
    }
    EXPECT_FALSE(copy->getKeyFrame(3));
}

TEST(DmAnimationChannel, KeysAreKeptInOrderWithTheirValues) {
    CoSharedPtr<DmAnimationChannel> channel = DmTest::makeChannel({0.5f, 2.0f});
    ASSERT_EQ(channel->getNbKeyFrames(), 2u);
    EXPECT_EQ(channel->getKeyFrame(0)->getValue(), 0.5f);
    EXPECT_EQ(channel->getKeyFrame(1)->getValue(), 2.0f);
    EXPECT_FALSE(channel->getKeyFrame(2));
    EXPECT_EQ(channel->getVersion(), DmKeyFrame::getCurrentVersion());

    CoSharedPtr<DmKeyFrame> key = DmKeyFrame::create2(1.5, 0.1f, DmKeyFrame::kInterpDefault,
                                                      DmKeyFrame::kOrderDefault, 1, 2, 3, 4, 9);
    EXPECT_EQ(key->getTime(), 1.5);
    EXPECT_EQ(key->getValue(), 0.1f); // single precision as given
    EXPECT_EQ(key->getInterpMode(), DmKeyFrame::kInterpDefault);
    EXPECT_EQ(key->getParameter(0), 1.0);
    EXPECT_EQ(key->getParameter(3), 4.0);
    EXPECT_EQ(key->getParameter(4), 0.0);
    EXPECT_EQ(key->getCount(), 9u);
}

TEST(DmCompSettings, ChannelsAndAttributesAreAddressedById) {
    CoSharedPtr<DmCompSettings> comp = DmCompSettings::create();
    EXPECT_FALSE(comp->getAttribut(DmCompSettings::kBlendMode));
    EXPECT_FALSE(comp->getChannel(DmCompSettings::kTransparency));

    auto* blend = DmSimpleChannel::create("screen");
    comp->setAttribut(DmCompSettings::kBlendMode, blend);
    comp->setChannel(DmCompSettings::kTransparency, DmTest::makeChannel({0.3f}));
    EXPECT_EQ(comp->getAttribut(DmCompSettings::kBlendMode).get(), blend);
    EXPECT_EQ(comp->getAttribut(DmCompSettings::kBlendMode)->getValue(), DmString("screen"));
    EXPECT_EQ(comp->getChannel(DmCompSettings::kTransparency)->getKeyFrame(0)->getValue(), 0.3f);
    EXPECT_FALSE(comp->getChannel(static_cast<DmCompSettings::ChannelId>(1)));

    // Replacing releases the former channel; null removes the entry.
    comp->setAttribut(DmCompSettings::kBlendMode, DmSimpleChannel::create("add"));
    EXPECT_EQ(comp->getAttribut(DmCompSettings::kBlendMode)->getValue(), DmString("add"));
    comp->setChannel(DmCompSettings::kTransparency, nullptr);
    EXPECT_FALSE(comp->getChannel(DmCompSettings::kTransparency));
    EXPECT_TRUE(comp->getChannelIds().empty());
    ASSERT_EQ(comp->getAttributIds().size(), 1u);
}

TEST(DmTextParagraph, FontSizeIsTheFirstKeyOfChannelZero) {
    CoSharedPtr<DmTextParagraph> paragraph = DmTextParagraph::create();
    EXPECT_EQ(paragraph->getFontSize(), 0.0f);
    EXPECT_EQ(paragraph->getWidth(), 0.0f);
    EXPECT_EQ(paragraph->text, DmString(""));
    EXPECT_EQ(paragraph->fontName, DmString(""));
    paragraph->setChannel(DmTextParagraph::kFontSize, DmTest::makeChannel({}));
    EXPECT_EQ(paragraph->getFontSize(), 0.0f);
    paragraph->setChannel(DmTextParagraph::kFontSize, DmTest::makeChannel({36.5f, 12.0f}));
    EXPECT_EQ(paragraph->getFontSize(), 36.5f);

    paragraph->setTextStr("Title");
    paragraph->setWidth(0.75f);
    EXPECT_EQ(paragraph->text, DmString("Title"));
    EXPECT_EQ(paragraph->getWidth(), 0.75f);
    EXPECT_FALSE(paragraph->getAttribut(DmTextParagraph::kJustification));
    EXPECT_FALSE(paragraph->getChannel(DmTextParagraph::kOrientation));

    CoSharedPtr<DmTextLayer> layer = DmTextLayer::create();
    layer->addParagraph(paragraph.get());
    layer->addParagraph(nullptr);
    EXPECT_EQ(layer->getNbParagraphs(), 1u);
    EXPECT_EQ(layer->getParagraph(0), paragraph.get());
    EXPECT_EQ(layer->getParagraph(1), nullptr);
    EXPECT_FALSE(layer->getChannel(DmTextLayer::kPositionY));
}

TEST(DmTextParagraph, ChannelsSetInAnyOrderAreListedByIdAndCopiedWhole) {
    CoSharedPtr<DmTextParagraph> paragraph = DmTextParagraph::create();
    const DmTextParagraph::ChannelId order[] = {
        DmTextParagraph::kOrientation, DmTextParagraph::kColorRed,  DmTextParagraph::kColorAlpha,
        DmTextParagraph::kFontSize,    DmTextParagraph::kColorBlue, DmTextParagraph::kColorGreen};
    float value = 1.0f;
    for (const auto id : order)
        paragraph->setChannel(id, DmTest::makeChannel({value++}));
    const std::vector<DmTextParagraph::ChannelId> all = {
        DmTextParagraph::kFontSize,  DmTextParagraph::kColorRed,   DmTextParagraph::kColorGreen,
        DmTextParagraph::kColorBlue, DmTextParagraph::kColorAlpha, DmTextParagraph::kOrientation};
    EXPECT_EQ(paragraph->getChannelIds(), all);
    EXPECT_EQ(paragraph->getChannel(DmTextParagraph::kOrientation)->getKeyFrame(0)->getValue(),
              1.0f);
    EXPECT_EQ(paragraph->getChannel(DmTextParagraph::kColorGreen)->getKeyFrame(0)->getValue(),
              6.0f);

    // Replacing keeps the entry's place; null removes it, and removing what is
    // not there changes nothing.
    paragraph->setChannel(DmTextParagraph::kColorBlue, DmTest::makeChannel({9.0f}));
    paragraph->setChannel(DmTextParagraph::kColorRed, nullptr);
    paragraph->setChannel(DmTextParagraph::kColorRed, nullptr);
    const std::vector<DmTextParagraph::ChannelId> left = {
        DmTextParagraph::kFontSize, DmTextParagraph::kColorGreen, DmTextParagraph::kColorBlue,
        DmTextParagraph::kColorAlpha, DmTextParagraph::kOrientation};
    EXPECT_EQ(paragraph->getChannelIds(), left);
    EXPECT_FALSE(paragraph->getChannel(DmTextParagraph::kColorRed));
    EXPECT_EQ(paragraph->getChannel(DmTextParagraph::kColorBlue)->getKeyFrame(0)->getValue(), 9.0f);

    const CoSharedPtr<DmTextParagraph> copy = dmCloneOf(paragraph.get());
    EXPECT_EQ(copy->getChannelIds(), left);
    for (const auto id : left) {
        EXPECT_NE(copy->getChannel(id), paragraph->getChannel(id)) << id;
        EXPECT_EQ(copy->getChannel(id)->getKeyFrame(0)->getValue(),
                  paragraph->getChannel(id)->getKeyFrame(0)->getValue());
    }
}

TEST(DmLookSettings, StartsAsTheIdentityAndIsCopiedWhole) {
    CoSharedPtr<DmLookSettings> look = DmLookSettings::create();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(look->slope[i], 1.0);
        EXPECT_EQ(look->offset[i], 0.0);
        EXPECT_EQ(look->power[i], 1.0);
    }
    EXPECT_EQ(look->saturation, 1.0);
    look->power[2] = 1.4;
    const CoSharedPtr<DmPropertySet> copy = look->clone();
    look->power[2] = 0.0;
    EXPECT_EQ(dynamic_cast<DmLookSettings*>(copy.get())->power[2], 1.4);
}

} // namespace
