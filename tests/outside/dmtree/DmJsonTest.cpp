// Edit-tree JSON: lossless round trips, tolerance of member order, and refusal of
// every malformed or wrongly shaped text without handing back a root.

#include "DmTestTree.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using rapidjson::Document;
using rapidjson::SizeType;
using rapidjson::Value;

/// Reads `text` as a root; fails the test unless it succeeds with a fresh root.
CoSharedPtr<DmRoot> importRoot(const std::string& text) {
    DmRoot* root = nullptr;
    const DmStatus status = DmJsonImporter::importRootFromStr(text.c_str(), root);
    EXPECT_TRUE(status.ok()) << DmStr2CStr(status.getMessage()).c_str();
    if (root) {
        EXPECT_EQ(root->refcount(), 0); // handed over like a created object
    }
    return root;
}

/// True when importing `text` fails with a message and hands back no root.
::testing::AssertionResult refused(const char* text) {
    DmRoot* root = nullptr;
    const DmStatus status = DmJsonImporter::importRootFromStr(text, root);
    if (status.ok()) {
        CoSharedPtr<DmRoot> release(root);
        return ::testing::AssertionFailure() << "accepted: " << (text ? text : "(null)");
    }
    if (root)
        return ::testing::AssertionFailure() << "a root was handed back on failure";
    if (status.getMessage().empty())
        return ::testing::AssertionFailure() << "failure without a message";
    return ::testing::AssertionSuccess();
}

std::string write(const Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

/// One step into a JSON value: a member name, or an array index when name is empty.
struct Step {
    std::string name;
    SizeType index;
};
using Path = std::vector<Step>;

void collectPaths(const Value& value, Path& at, std::vector<Path>& out) {
    if (!at.empty())
        out.push_back(at);
    if (value.IsObject()) {
        for (auto m = value.MemberBegin(); m != value.MemberEnd(); ++m) {
            at.push_back({m->name.GetString(), 0});
            collectPaths(m->value, at, out);
            at.pop_back();
        }
    } else if (value.IsArray()) {
        for (SizeType i = 0; i < value.Size(); ++i) {
            at.push_back({"", i});
            collectPaths(value[i], at, out);
            at.pop_back();
        }
    }
}

Value& resolve(Value& value, const Path& path, std::size_t steps) {
    Value* at = &value;
    for (std::size_t i = 0; i < steps; ++i)
        at = path[i].name.empty() ? &(*at)[path[i].index] : &(*at)[path[i].name.c_str()];
    return *at;
}

std::string describe(const Path& path) {
    std::string text;
    for (const Step& step : path)
        text += step.name.empty() ? "[" + std::to_string(step.index) + "]" : "." + step.name;
    return text;
}

/// Reverses the member order of every object and adds a member the importer does not know.
void shuffle(Value& value, Document::AllocatorType& alloc) {
    if (value.IsObject()) {
        Value reversed(rapidjson::kObjectType);
        reversed.AddMember("zzUnknown", Value(rapidjson::kArrayType).PushBack(1, alloc), alloc);
        for (auto m = value.MemberEnd(); m != value.MemberBegin();) {
            --m;
            shuffle(m->value, alloc);
            reversed.AddMember(Value(m->name, alloc), Value(m->value, alloc), alloc);
        }
        value = reversed;
    } else if (value.IsArray()) {
        for (auto& item : value.GetArray())
            shuffle(item, alloc);
    }
}

class DmJson : public ::testing::Test {
protected:
    void SetUp() override { text = DmTest::jsonOf(DmTest::makeFullTree().get()); }
    std::string text;
};

TEST_F(DmJson, ReadingAndWritingAgainGivesTheSameBytes) {
    const CoSharedPtr<DmRoot> root = importRoot(text);
    ASSERT_TRUE(root);
    EXPECT_EQ(DmTest::jsonOf(root.get()), text);
    EXPECT_EQ(DmTest::collectObjects(root.get()).size(),
              DmTest::collectObjects(DmTest::makeFullTree().get()).size());

    // Output is compact (what a compact writer makes of it) and deterministic.
    Document doc;
    doc.Parse<rapidjson::kParseFullPrecisionFlag>(text.c_str());
    EXPECT_EQ(write(doc), text);
    EXPECT_EQ(DmTest::jsonOf(DmTest::makeFullTree().get()), text);

    // Unset values stay unset, set ones keep their type.
    auto* layer = root->getChild(0)->getChild(0)->getChild(0)->getChild(0);
    auto* source = dynamic_cast<DmSourceNode*>(layer->getChild(0));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->getSrcIn(), 10.0);
    EXPECT_EQ(source->getNbMultiInputs(), 2u);
    double x = -7.0;
    EXPECT_NE(source->getMultiInput(1)->getPrimaryRes()->getCenterY(x), eDmSuccess);
    EXPECT_EQ(x, -7.0);
    EXPECT_EQ(source->getMultiInput(1)->getSrcInfo(), nullptr);
    const auto* mask = dynamic_cast<DmAngularMaskSettings*>(source->getEffect(1));
    ASSERT_NE(mask, nullptr);
    float angle = 0.0f;
    EXPECT_EQ(mask->getPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle),
              eDmSuccess);
    EXPECT_EQ(angle, 33.3f);
}

