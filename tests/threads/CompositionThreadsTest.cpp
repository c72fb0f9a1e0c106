// Compositions used on separate threads at the same time: each thread owns its
// compositions, while the process-wide objects made on first use (the shared
// empty root, the importer's standard rates, the diagnostic switch) and the
// library's code are shared. Run under ThreadSanitizer in CI.

#include "ThreadsSupport.h"

#include "composition/Composition.h"
#include "composition/SpareMemory.h"
#include "interchange/LossReport.h"
#include "interchange/StandardOtio.h"
#include "outside/dmtree/DmRoot.h"
#include "tests/support/OtioText.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <atomic>
#include <string>
#include <vector>

using namespace ZEM_0_81;
using test::kThreads;

namespace {

const char* const kExamples[] = {"short-cut.otio.json", "review-notes.otio.json",
                                 "graded-shot.otio.json"};

/// What one composition gives back, in a form that compares.
struct Results {
    int importStatus = -1;
    std::int64_t duration = 0;
    std::int64_t start = 0;
    double boundsWidth = 0.0;
    std::string dmTree;
    std::string otio;
    int notifications = 0;

    bool operator==(const Results& other) const {
        return importStatus == other.importStatus && duration == other.duration &&
               start == other.start && boundsWidth == other.boundsWidth && dmTree == other.dmTree &&
               otio == other.otio && notifications == other.notifications;
    }
};

class Counter : public Observer {
public:
    void onNotify(const Subject&, const NotificationHint&) override { ++count; }
    int count = 0;
};

/// Reads `otioText` into a composition and asks it everything, then converts it
/// through edit-tree JSON into a second composition and asks that one for OTIO.
Results workThrough(const std::string& otioText) {
    Results results;
    SharedPtr<Composition> composition;
    if (!Composition::create(composition, String("thread"), "thread", Rational(24, 1)))
        return results;
    Counter counter;
    composition->attach(&counter);
    composition->setJson(Composition::JsonType::Otio, String(otioText.c_str()));

    Status status;
    composition->getTree(status);
    results.importStatus = status.getCode();
    Time time;
    composition->getDuration(time);
    results.duration = time.getNbTicks();
    composition->getStartTime(time);
    results.start = time.getNbTicks();
    Bounds bounds;
    composition->getOutputBounds(Time(results.start, Rational(24, 1)), bounds);
    results.boundsWidth = bounds.getSizeX();

    String text;
    composition->getJson(Composition::JsonType::DmTree, text);
    results.dmTree = text.c_str();
    composition->detach(&counter);
    results.notifications = counter.count;

    SharedPtr<Composition> converted;
    Composition::create(converted, String("converted"), "", Rational(25, 1));
    converted->setJson(Composition::JsonType::DmTree, text);
    String otio;
    converted->getJson(Composition::JsonType::Otio, otio);
    results.otio = otio.c_str();
    return results;
}

} // namespace

// First in the file, so that the threads meet the library's first-use
// initialisation together.
TEST(CompositionThreads, SeparateCompositionsGiveWhatOneThreadGets) {
    std::vector<std::string> texts;
    for (const char* name : kExamples)
        texts.push_back(test::readExample(name));

    constexpr int kRounds = 3;
    std::vector<std::vector<Results>> seen(kThreads);
    test::runTogether(kThreads, [&](int index) {
        for (int round = 0; round < kRounds; ++round)
            seen[index].push_back(workThrough(texts[(index + round) % texts.size()]));
    });

    for (int index = 0; index < kThreads; ++index) {
        ASSERT_EQ(seen[index].size(), static_cast<std::size_t>(kRounds));
        for (int round = 0; round < kRounds; ++round) {
            const std::string& text = texts[(index + round) % texts.size()];
            const Results expected = workThrough(text);
            EXPECT_EQ(expected.importStatus, 0);
            EXPECT_FALSE(expected.otio.empty());
            EXPECT_EQ(expected.notifications, 1);
            EXPECT_TRUE(seen[index][round] == expected) << "thread " << index << " round " << round;
        }
    }
}

TEST(CompositionThreads, CompositionsWithoutContentShareTheEmptyRoot) {
    std::vector<const DmRoot*> roots(kThreads);
    std::vector<int> codes(kThreads);
    test::runTogether(kThreads, [&](int index) {
        SharedPtr<Composition> composition;
        Composition::create(composition, String("empty"), "", Rational(24, 1));
        composition->setJson(Composition::JsonType::Otio, String());
        Status status;
        roots[index] = &composition->getTree(status);
        codes[index] = status.getCode();
        Time time;
        composition->getDuration(time);
    });
    for (int index = 0; index < kThreads; ++index) {
        EXPECT_EQ(codes[index], Status::NoData);
        EXPECT_EQ(roots[index], roots[0]);
        EXPECT_EQ(roots[index]->getNbChildren(), 0u);
    }
}

