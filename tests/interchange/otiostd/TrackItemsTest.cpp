// Reading the items of a timeline's tracks from the text, one at a time: which
// arrays the first parse leaves in the text, the items read from them as a whole
// parse gives them, what their durations are read from before they are read,
// texts that are not well-formed handed to the whole parse, and documents read so
// giving what a whole parse of them gives.

#include "interchange/otiostd/schemas/TrackItems.h"

#include "composition/AdoptTree.h"
#include "composition/JsonException.h"
#include "interchange/StandardOtio.h"
#include "interchange/otiostd/schemas/DocumentSchema.h"
#include "strictjson/StrictParse.h"
#include "tests/interchange/otiostd/InterchangeTestSupport.h"
#include "tests/outside/dmtree/DmTestTree.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange {
namespace {

constexpr unsigned kFlags = rapidjson::kParseFullPrecisionFlag | rapidjson::kParseNanAndInfFlag;

template <class JsonValue> std::string compact(const JsonValue& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>,
                      rapidjson::CrtAllocator, rapidjson::kWriteNanAndInfFlag>
        writer(buffer);
    value.Accept(writer);
    return buffer.GetString();
}

/// The JSON Pointers of the values of `value` (at `at`) that `items` left in the text.
void collectLeft(const TrackItems& items, const Value& value, const std::string& at,
                 std::vector<std::string>& left) {
    if (items.isLeft(value))
        left.push_back(at);
    if (value.IsObject())
        for (const auto& member : value.GetObject())
            collectLeft(items, member.value, at + "/" + member.name.GetString(), left);
    if (value.IsArray())
        for (rapidjson::SizeType i = 0; i < value.Size(); ++i)
            collectLeft(items, value[i], at + "/" + std::to_string(i), left);
}

/// A timeline this system wrote, its tracks' "children" given.
std::string ours(const std::string& children0, const std::string& children1 = "[]") {
    return R"({"OTIO_SCHEMA": "Timeline.1", "metadata": {"zem": {"ZEM_SCHEMA": "Composition.1"}},
        "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
            {"OTIO_SCHEMA": "Track.1", "children": )" +
           children0 + R"(, "kind": "Video"},
            {"OTIO_SCHEMA": "Track.1", "children": )" +
           children1 + R"(, "kind": "Audio"}]}})";
}

TEST(TrackItems, TheChildrenOfTheTracksOfTimelinesAreLeftInTheText) {
    const std::string described = R"("metadata": {"zem": {"ZEM_SCHEMA": "Composition.1"}})";
    const std::string tracks = R"("tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
        {"OTIO_SCHEMA": "Track.1", "children": [{"OTIO_SCHEMA": "Gap.1"}], "kind": "Video"},
        {"OTIO_SCHEMA": "Sequence.1", "children": []},
        {"children": [], "OTIO_SCHEMA": "Track.1"},
        {"OTIO_SCHEMA": "Stack.1", "children": [{}]},
        {"OTIO_SCHEMA": "Track", "children": []},
        {"OTIO_SCHEMA": "Track.1", "children": 3}]})";
    const std::string timeline =
        R"({"OTIO_SCHEMA": "Timeline.1", )" + described + ", " + tracks + "}";
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> left;
    } cases[] = {
        // Tracks and sequences whose schema comes before their children; not an
        // object that names it after them, a stack, a schema without a version,
        // or children that are no array. Whoever wrote the timeline.
        {"ours", timeline, {"/tracks/children/0/children", "/tracks/children/1/children"}},
        {"the description after the tracks",
         R"({"OTIO_SCHEMA": "Timeline.1", )" + tracks + ", " + described + "}",
         {"/tracks/children/0/children", "/tracks/children/1/children"}},
        {"another tool's",
         R"({"OTIO_SCHEMA": "Timeline.1", )" + tracks + "}",
         {"/tracks/children/0/children", "/tracks/children/1/children"}},
        // In a collection, each of its timelines; tracks elsewhere are not where
        // the readers look for them.
        {"collection",
         R"({"OTIO_SCHEMA": "SerializableCollection.1", "children": [)" + timeline +
             R"(, {"OTIO_SCHEMA": "Timeline.1", )" + tracks + "}, " + timeline + "]}",
         {"/children/0/tracks/children/0/children", "/children/0/tracks/children/1/children",
          "/children/1/tracks/children/0/children", "/children/1/tracks/children/1/children",
          "/children/2/tracks/children/0/children", "/children/2/tracks/children/1/children"}},
        {"a timeline in another array of the root",
         R"({"OTIO_SCHEMA": "Timeline.1", "markers": [)" + timeline + "], " + described + "}",
         {}},
        {"tracks in the metadata",
         R"({"OTIO_SCHEMA": "Timeline.1", "metadata": {"zem": {"ZEM_SCHEMA": "Composition.1"},
             "x": {)" +
             tracks + R"(}}, "tracks": {"children": []}})",
         {}},
        {"a track's stack elsewhere",
         R"({"OTIO_SCHEMA": "Timeline.1", )" + described +
             R"(, "stack": {"children": [{"OTIO_SCHEMA": "Track.1", "children": []}]}})",
         {}},
    };
    for (const auto& c : cases) {
        TrackItems items(c.text.c_str(), c.text.size());
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton)) << c.what;
        std::vector<std::string> left;
        collectLeft(items, skeleton, "", left);
        EXPECT_EQ(left, c.left) << c.what;
        EXPECT_EQ(items.leftAny(), !c.left.empty()) << c.what;
        // Everything else is parsed as a whole parse has it.
        rapidjson::Document whole;
        whole.Parse<kFlags>(c.text.c_str());
        if (c.left.empty()) {
            EXPECT_EQ(compact(skeleton), compact(whole)) << c.what;
        }
    }
}

/// How the items are parsed: as they are read; on a thread ahead of the reader,
/// one item a batch (the least a batch holds) and one batch ahead; a few items a
/// batch, two ahead; and a few a batch, none ahead (the reader parses each).
const TrackItems::Ahead kWays[] = {TrackItems::Ahead(), {0, 0, 1}, {0, 40, 2}, {0, 40, 0}};

