#include "composition/Composition.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmTrackNode.h"

#include <gtest/gtest.h>

#include <string>

using namespace ZEM_0_81;
using JsonType = Composition::JsonType;

namespace {

struct CountingObserver : Observer {
    void onNotify(const Subject&, const NotificationHint&) override { ++count; }
    int count = 0;
};

SharedPtr<Composition> makeEmpty(const char* name = "Cut 1", Rational rate = Rational(24, 1)) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, String("id-1"), name, rate));
    return composition;
}

const DmCompositionNode* compositionNodeOf(const DmRoot& root) {
    const DmTreeNode* reel = root.getChild(0);
    return reel ? dynamic_cast<const DmCompositionNode*>(reel->getChild(0)) : nullptr;
}

std::string jsonOf(const Composition& composition, JsonType type) {
    String text;
    EXPECT_TRUE(composition.getJson(type, text));
    return text.c_str();
}

} // namespace

TEST(CompositionCreate, EmptyCompositionHasOneReelWithOneNamedCompositionNode) {
    SharedPtr<Composition> composition = makeEmpty("Cut 1", Rational(30000, 1001));
    EXPECT_STREQ(composition->getId().c_str(), "id-1");
    Status status;
    const DmRoot& root = composition->getTree(status);
    EXPECT_TRUE(status);
    ASSERT_EQ(root.getNbChildren(), 1u);
    ASSERT_EQ(root.getChild(0)->getNbChildren(), 1u);
    const DmCompositionNode* node = compositionNodeOf(root);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(DmStr2CStr(node->getName()).c_str(), "Cut 1");
    EXPECT_STREQ(DmStr2CStr(node->getFcm()).c_str(), "29.97");
    EXPECT_STREQ(DmStr2CStr(node->getStartTcFcm()).c_str(), "29.97");
    EXPECT_EQ(node->getNbChildren(), 0u);
}

TEST(CompositionCreate, RateWithoutFrameRateTextFailsAndLeavesTheOutput) {
    SharedPtr<Composition> kept = makeEmpty();
    SharedPtr<Composition> out = kept;
    const Status status = Composition::create(out, String("x"), "name", Rational(0, 1));
    EXPECT_FALSE(status);
    EXPECT_EQ(out.get(), kept.get());
    EXPECT_EQ(kept->refcount(), 2);
}

TEST(CompositionCreate, ReplacingTheOutputReleasesItsFormerComposition) {
    SharedPtr<Composition> out = makeEmpty();
    SharedPtr<Composition> watcher = out;
    EXPECT_EQ(watcher->refcount(), 2);
    EXPECT_TRUE(Composition::create(out, String("y"), "other", Rational(25, 1)));
    EXPECT_EQ(watcher->refcount(), 1);
    EXPECT_NE(out.get(), watcher.get());
}

TEST(CompositionTree, TreesHandedInAreCopied) {
    DmRoot* original = DmRoot::create();
    CoSharedPtr<DmRoot> hold(original);
    original->addReel(DmReelNode::create());
    SharedPtr<Composition> composition = Composition::create(String("t"), *original);

    original->addReel(DmReelNode::create()); // changing the caller's tree later...
    Status status;
    const DmRoot& held = composition->getTree(status);
    EXPECT_TRUE(status);
    EXPECT_NE(&held, original);
    EXPECT_EQ(held.getNbChildren(), 1u); // ...does not reach the composition

    composition->setTree(*original);
    EXPECT_EQ(composition->getTree(status).getNbChildren(), 2u);
    EXPECT_NE(&composition->getTree(status), original);
}

TEST(CompositionTree, WithoutContentTheSharedEmptyRootAnswersWith512) {
    SharedPtr<Composition> a = makeEmpty();
    SharedPtr<Composition> b = makeEmpty();
    a->setJson(JsonType::Otio, String(""));
    b->setJson(static_cast<JsonType>(7), String("{}"));
    Status statusA, statusB;
    const DmRoot& rootA = a->getTree(statusA);
    const DmRoot& rootB = b->getTree(statusB);
    EXPECT_EQ(statusA.getCode(), 512);
    EXPECT_EQ(statusB.getCode(), 512);
    EXPECT_EQ(&rootA, &rootB);
    EXPECT_EQ(rootA.getNbChildren(), 0u);

    String out("untouched");
    EXPECT_EQ(a->getJson(JsonType::DmTree, out).getCode(), 512);
    EXPECT_EQ(a->getJson(JsonType::Otio, out).getCode(), 512);
    EXPECT_STREQ(out.c_str(), "untouched");
}

TEST(CompositionJson, GivenTextComesBackVerbatimWithoutBeingParsed) {
    SharedPtr<Composition> composition = makeEmpty();
    const char* notJson = "{ this is not json";
    composition->setJson(JsonType::Otio, String(notJson));
    EXPECT_EQ(jsonOf(*composition, JsonType::Otio), notJson);
    composition->setJson(JsonType::DmTree, String(notJson));
    EXPECT_EQ(jsonOf(*composition, JsonType::DmTree), notJson);
}

TEST(CompositionJson, UnknownTypeSucceedsAndLeavesTheOutput) {
    SharedPtr<Composition> composition = makeEmpty();
    String out("untouched");
    EXPECT_TRUE(composition->getJson(static_cast<JsonType>(2), out));
    EXPECT_TRUE(composition->getJson(static_cast<JsonType>(-1), out));
    EXPECT_STREQ(out.c_str(), "untouched");
}

