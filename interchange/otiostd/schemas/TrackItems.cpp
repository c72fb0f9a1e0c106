#include "interchange/otiostd/schemas/TrackItems.h"

#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "rapidotio/keys/TimelineKeys.h"
#include "strictjson/StrictParse.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <limits>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ZEM_0_81::Interchange {

namespace {

/// How the text is parsed: as StrictJson::parse parses it for the readers.
constexpr unsigned kFlags = rapidjson::kParseDefaultFlags | rapidjson::kParseFullPrecisionFlag |
                            rapidjson::kParseNanAndInfFlag;

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

const char* skipSpace(const char* p) {
    while (isSpace(*p))
        ++p;
    return p;
}

/// Where closingBracket is: the brackets open since the array's '[', and
/// whether the last byte read is in a string.
struct BracketScan {
    int depth = 0;
    bool inString = false;
};

/// Reads the bytes from `p` up to `stop` (one more when the last escapes it),
/// adding to `ends` the end of each item closed. The closing bracket when it is
/// among them, else null.
const char* scanBytes(const char*& p, const char* stop, BracketScan& scan,
                      std::vector<const char*>& ends) {
    for (; p < stop; ++p) {
        const char c = *p;
        if (scan.inString) {
            if (c == '\\')
                ++p;
            else if (c == '"')
                scan.inString = false;
        } else if (c == '"') {
            scan.inString = true;
        } else if (c == '[' || c == '{') {
            ++scan.depth;
        } else if (c == ']' || c == '}') {
            if (scan.depth == 0)
                return p;
            if (--scan.depth == 0)
                ends.push_back(p + 1);
        }
    }
    return nullptr;
}

#if defined(__SSE2__)
/// The bits of the 64 bytes at `p` for which `test` holds of a 16-byte block.
template <class Test> std::uint64_t bitsOf(const char* p, Test test) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        bits |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(test(block)))) << (16 * i);
    }
    return bits;
}

/// Each bit the exclusive or of itself and those below it: set from an opening
/// quote up to the byte before the closing one.
std::uint64_t prefixXor(std::uint64_t bits) {
    for (int shift = 1; shift < 64; shift *= 2)
        bits ^= bits << shift;
    return bits;
}
#endif

/// The ']' that closes the array whose items start at `p`, found by its
/// brackets alone (strings and their escapes skipped), before `end`, the end of
/// the text; `ends` gets where each of its items that is an object or an array
/// ends. In a text that is not well-formed, the first bracket that does not
/// match, or `end`, where the parser then stops.
///
/// Nearly all of the text goes through here, 64 bytes at a time where no
/// backslash is among them: their quotes tell which of their brackets are
/// outside strings, and only those are gone through.
const char* closingBracket(const char* p, const char* end, std::vector<const char*>& ends) {
    BracketScan scan;
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"'), backslash = _mm_set1_epi8('\\');
    const __m128i lower = _mm_set1_epi8(0x20), open = _mm_set1_epi8('{'),
                  close = _mm_set1_epi8('}');
    while (end - p >= 64) {
        const std::uint64_t escapes =
            bitsOf(p, [&](__m128i b) { return _mm_cmpeq_epi8(b, backslash); });
        if (escapes == 0) {
            // '[' and '{', ']' and '}', differ by the bit 0x20 alone.
            std::uint64_t inStrings =
                prefixXor(bitsOf(p, [&](__m128i b) { return _mm_cmpeq_epi8(b, quote); }));
            if (scan.inString)
                inStrings = ~inStrings;
            const std::uint64_t opens =
                bitsOf(p, [&](__m128i b) { return _mm_cmpeq_epi8(_mm_or_si128(b, lower), open); }) &
                ~inStrings;
            const std::uint64_t closes =
                bitsOf(p,
                       [&](__m128i b) { return _mm_cmpeq_epi8(_mm_or_si128(b, lower), close); }) &
                ~inStrings;
            // The brackets outside strings, in their order.
            for (std::uint64_t brackets = opens | closes; brackets != 0; brackets &= brackets - 1) {
                const int at = __builtin_ctzll(brackets);
                if ((opens >> at & 1) != 0) {
                    ++scan.depth;
                } else if (scan.depth == 0) {
                    return p + at;
                } else if (--scan.depth == 0) {
                    ends.push_back(p + at + 1);
                }
            }
            scan.inString = (inStrings >> 63) != 0;
            p += 64;
            continue;
        }
        if (const char* found = scanBytes(p, p + 64, scan, ends))
            return found;
    }
#endif
    if (const char* found = scanBytes(p, end, scan, ends))
        return found;
    return end;
}

/// What a container of the text is, for finding the tracks' items.
enum class Place {
    Other,
    Timeline,     ///< the root (a timeline, or a collection) or a child of a root collection
    RootChildren, ///< the root's "children"
    Stack,        ///< a timeline's "tracks"
    Tracks,       ///< the stack's "children"
    Track,        ///< one of them
};