/// The items of the first left array of `text`, each as compact JSON; "FAILS"
/// after the last one read when reading them throws NeedsWholeDocument.
std::vector<std::string> itemsOf(const std::string& text,
                                 const TrackItems::Ahead& way = TrackItems::Ahead()) {
    TrackItems items(text.c_str(), text.size(), way);
    rapidotio::Document skeleton;
    EXPECT_TRUE(items.parse(skeleton)) << text;
    const Value& placeholder = skeleton["tracks"]["children"][0]["children"];
    EXPECT_TRUE(items.isLeft(placeholder));
    std::vector<std::string> read;
    try {
        TrackItems::Items left(items, placeholder);
        while (const Value* item = left.next()) {
            read.push_back(compact(*item));
            left.release(*item); // as the track's reader does
        }
        EXPECT_EQ(left.next(), nullptr); // and stays at the end
    } catch (const NeedsWholeDocument&) {
        read.push_back("FAILS");
    }
    return read;
}

TEST(TrackItems, LongTracksAreParsedOnAThreadAheadOfTheReader) {
    // The items' text runs from the array's '[' to the end of its last object
    // or array; a thread is started from Ahead::minBytes of it on.
    const auto ahead = [](const std::string& children, const TrackItems::Ahead& way) {
        const std::string text = ours(children);
        TrackItems items(text.c_str(), text.size(), way);
        rapidotio::Document skeleton;
        EXPECT_TRUE(items.parse(skeleton));
        const TrackItems::Items left(items, skeleton["tracks"]["children"][0]["children"]);
        return left.ahead();
    };
    const auto objectOf = [](std::size_t bytes) { // {"a":"..."} of `bytes` bytes
        return "{\"a\":\"" + std::string(bytes - 8, 'x') + "\"}";
    };
    const std::size_t standard = TrackItems::Ahead().minBytes;
    const struct {
        std::string children;
        std::size_t minBytes;
        bool ahead;
    } cases[] = {
        {"[" + objectOf(99) + "]", 100, true},
        {"[" + objectOf(98) + "]", 100, false},
        {"[" + objectOf(98) + ", 1]", 100, false},
        {"[1, " + objectOf(96) + "]", 100, true},
        {"[1, 2, 3]", 0, false},
        {"[]", 0, false},
        {"[" + objectOf(standard - 1) + "]", standard, true},
        {"[" + objectOf(standard - 2) + "]", standard, false},
    };
    for (const auto& c : cases) {
        TrackItems::Ahead way;
        way.minBytes = c.minBytes;
        EXPECT_EQ(ahead(c.children, way), c.ahead) << c.children.substr(0, 40) << " " << c.minBytes;
    }
    EXPECT_EQ(standard, std::size_t(256) << 10);
}

TEST(TrackItems, BatchesHoldTheItemsThatStartWithinTheirBytes) {
    // A batch takes another item while fewer than Ahead::batchBytes of text
    // lie from its first item to the comma after its last; it takes one at
    // least. Read without handing any back, the reader holds one batch more at
    // each batch's first item.
    const std::string text = ours("[{}, [1], {\"a\": 2}, [], {}, [[]]]");
    const struct {
        std::size_t batchBytes;
        std::vector<std::size_t> held;
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6}}, {3, {1, 2, 3, 4, 5, 6}}, // "{}," is 3 bytes
        {4, {1, 1, 2, 3, 4, 5}}, {8, {1, 1, 2, 3, 3, 4}}, // "{}, [1]," is 8
        {9, {1, 1, 1, 2, 2, 2}}, {1000, {1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        TrackItems items(text.c_str(), text.size(), TrackItems::Ahead{0, c.batchBytes, 1});
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton));
        TrackItems::Items left(items, skeleton["tracks"]["children"][0]["children"]);
        std::vector<std::size_t> held;
        while (left.next())
            held.push_back(left.batchesHeld());
        EXPECT_EQ(held, c.held) << c.batchBytes;
    }
}

TEST(TrackItems, TheReaderParsesTheBatchesTheThreadHasNotComeTo) {
    // With no batch parsed ahead, the reader parses every batch itself; else
    // the two parse each batch once between them, in whichever order they
    // come to it. Batches as BatchesHoldTheItemsThatStartWithinTheirBytes.
    const std::string text = ours("[{}, [1], {\"a\": 2}, [], {}, [[]]]");
    const std::vector<std::string> whole = itemsOf(text);
    const struct {
        std::size_t batchBytes;
        std::size_t batches; ///< Ahead::batches
        std::size_t made;    ///< the batches the items make
    } cases[] = {
        {0, 0, 6}, {8, 0, 4}, {9, 0, 2}, {1000, 0, 1}, {0, 1, 6}, {8, 2, 4}, {1000, 1, 1},
    };
    for (const auto& c : cases) {
        TrackItems items(text.c_str(), text.size(), TrackItems::Ahead{0, c.batchBytes, c.batches});
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton));
        TrackItems::Items left(items, skeleton["tracks"]["children"][0]["children"]);
        ASSERT_TRUE(left.ahead());
        std::vector<std::string> read;
        while (const Value* item = left.next()) {
            read.push_back(compact(*item));
            left.release(*item);
        }
        EXPECT_EQ(read, whole) << c.batchBytes << " " << c.batches;
        if (c.batches == 0) {
            EXPECT_EQ(left.batchesParsedByReader(), c.made) << c.batchBytes;
        } else {
            EXPECT_LE(left.batchesParsedByReader(), c.made) << c.batchBytes << " " << c.batches;
        }
    }
    // Without a thread, there are no batches.
    TrackItems items(text.c_str(), text.size());
    rapidotio::Document skeleton;
    ASSERT_TRUE(items.parse(skeleton));
    TrackItems::Items left(items, skeleton["tracks"]["children"][0]["children"]);
    ASSERT_FALSE(left.ahead());
    while (left.next()) {
    }
    EXPECT_EQ(left.batchesParsedByReader(), 0u);
}

TEST(TrackItems, BatchesParsedAheadAreHandedBackAsTheirItemsAre) {
    // One item a batch: the reader holds the batch of the item it reads, and
    // those of the items before it until one is released.
    const std::string text = ours("[{}, [1], {\"a\": 2}, [], {}, [[]]]");
    for (const bool releasing : {true, false}) {
        TrackItems items(text.c_str(), text.size(), TrackItems::Ahead{0, 0, 1});
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton));
        TrackItems::Items left(items, skeleton["tracks"]["children"][0]["children"]);
        ASSERT_TRUE(left.ahead());
        std::vector<std::size_t> held;
        while (const Value* item = left.next()) {
            if (releasing)
                left.release(*item);
            held.push_back(left.batchesHeld());
        }
        const std::vector<std::size_t> expected =
            releasing ? std::vector<std::size_t>(6, 1) : std::vector<std::size_t>{1, 2, 3, 4, 5, 6};
        EXPECT_EQ(held, expected) << releasing;
    }
}