TEST_F(DmJson, MemberOrderAndUnknownMembersDoNotMatter) {
    Document doc;
    doc.Parse(text.c_str());
    ASSERT_FALSE(doc.HasParseError());
    shuffle(doc, doc.GetAllocator());
    const std::string shuffled = write(doc);
    ASSERT_NE(shuffled, text);
    const CoSharedPtr<DmRoot> root = importRoot(shuffled);
    ASSERT_TRUE(root);
    EXPECT_EQ(DmTest::jsonOf(root.get()), text);
}

TEST_F(DmJson, EveryMissingMemberIsRefused) {
    Document doc;
    doc.Parse(text.c_str());
    Path at;
    std::vector<Path> paths;
    collectPaths(doc, at, paths);
    std::size_t tried = 0;
    for (const Path& path : paths) {
        if (path.back().name.empty() || path.back().name == "properties")
            continue; // array items, and the one optional member
        Document copy;
        copy.CopyFrom(doc, copy.GetAllocator());
        resolve(copy, path, path.size() - 1).RemoveMember(path.back().name.c_str());
        EXPECT_TRUE(refused(write(copy).c_str())) << "without " << describe(path);
        ++tried;
    }
    EXPECT_GT(tried, 300u);
}

TEST_F(DmJson, EveryValueOfAnotherTypeIsRefused) {
    Document doc;
    doc.Parse(text.c_str());
    Path at;
    std::vector<Path> paths;
    collectPaths(doc, at, paths);
    for (const Path& path : paths) {
        Document copy;
        copy.CopyFrom(doc, copy.GetAllocator());
        Value& value = resolve(copy, path, path.size());
        if (value.IsString())
            value.SetInt(1);
        else
            value.SetString("x");
        EXPECT_TRUE(refused(write(copy).c_str())) << "changed " << describe(path);
    }
}

TEST_F(DmJson, EveryTruncatedTextIsRefused) {
    for (std::size_t length = 0; length < text.size(); ++length)
        ASSERT_TRUE(refused(text.substr(0, length).c_str())) << "length " << length;
}

TEST_F(DmJson, OtherMalformedTextsAreRefused) {
    EXPECT_TRUE(refused(nullptr));
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused("[]"));
    EXPECT_TRUE(refused("{}"));
    EXPECT_TRUE(refused((text + "x").c_str()));
    EXPECT_TRUE(refused(std::string(2000000, '[').c_str())); // parsed without recursion

    // A syntax error is placed by line and column.
    DmRoot* root = nullptr;
    const DmStatus syntax = DmJsonImporter::importRootFromStr("{\n  \"format\" 1}", root);
    EXPECT_STREQ(DmStr2CStr(syntax.getMessage()).c_str(),
                 "JSON syntax error at line 2, column 12: "
                 "Missing a colon after a name of object member.");

    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return changed.replace(at, from.size(), to);
    };
    EXPECT_TRUE(refused(replaced("\"KRdmtree-json\"", "\"other\"").c_str()));
    EXPECT_TRUE(refused(replaced("\"version\":1", "\"version\":2").c_str()));
    EXPECT_TRUE(refused(replaced("\"kind\":\"cut\"", "\"kind\":\"wipe\"").c_str()));
    EXPECT_TRUE(refused(replaced("\"kind\":\"look\"", "\"kind\":\"blur\"").c_str()));
    EXPECT_TRUE(refused(replaced("\"kind\":\"media\"", "\"kind\":\"tape\"").c_str()));
    // An annotation layer must be a paint or text layer.
    EXPECT_TRUE(refused(replaced("\"kind\":\"paint\"", "\"kind\":\"angularMask\"").c_str()));
    EXPECT_TRUE(refused(replaced("\"index\":0", "\"index\":0.0").c_str()));
    EXPECT_TRUE(refused(replaced("\"index\":0", "\"index\":4294967296").c_str()));
    EXPECT_TRUE(refused(replaced("\"ghostBefore\":1", "\"ghostBefore\":-1").c_str()));
    EXPECT_TRUE(refused(replaced("\"width\":0.30", "\"width\":1e39,\"w\":0.30").c_str()));
    EXPECT_TRUE(refused(replaced("\"slope\":[1.0,", "\"slope\":[").c_str()));
    EXPECT_TRUE(refused(replaced("\"recIn\":48.0", "\"recIn\":1e999").c_str()));
    EXPECT_TRUE(refused(replaced("[[1,1,true]]", "[[1,12,true]]").c_str()));
    EXPECT_TRUE(refused(replaced("[[1,1,true]]", "[[1,1]]").c_str()));

    // A tree that is not a root is not a root document.
    std::string reel = text;
    reel.replace(reel.find("\"kind\":\"root\""), 13, "\"kind\":\"reel\"");
    EXPECT_TRUE(refused(reel.c_str()));
    DmTreeNode* node = nullptr;
    EXPECT_TRUE(DmJsonImporter::importNodeFromStr(reel.c_str(), node).ok());
    const CoSharedPtr<DmTreeNode> held(node);
    EXPECT_NE(dynamic_cast<DmReelNode*>(node), nullptr);
}