/// The member names the places are told by.
enum class Name { Other, Children, Tracks, Schema };

bool is(const char* text, rapidjson::SizeType length, const char* name) {
    return length == std::strlen(name) && std::memcmp(text, name, length) == 0;
}

/// Parses the text into a DOM as RapidJSON's document does (and as
/// StrictJson::DepthLimit stops it), but for the tracks' "children" (see
/// TrackItems), each of which it replaces by a string that refers to its text.
class SkeletonHandler {
public:
    using Ch = char;
    using SizeType = rapidjson::SizeType;

    SkeletonHandler(rapidotio::Document& document, rapidjson::StringStream& stream, const char* end,
                    std::vector<TrackItems::Span>& spans)
        : m_document(document), m_stream(stream), m_end(end), m_spans(spans) {
        m_frames.reserve(16);
    }

    bool Null() { return m_document.Null(); }
    bool Bool(bool b) { return m_document.Bool(b); }
    bool Int(int i) { return m_document.Int(i); }
    bool Uint(unsigned i) { return m_document.Uint(i); }
    bool Int64(std::int64_t i) { return m_document.Int64(i); }
    bool Uint64(std::uint64_t i) { return m_document.Uint64(i); }
    bool Double(double d) { return m_document.Double(d); }
    bool RawNumber(const Ch* s, SizeType n, bool copy) { return m_document.RawNumber(s, n, copy); }
    bool String(const Ch* s, SizeType n, bool copy) {
        if (!m_frames.empty())
            noteString(m_frames.back(), s, n);
        return m_document.String(s, n, copy);
    }
    bool Key(const Ch* s, SizeType n, bool copy) {
        Frame& frame = m_frames.back();
        frame.name = frame.place == Place::Other ? Name::Other : nameOf(s, n);
        return m_document.Key(s, n, copy);
    }
    bool StartObject() {
        if (!enter())
            return false;
        m_frames.push_back(childOf(true));
        return m_document.StartObject();
    }
    bool EndObject(SizeType members) {
        m_frames.pop_back();
        return m_document.EndObject(members);
    }
    bool StartArray() {
        if (!enter())
            return false;
        if (leavesItems()) {
            // The parser goes on at the ']' and sees an empty array.
            m_leaving = true;
            m_spans.push_back(TrackItems::Span{
                m_stream.src_ - 1, static_cast<int>(m_frames.size()) + 1, {}, false, {}});
            m_stream.src_ = closingBracket(m_stream.src_, m_end, m_spans.back().ends);
            return true;
        }
        m_frames.push_back(childOf(false));
        return m_document.StartArray();
    }
    bool EndArray(SizeType elements) {
        if (m_leaving) {
            m_leaving = false;
            const char* const begin = m_spans.back().begin;
            const auto length = static_cast<std::size_t>(m_stream.src_ - begin);
            if (length > std::numeric_limits<SizeType>::max())
                return false;
            return m_document.String(begin, static_cast<SizeType>(length), false);
        }
        m_frames.pop_back();
        return m_document.EndArray(elements);
    }

private:
    struct Frame {
        Place place;
        Name name = Name::Other; ///< of the member whose value comes next (objects)
        bool schemaSeen = false; ///< (a track) its "OTIO_SCHEMA" came
        bool isTrack = false;    ///< (a track) it names a Track
    };

    static Name nameOf(const Ch* s, SizeType n) {
        if (is(s, n, SchemaMembers::kChildren))
            return Name::Children;
        if (is(s, n, rapidotio::keys::TimelineKeys::tracks))
            return Name::Tracks;
        if (is(s, n, SchemaMembers::kSchema))
            return Name::Schema;
        return Name::Other;
    }

    /// Arrays and objects nest no deeper than the recursive parser goes.
    bool enter() { return m_frames.size() < StrictJson::kRecursiveParseDepth; }

    void noteString(Frame& frame, const Ch* s, SizeType n) {
        if (frame.place == Place::Track && frame.name == Name::Schema && !frame.schemaSeen) {
            frame.schemaSeen = true;
            std::string type;
            int version = 0;
            frame.isTrack = SchemaMembers::parseSchema(std::string(s, n), type, version) &&
                            (type == "Track" || type == "Sequence");
        }
    }

