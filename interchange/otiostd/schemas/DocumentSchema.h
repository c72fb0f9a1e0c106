#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/schemas/TrackItems.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmRoot.h"

namespace ZEM_0_81::Interchange {

/// A whole standard OTIO document: the edit tree's root, its reels and their
/// compositions. A tree with one composition is one "Timeline.1" (TimelineSchema);
/// a tree with several is a "SerializableCollection.1" of timelines, one per
/// composition in the tree's order.
///
/// What OTIO has no place for is described in "metadata" → "zem" of the document's
/// top object, as "root" (a collection's description has "ZEM_SCHEMA": "Root.1"),
/// left out when the tree has one plain reel under a plain root:
///
///     "root": {"name": S, "properties",
///              "reels": [{"name": S, "properties", "before": (other nodes of the root
///                         before the reel), "after": (other nodes of the reel after its
///                         last composition)}, ...],   when not one plain reel
///              "after": (other nodes of the root after its last reel)}
///
/// Each timeline names its reel ("reel", by place) when it is not in the first.
namespace DocumentSchema {

constexpr const char* kCollectionType = "SerializableCollection";
constexpr const char* kCollectionSchema = "SerializableCollection.1";
// The name the OpenTimelineIO library also reads for collections.
constexpr const char* kCollectionOldType = "SerializeableCollection";

/// Writes the tree. Throws Json::Exception with NoData when it holds no
/// composition under a reel: standard OTIO has no document without a timeline.
void write(OtioWriter& writer, const DmRoot& root);

/// Reads a whole document: every timeline of a collection, or only the one
/// `choice` names (chooseTimeline) when it is not empty. Throws Json::Exception
/// with OtioImportFailed, saying "no timeline", when the document is not a
/// timeline or a collection holding one, or holds none `choice` names.
CoSharedPtr<DmRoot> read(ReadContext& context, const Value& document,
                         const std::string& choice = std::string());

/// Parses `length` bytes of `text` (followed by a NUL byte) whole into a DOM
/// and reads it as read does, reporting to `losses`: the reading a document
/// gets when its tracks' items cannot be read from the text (TrackItems).
/// Throws Json::Exception as read does, and with the parse's error.
CoSharedPtr<DmRoot> readParsedWhole(const char* text, std::size_t length, const std::string& choice,
                                    LossReport& losses);

/// Reads `length` bytes of `text` (followed by a NUL byte) as read does, with
/// its tracks' items left in the text and each track's parsed `ahead`
/// (TrackItems); `choice` as above. Null, `losses` then holding nothing to
/// keep, when the document must be parsed whole: its text is not well-formed, a
/// reader needs the items of a track before it reads them, or the read fails
/// (readParsedWhole then gives the reading or the error it always gave).
CoSharedPtr<DmRoot> readLeavingItems(const char* text, std::size_t length,
                                     const std::string& choice, const TrackItems::Ahead& ahead,
                                     LossReport& losses);

} // namespace DocumentSchema

} // namespace ZEM_0_81::Interchange
