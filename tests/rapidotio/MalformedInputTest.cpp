// Swaps every value of a complete document, one at a time, for values of other
// JSON types, and checks that reading and writing still complete. Run under the
// sanitizers and with RapidJSON's assertions active, this covers every lookup.

#include "rapidotio/DocumentWriter.h"
#include "rapidotio/RootNode.h"

#include "tests/rapidotio/OtioTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::rapidotio {
namespace {

/// The `index`-th value of `value` in pre-order (the value itself is 0), or null.
Value* nthValue(Value& value, std::size_t& index) {
    if (index == 0)
        return &value;
    --index;
    if (value.IsObject()) {
        for (auto it = value.MemberBegin(); it != value.MemberEnd(); ++it)
            if (Value* found = nthValue(it->value, index))
                return found;
    } else if (value.IsArray()) {
        for (Value& element : value.GetArray())
            if (Value* found = nthValue(element, index))
                return found;
    }
    return nullptr;
}

TEST(MalformedInput, EveryValueSwappedForEveryOtherTypeStillReadsAndWrites) {
    const std::string text = ZEM_0_81::test::readTestData("rapidotio/full_timeline.json");
    const char* replacements[] = {"null",
                                  "true",
                                  "-7",
                                  "2.5",
                                  "4294967296",
                                  "\"s\"",
                                  "[]",
                                  "{}",
                                  R"([1,"x",{},null])",
                                  R"({"OTIO_SCHEMA":"Clip.1","effects":[[]]})"};
    std::size_t mutations = 0;
    for (std::size_t position = 1;; ++position) {
        Document probe;
        probe.Parse(text.c_str());
        std::size_t index = position;
        if (!nthValue(probe, index))
            break;
        for (const char* replacement : replacements) {
            Document doc;
            doc.Parse(text.c_str());
            Document swapped(&doc.GetAllocator());
            swapped.Parse(replacement);
            index = position;
            nthValue(doc, index)->CopyFrom(swapped, doc.GetAllocator());

            SharedPtr<Node> root(new RootNode(doc, nullptr));
            test::RecordingVisitor visitor;
            root->traverse(visitor);
            DmString out;
            writeDocument({root}, out);
            Document reread;
            reread.Parse(out.str().c_str());
            ASSERT_FALSE(reread.HasParseError()) << position << " " << replacement;
            ++mutations;
        }
    }
    EXPECT_GT(mutations, 1000u);
}

} // namespace
} // namespace ZEM_0_81::rapidotio