    /// The frame of an object (or an array) that starts in the current place.
    Frame childOf(bool object) const {
        Frame frame{Place::Other};
        if (m_frames.empty()) {
            frame.place = object ? Place::Timeline : Place::Other;
            return frame;
        }
        const Frame& parent = m_frames.back();
        switch (parent.place) {
        case Place::Timeline:
            if (!object && parent.name == Name::Children && m_frames.size() == 1)
                frame.place = Place::RootChildren;
            else if (object && parent.name == Name::Tracks)
                frame.place = Place::Stack;
            break;
        case Place::RootChildren:
            if (object)
                frame.place = Place::Timeline;
            break;
        case Place::Stack:
            if (!object && parent.name == Name::Children)
                frame.place = Place::Tracks;
            break;
        case Place::Tracks:
            if (object)
                frame.place = Place::Track;
            break;
        default:
            break;
        }
        return frame;
    }

    /// True for the "children" of a track.
    bool leavesItems() const {
        if (m_frames.empty())
            return false;
        const Frame& parent = m_frames.back();
        return parent.place == Place::Track && parent.name == Name::Children && parent.isTrack;
    }

    rapidotio::Document& m_document;
    rapidjson::StringStream& m_stream;
    const char* const m_end; ///< of the text
    std::vector<TrackItems::Span>& m_spans;
    std::vector<Frame> m_frames;
    bool m_leaving = false; ///< the array the parser is in is m_spans.back()
};

} // namespace

bool TrackItems::parse(rapidotio::Document& skeleton) {
    m_spans.clear();
    m_timed.clear();
    if (!m_text)
        return false;
    // The whole parse stops at a NUL byte with its own error, and refuses what
    // RapidJSON would misread: a literal such as NaN1, which it reads on (and
    // beyond the text), and the control bytes its SSE2 scan may take for more of
    // a string.
    const auto refused = [this] {
        std::string guarded;
        return std::memchr(m_text, '\0', m_length) != nullptr ||
               StrictJson::guardMisreads(m_text, m_length, true, guarded);
    };
    // A long text is checked on a thread of its own beside the first parse,
    // which is safe on any text as it takes no NaN or Infinity: a text holding
    // one outside the items is parsed whole. The items are parsed once the
    // check has passed.
    std::future<bool> check;
    if (m_length >= m_ahead.minBytes) {
        try {
            check = std::async(std::launch::async, refused);
        } catch (const std::system_error&) {
        }
    }
    if (!check.valid() && refused())
        return false;
    rapidjson::StringStream stream(m_text);
    bool accepted = false;
    auto generator = [&](rapidotio::Document& document) {
        SkeletonHandler handler(document, stream, m_text + m_length, m_spans);
        rapidjson::Reader reader;
        accepted =
            !reader.Parse<kFlags & ~rapidjson::kParseNanAndInfFlag>(stream, handler).IsError();
        return accepted;
    };
    skeleton.Populate(generator);
    return !(check.valid() && check.get()) && accepted;
}

TrackItems::Span& TrackItems::spanAt(const Value& placeholder) {
    if (!placeholder.IsString()) {
        if (Span* const timed = timedSpanAt(placeholder))
            return *timed;
        throw NeedsWholeDocument();
    }
    const auto found =
        std::lower_bound(m_spans.begin(), m_spans.end(), placeholder.GetString(),
                         [](const Span& span, const char* begin) { return span.begin < begin; });
    if (found == m_spans.end() || found->begin != placeholder.GetString())
        throw NeedsWholeDocument();
    return *found;
}

TrackItems::Span* TrackItems::timedSpanAt(const Value& value) const {
    const auto found = std::lower_bound(m_timed.begin(), m_timed.end(), &value,
                                        [](const std::pair<const Value*, Span*>& timed,
                                           const Value* at) { return timed.first < at; });
    return found != m_timed.end() && found->first == &value ? found->second : nullptr;
}

// --- items timed before they are read ----------------------------------------------------

namespace {

/// The name of the members of an item its duration is read from
/// (OtioTiming::durationOf) that `s` is, or null.
const char* timingName(const char* s, rapidjson::SizeType n) {
    for (const char* name : {SchemaMembers::kSchema, SchemaMembers::kSourceRange,
                             KeptObjects::kInOffset, KeptObjects::kOutOffset}) {
        if (is(s, n, name))
            return name;
    }
    return nullptr;
}

/// Where the value that starts at `p` ends, before `end`, as its quotes and
/// brackets tell; null when it does not end there. `ends` is scratch.
const char* valueEnd(const char* p, const char* end, std::vector<const char*>& ends) {
    if (*p == '"') {
        for (const char* from = p + 1;;) {
            const char* const quote = static_cast<const char*>(
                std::memchr(from, '"', static_cast<std::size_t>(end - from)));
            if (!quote)
                return nullptr;
            // Escaped when an odd number of backslashes comes before it.
            const char* before = quote;
            while (before > from && before[-1] == '\\')
                --before;
            if ((quote - before) % 2 == 0)
                return quote + 1;
            from = quote + 1;
        }
    }
    if (*p == '{' || *p == '[') {
        ends.clear();
        const char* const close = closingBracket(p + 1, end, ends);
        return close < end ? close + 1 : nullptr;
    }
    while (p < end && !isSpace(*p) && *p != ',' && *p != '}' && *p != ']')
        ++p;
    return p;
}

/// The timing of the items of a span (TrackItems::time), read from the text.
class ItemTimer {
public:
    ItemTimer(const TrackItems::Span& span, const char* textEnd, rapidotio::Document& parser,
              rapidjson::Reader& reader)
        : m_span(span), m_textEnd(textEnd), m_parser(parser), m_reader(reader) {}

