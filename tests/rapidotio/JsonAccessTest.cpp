#include "rapidotio/JsonAccess.h"

#include "tests/rapidotio/OtioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ZEM_0_81::rapidotio {
namespace {

using test::parse;

TEST(JsonAccess, NumberStorageDecidesWhichGetterAccepts) {
    auto doc = parse(R"({"int":24,"dbl":24.0,"exp":1e2,"big":1e39,"neg":-1,
        "u32":4294967295,"u33":4294967296,"i33":2147483648})");

    double d = 7;
    EXPECT_FALSE(getDouble(*doc, "int", d));
    EXPECT_EQ(7, d) << "a rejected read leaves the out-parameter alone";
    EXPECT_TRUE(getDouble(*doc, "dbl", d));
    EXPECT_EQ(24.0, d);
    EXPECT_TRUE(getDouble(*doc, "exp", d));
    EXPECT_EQ(100.0, d);

    float f = 3;
    EXPECT_FALSE(getFloat(*doc, "int", f));
    EXPECT_FALSE(getFloat(*doc, "big", f)) << "outside the float range";
    EXPECT_EQ(3.0f, f);
    EXPECT_TRUE(getFloat(*doc, "dbl", f));
    EXPECT_EQ(24.0f, f);

    std::int32_t i = 9;
    EXPECT_FALSE(getInt(*doc, "dbl", i)) << "24.0 is not an int";
    EXPECT_FALSE(getInt(*doc, "i33", i));
    EXPECT_FALSE(getInt(*doc, "u32", i));
    EXPECT_EQ(9, i);
    EXPECT_TRUE(getInt(*doc, "neg", i));
    EXPECT_EQ(-1, i);

    std::uint32_t u = 9;
    EXPECT_FALSE(getUint(*doc, "neg", u));
    EXPECT_FALSE(getUint(*doc, "u33", u));
    EXPECT_FALSE(getUint(*doc, "dbl", u));
    EXPECT_EQ(9u, u);
    EXPECT_TRUE(getUint(*doc, "u32", u));
    EXPECT_EQ(4294967295u, u);
}