TEST(TrackItems, OnlyStringsThatReferToTheTextStandForItemsLeftThere) {
    const std::string text = ours("[1]");
    const std::string copy = text;
    TrackItems items(text.c_str(), text.size());
    const struct {
        const char* what;
        const char* at; ///< null: not a string
        bool left;
    } cases[] = {
        {"its first byte", text.c_str(), true},
        {"its last byte", text.c_str() + text.size() - 1, true},
        {"the NUL byte after it", text.c_str() + text.size(), false},
        {"a copy of it", copy.c_str(), false},
        {"a number", nullptr, false},
    };
    for (const auto& c : cases) {
        const Value value = c.at ? Value(rapidjson::StringRef(c.at, 1)) : Value(3);
        EXPECT_EQ(items.isLeft(value), c.left) << c.what;
    }
}

TEST(TrackItems, ItemsAreReadOneAtATimeAsTheWholeParseHasThem) {
    // Each array as a whole parse of it gives its elements: numbers at full
    // precision, NaN and Infinity, strings holding brackets and escaped quotes,
    // nested arrays, any white space.
    for (const std::string children :
         {"[]", "[ \n ]",
          R"([{"OTIO_SCHEMA": "Clip.2", "name": "a]"}, {"x": [1, [2, {"y": "}"}]]}])",
          "[0.1000000000000000055511151231257827, 1e308, -0, NaN, -Infinity, 18446744073709551615]",
          R"(["\"]", "\\", "[{", null,true ,false	,[]])", "[\n  {\"a\": {}},\r\n\t[]\n]"}) {
        rapidjson::Document whole;
        whole.Parse<kFlags>(children.c_str());
        ASSERT_FALSE(whole.HasParseError()) << children;
        std::vector<std::string> expected;
        for (const auto& element : whole.GetArray())
            expected.push_back(compact(element));
        for (const TrackItems::Ahead& way : kWays)
            EXPECT_EQ(itemsOf(ours(children), way), expected) << children << " " << way.batchBytes;
    }
}

TEST(TrackItems, TheEndOfTheItemsIsFoundWhereverTheirStringsAndBracketsFall) {
    // The items' end is looked for 64 bytes at a time: strings holding brackets,
    // escaped quotes and backslashes, long strings and deep brackets, moved by
    // 0 to 130 bytes so that each falls across every place of a block.
    const std::string items[] = {
        R"("x]y}")",
        R"("a\"]\"[")",
        R"("\\")",
        R"([[[{"a": [{}]}]]])",
        "\"" + std::string(100, 'w') + "[{\"",
        "\"" + std::string(70, '\\') + std::string(70, '\\') + "\"",
        R"({"b": "]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]"})",
        "\"\\\"\"",
    };
    for (std::size_t shift = 0; shift <= 130; ++shift) {
        for (const std::string& item : items) {
            const std::string children =
                "[" + std::string(shift, ' ') + item + ", " + item + ", 1" + "]";
            rapidjson::Document whole;
            whole.Parse<kFlags>(children.c_str());
            ASSERT_FALSE(whole.HasParseError()) << children;
            const std::vector<std::string> expected = {compact(whole[0]), compact(whole[1]), "1"};
            for (const TrackItems::Ahead& way : kWays)
                ASSERT_EQ(itemsOf(ours(children), way), expected) << children;
            // What follows the items is parsed as it stands.
            const std::string text = ours(children);
            TrackItems left(text.c_str(), text.size());
            rapidotio::Document skeleton;
            ASSERT_TRUE(left.parse(skeleton));
            EXPECT_STREQ(skeleton["tracks"]["children"][0]["kind"].GetString(), "Video");
        }
    }
}

TEST(TrackItems, TextThatIsNotWellFormedIsLeftToTheWholeParse) {
    // Items read up to the one that is not well-formed, which hands the document
    // to the whole parse: the item itself, what separates it from the next, or
    // an item nested deeper than the recursive parse goes.
    const std::string deep = std::string(260, '[') + std::string(260, ']');
    const struct {
        std::string children;
        std::vector<std::string> read;
    } cases[] = {
        {R"([{"a": 1}, {"b": }])", {R"({"a":1})", "FAILS"}},
        // An item is given once what follows it is a comma or the end.
        {R"([{"a": 1} {"b": 2}])", {"FAILS"}},
        {R"([{"a": 1},])", {R"({"a":1})", "FAILS"}},
        {R"([,{"a": 1}])", {"FAILS"}},
        {"[1, " + deep + "]", {"1", "FAILS"}},
        // The items of a track's children, 5 levels deep, hold 251 more.
        {"[" + std::string(251, '[') + std::string(251, ']') + "]",
         {"[" + std::string(250, '[') + std::string(250, ']') + "]"}},
        {"[" + std::string(252, '[') + std::string(252, ']') + "]", {"FAILS"}},
    };
    for (const auto& c : cases)
        for (const TrackItems::Ahead& way : kWays)
            EXPECT_EQ(itemsOf(ours(c.children), way), c.read)
                << c.children << " " << way.batchBytes;

    // Where the brackets do not close the array, the first parse fails.
    for (const std::string& children :
         {std::string("[1, \"2]"), std::string("[1, 2}"), std::string("[[1, 2]"),
          std::string("[1, 2"), std::string("[\"\\\"]")}) {
        const std::string text = ours(children);
        TrackItems items(text.c_str(), text.size());
        rapidotio::Document skeleton;
        EXPECT_FALSE(items.parse(skeleton)) << children;
    }
    // Nor do a NUL byte, a literal RapidJSON would read on or a control byte it
    // may take for more of a string, anywhere, checked before the first parse
    // or beside it; nor NaN or Infinity outside the items, which the whole
    // parse reads.
    std::string withNul = ours("[{\"a\": \"b\"}]");
    withNul[withNul.find('b')] = '\0';
    std::string withEscape = ours("[{\"name\": \"" + std::string(64, 'b') + "\"}]");
    withEscape[withEscape.find('b') + 40] = '\x1b';
    const std::string refused[] = {
        ours("[1]") + std::string(1, '\0') + " ",
        withNul,
        withEscape,
        ours("[1]", "[NaN1]"),
        ours("[{\"a\": [Infinity2]}]"),
        R"({"OTIO_SCHEMA": "Timeline.1", "metadata": {"zem": {"ZEM_SCHEMA": "Composition.1",
            "x": NaN}}, "tracks": {"OTIO_SCHEMA": "Stack.1", "children": []}})",
    };
    for (const TrackItems::Ahead& way : kWays) {
        for (const std::string& text : refused) {
            TrackItems items(text.c_str(), text.size(), way);
            rapidotio::Document skeleton;
            EXPECT_FALSE(items.parse(skeleton)) << text << " " << way.minBytes;
        }
    }
    TrackItems none(nullptr, 0);
    rapidotio::Document nothing;
    EXPECT_FALSE(none.parse(nothing));
    // Nor a text nested deeper than the recursive parse goes outside the items.
    const std::string deepMetadata = R"({"OTIO_SCHEMA": "Timeline.1", "metadata": )" + deep + "}";
    TrackItems items(deepMetadata.c_str(), deepMetadata.size());
    rapidotio::Document skeleton;
    EXPECT_FALSE(items.parse(skeleton));
}