    /// Adds to `timing` the timing of the items from `next` (where one starts,
    /// or the array's ']') up to `stop` (where another starts) or the array's
    /// end, in their order. Throws NeedsWholeDocument where the text is not as
    /// the first parse found it.
    void timeItems(const char* next, const char* stop, std::vector<Value>& timing) {
        if (*next == ']')
            return;
        const std::vector<const char*>& ends = m_span.ends;
        auto nextEnd = static_cast<std::size_t>(
            std::lower_bound(ends.begin(), ends.end(), next + 1) - ends.begin());
        while (next != stop) {
            const char* after = nullptr;
            Value item;
            if ((*next == '{' || *next == '[') && nextEnd < ends.size()) {
                after = ends[nextEnd++];
                if (*next == '{')
                    item = objectTiming(next, after);
            } else {
                after = valueEnd(next, m_textEnd, m_ends);
                if (!after)
                    throw NeedsWholeDocument();
            }
            timing.push_back(std::move(item));
            after = skipSpace(after);
            if (*after == ']')
                return;
            if (*after != ',')
                throw NeedsWholeDocument();
            next = skipSpace(after + 1);
            while (nextEnd < ends.size() && ends[nextEnd] <= next)
                ++nextEnd;
        }
    }

private:
    /// The timing of the object from `start` ('{') to `end` (after its '}').
    Value objectTiming(const char* start, const char* end) {
        // The members are skimmed into scratch memory: most items are remade
        // from them (compacted), and what stands as it was skimmed is skimmed
        // again into the timing's own.
        Value timing(rapidjson::kObjectType);
        const Skimmed skimmed = skim(start, end, timing, scratch());
        const OtioTiming::Kind kind = OtioTiming::kindOf(timing);
        if (skimmed == Skimmed::Settled && kind != OtioTiming::Kind::Other)
            return compacted(timing);
        if (skimmed == Skimmed::Escaped)
            return parsed(start, end, 0, m_parser);
        // Where a duration comes from other members, the item is taken whole.
        TimeRange range = kZeroRange;
        if (skimmed == Skimmed::Ended &&
            (kind == OtioTiming::Kind::Clip || OtioTiming::isComposition(kind)) &&
            !OtioTiming::rangeOf(OtioTiming::memberOf(timing, SchemaMembers::kSourceRange), range))
            return parsed(start, end, 0, m_parser);
        Value kept(rapidjson::kObjectType);
        skim(start, end, kept, m_parser);
        return kept;
    }

    /// The scratch memory of a skim, made anew once it has grown past 64 KB.
    rapidotio::Document& scratch() {
        if (!m_scratch || m_scratch->pool.capacity() > rapidotio::ValuePool::kChunkCapacity)
            m_scratch = std::make_unique<Scratch>();
        return m_scratch->parser;
    }

    /// The timing of an item its range settles (a clip, gap, track or stack),
    /// remade of its kind and its range alone, in few values close together: a
    /// timeline's items are walked several times over (OtioTiming), and the
    /// members the skim parsed lie apart, among copies of their text. The
    /// numbers are those the range was read from (`settled`), unrounded.
    Value compacted(const Value& timing) {
        const Value& schema = *OtioTiming::memberOf(timing, SchemaMembers::kSchema);
        const Value& range = *OtioTiming::memberOf(timing, SchemaMembers::kSourceRange);
        const auto key = [](rapidotio::Document& made, const char* name) {
            made.Key(name, static_cast<rapidjson::SizeType>(std::strlen(name)), false);
        };
        const auto time = [&](rapidotio::Document& made, const char* name) {
            const Value& time = *OtioTiming::memberOf(range, name);
            key(made, name);
            made.StartObject();
            for (const char* number : {KeptObjects::kValue, KeptObjects::kRate}) {
                key(made, number);
                made.Double(OtioTiming::memberOf(time, number)->GetDouble());
            }
            made.EndObject(2);
        };
        auto generator = [&](rapidotio::Document& made) {
            made.StartObject();
            key(made, SchemaMembers::kSchema);
            made.String(schema.GetString(), schema.GetStringLength(), true);
            key(made, SchemaMembers::kSourceRange);
            made.StartObject();
            time(made, KeptObjects::kStartTime);
            time(made, KeptObjects::kDuration);
            made.EndObject(2);
            made.EndObject(2);
            return true;
        };
        m_parser.Populate(generator);
        Value value;
        value = static_cast<Value&>(m_parser);
        return value;
    }

