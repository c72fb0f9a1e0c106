#include "rapidotio/MediaVocabulary.h"

namespace ZEM_0_81::rapidotio::MediaVocabulary {

namespace {

struct SampleType {
    const char* name;
    std::int32_t bits;
    bool isFloat;
};

constexpr SampleType kSampleTypes[] = {
    {"bit", 1, false},    {"unsigned char", 8, false}, {"unsigned short", 16, false},
    {"half", 16, true},   {"unsigned int", 32, false}, {"float", 32, true},
    {"double", 64, true},
};

} // namespace

const char* sampleTypeName(int bits, bool isFloat) {
    for (const SampleType& type : kSampleTypes) {
        if (type.bits == bits && type.isFloat == isFloat)
            return type.name;
    }
    return nullptr;
}

bool sampleTypeOf(const std::string& name, std::int32_t& bits, bool& isFloat) {
    for (const SampleType& type : kSampleTypes) {
        if (name == type.name) {
            bits = type.bits;
            isFloat = type.isFloat;
            return true;
        }
    }
    return false;
}

} // namespace ZEM_0_81::rapidotio::MediaVocabulary