/// The timing TrackItems::time puts in the place of the first left array of
/// `text`, as compact JSON, and the items then read from the text; "FAILS" when
/// timing them throws NeedsWholeDocument. Timed on the calling thread alone, or
/// (Ahead::minBytes 0) the second half of the items on a thread of its own.
std::pair<std::string, std::vector<std::string>>
timingOf(const std::string& text, const TrackItems::Ahead& way = TrackItems::Ahead()) {
    TrackItems items(text.c_str(), text.size(), way);
    rapidotio::Document skeleton;
    EXPECT_TRUE(items.parse(skeleton)) << text;
    try {
        items.time(skeleton);
        items.time(skeleton); // once only
    } catch (const NeedsWholeDocument&) {
        return {"FAILS", {}};
    }
    const Value& timing = skeleton["tracks"]["children"][0]["children"];
    EXPECT_TRUE(items.isLeft(timing));
    const std::string timed = compact(timing);
    // Forgotten, the timing still stands for the items, which are read from
    // the text.
    items.forget(skeleton);
    EXPECT_TRUE(items.isLeft(timing));
    EXPECT_EQ(compact(timing), "[]");
    std::vector<std::string> read;
    TrackItems::Items left(items, timing);
    while (const Value* item = left.next())
        read.push_back(compact(*item));
    return {timed, read};
}

TEST(TrackItems, ItemsAreTimedFromTheMembersTheirDurationsAreReadFrom) {
    const std::string range = R"({"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":)"
                              R"("RationalTime.1","rate":24.0,"value":1.0},"duration":{)"
                              R"("OTIO_SCHEMA":"RationalTime.1","rate":24.0,"value":5.0}})";
    const std::string other = R"({"OTIO_SCHEMA":"TimeRange.1","start_time":{"OTIO_SCHEMA":)"
                              R"("RationalTime.1","rate":25,"value":0},"duration":{)"
                              R"("OTIO_SCHEMA":"RationalTime.1","rate":25,"value":2}})";
    // An item its range settles is timed by its kind and its range alone, the
    // numbers as they came (a rate is snapped where it is read).
    const auto remade = [](const std::string& schema, const char* start, const char* duration) {
        return R"({"OTIO_SCHEMA":")" + schema + R"(","source_range":{"start_time":)" + start +
               R"(,"duration":)" + duration + "}}";
    };
    const char* const one = R"({"value":1.0,"rate":24.0})";
    const char* const five = R"({"value":5.0,"rate":24.0})";
    const struct {
        std::string children;
        std::string timing; ///< "": each item whole
    } cases[] = {
        // The item's own members and none nested in others.
        {R"([{"OTIO_SCHEMA": "Clip.2", "name": "a", "source_range": )" + range +
             R"(, "metadata": {"source_range": 1, "OTIO_SCHEMA": 2}, "markers": [{"in_offset": 3}]}])",
         "[" + remade("Clip.2", one, five) + "]"},
        {R"([{"source_range": {"duration": {"rate": 25, "value": 2}, "start_time": )"
         R"({"value": -0.5, "rate": 23.976}}, "OTIO_SCHEMA": "Sequence.1", "children": 1}])",
         "[" + remade("Sequence.1", R"({"value":-0.5,"rate":23.976})", R"({"value":2.0,"rate":25.0})") +
             "]"},
        {R"([ {"OTIO_SCHEMA":"Gap.1","name":"g\"},"} , {"name": "\\\\", "OTIO_SCHEMA": "Gap.1"} ])",
         R"([{"OTIO_SCHEMA":"Gap.1"},{"OTIO_SCHEMA":"Gap.1"}])"},
        {R"([{"in_offset": {"value": 1}, "OTIO_SCHEMA": "Transition.1", "out_offset": 2, "x": 3}])",
         R"([{"in_offset":{"value":1},"OTIO_SCHEMA":"Transition.1","out_offset":2}])"},
        // The first member of each name, in its order, up to what settles the
        // item's duration; escapes in values.
        {R"([{"source_range": )" + range + R"(, "OTIO_SCHEMA": "Cl\u0069p.1", "source_range": )" +
             other + "}]",
         "[" + remade("Clip.1", one, five) + "]"},
        {R"([{"OTIO_SCHEMA": "Gap.1", "OTIO_SCHEMA": "Clip.1", "source_range": 1, "source_range": )" +
             range + "}]",
         R"([{"OTIO_SCHEMA":"Gap.1","source_range":1}])"},
        {R"([{"OTIO_SCHEMA": "Gap.1", "source_range": )" + range + R"(, "n\u0061me": 2}])",
         "[" + remade("Gap.1", one, five) + "]"},
        {R"([{"OTIO_SCHEMA": "Marker.2", "source_range": )" + range + "}]",
         R"([{"OTIO_SCHEMA":"Marker.2"}])"},
        // A schema without a version number is of another kind.
        {R"([{"OTIO_SCHEMA": "Clip.", "source_range": 1}, {"OTIO_SCHEMA": "Clip"},
             {"OTIO_SCHEMA": "Clip.x"}, {"OTIO_SCHEMA": 2}])",
         R"([{"OTIO_SCHEMA":"Clip."},{"OTIO_SCHEMA":"Clip"},{"OTIO_SCHEMA":"Clip.x"},)"
         R"({"OTIO_SCHEMA":2}])"},
        {R"([{"OTIO_SCHEMA": "Transition.1", "source_range": )" + range +
             R"(, "in_offset": 1, "out_offset": 2, "x": 3, "in_offset": 4}])",
         R"([{"OTIO_SCHEMA":"Transition.1","source_range":)" + range +
             R"(,"in_offset":1,"out_offset":2}])"},
        {R"([{"OTIO_SCHEMA": "Stack.1", "source_range": )" + range + R"(, "children": [{}]}])",
         "[" + remade("Stack.1", one, five) + "]"},
        // Taken whole: a clip, track or stack without a range of its own, and an
        // object with an escape in a member's name.
        {R"([{"OTIO_SCHEMA": "Clip.1", "media_reference": {"available_range": )" + range + "}}]",
         ""},
        {R"([{"OTIO_SCHEMA": "Clip.1", "source_range": null}])", ""},
        {R"([{"OTIO_SCHEMA": "Track.1", "children": [{"OTIO_SCHEMA": "Gap.1"}]}])", ""},
        {R"([{"OTIO_SCHEMA": "Stack.1", "source_range": {"duration": 1}, "children": []}])", ""},
        {R"([{"OTIO_SCHEMA": "Gap.1", "na\u006de": 1}])", ""},
        // Nothing of anything else, before the objects or after them.
        {R"([{}, [{"OTIO_SCHEMA": "Gap.1"}], "{\"OTIO_SCHEMA\": 1}", 1.5, null, true])",
         "[{},null,null,null,null,null]"},
        {R"([1, "{", {"OTIO_SCHEMA": "Gap.1"}, null, [2], {}])",
         R"([null,null,{"OTIO_SCHEMA":"Gap.1"},null,null,{}])"},
        // Members nested as deep as the whole parse takes them.
        {R"([{"OTIO_SCHEMA": "Transition.1", "in_offset": )" + std::string(250, '[') +
             std::string(250, ']') + "}]",
         ""},
        {"[]", "[]"},
    };
    for (const auto& c : cases) {
        const auto [timing, read] = timingOf(ours(c.children));
        EXPECT_EQ(timingOf(ours(c.children, c.children), TrackItems::Ahead{0, 0, 1}).first, timing)
            << c.children;
        rapidjson::Document whole;
        whole.Parse<kFlags>(c.children.c_str());
        ASSERT_FALSE(whole.HasParseError()) << c.children;
        EXPECT_EQ(timing, c.timing.empty() ? compact(whole) : c.timing) << c.children;
        // The items are still read from the text, whole.
        std::vector<std::string> expected;
        for (const auto& element : whole.GetArray())
            expected.push_back(compact(element));
        EXPECT_EQ(read, expected) << c.children;
    }
    // The same items many times over in one track: the skim's scratch memory is
    // made anew along the way, and every item's timing stays as it was made,
    // whichever thread timed it.
    std::string many, timedMany;
    for (int round = 0; round < 40; ++round) {
        for (const auto& c : cases) {
            if (c.children == "[]")
                continue;
            rapidjson::Document whole;
            whole.Parse<kFlags>(c.children.c_str());
            const std::string timing = c.timing.empty() ? compact(whole) : c.timing;
            many += (many.empty() ? "" : ",") + c.children.substr(1, c.children.size() - 2);
            timedMany += (timedMany.empty() ? "" : ",") + timing.substr(1, timing.size() - 2);
        }
    }
    for (const TrackItems::Ahead& way : {TrackItems::Ahead(), TrackItems::Ahead{0, 0, 1}})
        EXPECT_EQ(timingOf(ours("[" + many + "]"), way).first, "[" + timedMany + "]");

    // Where the text is not well-formed, the document is parsed whole.
    for (const std::string& children : std::vector<std::string>{
             R"([{"OTIO_SCHEMA" "Gap.1"}])", R"([{"OTIO_SCHEMA": }])", R"([{OTIO_SCHEMA: 1}])",
             R"([{"source_range": {"a": 1,}}])", R"([{"OTIO_SCHEMA": "Gap.1" "name": 1}])",
             R"([{"OTIO_SCHEMA": "Gap.1"} 1])", R"([1 2])",
             R"([{"in_offset": [)" + std::string(260, '[') + std::string(260, ']') + "]}]",
             R"([{"OTIO_SCHEMA": "Transition.1", "in_offset": )" + std::string(251, '[') +
                 std::string(251, ']') + "}]"}) {
        EXPECT_EQ(timingOf(ours(children)).first, "FAILS") << children;
        // Also when the items not well-formed are those the other thread times.
        EXPECT_EQ(
            timingOf(ours("[{}, {}, " + children.substr(1)), TrackItems::Ahead{0, 0, 1}).first,
            "FAILS")
            << children;
    }
}