    /// True when the members after those in `timing` cannot change what is
    /// read of the item, which is the first member of each name: an item of
    /// another kind is read for its kind alone; a clip, gap, track or stack for
    /// its range, once it has one; a transition for its offsets and its range.
    static bool settled(const Value& timing) {
        if (!timing.HasMember(SchemaMembers::kSchema))
            return false;
        const OtioTiming::Kind kind = OtioTiming::kindOf(timing);
        if (kind == OtioTiming::Kind::Other)
            return true;
        TimeRange range = kZeroRange;
        return kind != OtioTiming::Kind::Transition &&
               OtioTiming::rangeOf(OtioTiming::memberOf(timing, SchemaMembers::kSourceRange),
                                   range);
    }

    /// How skim ended.
    enum class Skimmed {
        Settled, ///< at the member that settles the item (settled)
        Ended,   ///< at the object's end
        Escaped, ///< at a name with an escape, which is not decoded here
    };

    /// Adds to `timing` the first member of each name timingName names of the
    /// object from `p` to `end`, in their order, until it is settled; the
    /// members and `timing`'s list of them are made in `into`'s memory.
    Skimmed skim(const char* p, const char* end, Value& timing, rapidotio::Document& into) {
        p = skipSpace(p + 1);
        if (*p == '}')
            return Skimmed::Ended;
        for (;;) {
            if (*p != '"')
                throw NeedsWholeDocument();
            const char* const key = ++p;
            while (p < end && *p != '"' && *p != '\\')
                ++p;
            if (p >= end)
                throw NeedsWholeDocument();
            if (*p == '\\')
                return Skimmed::Escaped;
            const char* const name = timingName(key, static_cast<rapidjson::SizeType>(p - key));
            p = skipSpace(p + 1);
            if (*p != ':')
                throw NeedsWholeDocument();
            const char* const value = skipSpace(p + 1);
            const char* const after = valueEnd(value, end, m_ends);
            if (!after)
                throw NeedsWholeDocument();
            if (name && !timing.HasMember(name)) {
                Value member = parsed(value, after, 1, into);
                Value memberName(rapidjson::StringRef(name));
                timing.AddMember(memberName, member, into.GetAllocator());
                if (settled(timing))
                    return Skimmed::Settled;
            }
            p = skipSpace(after);
            if (*p == '}')
                return Skimmed::Ended;
            if (*p != ',')
                throw NeedsWholeDocument();
            p = skipSpace(p + 1);
        }
    }

    /// The value from `start` to `end`, `nested` levels inside an item, parsed
    /// as the whole parse would, in place in a copy of its own in `into`'s
    /// memory: its strings are not copied again.
    Value parsed(const char* start, const char* end, int nested, rapidotio::Document& into) {
        const auto length = static_cast<std::size_t>(end - start);
        char* const copy = static_cast<char*>(into.GetAllocator().Malloc(length + 1));
        *std::copy(start, end, copy) = '\0';
        rapidjson::InsituStringStream stream(copy);
        bool accepted = false;
        auto generator = [&](rapidotio::Document& document) {
            StrictJson::DepthLimit<rapidotio::Document> limited(
                document, StrictJson::kRecursiveParseDepth - m_span.depth - nested);
            accepted = !m_reader
                            .Parse<kFlags | rapidjson::kParseStopWhenDoneFlag |
                                   rapidjson::kParseInsituFlag>(stream, limited)
                            .IsError();
            return accepted;
        };
        into.Populate(generator);
        if (!accepted || stream.src_ != copy + length)
            throw NeedsWholeDocument();
        Value value;
        value = static_cast<Value&>(into);
        return value;
    }

    struct Scratch {
        rapidotio::ValuePool pool;
        rapidotio::Document parser{&pool};
    };

    const TrackItems::Span& m_span;
    const char* const m_textEnd;
    rapidotio::Document& m_parser;
    rapidjson::Reader& m_reader;
    std::vector<const char*> m_ends; ///< scratch of valueEnd
    std::unique_ptr<Scratch> m_scratch;
};

/// The items of a span timed from `first` to `stop` (ItemTimer::timeItems).
struct TimedPart {
    TrackItems::Span* span;
    const char* first;
    const char* stop;
    std::vector<Value> timing;
    /// Where their values are made: the span's to hold (Span::timing).
    std::unique_ptr<rapidotio::DocumentMemory> memory =
        std::make_unique<rapidotio::DocumentMemory>();
};

/// Times `parts`.
void timeParts(std::vector<TimedPart>& parts, const char* textEnd) {
    rapidjson::Reader reader;
    for (TimedPart& part : parts) {
        rapidotio::Document parser(&part.memory->allocator());
        ItemTimer(*part.span, textEnd, parser, reader)
            .timeItems(part.first, part.stop, part.timing);
    }
}

} // namespace

