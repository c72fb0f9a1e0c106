#pragma once

// Member names and kind texts of edit-tree JSON, written once here and shared by
// DmTreeJsonBuilder and DmJsonImporter. Internal to the library; the dialect is
// described in JSON.md beside this file.

namespace DmJsonKeys {

constexpr const char* kFormatName = "KRdmtree-json";
constexpr int kFormatVersion = 1;

// Trees deeper than this are refused by the builder (which walks nodes with a
// stack of its own), as they always were. The importer keeps a stack of its own
// and reads texts of any depth.
constexpr int kMaxDepth = 256;

// Document
constexpr const char* kFormat = "format";
constexpr const char* kVersion = "version";
constexpr const char* kTree = "tree";

// Shared
constexpr const char* kKind = "kind";
constexpr const char* kName = "name";
constexpr const char* kProperties = "properties";
constexpr const char* kChildren = "children";
constexpr const char* kMediaType = "mediaType";
constexpr const char* kIndex = "index";
constexpr const char* kId = "id";
constexpr const char* kChannel = "channel";
constexpr const char* kChannels = "channels";
constexpr const char* kAttributs = "attributs";
constexpr const char* kValue = "value";
constexpr const char* kParameter = "parameter";
constexpr const char* kStartTC = "startTC";
constexpr const char* kLength = "length";
constexpr const char* kFcm = "fcm";
constexpr const char* kFlag = "flag";

// Node kinds
constexpr const char* kRoot = "root";
constexpr const char* kReel = "reel";
constexpr const char* kComposition = "composition";
constexpr const char* kTrack = "track";
constexpr const char* kLayer = "layer";
constexpr const char* kSource = "source";
constexpr const char* kGap = "gap";
constexpr const char* kCut = "cut";
constexpr const char* kContainer = "container";

// Composition and layer
constexpr const char* kStartTcFcm = "startTcFcm";
constexpr const char* kResolution = "resolution";
constexpr const char* kFirstLayer = "firstLayer";

// Segment and source
constexpr const char* kRecIn = "recIn";
constexpr const char* kRecLength = "recLength";
constexpr const char* kSegmentId = "segmentId";
constexpr const char* kEffects = "effects";
constexpr const char* kRelIn = "relIn";
constexpr const char* kFlag1 = "flag1";
constexpr const char* kFlag2 = "flag2";
constexpr const char* kInputs = "inputs";

// Input
constexpr const char* kMedia = "media";
constexpr const char* kAvailIn = "availIn";
constexpr const char* kAvailLength = "availLength";
constexpr const char* kSourceInfo = "sourceInfo";
constexpr const char* kPrimaryRes = "primaryRes";
constexpr const char* kAudio = "audio";
constexpr const char* kExtraData = "extraData";
constexpr const char* kKey = "key";

// Source information
constexpr const char* kSequences = "sequences";
constexpr const char* kSourceType = "sourceType";
constexpr const char* kFileType = "fileType";
constexpr const char* kPath = "path";
constexpr const char* kOriginalSourceUID = "originalSourceUID";

// Frame resolution
constexpr const char* kCenterX = "centerX";
constexpr const char* kCenterY = "centerY";
constexpr const char* kSizeX = "sizeX";
constexpr const char* kSizeY = "sizeY";
constexpr const char* kWidth = "width";
constexpr const char* kHeight = "height";
constexpr const char* kDepth = "depth";
constexpr const char* kBits = "bits";
constexpr const char* kFloat = "float";
constexpr const char* kFrameRatio = "frameRatio";

// Audio
constexpr const char* kSamplingRate = "samplingRate";

// Effects and layers
constexpr const char* kComp = "comp";
constexpr const char* kAngularMask = "angularMask";
constexpr const char* kLook = "look";
constexpr const char* kAnnotation = "annotation";
constexpr const char* kPaint = "paint";
constexpr const char* kText = "text";
constexpr const char* kMuted = "muted";
constexpr const char* kSlope = "slope";
constexpr const char* kOffset = "offset";
constexpr const char* kPower = "power";
constexpr const char* kSaturation = "saturation";
constexpr const char* kLayers = "layers";
constexpr const char* kStartFrame = "startFrame";
constexpr const char* kDuration = "duration";
constexpr const char* kHold = "hold";
constexpr const char* kGhost = "ghost";
constexpr const char* kGhostBefore = "ghostBefore";
constexpr const char* kGhostAfter = "ghostAfter";
constexpr const char* kStrokes = "strokes";
constexpr const char* kParagraphs = "paragraphs";

// Stroke
constexpr const char* kColor = "color";
constexpr const char* kType = "type";
constexpr const char* kBrush = "brush";
constexpr const char* kPoints = "points";

// Paragraph
constexpr const char* kFontName = "fontName";

// Animation channel and key frame
constexpr const char* kInterpType = "interpType";
constexpr const char* kExtrapolation = "extrapolation";
constexpr const char* kKeyFrames = "keyFrames";
constexpr const char* kTime = "time";
constexpr const char* kMode = "mode";
constexpr const char* kOrder = "order";
constexpr const char* kParameters = "parameters";
constexpr const char* kCount = "count";

} // namespace DmJsonKeys