TEST(TrackItems, ItemsNoReaderWentThroughAreCheckedAsTheWholeParseChecksThem) {
    const struct {
        std::string children0, children1;
        bool wellFormed;
    } cases[] = {
        {"[1, 2]", "[3]", true},
        {"[1, 2]", "[3, ]", false},
        {"[1 2]", "[3]", false},
        // Items hold 251 levels at most, below the 5 of the track's children.
        {"[1, " + std::string(251, '[') + std::string(251, ']') + "]", "[]", true},
        {"[1, " + std::string(252, '[') + std::string(252, ']') + "]", "[]", false},
    };
    for (const auto& c : cases) {
        const std::string text = ours(c.children0, c.children1);
        TrackItems items(text.c_str(), text.size());
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton)) << text;
        bool checked = true;
        try {
            items.checkUnread();
        } catch (const NeedsWholeDocument&) {
            checked = false;
        }
        EXPECT_EQ(checked, c.wellFormed) << c.children0 << " " << c.children1;
    }

    // Items read to their end are not checked again; those read part of the
    // way are, though the thread parsing them ahead had gone further.
    for (const TrackItems::Ahead& way : kWays) {
        const std::string text = ours("[{}, [2]]", "[{}, [], [], [], [4] 5]");
        TrackItems items(text.c_str(), text.size(), way);
        rapidotio::Document skeleton;
        ASSERT_TRUE(items.parse(skeleton));
        {
            TrackItems::Items first(items, skeleton["tracks"]["children"][0]["children"]);
            while (first.next()) {
            }
            TrackItems::Items second(items, skeleton["tracks"]["children"][1]["children"]);
            EXPECT_NE(second.next(), nullptr);
        }
        EXPECT_THROW(items.checkUnread(), NeedsWholeDocument) << way.batchBytes;
    }
}

} // namespace
} // namespace ZEM_0_81::Interchange

