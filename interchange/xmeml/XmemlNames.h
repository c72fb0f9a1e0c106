#pragma once

namespace ZEM_0_81::Interchange::Fcp7::Names {

// The element and attribute names of xmeml that the reader and the writer use,
// each written once.
constexpr const char* kXmeml = "xmeml";
constexpr const char* kVersion = "version";
constexpr const char* kId = "id";
constexpr const char* kSequence = "sequence";
constexpr const char* kName = "name";
constexpr const char* kDuration = "duration";
constexpr const char* kRate = "rate";
constexpr const char* kTimebase = "timebase";
constexpr const char* kNtsc = "ntsc";
constexpr const char* kTimecode = "timecode";
constexpr const char* kString = "string";
constexpr const char* kFrame = "frame";
constexpr const char* kDisplayFormat = "displayformat";
constexpr const char* kMedia = "media";
constexpr const char* kVideo = "video";
constexpr const char* kAudio = "audio";
constexpr const char* kFormat = "format";
constexpr const char* kSampleCharacteristics = "samplecharacteristics";
constexpr const char* kWidth = "width";
constexpr const char* kHeight = "height";
constexpr const char* kTrack = "track";
constexpr const char* kClipItem = "clipitem";
constexpr const char* kGeneratorItem = "generatoritem";
constexpr const char* kTransitionItem = "transitionitem";
constexpr const char* kStart = "start";
constexpr const char* kEnd = "end";
constexpr const char* kIn = "in";
constexpr const char* kOut = "out";
constexpr const char* kEnabled = "enabled";
constexpr const char* kFile = "file";
constexpr const char* kPathUrl = "pathurl";
constexpr const char* kMarker = "marker";
constexpr const char* kComment = "comment";
constexpr const char* kColor = "color";
constexpr const char* kRed = "red";
constexpr const char* kGreen = "green";
constexpr const char* kBlue = "blue";
constexpr const char* kAlpha = "alpha";
constexpr const char* kFilter = "filter";
constexpr const char* kEffect = "effect";
constexpr const char* kEffectId = "effectid";
constexpr const char* kEffectCategory = "effectcategory";
constexpr const char* kEffectType = "effecttype";
constexpr const char* kMediaType = "mediatype";
constexpr const char* kParameter = "parameter";
constexpr const char* kParameterId = "parameterid";
constexpr const char* kValue = "value";
constexpr const char* kAlignment = "alignment";
constexpr const char* kCutPointTicks = "cutPointTicks";
constexpr const char* kMultiClip = "multiclip";

// Values.
constexpr const char* kTrue = "TRUE";
constexpr const char* kFalse = "FALSE";
constexpr const char* kDropFrame = "DF";
constexpr const char* kNonDropFrame = "NDF";

// Transition alignments.
constexpr const char* kAlignStart = "start";
constexpr const char* kAlignCenter = "center";
constexpr const char* kAlignEnd = "end";
constexpr const char* kAlignStartBlack = "start-black";
constexpr const char* kAlignEndBlack = "end-black";

// The Time Remap filter and its parameters, and the audio levels filter.
constexpr const char* kTimeRemapId = "timeremap";
constexpr const char* kTimeRemapName = "Time Remap";
constexpr const char* kSpeed = "speed";
constexpr const char* kReverse = "reverse";
constexpr const char* kVariableSpeed = "variablespeed";
constexpr const char* kAudioLevelsId = "audiolevels";

/// Premiere Pro's ticks: 254016000000 a second, whatever the rate.
constexpr long long kTicksPerSecond = 254016000000LL;

} // namespace ZEM_0_81::Interchange::Fcp7::Names
