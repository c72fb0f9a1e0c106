// The streaming writer of standard OTIO text: parsed values of any depth written
// as they stand, numbers that are not finite as literals or as failures naming
// their place, and the text handed over whole.

#include "interchange/otiostd/io/OtioWriter.h"

#include "composition/JsonException.h"

#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::Interchange {
namespace {

rapidotio::Document parsed(const std::string& text) {
    rapidotio::Document document;
    document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNanAndInfFlag |
                   rapidjson::kParseFullPrecisionFlag>(text.c_str(), text.size());
    EXPECT_FALSE(document.HasParseError()) << text.substr(0, 80);
    return document;
}

std::string textOf(OtioWriter& writer) {
    const String text = writer.takeText();
    return std::string(text.c_str(), text.size());
}

/// The message of the Json::Exception that `write` throws, or "no failure".
template <class Write> std::string failureOf(Write write) {
    try {
        write();
    } catch (const Json::Exception& failure) {
        EXPECT_EQ(Json::statusFromException(failure).getCode(), Status::JsonGenerationFailed);
        return failure.what();
    }
    return "no failure";
}

TEST(OtioWriter, ParsedValuesAreWrittenAsTheyStandAtAnyDepth) {
    // Every kind of value, integers kept apart from doubles, escapes and a NUL
    // byte in strings and keys.
    const std::string mixed = "{\"a\":[1,-2,18446744073709551615,-9223372036854775808,0.5,1e300,"
                              "0.0],\"b\\u0000\\\"\":{\"\":null,\"t\":true,\"f\":false,"
                              "\"s\":\"\\u00e9\\n\\\\\"},\"e\":[],\"o\":{}}";
    OtioWriter writer;
    writer.json(parsed(mixed));
    const std::string written = textOf(writer);
    EXPECT_EQ(written, "{\"a\":[1,-2,18446744073709551615,-9223372036854775808,0.5,1e300,0.0],"
                       "\"b\\u0000\\\"\":{\"\":null,\"t\":true,\"f\":false,"
                       "\"s\":\"\xC3\xA9\\n\\\\\"},\"e\":[],\"o\":{}}");

    // A million levels of arrays and of objects: written without recursion.
    const std::size_t depth = 1000000;
    std::string arrays = std::string(depth, '[') + "7" + std::string(depth, ']');
    OtioWriter deepArrays;
    deepArrays.json(parsed(arrays));
    EXPECT_EQ(textOf(deepArrays), arrays);

    std::string objects;
    for (std::size_t i = 0; i < depth; ++i)
        objects += "{\"k\":";
    objects += "null" + std::string(depth, '}');
    OtioWriter deepObjects;
    deepObjects.json(parsed(objects), OtioWriter::NonFinite::Fail);
    EXPECT_EQ(textOf(deepObjects), objects);
}

TEST(OtioWriter, NumbersThatAreNotFiniteAreLiteralsOrFailWithTheirPlace) {
    const rapidotio::Document kept = parsed("{\"gain\":[NaN,Infinity,-Infinity,2.5]}");
    OtioWriter literals;
    literals.json(kept);
    EXPECT_EQ(textOf(literals), "{\"gain\":[NaN,Infinity,-Infinity,2.5]}");

    // Keys holding "~" and "/" are escaped in the pointer, and a key made while
    // writing is the writer's own copy.
    OtioWriter strict;
    strict.beginObject();
    strict.key(std::string("a/b~c"));
    strict.beginArray();
    strict.integer(1);
    const std::string failure = failureOf([&] { strict.json(kept, OtioWriter::NonFinite::Fail); });
    EXPECT_NE(failure.find("the number at /a~1b~0c/1/gain/0 is not a number"), std::string::npos)
        << failure;

    OtioWriter numbers;
    numbers.beginObject();
    numbers.key("zem");
    numbers.beginObject();
    numbers.member("rate", 24.0);
    numbers.key("range");
    EXPECT_NE(failureOf([&] { numbers.number(-1.0 / 0.0); }).find("at /zem/range is infinite"),
              std::string::npos);
}

TEST(OtioWriter, TheTextIsHandedOverWhole) {
    // Texts of a few bytes and of several megabytes (past the size from which
    // the block lives in pages of its own).
    for (const std::size_t count : {1u, 300000u}) {
        OtioWriter writer;
        writer.beginArray();
        std::string expected = "[";
        for (std::size_t i = 0; i < count; ++i) {
            writer.beginObject();
            writer.member("name", "clip");
            writer.memberInteger("i", static_cast<std::int64_t>(i));
            writer.endObject();
            expected +=
                (i ? "," : "") + std::string("{\"name\":\"clip\",\"i\":") + std::to_string(i) + "}";
        }
        writer.endArray();
        expected += "]";
        EXPECT_EQ(writer.size(), expected.size());
        const String text = writer.takeText();
        ASSERT_EQ(text.size(), expected.size());
        EXPECT_EQ(std::string(text.c_str()), expected) << count;
    }
}

} // namespace
} // namespace ZEM_0_81::Interchange