namespace ZEM_0_81::test {
namespace {

rapidjson::Document parsedDocument(const std::string& text) {
    rapidjson::Document document;
    document.Parse<Interchange::kFlags>(text.c_str());
    EXPECT_FALSE(document.HasParseError());
    return document;
}

std::string textOf(const rapidjson::Document& document) {
    return Interchange::compact(document);
}

/// The timelines of a document: itself, or a collection's children.
std::vector<rapidjson::Value*> timelinesOf(rapidjson::Document& document) {
    std::vector<rapidjson::Value*> timelines;
    if (document.HasMember("children"))
        for (rapidjson::Value& child : document["children"].GetArray())
            timelines.push_back(&child);
    else
        timelines.push_back(&document);
    return timelines;
}

/// Applies `change` to every track of every timeline of `text`.
std::string
changeTracks(const std::string& text,
             const std::function<void(rapidjson::Value&, rapidjson::Document&)>& change) {
    rapidjson::Document document = parsedDocument(text);
    for (rapidjson::Value* timeline : timelinesOf(document))
        for (rapidjson::Value& track : (*timeline)["tracks"]["children"].GetArray())
            change(track, document);
    return textOf(document);
}

/// The edit tree and the losses a read gave, as readingOf writes them.
std::string readingOf(const Composition& composition, const LossReport& losses) {
    std::string reading = dmTreeOf(composition);
    for (const std::string& entry : entriesOf(losses))
        reading += "\n" + entry;
    return reading;
}

/// The edit tree and the losses of reading `text` (timeline `choice`), or the
/// failure's message.
std::string readingOf(const std::string& text, const char* choice = "", bool parseAhead = true) {
    StandardOtio::ReadOptions options;
    options.timeline = choice;
    options.parseAhead = parseAhead;
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    if (!StandardOtio::read(text.c_str(), text.size(), "doc", options, composition, losses,
                            &message))
        return std::string("failed: ") + message.c_str();
    return readingOf(*composition, losses);
}

/// readingOf `text` parsed whole into a DOM first, none of its items left in
/// the text: as every document was read before the items were.
std::string wholeReadingOf(const std::string& text, const char* choice = "") {
    LossReport losses;
    try {
        const CoSharedPtr<DmRoot> root =
            Interchange::DocumentSchema::readParsedWhole(text.c_str(), text.size(), choice, losses);
        return readingOf(*adoptTree(String("doc"), root.get()), losses);
    } catch (const Json::Exception& failure) {
        return std::string("failed: ") + failure.what();
    }
}

/// `text` with its last `what` replaced by `with`, and the failure the strict
/// parse of the whole of it gives, as readingOf writes it.
std::pair<std::string, std::string> brokenAt(const std::string& text, const std::string& what,
                                             const std::string& with) {
    const std::string::size_type at = text.rfind(what);
    EXPECT_NE(at, std::string::npos) << what;
    const std::string faulty = text.substr(0, at) + with + text.substr(at + what.size());
    const std::optional<StrictJson::SyntaxError> error =
        StrictJson::findSyntaxError<rapidjson::kParseFullPrecisionFlag |
                                    rapidjson::kParseNanAndInfFlag>(faulty.c_str());
    EXPECT_TRUE(error) << with;
    return {faulty,
            error ? "failed: line 1, column " + std::to_string(error->column) + ": " + error->reason
                  : std::string()};
}

/// A timeline of another tool whose items are timed every way OTIO times them:
/// by their own range, a clip's media (one reference or several), a nested
/// stack's and track's items, a transition's offsets; at two rates, with names
/// written with escapes and members written twice.
std::string timedEveryWay() {
    const std::string media = R"({"OTIO_SCHEMA": "ExternalReference.1", "target_url": "a.mov",
        "available_range": )" +
                              timeRange(10, 48, 24) + "}";
    const std::string clip = R"({"OTIO_SCHEMA": "Clip.2", "name": "by range", "source_range": )" +
                             timeRange(12, 24, 24) + R"(, "media_references": {"DEFAULT_MEDIA": )" +
                             media + R"(}, "active_media_reference_key": "DEFAULT_MEDIA"})";
    const std::string items[] = {
        R"({"OTIO_SCHEMA": "Transition.1", "name": "in", "in_offset": )" + rationalTime(0, 24) +
            R"(, "out_offset": )" + rationalTime(6, 24) + "}",
        clip,
        R"({"OTIO_SCHEMA": "Clip.1", "name": "by media", "source_range": null,
            "media_reference": )" +
            media + "}",
        R"({"OTIO_SCHEMA": "Clip.2", "name": "by the other media", "media_references":
            {"DEFAULT_MEDIA": )" +
            media + R"(, "other": {"OTIO_SCHEMA": "ExternalReference.1", "available_range": )" +
            timeRange(0, 1001, 24000.0 / 1001) + R"(}}, "active_media_reference_key": "other"})",
        R"({"OTIO_SCHEMA": "Gap.1", "source_range": )" + timeRange(0, 5, 24000.0 / 1001) + "}",
        R"({"OTIO_SCHEMA": "Gap.1", "name": "no range"})",
        R"({"OTIO_SCHEMA": "Stack.1", "name": "nested", "children": [)" + clip +
            R"(, {"OTIO_SCHEMA": "Track.1", "children": [)" + clip + ", " + clip + "]}]}",
        R"({"OTIO\u005fSCHEMA": "Clip.1", "source\u005frange": )" + timeRange(0, 7, 24) + "}",
        R"({"OTIO_SCHEMA": "Cl\u0069p.1", "name": "\"}]", "source_range": )" + timeRange(0, 3, 24) +
            R"(, "source_range": )" + timeRange(0, 9, 24) + "}",
        R"({"OTIO_SCHEMA": "Marker.2", "marked_range": )" + timeRange(0, 1, 24) + "}",
        R"([1, {"OTIO_SCHEMA": "Clip.1"}])",
        R"("{\"OTIO_SCHEMA\": \"Clip.1\"}")",
        "17",
        R"({"OTIO_SCHEMA": "Transition.1", "name": "out", "in_offset": )" + rationalTime(4, 24) +
            R"(, "out_offset": )" + rationalTime(0, 24) + "}",
    };
    std::string children;
    for (const std::string& item : items)
        children += (children.empty() ? "" : ", ") + item;
    return R"({"OTIO_SCHEMA": "Timeline.1", "name": "timed", "global_start_time": )" +
           rationalTime(86400, 24) + R"(, "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [
           {"OTIO_SCHEMA": "Track.1", "name": "V1", "kind": "Video", "children": [)" +
           children + R"(]}, {"OTIO_SCHEMA": "Track.1", "name": "V2", "kind": "Video",
           "source_range": )" +
           timeRange(2, 30, 24) + R"(, "children": [)" + clip + ", " + clip + R"(]}]}})";
}