void TrackItems::time(const Value& within) {
    // `within` is a value of the skeleton parse made, the reader's to read and
    // this object's to change.
    std::vector<Value*> places;
    findLeft(const_cast<Value&>(within), places);
    std::vector<Span*> spans;
    std::size_t bytes = 0;
    for (const Value* place : places) {
        spans.push_back(&spanAt(*place));
        const std::vector<const char*>& ends = spans.back()->ends;
        bytes += ends.empty() ? 0 : static_cast<std::size_t>(ends.back() - spans.back()->begin);
    }

    // Long items are timed on two threads: the second half of the objects and
    // arrays of each array on a thread of its own while the calling thread
    // times the first.
    std::vector<TimedPart> first, second;
    for (Span* span : spans) {
        const char* middle = nullptr;
        if (bytes >= m_ahead.minBytes && span->ends.size() >= 2) {
            const char* const comma = skipSpace(span->ends[span->ends.size() / 2 - 1]);
            if (*comma == ',')
                middle = skipSpace(comma + 1);
        }
        first.push_back(TimedPart{span, skipSpace(span->begin + 1), middle, {}});
        if (middle)
            second.push_back(TimedPart{span, middle, nullptr, {}});
    }
    const char* const textEnd = m_text + m_length;
    std::future<void> other;
    if (!second.empty()) {
        try {
            other = std::async(std::launch::async, [&] { timeParts(second, textEnd); });
        } catch (const std::system_error&) {
            timeParts(second, textEnd);
        }
    }
    timeParts(first, textEnd);
    if (other.valid())
        other.get();

    // Each placeholder becomes the array of its items' timing, in memory its
    // span holds until the reader forgets it.
    auto half = second.begin();
    for (std::size_t i = 0; i < places.size(); ++i) {
        Span& span = *spans[i];
        rapidotio::Allocator& allocator = first[i].memory->allocator();
        Value timing(rapidjson::kArrayType);
        std::vector<Value>& before = first[i].timing;
        TimedPart* const after = half != second.end() && half->span == &span ? &*half++ : nullptr;
        timing.Reserve(
            static_cast<rapidjson::SizeType>(before.size() + (after ? after->timing.size() : 0)),
            allocator);
        for (Value& item : before)
            timing.PushBack(item, allocator);
        span.timing.push_back(std::move(first[i].memory));
        if (after) {
            for (Value& item : after->timing)
                timing.PushBack(item, allocator);
            span.timing.push_back(std::move(after->memory));
        }
        *places[i] = timing;
        m_timed.emplace_back(places[i], &span);
    }
    std::sort(m_timed.begin(), m_timed.end());
}

void TrackItems::forget(const Value& within) {
    if (Span* const span = timedSpanAt(within)) {
        // The memory handed back holds nothing of the empty array.
        const_cast<Value&>(within).SetArray();
        span->timing.clear();
    } else if (within.IsObject()) {
        for (const auto& member : within.GetObject())
            forget(member.value);
    } else if (within.IsArray()) {
        for (const Value& item : within.GetArray())
            forget(item);
    }
}

void TrackItems::findLeft(Value& value, std::vector<Value*>& places) const {
    if (value.IsObject()) {
        for (auto& member : value.GetObject())
            findLeft(member.value, places);
    } else if (value.IsArray()) {
        // Not into an array time made.
        if (timedSpanAt(value))
            return;
        for (Value& item : value.GetArray())
            findLeft(item, places);
    } else if (value.IsString() && isLeft(value)) {
        places.push_back(&value);
    }
}

void TrackItems::checkUnread() const {
    for (const Span& span : m_spans) {
        if (span.read)
            continue;
        rapidjson::StringStream stream(span.begin);
        rapidjson::BaseReaderHandler<> ignored;
        StrictJson::DepthLimit<rapidjson::BaseReaderHandler<>> limited(
            ignored, StrictJson::kRecursiveParseDepth - span.depth + 1);
        rapidjson::Reader reader;
        if (reader.Parse<kFlags | rapidjson::kParseStopWhenDoneFlag>(stream, limited).IsError())
            throw NeedsWholeDocument();
    }
}

TrackItems::Cursor::Cursor(const Span& span)
    : m_span(&span), m_next(skipSpace(span.begin + 1)), m_ended(*m_next == ']') {}

