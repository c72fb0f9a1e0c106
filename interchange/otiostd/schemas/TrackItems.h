#pragma once

#include "interchange/kept/JsonValues.h"
#include "rapidotio/DocumentMemory.h"
#include "rapidotio/JsonAccess.h"

#include <rapidjson/document.h>
#include <rapidjson/reader.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange {

class ReadContext;

/// Thrown by a reader that meets items left in the text (TrackItems) where it
/// needs them all at once, and by the reading of those items when their text is
/// not well-formed: the document is then parsed whole and read again, which
/// gives the same result, and the same error, as it always has.
struct NeedsWholeDocument {};

/// The items of the tracks of a timeline, read from the text one at a time as
/// the track's reader comes to them, instead of from a DOM of the whole document.
///
/// Nearly all of a timeline's text is its tracks' "children". parse builds the
/// DOM of everything else, and for each of those arrays leaves in its place a
/// string that refers to its text, found by matching its brackets. A track's
/// reader then parses one item at a time into memory it hands back as the edit
/// tree grows (Items), so that the read never holds more than the tree, the
/// small rest of the document and an item or two.
///
/// The arrays left are those of the objects whose "OTIO_SCHEMA" names a Track,
/// in the "children" of the "tracks" of the root or of a child of a root
/// collection, where the readers look for tracks. A reader that times tracks
/// from their items before it reads them (a timeline of another tool,
/// OtioTiming::timelineTiming; a track without its length) calls time first.
/// One that needs the items some other way throws NeedsWholeDocument.
class TrackItems {
public:
    /// An array left in the text.
    struct Span {
        const char* begin; ///< its '['
        int depth;         ///< arrays and objects open around its items, its own included
        /// Just after the last byte of each item that is an object or an array,
        /// as the brackets tell.
        std::vector<const char*> ends;
        bool read = false; ///< its items were parsed to its ']': none is left to check
        /// Where the timing time put in its place is, until forget.
        std::vector<std::unique_ptr<rapidotio::DocumentMemory>> timing;
    };

    /// When the items of a track are parsed on a thread of their own, ahead of
    /// the reader, in batches: the parse of one batch then runs while the reader
    /// builds the edit tree from the one before, on two cores. A reader that
    /// would wait for the thread parses a batch itself: the one it needs, when
    /// the thread has not come to it, else the one after the thread's.
    struct Ahead {
        /// Items of fewer bytes than this are parsed as the reader comes to them:
        /// a thread is worth starting for a long track only. A track of 256 KB,
        /// four batches, takes about a millisecond to parse, a thread a tenth
        /// of that to start; a feature's four picture tracks are as long.
        std::size_t minBytes = std::size_t(1) << 18;
        /// The text of each batch, at least one item and as many more as fit.
        /// Batches of 64 KB keep the items parsed ahead to well under a
        /// megabyte and still cost next to nothing to hand over.
        std::size_t batchBytes = std::size_t(64) << 10;
        /// The batches the thread parses ahead of the reader at most: two keep
        /// the thread busy while the reader takes one. The reader parses one
        /// more at most.
        std::size_t batches = 2;
    };

    /// `text`: `length` bytes followed by a NUL byte.
    TrackItems(const char* text, std::size_t length) : TrackItems(text, length, Ahead()) {}
    TrackItems(const char* text, std::size_t length, Ahead ahead)
        : m_text(text), m_length(length), m_ahead(ahead) {}
    TrackItems(const TrackItems&) = delete;
    TrackItems& operator=(const TrackItems&) = delete;

    /// Parses the text into `skeleton`, leaving the tracks' items in the text.
    /// False when the text is not accepted, holds a NUL byte or a literal
    /// StrictJson refuses (NaN1): the caller parses it whole, for the error it
    /// always gave.
    bool parse(rapidotio::Document& skeleton);

    /// True when `value` stands for items left in the text: a string parse left
    /// in their place, or the array time made of it.
    bool isLeft(const Value& value) const {
        if (value.IsString())
            return value.GetString() >= m_text && value.GetString() < m_text + m_length;
        return value.IsArray() && timedSpanAt(value) != nullptr;
    }
    /// True when parse left some.
    bool leftAny() const { return !m_spans.empty(); }

    /// Puts in the place of the items of each array left in `within` (a value
    /// of the skeleton, not yet handed back) an array of what their durations
    /// are read from, for the readers that time a track from its items before
    /// reading them (OtioTiming): a timeline of another tool times all of its
    /// tracks, a track without its length itself. For each item that is an
    /// object: the first of its "OTIO_SCHEMA", "source_range", "in_offset" and
    /// "out_offset" that its duration is read from (as a DOM's FindMember finds
    /// them), parsed from the text as the whole parse would, or the whole item
    /// where its duration comes from elsewhere (a clip's media, a nested
    /// track's items); null for any other item, which has no duration. The
    /// items are still read from the text (isLeft, Items). Arrays timed already
    /// stay as they are. Throws NeedsWholeDocument where an item's text is not
    /// well-formed.
    void time(const Value& within);
    /// Hands back the memory of the timing time put in `within`, which is no
    /// more read: the arrays are left empty, and still stand for their items.
    void forget(const Value& within);

