// The timeline a reader reads of a document holding several, picked by name or
// number in every dialect (DocumentReadOptions::timeline).

#include "interchange/Documents.h"
#include "interchange/TimelineView.h"
#include "tests/support/OtioText.h"

#include <gtest/gtest.h>

#include <string>

namespace ZEM_0_81::test {
namespace {

/// A standard OTIO timeline named `name`, one clip of `frames` frames at 24.
std::string timeline(const std::string& name, int frames) {
    return R"({"OTIO_SCHEMA": "Timeline.1", "name": ")" + name +
           R"(", "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [{"OTIO_SCHEMA": "Track.1", )"
           R"("kind": "Video", "children": [{"OTIO_SCHEMA": "Clip.2", "name": "c", )"
           R"("source_range": )" +
           timeRange(0, frames, 24) + "}]}]}}";
}

struct Read {
    Status status;
    std::string where;
    std::string name;
    std::int64_t duration = -1;
};

Read readWith(const std::string& text, const std::string& choice) {
    DocumentReadOptions options;
    options.timeline = choice;
    options.name = "doc";
    const DocumentReading reading = Documents::read(text.c_str(), text.size(), "id", options);
    Read read{reading.status, reading.where, {}, -1};
    TimelineView view;
    if (reading.status && TimelineView::build(*reading.composition, view)) {
        read.name = view.name;
        read.duration = view.duration;
    }
    return read;
}

TEST(TimelineChoice, ByNameElseByNumberInTheDocumentsOrder) {
    // Three timelines told apart by their lengths: "a" 10 frames, "2" 20, "b" 30.
    const std::string collection = R"({"OTIO_SCHEMA": "SerializableCollection.1", "children": [)" +
                                   timeline("a", 10) + "," + timeline("2", 20) + "," +
                                   timeline("b", 30) + "]}";
    const std::string holds = R"(the document holds 3: 1 "a", 2 "2", 3 "b")";
    struct Case {
        const char* choice;
        const char* name; // null: the read fails
        std::int64_t duration;
        std::string where;
    };
    const Case cases[] = {
        {"", "a", 10, ""},  // the first
        {"b", "b", 30, ""}, // by name
        {"2", "2", 20, ""}, // the timeline named "2" before the second
        {"3", "b", 30, ""}, // the third
        {"1", "a", 10, ""},
        {"4", nullptr, 0, R"(doc: no timeline "4": )" + holds},
        {"0", nullptr, 0, R"(doc: no timeline "0": )" + holds},
        {"B", nullptr, 0, R"(doc: no timeline "B": )" + holds},
        {"+1", nullptr, 0, R"(doc: no timeline "+1": )" + holds},
        {"0000000003", nullptr, 0, R"(doc: no timeline "0000000003": )" + holds},
        {"99999999999999999999999", nullptr, 0,
         R"(doc: no timeline "99999999999999999999999": )" + holds},
    };
    for (const Case& c : cases) {
        const Read read = readWith(collection, c.choice);
        if (!c.name) {
            EXPECT_EQ(read.status.getCode(), Status::NoData) << c.choice;
            EXPECT_EQ(read.where, c.where) << c.choice;
            continue;
        }
        ASSERT_TRUE(read.status) << c.choice << ": " << read.where;
        EXPECT_EQ(read.name, c.name) << c.choice;
        EXPECT_EQ(read.duration, c.duration) << c.choice;
    }
}

TEST(TimelineChoice, ATimelineWithoutATextNameIsListedAsEmptyAndChosenByNumber) {
    // The first timeline has no name, the second a number for one: both are
    // listed as "", and only their numbers choose them.
    std::string unnamed = timeline("", 10);
    unnamed.replace(unnamed.find(R"("name": "", )"), std::string(R"("name": "", )").size(), "");
    std::string numbered = timeline("", 20);
    numbered.replace(numbered.find(R"("name": "")"), std::string(R"("name": "")").size(),
                     R"("name": 5)");
    const std::string collection = R"({"OTIO_SCHEMA": "SerializableCollection.1", "children": [)" +
                                   unnamed + "," + numbered + "," + timeline("b", 30) + "]}";
    EXPECT_EQ(readWith(collection, "1").duration, 10);
    EXPECT_EQ(readWith(collection, "2").duration, 20);
    EXPECT_EQ(readWith(collection, "b").duration, 30);
    const Read missing = readWith(collection, "5");
    EXPECT_EQ(missing.status.getCode(), Status::NoData);
    EXPECT_EQ(missing.where, R"(doc: no timeline "5": the document holds 3: 1 "", 2 "", 3 "b")");
}

TEST(TimelineChoice, ADocumentOfOneTimelineHoldsOnlyThatOne) {
    const std::string edl = "TITLE: cut\n001 A V C 0 24 0 24\n";
    const std::string one = timeline("only", 10);
    struct Case {
        std::string text;
        const char* choice;
        std::string where; // empty: read
    };
    const Case cases[] = {
        {edl, "cut", ""},
        {edl, "1", ""},
        {edl, "2", R"(doc: no timeline "2": the document holds 1: 1 "cut")"},
        {one, "only", ""},
        {one, "other", R"(doc: no timeline "other": the document holds 1: 1 "only")"},
    };
    for (const Case& c : cases) {
        const Read read = readWith(c.text, c.choice);
        EXPECT_EQ(read.where, c.where) << c.choice;
        EXPECT_EQ(static_cast<bool>(read.status), c.where.empty()) << c.choice;
    }
}

TEST(TimelineChoice, AFailureListsTheFirstTenTimelines) {
    std::string collection = R"({"OTIO_SCHEMA": "SerializableCollection.1", "children": [)";
    for (int i = 1; i <= 12; ++i)
        collection += (i > 1 ? "," : "") + timeline("t" + std::to_string(i), i);
    collection += "]}";
    const Read read = readWith(collection, "t13");
    EXPECT_EQ(read.where,
              R"(doc: no timeline "t13": the document holds 12: 1 "t1", 2 "t2", )"
              R"(3 "t3", 4 "t4", 5 "t5", 6 "t6", 7 "t7", 8 "t8", 9 "t9", 10 "t10", ...)");
    EXPECT_EQ(readWith(collection, "12").duration, 12);
    EXPECT_EQ(readWith(collection, "9").duration, 9);
}

} // namespace
} // namespace ZEM_0_81::test