bool TrackItems::Cursor::next(rapidotio::Document* parser, rapidotio::DocumentMemory& memory,
                              rapidjson::Reader& reader) {
    // An object or an array ends where its brackets said; each was seen once.
    const char* const start = skipSpace(m_next);
    const std::vector<const char*>& ends = m_span->ends;
    while (m_nextEnd < ends.size() && ends[m_nextEnd] <= start)
        ++m_nextEnd;
    const char* after = nullptr;
    if ((*start == '{' || *start == '[') && m_nextEnd < ends.size()) {
        after = ends[m_nextEnd++];
        if (parser && !parseCopy(start, after, *parser, memory, reader))
            return false;
    } else {
        rapidotio::Document scratch(&memory.allocator());
        rapidjson::StringStream stream(start);
        if (!parseItem<0>(stream, parser ? *parser : scratch, reader))
            return false;
        after = stream.src_;
    }
    after = skipSpace(after);
    if (*after == ']')
        m_ended = true;
    else if (*after != ',')
        return false;
    m_next = m_ended ? after : after + 1;
    return true;
}

template <unsigned Flags, class Stream>
bool TrackItems::Cursor::parseItem(Stream& stream, rapidotio::Document& parser,
                                   rapidjson::Reader& reader) const {
    bool accepted = false;
    auto generator = [&](rapidotio::Document& document) {
        StrictJson::DepthLimit<rapidotio::Document> limited(
            document, StrictJson::kRecursiveParseDepth - m_span->depth);
        accepted =
            !reader.Parse<kFlags | rapidjson::kParseStopWhenDoneFlag | Flags>(stream, limited)
                 .IsError();
        return accepted;
    };
    parser.Populate(generator);
    return accepted;
}

bool TrackItems::Cursor::parseCopy(const char* start, const char* end, rapidotio::Document& parser,
                                   rapidotio::DocumentMemory& memory,
                                   rapidjson::Reader& reader) const {
    const auto length = static_cast<std::size_t>(end - start);
    char* const copy = static_cast<char*>(memory.allocator().Malloc(length + 1));
    *std::copy(start, end, copy) = '\0';
    rapidjson::InsituStringStream stream(copy);
    const bool accepted = parseItem<rapidjson::kParseInsituFlag>(stream, parser, reader);
    // The whole copy is the item.
    return accepted && *skipSpace(stream.src_) == '\0';
}

// --- items parsed ahead ------------------------------------------------------------------

struct TrackItems::Items::Batch {
    rapidotio::DocumentMemory memory;
    /// Not added to once the batch is given: the reader holds their addresses.
    std::vector<Value> items;
    bool last = false;      ///< the array ends after them
    bool malformed = false; ///< the text after them holds no well-formed item
    std::size_t taken = 0;  ///< how many the reader took

    bool holds(const Value& item) const {
        return !items.empty() && &item >= &items.front() && &item <= &items.back();
    }
};

/// The items of a span parsed batch after batch: on a thread that stays at most
/// Ahead::batches ahead of the reader, and by the reader itself rather than
/// wait for the thread (Ahead). Each batch is marked out first, which takes no
/// parse of its objects and arrays, so that the two parse apart. When the
/// reader goes (at the end, or on an error) the thread stops and is joined.
class TrackItems::Items::Thread {
public:
    Thread(const Span& span, const Ahead& ahead) : m_marker(span), m_ahead(ahead) {
        m_thread = std::thread([this] { run(); });
    }
    ~Thread() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    /// The next batch, once parsed. Rethrows what the thread's parse threw (no
    /// memory).
    std::unique_ptr<Batch> take() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (!m_batches.empty() && m_batches.front()) {
                std::unique_ptr<Batch> batch = std::move(m_batches.front());
                m_batches.pop_front();
                lock.unlock();
                m_changed.notify_all();
                return batch;
            }
            if (m_error)
                std::rethrow_exception(m_error);
            if (!m_marked && m_batches.size() <= m_ahead.batches) {
                parseNext(lock, m_reader);
                ++m_parsedByReader;
            } else
                m_changed.wait(lock);
        }
    }

    /// The batches take parsed.
    std::size_t parsedByReader() const { return m_parsedByReader; }