TEST(JsonAccess, StringsBooleansObjectsAndArrays) {
    auto doc = parse(R"({"s":"a\u0000b","t":true,"f":false,"n":null,"o":{"k":1},"a":[1,2]})");

    std::string s = "keep";
    EXPECT_TRUE(getString(*doc, "s", s));
    EXPECT_EQ("a", s) << "the copy stops at the first NUL";
    s = "keep";
    EXPECT_FALSE(getString(*doc, "t", s));
    EXPECT_FALSE(getString(*doc, "missing", s));
    EXPECT_EQ("keep", s);

    bool b = false;
    EXPECT_TRUE(getBool(*doc, "t", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(getBool(*doc, "f", b));
    EXPECT_FALSE(b);
    b = true;
    EXPECT_FALSE(getBool(*doc, "s", b));
    EXPECT_FALSE(getBool(*doc, "n", b));
    EXPECT_TRUE(b);

    const Value* found = nullptr;
    EXPECT_TRUE(getObject(*doc, "o", found));
    ASSERT_NE(nullptr, found);
    EXPECT_TRUE(found->IsObject());
    EXPECT_FALSE(getObject(*doc, "a", found));
    EXPECT_TRUE(getArray(*doc, "a", found));
    EXPECT_EQ(2u, found->Size());
    EXPECT_FALSE(getArray(*doc, "o", found));

    // The text read without a copy is the DOM's own, and reads as the copy does.
    const char* text = "keep";
    EXPECT_TRUE(takeText(findMember(*doc, "s"), "s", text));
    EXPECT_EQ(findMember(*doc, "s")->GetString(), text);
    EXPECT_STREQ("a", text);
    text = "keep";
    EXPECT_FALSE(takeText(findMember(*doc, "t"), "t", text));
    EXPECT_FALSE(takeText(findMember(*doc, "missing"), "missing", text));
    EXPECT_STREQ("keep", text);
}

TEST(JsonAccess, FirstDuplicateWinsAndNonObjectsHaveNoMembers) {
    auto doc = parse(R"({"k":"first","k":"second","K":"other"})");
    std::string s;
    EXPECT_TRUE(getString(*doc, "k", s));
    EXPECT_EQ("first", s);

    // Lookups in values that are not objects find nothing instead of asserting.
    for (const char* text : {"[1,2]", "\"text\"", "3", "null", "true"}) {
        auto other = parse(text);
        EXPECT_FALSE(getString(*other, "k", s)) << text;
        EXPECT_EQ(nullptr, findMember(*other, "k")) << text;
        EXPECT_EQ("", silentString(*other, "k")) << text;
    }
}

TEST(JsonAccess, NamesMatchWholeAndStringComparisonsStopAtNul) {
    // Same length and first byte, or a prefix of another name: no match; the
    // empty name is a name like any other.
    auto doc = parse(R"({"ab":1,"abc":2,"ac":3,"":4,"s":"Point.1\u0000x","t":7})");
    ASSERT_NE(nullptr, findMember(*doc, "ac"));
    EXPECT_EQ(3, findMember(*doc, "ac")->GetInt());
    EXPECT_EQ(2, findMember(*doc, "abc")->GetInt());
    EXPECT_EQ(4, findMember(*doc, "")->GetInt());
    EXPECT_EQ(nullptr, findMember(*doc, "a"));
    EXPECT_EQ(nullptr, findMember(*doc, "abcd"));
    EXPECT_EQ(nullptr, findMember(*doc, nullptr));

    EXPECT_TRUE(stringMemberIs(*doc, "s", "Point.1"));
    EXPECT_FALSE(stringMemberIs(*doc, "s", "Point.1x"));
    EXPECT_FALSE(stringMemberIs(*doc, "t", "7"));
    EXPECT_FALSE(stringMemberIs(*doc, "missing", ""));
}

TEST(JsonAccess, TypeNamesAndNumberConversions) {
    auto doc = parse(R"([null,false,true,{},[],"s",1,-5,18446744073709551615,2.5])");
    const char* expected[] = {"Null",   "False",  "True",   "Object", "Array",
                              "String", "Number", "Number", "Number", "Number"};
    for (rapidjson::SizeType i = 0; i < doc->Size(); ++i)
        EXPECT_STREQ(expected[i], typeName((*doc)[i])) << i;

    EXPECT_EQ(0.0, numberOrZero((*doc)[5]));
    EXPECT_EQ(1.0, numberOrZero((*doc)[6]));
    EXPECT_EQ(-5.0, numberOrZero((*doc)[7]));
    EXPECT_EQ(18446744073709551615.0, numberOrZero((*doc)[8]));
    EXPECT_EQ(2.5, numberOrZero((*doc)[9]));

    EXPECT_EQ(HUGE_VALF, narrowToFloat(1e300));
    EXPECT_EQ(-HUGE_VALF, narrowToFloat(-1e300));
    EXPECT_EQ(0.5f, narrowToFloat(0.5));
}

TEST(JsonAccess, SwitchedOffDiagnosticsPrintNothing) {
    ASSERT_FALSE(debugEnabled()) << "run without KR_DEBUG_OTIO";
    auto doc = parse(R"({"n":null,"i":1})");
    const std::string printed = test::stderrOf([&] {
        std::string s;
        double d;
        getString(*doc, "missing", s);
        getDouble(*doc, "i", d);
        getString(*doc, "n", s);
        debugPrint("%s\n", "hello");
    });
    EXPECT_EQ("", printed);
}

TEST(JsonAccessDebugOn, EachLookupPrintsItsOutcome) {
    ASSERT_TRUE(debugEnabled()) << "run with KR_DEBUG_OTIO set";
    auto doc = parse(R"({"opacity":1,"big":1e39,"num_audio_channels":2.0,"has_audio":"yes",
        "n":null,"f":false,"name":"x","o":[],"a":{},"gb":-1})");
    const std::string printed = test::stderrOf([&] {
        std::string s;
        double d;
        float f;
        std::int32_t i;
        std::uint32_t u;
        bool b;
        const Value* v;
        getFloat(*doc, "opacity", f);
        getFloat(*doc, "big", f);
        getInt(*doc, "num_audio_channels", i);
        getBool(*doc, "has_audio", b);
        getDouble(*doc, "n", d);
        getString(*doc, "f", s);
        getString(*doc, "name", s);
        getString(*doc, "absent", s);
        getObject(*doc, "o", v);
        getArray(*doc, "a", v);
        getUint(*doc, "gb", u);
    });
    EXPECT_EQ("Expected 'opacity' to be Float, found Number\n"
              "Expected 'big' to be Float, found Number\n"
              "Expected 'num_audio_channels' to be Int, found Number\n"
              "Expected 'has_audio' to be bool, found String\n"
              "Expected 'n' to be Double, found Null\n"
              "Expected 'f' to be String, found False\n"
              "Found name\n"
              "Cannot find 'absent'\n"
              "Expected 'o' to be Object, found Array\n"
              "Expected 'a' to be Array, found Object\n"
              "Expected 'gb' to be Uint, found Number\n",
              printed);
}

} // namespace
} // namespace ZEM_0_81::rapidotio
