// The shared words of media descriptions: sample-type names in both directions.
#include "rapidotio/MediaVocabulary.h"

#include <gtest/gtest.h>

using namespace ZEM_0_81::rapidotio;

TEST(MediaVocabulary, SampleTypeNamesGoBothWays) {
    const struct {
        const char* name;
        int bits;
        bool isFloat;
    } named[] = {{"bit", 1, false},   {"unsigned char", 8, false}, {"unsigned short", 16, false},
                 {"half", 16, true},  {"unsigned int", 32, false}, {"float", 32, true},
                 {"double", 64, true}};
    for (const auto& type : named) {
        EXPECT_STREQ(type.name, MediaVocabulary::sampleTypeName(type.bits, type.isFloat));
        std::int32_t bits = 0;
        bool isFloat = !type.isFloat;
        EXPECT_TRUE(MediaVocabulary::sampleTypeOf(type.name, bits, isFloat)) << type.name;
        EXPECT_EQ(type.bits, bits) << type.name;
        EXPECT_EQ(type.isFloat, isFloat) << type.name;
    }
}

TEST(MediaVocabulary, CombinationsAndTextsWithoutANameAreRefused) {
    EXPECT_EQ(nullptr, MediaVocabulary::sampleTypeName(64, false));
    EXPECT_EQ(nullptr, MediaVocabulary::sampleTypeName(8, true));
    EXPECT_EQ(nullptr, MediaVocabulary::sampleTypeName(12, false));

    std::int32_t bits = 7;
    bool isFloat = true;
    for (const char* text : {"Float", "", "unsigned  char", "Unknown"}) {
        EXPECT_FALSE(MediaVocabulary::sampleTypeOf(text, bits, isFloat)) << text;
        EXPECT_EQ(7, bits);
        EXPECT_TRUE(isFloat);
    }
}