private:
    /// Where a batch's items are in the text.
    struct Marks {
        Cursor from;            ///< at its first item
        std::size_t count = 0;  ///< its items
        bool last = false;      ///< the array ends after them
        bool malformed = false; ///< the text after them holds no well-formed item
    };

    void run() {
        rapidjson::Reader reader;
        std::unique_lock<std::mutex> lock(m_mutex);
        try {
            for (;;) {
                m_changed.wait(lock, [&] {
                    return m_stop || (!m_marked && m_batches.size() < m_ahead.batches);
                });
                if (m_stop)
                    return;
                parseNext(lock, reader);
            }
        } catch (...) {
            if (!lock.owns_lock())
                lock.lock();
            m_error = std::current_exception();
            lock.unlock();
            m_changed.notify_all();
        }
    }

    /// With `lock` held: marks out the next batch, parses it with `reader`
    /// without the lock, and puts it in its place.
    void parseNext(std::unique_lock<std::mutex>& lock, rapidjson::Reader& reader) {
        Marks marks = mark();
        // Its place stays put while it is empty: only a parsed batch is taken
        // from the front, and a deque's elements stay where they are as others
        // come and go at its ends.
        std::unique_ptr<Batch>& place = m_batches.emplace_back();
        lock.unlock();
        std::unique_ptr<Batch> batch = parse(marks, reader);
        lock.lock();
        place = std::move(batch);
        m_changed.notify_all();
    }

    /// The marks of the next batch: at least one item, and as many more as start
    /// within Ahead::batchBytes of its first.
    Marks mark() {
        Marks marks{m_marker};
        const char* const start = m_marker.position();
        while (!m_marker.ended() &&
               (marks.count == 0 ||
                static_cast<std::size_t>(m_marker.position() - start) < m_ahead.batchBytes)) {
            if (!m_marker.skip(m_scratch, m_markReader)) {
                marks.malformed = true;
                break;
            }
            ++marks.count;
        }
        marks.last = m_marker.ended();
        m_marked = marks.last || marks.malformed;
        return marks;
    }

    static std::unique_ptr<Batch> parse(Marks& marks, rapidjson::Reader& reader) {
        auto batch = std::make_unique<Batch>();
        rapidotio::Document parser(&batch->memory.allocator());
        batch->items.reserve(marks.count);
        for (std::size_t i = 0; i < marks.count; ++i) {
            if (!marks.from.parse(parser, batch->memory, reader)) {
                batch->malformed = true;
                return batch;
            }
            batch->items.push_back(std::move(static_cast<Value&>(parser)));
        }
        batch->last = marks.last;
        batch->malformed = marks.malformed;
        return batch;
    }

    Cursor m_marker; ///< where the next batch starts
    const Ahead m_ahead;
    rapidjson::Reader m_reader;          ///< the reader's
    rapidjson::Reader m_markReader;      ///< mark's, with the lock held
    rapidotio::DocumentMemory m_scratch; ///< where mark parses a scalar
    std::mutex m_mutex;
    std::condition_variable m_changed; ///< a batch is taken or parsed, or the reader goes
    /// The batches marked and not taken, in order; null while one is parsed.
    std::deque<std::unique_ptr<Batch>> m_batches;
    std::size_t m_parsedByReader = 0; ///< the reader's alone
    bool m_marked = false;            ///< the last batch is marked
    std::exception_ptr m_error;
    bool m_stop = false;
    std::thread m_thread; ///< last: started once the rest is made
};

TrackItems::Items::Items(TrackItems& owner, const Value& placeholder)
    : m_span(&owner.spanAt(placeholder)), m_cursor(*m_span), m_parser(&m_memory.allocator()) {
    if (m_cursor.ended()) {
        m_span->read = true;
        return;
    }
    const std::vector<const char*>& ends = m_span->ends;
    if (ends.empty() ||
        static_cast<std::size_t>(ends.back() - m_span->begin) < owner.m_ahead.minBytes)
        return;
    try {
        m_thread = std::make_unique<Thread>(*m_span, owner.m_ahead);
    } catch (const std::system_error&) {
        // No thread to be had: the items are parsed as they are read.
    }
}

TrackItems::Items::~Items() = default;

const Value* TrackItems::Items::next() {
    if (m_thread)
        return nextAhead();
    if (m_cursor.ended())
        return nullptr;
    if (!m_cursor.parse(m_parser, m_memory, m_reader))
        throw NeedsWholeDocument();
    if (m_cursor.ended())
        m_span->read = true;
    m_items.push_back(std::move(static_cast<Value&>(m_parser)));
    return &m_items.back();
}

const Value* TrackItems::Items::nextAhead() {
    for (;;) {
        if (!m_batches.empty()) {
            Batch& batch = *m_batches.back();
            if (batch.taken < batch.items.size())
                return &batch.items[batch.taken++];
            if (batch.last)
                return nullptr;
            if (batch.malformed)
                throw NeedsWholeDocument();
        }
        m_batches.push_back(m_thread->take());
        // The thread parsed the items to the array's end: none is left to check.
        if (m_batches.back()->last)
            m_span->read = true;
    }
}

std::size_t TrackItems::Items::batchesParsedByReader() const {
    return m_thread ? m_thread->parsedByReader() : 0;
}

void TrackItems::Items::release(const Value& item) {
    if (!m_thread) {
        m_memory.release(item);
        return;
    }
    const auto holder =
        std::find_if(m_batches.rbegin(), m_batches.rend(),
                     [&](const std::unique_ptr<Batch>& batch) { return batch->holds(item); });
    if (holder == m_batches.rend())
        return;
    (*holder)->memory.release(item);
    // The batches before it are read no more.
    m_batches.erase(m_batches.begin(), holder.base() - 1);
}

} // namespace ZEM_0_81::Interchange