TEST(StandardOtioReader, TimelinesReadItemByItemAsFromTheWholeParse) {
    // Documents of every kind this system writes, as written, changed as another
    // tool might have, and as another tool would have written them: each reads
    // as it does from a DOM of the whole document.
    std::vector<std::pair<std::string, std::string>> documents;
    for (const char* name :
         {"short-cut.otio.json", "review-notes.otio.json", "graded-shot.otio.json"})
        documents.emplace_back(name, writeStandard(*fromProductOtio(readExample(name))));
    for (const char* name : {"roundtrip/annotations.json", "roundtrip/effects.json",
                             "roundtrip/timing.json", "rapidotio/full_timeline.json"})
        documents.emplace_back(name, writeStandard(*fromProductOtio(readTestData(name))));
    documents.emplace_back("full tree", writeStandard(*fromTree(*DmTest::makeFullTree())));

    const std::string base = documents.front().second;
    // Tracks whose length is not given, timed from their items before they are read.
    documents.emplace_back("no lengths",
                           changeTracks(base, [](rapidjson::Value& track, rapidjson::Document&) {
                               track["metadata"]["zem"].RemoveMember("length");
                           }));
    // Tracks after the first without their lengths: timed once those before
    // are read and handed back.
    int seen = 0;
    documents.emplace_back("later lengths",
                           changeTracks(base, [&](rapidjson::Value& track, rapidjson::Document&) {
                               if (seen++ > 0)
                                   track["metadata"]["zem"].RemoveMember("length");
                           }));
    // Transitions, items of other schemas and markers on them, among the items.
    documents.emplace_back(
        "other items", changeTracks(base, [](rapidjson::Value& track, rapidjson::Document& doc) {
            rapidjson::Value& items = track["children"];
            const std::string more[] = {
                R"({"OTIO_SCHEMA": "Transition.1", "in_offset": {"OTIO_SCHEMA": "RationalTime.1",
                    "value": 2, "rate": 24}, "out_offset": {"OTIO_SCHEMA": "RationalTime.1",
                    "value": 2, "rate": 24}})",
                R"({"OTIO_SCHEMA": "Foo.1", "markers": [{"OTIO_SCHEMA": "Marker.2"}]})",
            };
            for (const std::string& text : more) {
                rapidjson::Document item = parsedDocument(text);
                rapidjson::Value copy;
                copy.CopyFrom(item, doc.GetAllocator());
                items.PushBack(copy, doc.GetAllocator());
            }
        }));
    // A track that names its schema after its items; a track's items not an array.
    documents.emplace_back(
        "schema last", changeTracks(base, [](rapidjson::Value& track, rapidjson::Document& doc) {
            rapidjson::Value schema;
            schema.CopyFrom(track["OTIO_SCHEMA"], doc.GetAllocator());
            track.RemoveMember("OTIO_SCHEMA");
            track.AddMember("OTIO_SCHEMA", schema, doc.GetAllocator());
        }));
    documents.emplace_back("items no array",
                           changeTracks(base, [](rapidjson::Value& track, rapidjson::Document&) {
                               track["children"].SetInt(3);
                           }));
    // Re-saved by the OpenTimelineIO library: its members sorted.
    documents.emplace_back("re-saved", resave(base));
    const std::size_t ours = documents.size();
    for (std::size_t i = 0; i < ours; ++i)
        documents.emplace_back(documents[i].first + ", another tool's",
                               asAnotherTools(documents[i].second));
    documents.emplace_back("timed every way", timedEveryWay());

    for (const auto& [what, text] : documents) {
        const std::string reading = readingOf(text);
        EXPECT_EQ(reading.rfind("failed", 0), std::string::npos) << what << ": " << reading;
        EXPECT_EQ(reading, wholeReadingOf(text)) << what;
    }
}