    /// Checks that the items no reader went through are well-formed, as parsing
    /// the text whole would have; throws NeedsWholeDocument when they are not.
    void checkUnread() const;

private:
    /// Parses the items of a Span one at a time, front to back, as the whole
    /// parse would have parsed them. A copy goes on from where the original is.
    class Cursor {
    public:
        explicit Cursor(const Span& span);
        /// True when the items are all parsed, or the array has none.
        bool ended() const { return m_ended; }
        /// Where the next item starts, or the array's ']' once ended.
        const char* position() const { return m_next; }
        /// Parses the next item into `parser`, whose allocator is `memory`'s,
        /// with `reader`; false when the text holds no well-formed item there.
        bool parse(rapidotio::Document& parser, rapidotio::DocumentMemory& memory,
                   rapidjson::Reader& reader) {
            return next(&parser, memory, reader);
        }
        /// Goes past the next item as parse would, without parsing an object or
        /// an array (parse, from a copy made before, tells whether it is
        /// well-formed); false where parse would be, but for that. A scalar is
        /// parsed into `scratch`.
        bool skip(rapidotio::DocumentMemory& scratch, rapidjson::Reader& reader) {
            return next(nullptr, scratch, reader);
        }

    private:
        /// parse, or skip when `parser` is null.
        bool next(rapidotio::Document* parser, rapidotio::DocumentMemory& memory,
                  rapidjson::Reader& reader);
        /// Parses the item at `stream` into `parser`, as the whole parse would
        /// (RapidJSON's parse `Flags` besides); false when it is not well-formed.
        template <unsigned Flags, class Stream>
        bool parseItem(Stream& stream, rapidotio::Document& parser,
                       rapidjson::Reader& reader) const;
        /// The item from `start` to `end`, parsed in place in a copy made in
        /// `memory`: its strings are not copied again.
        bool parseCopy(const char* start, const char* end, rapidotio::Document& parser,
                       rapidotio::DocumentMemory& memory, rapidjson::Reader& reader) const;

        const Span* m_span;
        const char* m_next;
        std::size_t m_nextEnd = 0; ///< in m_span->ends
        bool m_ended = false;
    };

public:
    /// The items left at `placeholder` (isLeft), parsed one at a time: as the
    /// reader asks for them, or on a thread of their own ahead of it (Ahead).
    class Items {
    public:
        Items(TrackItems& owner, const Value& placeholder);
        ~Items();
        Items(const Items&) = delete;
        Items& operator=(const Items&) = delete;

        /// The next item, valid until the Items go or it is released, or null
        /// after the last one. Throws NeedsWholeDocument when the text holds no
        /// well-formed item there.
        const Value* next();
        /// Hands back the memory of `item` (one next gave) and of the items
        /// before it: none of them is read again.
        void release(const Value& item);

        /// True when the items are parsed on a thread ahead of the reader.
        bool ahead() const { return m_thread != nullptr; }
        /// The batches taken from the thread and not handed back, for tests.
        std::size_t batchesHeld() const { return m_batches.size(); }
        /// The batches the reader parsed itself rather than wait for the
        /// thread, for tests.
        std::size_t batchesParsedByReader() const;

    private:
        /// Items parsed together on the thread, with their memory.
        struct Batch;
        class Thread;

        const Value* nextAhead();

        Span* m_span;
        Cursor m_cursor;
        rapidjson::Reader m_reader;
        rapidotio::DocumentMemory m_memory;
        rapidotio::Document m_parser;
        std::deque<Value> m_items;
        /// When the items are parsed ahead: the thread, and the batches it
        /// gave that are not released, the one read from last.
        std::unique_ptr<Thread> m_thread;
        std::deque<std::unique_ptr<Batch>> m_batches;
    };

private:
    Span& spanAt(const Value& placeholder);
    /// The span whose items time put at `value`, or null.
    Span* timedSpanAt(const Value& value) const;
    /// Adds the placeholders in `value` and below to `places`.
    void findLeft(Value& value, std::vector<Value*>& places) const;

    const char* m_text;
    std::size_t m_length;
    Ahead m_ahead;
    std::vector<Span> m_spans; ///< in the order of the text
    /// The arrays time made and the spans they stand for, by address.
    std::vector<std::pair<const Value*, Span*>> m_timed;
};

} // namespace ZEM_0_81::Interchange
