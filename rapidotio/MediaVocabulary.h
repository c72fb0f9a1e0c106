#pragma once

#include <cstdint>
#include <string>

namespace ZEM_0_81::rapidotio {

/// Words and values of media descriptions that every reader and writer of
/// compositions shares: the product dialect's clip node, the OTIO import and
/// export, and the standard OTIO interchange. Each is defined here once.
namespace MediaVocabulary {

/// Extra-data keys of a media input that carry a media property of their own
/// rather than free-form data: the codecs, the file size and the frame rate, as
/// texts.
constexpr const char* kVideoCodecKey = "ZEM_VIDEO_CODEC";
constexpr const char* kAudioCodecKey = "ZEM_AUDIO_CODEC";
constexpr const char* kFileSizeKey = "ZEM_FILE_SIZE_IN_BYTES";
constexpr const char* kFrameRateKey = "ZEM_FRAME_RATE";

/// The text of a codec or a sample type that is not known.
constexpr const char* kUnknown = "Unknown";

/// The frames per second taken where a document gives no rate.
constexpr double kDefaultRate = 24.0;

/// The sample-type name of samples of `bits` bits, floating point or not: "bit",
/// "unsigned char", "unsigned short", "half", "unsigned int", "float", "double";
/// null when the combination has no name.
const char* sampleTypeName(int bits, bool isFloat);

/// The inverse of sampleTypeName: the bits and the kind of samples that `name`
/// (compared exactly, case-sensitive) stands for; false, leaving both untouched,
/// for any other text.
bool sampleTypeOf(const std::string& name, std::int32_t& bits, bool& isFloat);

} // namespace MediaVocabulary

} // namespace ZEM_0_81::rapidotio
