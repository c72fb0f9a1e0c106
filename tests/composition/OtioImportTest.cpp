#include "composition/OtioImport.h"
#include "composition/Composition.h"

#include "outside/dmtree/DmTree.h"
#include "tests/json/ImportTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// The edit-tree JSON of a tree, to compare whole trees.
std::string treeJson(const CoSharedPtr<DmRoot>& root) {
    DmString out;
    EXPECT_TRUE(DmTreeJsonBuilder::generateStr(root.get(), out).ok());
    return text(out);
}

Status importText(const std::string& text, CoSharedPtr<DmRoot>& root) {
    root = DmRoot::create();
    return importOtioJson(text.c_str(), root);
}

TEST(OtioImport, SyntaxErrorsFailWith775AndAddNothing) {
    const char* broken[] = {"",
                            "  \t\r\n",
                            R"({"OTIO_SCHEMA":"Timeline.1"} {})",
                            R"({"a":1,})",
                            "[1,]",
                            "{'a':1}",
                            "NaN",
                            "/*c*/{}",
                            R"({"a":)",
                            "\"\\x\""};
    for (const char* text : broken) {
        CoSharedPtr<DmRoot> root;
        EXPECT_EQ(Status::JsonSyntaxError, importText(text, root).getType()) << text;
        EXPECT_EQ(0u, root->getNbChildren()) << text;
    }
    CoSharedPtr<DmRoot> root(DmRoot::create());
    EXPECT_EQ(Status::JsonSyntaxError, importOtioJson(nullptr, root).getType());
}

TEST(OtioImport, DeeplyNestedTextsAreJudgedLikeAnyOther) {
    const std::string::size_type depth = 100000;
    CoSharedPtr<DmRoot> root;
    EXPECT_TRUE(importText(std::string(depth, '[') + std::string(depth, ']'), root));
    EXPECT_EQ(1u, root->getNbChildren());
    EXPECT_EQ(Status::JsonSyntaxError, importText(std::string(depth, '['), root).getType());
    EXPECT_EQ(Status::JsonSyntaxError,
              importText(std::string(depth, '[') + std::string(depth - 1, ']'), root).getType());
    // Brackets inside strings do not count as nesting.
    const std::string brackets(depth, '{');
    EXPECT_TRUE(importText(R"({"name":")" + brackets + R"(","OTIO_SCHEMA":"Timeline.1"})", root));
    EXPECT_EQ(brackets, text(compositionOf(root)->getName()));
}

TEST(OtioImport, WrappedAndBareTimelinesImportAlike) {
    const std::string bare =
        timeline(track(clip("a", 0, 10) + "," + gap(5)), rationalTime(100, 24));
    CoSharedPtr<DmRoot> fromBare;
    CoSharedPtr<DmRoot> fromWrapped;
    CoSharedPtr<DmRoot> fromOddMember;
    ASSERT_TRUE(importText(bare, fromBare));
    ASSERT_TRUE(importText(R"({"timeline":)" + bare + "}", fromWrapped));
    // A "timeline" member that is not an object is ignored.
    ASSERT_TRUE(importText(R"({"timeline":[],)" + bare.substr(1), fromOddMember));
    EXPECT_NE(nullptr, compositionOf(fromBare));
    EXPECT_EQ(treeJson(fromBare), treeJson(fromWrapped));
    EXPECT_EQ(treeJson(fromBare), treeJson(fromOddMember));
}

TEST(OtioImport, RootValuesOtherThanObjectsImportAsAnEmptyComposition) {
    for (const char* text : {"[1,2]", "\"timeline\"", "5", "null", "true"}) {
        CoSharedPtr<DmRoot> root;
        EXPECT_TRUE(importText(text, root)) << text;
        ASSERT_EQ(1u, root->getNbChildren()) << text;
        EXPECT_EQ(0u, root->getChild(0)->getNbChildren()) << text;
    }
}

