#include "rapidotio/DocumentMemory.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::rapidotio {
namespace {

TEST(DocumentMemory, ValuesAfterAReleasedObjectStayReadable) {
    // Released or not (short texts keep a plain pool), what comes later reads.
    for (const std::size_t count : {100u, 200000u}) {
        std::string text = "[";
        for (std::size_t i = 0; i < count; ++i)
            text += std::string(i ? "," : "") + R"({"name":"an element with a long name )" +
                    std::to_string(i) + R"(","value":)" + std::to_string(i) + "}";
        text += "]";
        DocumentMemory memory(text.size());
        Document document(&memory.allocator());
        document.Parse(text.c_str());
        ASSERT_FALSE(document.HasParseError());
        for (std::size_t i = 0; i < count; ++i) {
            const Value& element = document[static_cast<rapidjson::SizeType>(i)];
            ASSERT_EQ(static_cast<int>(i), element["value"].GetInt());
            ASSERT_EQ("an element with a long name " + std::to_string(i),
                      std::string(element["name"].GetString()));
            memory.release(element);
        }
        memory.release(document);                      // not an object: nothing
        memory.release(Value(rapidjson::kObjectType)); // not parsed here: nothing
    }
}

} // namespace
} // namespace ZEM_0_81::rapidotio