TEST(DmJsonBuilder, AnyNodeRoundTripsThroughImportNode) {
    CoSharedPtr<DmTreeNode> root = DmTest::makeFullTree();
    DmTreeNode* layer = root->getChild(0)->getChild(0)->getChild(0)->getChild(0);
    const std::string text = DmTest::jsonOf(layer->getChild(0));
    DmTreeNode* node = nullptr;
    ASSERT_TRUE(DmJsonImporter::importNodeFromStr(text.c_str(), node).ok());
    const CoSharedPtr<DmTreeNode> held(node);
    EXPECT_NE(dynamic_cast<DmSourceNode*>(node), nullptr);
    EXPECT_EQ(DmTest::jsonOf(node), text);
}

TEST(DmJsonBuilder, TextsKeepEveryByte) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    const DmString odd(std::string("nul\0byte \xFF\x01 \"q\" \\", 18));
    root->setName(odd);
    root->setPropertyValue(5, eDmPropString, &odd);
    const std::string text = DmTest::jsonOf(root.get());
    const CoSharedPtr<DmRoot> back = importRoot(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getName(), odd);
    DmString read;
    EXPECT_EQ(back->getPropertyValue(5, eDmPropString, &read), eDmSuccess);
    EXPECT_EQ(read, odd);
}