TEST(OtioImport, ImportsAWholeDocument) {
    CoSharedPtr<DmRoot> root;
    ASSERT_TRUE(importText(readTestData("import/two_tracks.json"), root));
    const DmCompositionNode* composition = compositionOf(root);
    ASSERT_NE(nullptr, composition);
    EXPECT_EQ("Reel 1", text(composition->getName()));
    const DmLayerNode* v1 = layerOf(root, 0, 0);
    ASSERT_EQ(5u, v1->getNbChildren());
    EXPECT_EQ(86472.0, childAs<DmSourceNode>(v1, 4)->getRecIn());
    EXPECT_EQ(48.0, childAs<DmSourceNode>(v1, 4)->getRecLength());
    EXPECT_EQ(1u, childAs<DmGapNode>(v1, 2)->getNbEffects());
    EXPECT_EQ(120.0, v1->getLayerLength());
    const auto* title = childAs<DmSourceNode>(layerOf(root, 0, 1), 0);
    ASSERT_NE(nullptr, title);
    EXPECT_EQ("/show/title.png", text(title->getSrcInfo()->getSequence(0)));
}

TEST(OtioImport, ShortAndLongTextsImportAlike) {
    // A short text is read in place in a copy, a long one is not: the same
    // timeline, escapes in its strings, padded with whitespace past a few
    // hundred kilobytes, gives the same tree, and a syntax error the same
    // failure. The text itself is left as it was.
    const std::string named =
        timeline(track(clip("sh\\\"010\\u00e9", 0, 10) + "," + gap(5)), rationalTime(100, 24));
    const std::string shortText = named;
    const std::string longText = named + std::string(std::size_t(512) << 10, ' ');
    CoSharedPtr<DmRoot> fromShort;
    CoSharedPtr<DmRoot> fromLong;
    ASSERT_TRUE(importText(shortText, fromShort));
    ASSERT_TRUE(importText(longText, fromLong));
    EXPECT_EQ(treeJson(fromShort), treeJson(fromLong));
    EXPECT_NE(treeJson(fromShort).find("sh\\\"010"), std::string::npos) << treeJson(fromShort);
    EXPECT_EQ(shortText, named);

    for (const std::string& broken : {named + ",", named.substr(0, named.size() / 2)}) {
        CoSharedPtr<DmRoot> root;
        EXPECT_EQ(Status::JsonSyntaxError, importText(broken, root).getType());
        EXPECT_EQ(Status::JsonSyntaxError,
                  importText(broken + std::string(std::size_t(512) << 10, ' '), root).getType());
    }
}

/// A composition holding OTIO text.
SharedPtr<Composition> compositionOfText(const std::string& text) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, String("c"), "c", Rational(24, 1)));
    composition->setJson(Composition::JsonType::Otio, String(text.c_str()));
    return composition;
}

TEST(OtioImportInComposition, FailureIsReportedOnceAsOtioImportFailed) {
    const SharedPtr<Composition> composition = compositionOfText("{\"timeline\": ");
    String json;
    EXPECT_EQ(Status::OtioImportFailed,
              composition->getJson(Composition::JsonType::DmTree, json).getType());
    // The (empty) root the import was given stays: no reel, so no composition node.
    Status status;
    const DmRoot& root = composition->getTree(status);
    EXPECT_TRUE(status);
    EXPECT_EQ(0u, root.getNbChildren());
    Time time(7, Rational(1, 1));
    EXPECT_EQ(Status::NoData, composition->getDuration(time).getType());
    EXPECT_EQ(7, time.getNbTicks());
    // The text itself is still handed back as given.
    EXPECT_TRUE(composition->getJson(Composition::JsonType::Otio, json));
    EXPECT_STREQ("{\"timeline\": ", json.c_str());
}

TEST(OtioImportInComposition, NonObjectDocumentHasNoCompositionNode) {
    const SharedPtr<Composition> composition = compositionOfText("[]");
    Status status;
    EXPECT_EQ(1u, composition->getTree(status).getNbChildren());
    EXPECT_TRUE(status);
    Time time;
    EXPECT_EQ(Status::NoData, composition->getStartTime(time).getType());
    Bounds bounds;
    EXPECT_TRUE(composition->getOutputBounds(time, bounds));
}

TEST(OtioImportDebugOn, TheDriverLooksUpTheTimelineFirst) {
    CoSharedPtr<DmRoot> root;
    testing::internal::CaptureStderr();
    importText(R"({"timeline":)" + timeline(track(gap(1))) + "}", root);
    const std::string wrapped = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, wrapped.find("Found timeline\n")) << wrapped;

    testing::internal::CaptureStderr();
    importText("[1]", root);
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

} // namespace
} // namespace ZEM_0_81::test
