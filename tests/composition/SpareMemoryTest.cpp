// The pages kept from released long texts, given back on the host's request.

#include "composition/SpareMemory.h"
#include "composition/Composition.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81 {
namespace {

/// The example cut under a name long enough for its OTIO text to live in pages
/// of its own.
std::string longDocument() {
    std::string text = test::readExample("short-cut.otio.json");
    const std::string name = "\"name\": \"Short cut\"";
    const std::size_t at = text.find(name);
    EXPECT_NE(at, std::string::npos);
    text.replace(at, name.size(), "\"name\": \"" + std::string(200000, 'n') + "\"");
    return text;
}

/// The OTIO text of `document` read into a fresh composition.
String exported(const std::string& document) {
    SharedPtr<Composition> composition;
    EXPECT_TRUE(Composition::create(composition, "c", "c", Rational(24, 1)));
    composition->setJson(Composition::JsonType::Otio, String(document.c_str(), document.size()));
    Status status;
    const DmRoot& tree = composition->getTree(status);
    EXPECT_TRUE(status) << status.getCode();
    String text;
    EXPECT_TRUE(Composition::create("fresh", tree)->getJson(Composition::JsonType::Otio, text));
    return text;
}

TEST(SpareMemory, PagesOfReleasedTextsAreGivenBackOnceAndExportsGoOn) {
    releaseSpareMemory(); // whatever earlier tests left
    const std::string document = longDocument();
    String text = exported(document);
    const std::size_t length = text.size();
    ASSERT_GT(length, std::size_t(200000));
    const std::string before(text.c_str(), length);

    // Held texts are not touched.
    EXPECT_EQ(releaseSpareMemory(), 0u);
    EXPECT_EQ(std::string(text.c_str(), text.size()), before);

    text = String();
#if defined(__linux__)
    EXPECT_GE(releaseSpareMemory(), length);
#endif
    EXPECT_EQ(releaseSpareMemory(), 0u);

    // The next export maps fresh pages and writes the same text.
    const String again = exported(document);
    EXPECT_EQ(std::string(again.c_str(), again.size()), before);
}

} // namespace
} // namespace ZEM_0_81