TEST(CompositionJson, BadEditTreeJsonFailsWith515EachTime) {
    SharedPtr<Composition> composition = makeEmpty();
    composition->setJson(JsonType::DmTree, String("[1, 2"));
    String out("untouched");
    EXPECT_EQ(composition->getJson(JsonType::Otio, out).getCode(), 515);
    Status status;
    composition->getTree(status);
    EXPECT_EQ(status.getCode(), 515); // no root came back: the next call imports again
    EXPECT_STREQ(out.c_str(), "untouched");
    Time time;
    EXPECT_EQ(composition->getDuration(time).getCode(), 515);
}

TEST(CompositionJson, BadOtioTextFailsOnceWith517) {
    SharedPtr<Composition> composition = makeEmpty();
    composition->setJson(JsonType::Otio, String("{\"OTIO_SCHEMA\": \"Timeline.1\",,}"));
    String out;
    EXPECT_EQ(composition->getJson(JsonType::DmTree, out).getCode(), 517);
    // The tree made for the import stays (a syntax error stops the import before
    // anything is added to it); later calls use it without error.
    Status status;
    const DmRoot& root = composition->getTree(status);
    EXPECT_TRUE(status);
    EXPECT_EQ(root.getNbChildren(), 0u);
    Time duration;
    EXPECT_EQ(composition->getDuration(duration).getCode(), 512);
}

TEST(CompositionJson, EditTreeJsonRoundTripsThroughAFreshComposition) {
    SharedPtr<Composition> source = makeEmpty("Round trip", Rational(25, 1));
    const std::string text = jsonOf(*source, JsonType::DmTree);
    EXPECT_FALSE(text.empty());

    SharedPtr<Composition> copy = makeEmpty();
    copy->setJson(JsonType::DmTree, String(text.c_str()));
    Status status;
    const DmCompositionNode* node = compositionNodeOf(copy->getTree(status));
    ASSERT_TRUE(status);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(DmStr2CStr(node->getName()).c_str(), "Round trip");

    copy->setTree(copy->getTree(status)); // regenerated from the tree alone
    EXPECT_EQ(jsonOf(*copy, JsonType::DmTree), text);
}

TEST(CompositionJson, GeneratedTextIsKeptUntilTheContentChanges) {
    SharedPtr<Composition> composition = makeEmpty();
    const std::string first = jsonOf(*composition, JsonType::DmTree);
    Status status;
    // Change the held tree behind the composition's back: the kept text shows
    // that the second request did not generate again.
    auto& tree = const_cast<DmRoot&>(composition->getTree(status));
    tree.addReel(DmReelNode::create());
    EXPECT_EQ(jsonOf(*composition, JsonType::DmTree), first);

    composition->setTree(tree);
    EXPECT_NE(jsonOf(*composition, JsonType::DmTree), first);
}

TEST(CompositionCopies, CloneIsIndependent) {
    SharedPtr<Composition> original = makeEmpty();
    SharedPtr<Composition> clone = original->clone();
    EXPECT_STREQ(clone->getId().c_str(), "id-1");
    EXPECT_EQ(clone->refcount(), 1);

    Status status;
    DmRoot* bigger = DmRoot::create();
    CoSharedPtr<DmRoot> hold(bigger);
    bigger->addReel(DmReelNode::create());
    bigger->addReel(DmReelNode::create());
    clone->setTree(*bigger);
    EXPECT_EQ(clone->getTree(status).getNbChildren(), 2u);
    EXPECT_EQ(original->getTree(status).getNbChildren(), 1u);
    EXPECT_NE(&clone->getTree(status), &original->getTree(status));
}

TEST(CompositionCopies, CloneKeepsTheTexts) {
    SharedPtr<Composition> original = makeEmpty();
    original->setJson(JsonType::Otio, String("kept text"));
    SharedPtr<Composition> clone = original->clone();
    EXPECT_EQ(jsonOf(*clone, JsonType::Otio), "kept text");
}

namespace {
// Composition's assignment is protected: a host-side subclass may use it.
struct AssignableComposition : Composition {
    AssignableComposition() : Composition(String("assignable"), *CoSharedPtr<DmRoot>(DmRoot::create())) {}
    using Composition::operator=;
};
} // namespace

TEST(CompositionCopies, AssignmentCopiesContentButNotCountOrObservers) {
    SharedPtr<AssignableComposition> target(new AssignableComposition);
    SharedPtr<Composition> source = makeEmpty();
    CountingObserver observer;
    target->attach(&observer);

    *target = *target; // self-assignment changes nothing
    Status status;
    EXPECT_EQ(target->getTree(status).getNbChildren(), 0u);

    *target = *source;
    EXPECT_STREQ(target->getId().c_str(), "id-1");
    EXPECT_EQ(target->getTree(status).getNbChildren(), 1u);
    EXPECT_NE(&target->getTree(status), &source->getTree(status));
    EXPECT_EQ(target->refcount(), 1);
    EXPECT_EQ(observer.count, 0); // assignment sends no notification
    target->setJson(JsonType::Otio, String("x"));
    EXPECT_EQ(observer.count, 1);
    target->detach(&observer);
}

TEST(CompositionNotifications, ExactlyOncePerSetJsonAndSetTree) {
    SharedPtr<Composition> composition = makeEmpty();
    CountingObserver observer;
    composition->attach(&observer);

    Status status;
    String out;
    composition->getTree(status);
    composition->getJson(JsonType::DmTree, out);
    EXPECT_EQ(observer.count, 0);

    composition->setJson(JsonType::Otio, String("{}"));
    EXPECT_EQ(observer.count, 1);
    composition->setJson(static_cast<JsonType>(9), String("{}"));
    EXPECT_EQ(observer.count, 2);
    composition->setTree(*CoSharedPtr<DmRoot>(DmRoot::create()));
    EXPECT_EQ(observer.count, 3);
    composition->getJson(JsonType::Otio, out);
    composition->clone();
    EXPECT_EQ(observer.count, 3);
    composition->detach(&observer);
}
