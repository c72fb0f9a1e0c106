// Exported texts pinned byte for byte, through the public interface: the OTIO
// dialect and the edit-tree JSON of the examples, and of edit trees holding
// several tracks (two "tracks" members in one timeline), several compositions
// (every timeline member twice), layers inside layers, a composition inside a
// layer and segments inside a container. The expected texts under
// tests/data/export are what the writers gave before they streamed.

#include "composition/Composition.h"
#include "outside/dmtree/DmRoot.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81 {
namespace {

using test::readExample;
using test::readTestData;

/// What `zemcomp convert` writes: `text` read into one composition, its tree
/// copied into a fresh one, and that one's text of `to`.
std::string converted(const std::string& text, Composition::JsonType from,
                      Composition::JsonType to) {
    SharedPtr<Composition> reader;
    EXPECT_TRUE(Composition::create(reader, "reader", "reader", Rational(24, 1)));
    reader->setJson(from, String(text.c_str(), text.size()));
    Status status;
    const DmRoot& tree = reader->getTree(status);
    EXPECT_TRUE(status) << "import failed with " << status.getCode();
    String out;
    status = Composition::create("writer", tree)->getJson(to, out);
    EXPECT_TRUE(status) << "export failed with " << status.getCode();
    return std::string(out.c_str(), out.size());
}

TEST(ExportBytes, ExamplesAreWrittenInBothDialectsAsBefore) {
    for (const std::string name : {"short-cut", "review-notes", "graded-shot"}) {
        const std::string otio = readExample(name + ".otio.json");
        EXPECT_EQ(readTestData("export/" + name + ".otio.expected.json"),
                  converted(otio, Composition::JsonType::Otio, Composition::JsonType::Otio))
            << name;
        EXPECT_EQ(readTestData("export/" + name + ".dmtree.expected.json"),
                  converted(otio, Composition::JsonType::Otio, Composition::JsonType::DmTree))
            << name;
    }
}

TEST(ExportBytes, SeveralTracksAndCompositionsAreWrittenAsBefore) {
    for (const std::string name : {"two-tracks", "two-compositions"}) {
        const std::string tree = readTestData("export/" + name + ".dmtree.json");
        EXPECT_EQ(readTestData("export/" + name + ".otio.expected.json"),
                  converted(tree, Composition::JsonType::DmTree, Composition::JsonType::Otio))
            << name;
        EXPECT_EQ(tree,
                  converted(tree, Composition::JsonType::DmTree, Composition::JsonType::DmTree))
            << name;
    }
}

} // namespace
} // namespace ZEM_0_81