TEST(CompositionThreads, OneTreeCopiedIntoCompositionsOnEveryThread) {
    SharedPtr<Composition> source;
    Composition::create(source, String("source"), "", Rational(24, 1));
    source->setJson(Composition::JsonType::Otio,
                    String(test::readExample("graded-shot.otio.json").c_str()));
    Status status;
    const DmRoot& tree = source->getTree(status);
    ASSERT_TRUE(status);
    String expected;
    ASSERT_TRUE(
        Composition::create(String("copy"), tree)->getJson(Composition::JsonType::Otio, expected));

    // The tree is only read while the threads copy it, each into compositions
    // of its own.
    std::vector<std::string> written(kThreads);
    test::runTogether(kThreads, [&](int index) {
        for (int round = 0; round < 20; ++round) {
            const SharedPtr<Composition> copy = Composition::create(String("copy"), tree);
            const SharedPtr<Composition> again = copy->clone();
            String text;
            again->getJson(Composition::JsonType::Otio, text);
            written[index] = text.c_str();
        }
    });
    for (const std::string& text : written)
        EXPECT_EQ(text, expected.c_str());
}

namespace {

/// The short cut with each track's children `copies` times over.
std::string repeatedShortCut(int copies) {
    rapidjson::Document document;
    document.Parse(test::readExample("short-cut.otio.json").c_str());
    EXPECT_FALSE(document.HasParseError());
    auto& allocator = document.GetAllocator();
    for (auto& track : document["timeline"]["tracks"]["children"].GetArray()) {
        rapidjson::Value& children = track["children"];
        const rapidjson::Value once(children, allocator);
        for (int copy = 1; copy < copies; ++copy)
            for (const auto& child : once.GetArray())
                children.PushBack(rapidjson::Value(child, allocator), allocator);
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    return buffer.GetString();
}

} // namespace

TEST(CompositionThreads, LongTextsWrittenAndReleasedOnEveryThread) {
    // Each track of an example holds its children forty times over: a text long
    // enough to be written into pages of its own, which are passed on from a
    // released text to the next one on any thread, while every other thread
    // gives the pages kept back to the system between its texts.
    const std::string text = repeatedShortCut(40);
    SharedPtr<Composition> source;
    Composition::create(source, String("long"), "", Rational(24, 1));
    source->setJson(Composition::JsonType::Otio, String(text.c_str()));
    Status status;
    const DmRoot& tree = source->getTree(status);
    ASSERT_TRUE(status);
    String expected;
    ASSERT_TRUE(
        Composition::create(String("long"), tree)->getJson(Composition::JsonType::Otio, expected));
    ASSERT_GT(expected.size(), std::size_t(256) << 10);

    std::vector<int> differences(kThreads, 0);
    test::runTogether(kThreads, [&](int index) {
        for (int round = 0; round < 6; ++round) {
            String written;
            Composition::create(String("long"), tree)
                ->getJson(Composition::JsonType::Otio, written);
            if (written != expected)
                ++differences[index];
            written = String();
            if (index % 2 == 1)
                releaseSpareMemory();
        }
    });
    for (int index = 0; index < kThreads; ++index)
        EXPECT_EQ(differences[index], 0) << "thread " << index;
}

TEST(CompositionThreads, LongTracksOfStandardOtioReadOnEveryThread) {
    // Each track of an example holds its children three hundred times over, in
    // standard OTIO: the longest is parsed on a thread of the read's own, ahead
    // of the reader, on every thread at once; as another tool would have
    // written it, its items are timed on two threads first.
    const std::string text = repeatedShortCut(300);
    SharedPtr<Composition> source;
    Composition::create(source, String("long"), "", Rational(24, 1));
    source->setJson(Composition::JsonType::Otio, String(text.c_str()));
    String standard;
    ASSERT_TRUE(StandardOtio::write(*source, standard));
    const std::string ours(standard.c_str(), standard.size());
    for (const std::string& document : {ours, test::asAnotherTools(ours)}) {
        ASSERT_GT(document.size(), std::size_t(1) << 20);
        const auto readBack = [&] {
            SharedPtr<Composition> read;
            LossReport losses;
            String written;
            if (!StandardOtio::read(document.c_str(), document.size(), String("long"), read,
                                    losses) ||
                !StandardOtio::write(*read, written))
                return std::string("failed");
            return std::string(written.c_str(), written.size());
        };
        const std::string expected = readBack();
        ASSERT_NE(expected, "failed");
        if (document == ours) {
            ASSERT_EQ(expected, ours);
        }

        std::vector<int> differences(kThreads, 0);
        test::runTogether(kThreads, [&](int index) {
            for (int round = 0; round < 3; ++round)
                if (readBack() != expected)
                    ++differences[index];
        });
        for (int index = 0; index < kThreads; ++index)
            EXPECT_EQ(differences[index], 0) << "thread " << index;
    }
}

// With diagnostics switched on (its own test entry), the switch is read once
// while several threads print.
TEST(CompositionThreadsDebugOn, DiagnosticsFromSeveralThreads) {
    // A clip without its ranges and a gap without a name: the importer says so.
    const std::string text = R"({"OTIO_SCHEMA":"Timeline.1","tracks":{"OTIO_SCHEMA":"Stack.1",
        "children":[{"OTIO_SCHEMA":"Track.1","kind":"Video","children":[
        {"OTIO_SCHEMA":"Clip.1","name":"c"},{"OTIO_SCHEMA":"Gap.1"}]}]}})";
    std::vector<int> codes(kThreads, -1);
    test::runTogether(kThreads, [&](int index) { codes[index] = workThrough(text).importStatus; });
    for (const int code : codes)
        EXPECT_EQ(code, 0);
}