TEST(StandardOtioReader, TracksWithoutItemsOrWithItemsOfAnotherType) {
    // Items absent, null, or not an array: the same track read, the last
    // reported, whether the items are read from the text or the document is
    // parsed whole (here for metadata nested deeper than the recursive parse).
    const struct {
        const char* children;
        std::vector<std::string> losses;
    } cases[] = {
        {"", {}},
        {R"(, "children": null)", {}},
        {R"(, "children": "x")",
         {"/tracks/children/0/children | Track.1 | ignored: expected an array"}},
        {R"(, "children": 4)",
         {"/tracks/children/0/children | Track.1 | ignored: expected an array"}},
        {R"(, "children": [])", {}},
    };
    const std::string deep = std::string(300, '[') + std::string(300, ']');
    for (const auto& c : cases) {
        for (const bool whole : {false, true}) {
            const std::string text =
                std::string(R"({"OTIO_SCHEMA": "Timeline.1", "metadata": {"zem": )"
                            R"({"ZEM_SCHEMA": "Composition.1"})") +
                (whole ? ", \"deep\": " + deep : std::string()) +
                R"(}, "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [{"OTIO_SCHEMA": )"
                R"("Track.1", "name": "V1")" +
                c.children + R"(, "kind": "Video"}]}})";
            LossReport losses;
            const SharedPtr<Composition> read = readStandard(text, losses);
            ASSERT_TRUE(read) << text.substr(0, 300);
            std::vector<std::string> tracks;
            for (const std::string& entry : entriesOf(losses))
                if (entry.rfind("/tracks", 0) == 0)
                    tracks.push_back(entry);
            EXPECT_EQ(tracks, c.losses) << c.children << (whole ? ", whole" : "");
            EXPECT_NE(dmTreeOf(*read).find("\"V1\""), std::string::npos) << c.children;
        }
    }
}

TEST(StandardOtioReader, LongTracksParsedAheadOfTheReaderReadAsFromTheWholeParse) {
    // Tracks long enough for their items to be parsed on a thread of their own,
    // batch after batch: the short cut's items repeated, its lengths with them
    // (its first track's then runs to 1.2 MB, the others' stay short).
    const std::string base = writeStandard(*fromProductOtio(readExample("short-cut.otio.json")));
    constexpr int kRepeats = 300;
    const std::string repeated =
        changeTracks(base, [](rapidjson::Value& track, rapidjson::Document& document) {
            rapidjson::Value& items = track["children"];
            const rapidjson::SizeType count = items.Size();
            for (int copy = 1; copy < kRepeats; ++copy) {
                for (rapidjson::SizeType i = 0; i < count; ++i) {
                    rapidjson::Value item;
                    item.CopyFrom(items[i], document.GetAllocator());
                    items.PushBack(item, document.GetAllocator());
                }
            }
            rapidjson::Value& zem = track["metadata"]["zem"];
            if (zem.HasMember("length"))
                zem["length"].SetDouble(zem["length"].GetDouble() * kRepeats);
        });
    ASSERT_GT(repeated.size(), std::size_t(1) << 20);
    const std::string reading = readingOf(repeated);
    EXPECT_EQ(reading.rfind("failed", 0), std::string::npos) << reading.substr(0, 300);
    EXPECT_EQ(reading, wholeReadingOf(repeated));
    // Read on the calling thread alone, as a host may ask.
    EXPECT_EQ(reading, readingOf(repeated, "", false));
    // As another tool would have written it: timed from its items first, on
    // two threads, then read on two threads.
    const std::string another = asAnotherTools(repeated);
    ASSERT_GT(another.size(), std::size_t(1) << 20);
    const std::string anotherReading = readingOf(another);
    EXPECT_EQ(anotherReading.rfind("failed", 0), std::string::npos)
        << anotherReading.substr(0, 300);
    EXPECT_EQ(anotherReading, wholeReadingOf(another));
    EXPECT_EQ(anotherReading, readingOf(another, "", false));

    // An item that is not well-formed, batches after the first, fails the read
    // as the whole parse does.
    const auto [faulty, failure] =
        brokenAt(repeated, "{\"OTIO_SCHEMA\":\"Clip", "{\"OTIO_SCHEMA\" \"Clip");
    EXPECT_EQ(readingOf(faulty), failure);
    EXPECT_EQ(readingOf(faulty, "", false), failure);
}

/// The processor time the threads of the process other than the calling one
/// spend while `run` runs.
double otherThreadsSeconds(const std::function<void()>& run) {
    const auto seconds = [](clockid_t clock) {
        timespec time{};
        clock_gettime(clock, &time);
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
    };
    const double process = seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double own = seconds(CLOCK_THREAD_CPUTIME_ID);
    run();
    const double processAfter = seconds(CLOCK_PROCESS_CPUTIME_ID);
    return (processAfter - process) - (seconds(CLOCK_THREAD_CPUTIME_ID) - own);
}

TEST(StandardOtioReader, ALongCutIsReadOnTheCallingThreadAloneWhenTheHostAsks) {
    // A cut of 512 plain clips on one track (more than 256 KB of items), ours
    // and as another tool writes it: read ahead, another thread works beside
    // the calling one; without, none does (a thread that ran at all, even to be
    // joined, took some processor time).
    std::string items = "[";
    for (int i = 0; i < 512; ++i) {
        items += std::string(i ? ", " : "") + R"({"OTIO_SCHEMA": "Clip.2", "name": "shot )" +
                 std::to_string(i) + R"(", "source_range": )" + timeRange(i, 24, 24) +
                 R"(, "metadata": {"notes": ")" + std::string(500, 'n') + R"("}})";
    }
    items += "]";
    for (const std::string& text :
         {Interchange::ours(items), asAnotherTools(Interchange::ours(items))}) {
        ASSERT_GT(text.size(), std::size_t(256) << 10);
        for (const bool ahead : {true, false}) {
            std::string reading;
            const double others =
                otherThreadsSeconds([&] { reading = readingOf(text, "", ahead); });
            EXPECT_EQ(reading.rfind("failed", 0), std::string::npos) << reading.substr(0, 300);
            EXPECT_EQ(reading, wholeReadingOf(text)) << ahead;
            if (ahead) {
                EXPECT_GT(others, 0.0);
            } else {
                EXPECT_LT(others, 1e-4);
            }
        }
    }
}

TEST(StandardOtioReader, WhatCannotBeReadFromTheTextIsLeftToTheWholeParse) {
    // DocumentSchema::readLeavingItems reads what it can with the items left in
    // the text, as the whole parse reads it; the rest it leaves to the whole
    // parse, which reads it or fails as it always did.
    const std::string clip =
        R"({"OTIO_SCHEMA": "Clip.2", "source_range": )" + timeRange(0, 24, 24) + "}";
    std::string withNul = Interchange::ours("[" + clip + "]");
    withNul[withNul.find("Clip")] = '\0';
    const struct {
        const char* what;
        std::string text;
        bool fromTheText;
        bool read; ///< by the whole parse
    } cases[] = {
        {"ours", Interchange::ours("[" + clip + ", " + clip + "]"), true, true},
        {"another tool's", asAnotherTools(Interchange::ours("[" + clip + "]")), true, true},
        {"no items", Interchange::ours("[]"), true, true},
        {"an item not well-formed", Interchange::ours("[" + clip + ", {\"a\": }]"), false, false},
        {"not closed", Interchange::ours("[" + clip), false, false},
        {"a NUL byte", withNul, false, false},
        {"no timeline", R"({"OTIO_SCHEMA": "Clip.2"})", false, false},
        {"a track without its length, of another tool",
         R"({"OTIO_SCHEMA": "Timeline.1", "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [)"
         R"({"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [)" +
             clip + "]}]}}",
         true, true},
    };
    for (const auto& c : cases) {
        for (const Interchange::TrackItems::Ahead& way : Interchange::kWays) {
            LossReport losses;
            const CoSharedPtr<DmRoot> root = Interchange::DocumentSchema::readLeavingItems(
                c.text.c_str(), c.text.size(), "", way, losses);
            EXPECT_EQ(static_cast<bool>(root), c.fromTheText) << c.what << " " << way.batchBytes;
            if (root) {
                EXPECT_EQ(readingOf(*adoptTree(String("doc"), root.get()), losses),
                          wholeReadingOf(c.text))
                    << c.what;
            }
        }
        EXPECT_EQ(wholeReadingOf(c.text).rfind("failed", 0) != 0, c.read) << c.what;
        EXPECT_EQ(readingOf(c.text), wholeReadingOf(c.text)) << c.what;
    }
}

TEST(StandardOtioReader, TimelinesOfACollectionReadItemByItemAsFromTheWholeParse) {
    // Two timelines, each chosen in turn; the one not chosen is not read, but a
    // fault in its text fails the read as it always has.
    const std::string two = readTestData("interchange/two-compositions.std.expected.json");
    const std::string names[] = {"", "Graded shot", "2"};
    for (const std::string& choice : names)
        EXPECT_EQ(readingOf(two, choice.c_str()), wholeReadingOf(two, choice.c_str())) << choice;

    rapidjson::Document document = parsedDocument(two);
    ASSERT_EQ(timelinesOf(document).size(), 2u);
    const auto [faulty, failure] =
        brokenAt(textOf(document), "\"children\":[", "\"children\":[1 2,");
    EXPECT_EQ(readingOf(faulty, "1"), failure);
}

} // namespace
} // namespace ZEM_0_81::test