TEST(DmJsonBuilder, NonFiniteNumbersAreNotWritten) {
    const double values[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (const double bad : values) {
        CoSharedPtr<DmRoot> root = DmTest::makeFullTree();
        DmTreeNode* layer = root->getChild(0)->getChild(0)->getChild(0)->getChild(0);
        dynamic_cast<DmSegmentNode*>(layer->getChild(2))->setRecIn(bad);
        DmString out("untouched");
        const DmStatus status = DmTreeJsonBuilder::generateStr(root.get(), out);
        EXPECT_FALSE(status.ok());
        EXPECT_NE(DmStr2CStr(status.getMessage()).c_str(), std::string(""));
        EXPECT_EQ(out, DmString("untouched"));
    }
    CoSharedPtr<DmTextParagraph> paragraph = DmTextParagraph::create();
    paragraph->setWidth(std::numeric_limits<float>::infinity());
    CoSharedPtr<DmGapNode> gap = DmGapNode::create(0, 1, eDmMediaVideo, "");
    auto* text = DmTextLayer::create();
    text->addParagraph(paragraph.get());
    gap->addEffect(text);
    DmString out;
    EXPECT_FALSE(DmTreeJsonBuilder::generateStr(gap.get(), out).ok());
    EXPECT_FALSE(DmTreeJsonBuilder::generateStr(nullptr, out).ok());
}

/// A root over `levels` - 1 nested containers, as the builder writes it.
std::string nestedJson(int levels) {
    std::string text = "{\"format\":\"KRdmtree-json\",\"version\":1,\"tree\":"
                       "{\"kind\":\"root\",\"name\":\"\",\"children\":[";
    for (int i = 1; i < levels; ++i)
        text += "{\"kind\":\"container\",\"name\":\"\",\"children\":[";
    for (int i = 1; i < levels; ++i)
        text += "]}";
    return text + "]}}";
}

TEST(DmJsonBuilder, TheBuilderWritesUpTo256LevelsAndTheImporterReadsDeeper) {
    const auto nest = [](int levels) {
        CoSharedPtr<DmRoot> root = DmRoot::create();
        DmTreeNode* at = root.get();
        for (int i = 1; i < levels; ++i) {
            auto* box = DmContainerNode::create();
            at->addChild(box);
            at = box;
        }
        return root;
    };
    const CoSharedPtr<DmRoot> deepest = nest(256);
    const std::string text = DmTest::jsonOf(deepest.get());
    EXPECT_EQ(nestedJson(256), text);
    const CoSharedPtr<DmRoot> back = importRoot(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(DmTest::jsonOf(back.get()), text);

    const CoSharedPtr<DmRoot> tooDeep = nest(257);
    DmString out;
    EXPECT_FALSE(DmTreeJsonBuilder::generateStr(tooDeep.get(), out).ok());
    // The importer keeps no such bound: the same nesting written by hand reads.
    const CoSharedPtr<DmRoot> deeper = importRoot(nestedJson(257));
    EXPECT_TRUE(deeper);
}

TEST(DmJsonImporter, MessagesNameThePlaceAtAnyDepth) {
    const auto message = [](const std::string& text) {
        DmRoot* root = nullptr;
        const DmStatus status = DmJsonImporter::importRootFromStr(text.c_str(), root);
        EXPECT_FALSE(status.ok());
        EXPECT_EQ(root, nullptr);
        return std::string(DmStr2CStr(status.getMessage()).c_str());
    };
    const auto inner = [](int levels) {
        std::string place = "tree";
        for (int i = 1; i < levels; ++i)
            place += ".children[0]";
        return place;
    };
    const std::string lastBox = "{\"kind\":\"container\",\"name\":\"\",\"children\":[]}";
    for (const int levels : {3, 300, 5000}) {
        const std::string text = nestedJson(levels);
        const std::size_t at = text.rfind(lastBox);
        ASSERT_NE(at, std::string::npos);
        std::string changed = text;
        changed.replace(at, lastBox.size(), "{\"kind\":\"container\",\"name\":7,\"children\":[]}");
        EXPECT_EQ(message(changed), inner(levels) + ".name: expected a string") << levels;
        changed = text;
        changed.replace(at, lastBox.size(),
                        "{\"kind\":\"container\",\"name\":\"\",\"children\":{}}");
        EXPECT_EQ(message(changed), inner(levels) + ".children: expected an array") << levels;
        changed = text;
        changed.replace(at, lastBox.size(), lastBox + ",[]");
        EXPECT_EQ(message(changed), inner(levels - 1) + ".children[1]: expected an object")
            << levels;
        changed = text;
        changed.replace(at, lastBox.size(), lastBox + ",{\"kind\":\"tape\",\"name\":\"\"}");
        EXPECT_EQ(message(changed).rfind(inner(levels - 1) + ".children[1].kind: ", 0), 0u)
            << message(changed);
    }
    // The root itself, and a member after the children are read.
    EXPECT_EQ(message("{\"format\":\"KRdmtree-json\",\"version\":1,\"tree\":"
                      "{\"kind\":\"root\",\"name\":\"\"}}"),
              "tree.children: missing member");
}

TEST(DmJsonBuilder, AMillionLevelsFailWithoutExhaustingTheStack) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    DmTreeNode* at = root.get();
    for (int i = 1; i < 1000000; ++i) {
        auto* box = DmContainerNode::create();
        at->addChild(box);
        at = box;
    }
    DmString out("untouched");
    const DmStatus status = DmTreeJsonBuilder::generateStr(root.get(), out);
    EXPECT_FALSE(status.ok());
    EXPECT_STREQ(DmStr2CStr(status.getMessage()).c_str(),
                 "the tree is nested deeper than 256 levels");
    EXPECT_EQ(out, DmString("untouched"));
}

/// A node class the dialect does not know.
class Alien : public DmTreeNode {
public:
    static Alien* create() { return new Alien(); }
    DmTreeNode* copyNode() const override { return new Alien(); }
};

TEST(DmJsonBuilder, UnknownNodeKindsAreNotWritten) {
    CoSharedPtr<DmRoot> root = DmRoot::create();
    root->addChild(Alien::create());
    DmString out;
    EXPECT_FALSE(DmTreeJsonBuilder::generateStr(root.get(), out).ok());
    EXPECT_TRUE(out.empty());
}

} // namespace
