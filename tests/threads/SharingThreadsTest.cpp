// Reference counts and lists shared between threads: copies of one composition's
// pointer made and dropped on many threads at once, compositions handed from
// one thread to another, and lists of shared compositions copied, walked and
// emptied on several threads. Run under ThreadSanitizer in CI.

#include "ThreadsSupport.h"

#include "composition/Composition.h"
#include "composition/CompositionList.h"
#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmPropertySet.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace ZEM_0_81;
using test::kThreads;

namespace {

SharedPtr<Composition> makeComposition(const char* id) {
    SharedPtr<Composition> composition;
    Composition::create(composition, String(id), id, Rational(24, 1));
    return composition;
}

/// An edit-tree object that counts its deletions and checks, as it goes, that
/// what every holder wrote to it is there.
class Watched : public DmPropertySet {
public:
    Watched(std::atomic<int>& deletions, int holders)
        : m_deletions(deletions), m_marks(static_cast<std::size_t>(holders), 0) {}
    ~Watched() override {
        for (const int mark : m_marks)
            EXPECT_EQ(mark, 1);
        ++m_deletions;
    }
    CoSharedPtr<DmPropertySet> clone() const override { return nullptr; }
    void mark(int holder) { ++m_marks[static_cast<std::size_t>(holder)]; }

private:
    std::atomic<int>& m_deletions;
    std::vector<int> m_marks;
};

} // namespace

TEST(SharingThreads, EditTreeObjectsAreDeletedOnceByTheLastHolderAfterEveryUse) {
    // Each thread writes to the object through its own reference, then drops
    // it; which drop is the last one differs from round to round, and that one
    // deletes, after every thread's write.
    std::atomic<int> deletions{0};
    for (int round = 1; round <= 100; ++round) {
        auto* object = new Watched(deletions, kThreads);
        // Held as the edit tree holds its objects, through the base class.
        std::vector<CoSharedPtr<DmPropertySet>> holders(kThreads,
                                                        CoSharedPtr<DmPropertySet>(object));
        test::runTogether(kThreads, [&](int index) {
            CoSharedPtr<DmPropertySet> mine = std::move(holders[static_cast<std::size_t>(index)]);
            static_cast<Watched&>(*mine).mark(index);
            // One drop per thread: the deleting one has no other operation on the
            // count that would order the others' writes before its delete.
        });
        EXPECT_EQ(deletions.load(), round);
    }
}

TEST(SharingThreads, PointerCopiesOnManyThreadsKeepTheCount) {
    const SharedPtr<Composition> shared = makeComposition("shared");
    ASSERT_EQ(shared->refcount(), 1);
    test::runTogether(kThreads, [&](int) {
        std::vector<SharedPtr<Composition>> copies;
        for (int round = 0; round < 200; ++round) {
            for (int i = 0; i < 50; ++i)
                copies.push_back(shared);
            SharedPtr<Composition> assigned;
            assigned = copies.back();
            copies.clear();
        }
    });
    EXPECT_EQ(shared->refcount(), 1);
}

TEST(SharingThreads, CompositionsHandedOverAreReleasedOnceWhereverTheLastHolderIs) {
    // A producer fills compositions (their caches included) and hands each over
    // while keeping a reference it drops right after; consumers use and drop
    // theirs. Whichever drop is last deletes, after every use on both threads.
    constexpr int kCompositions = 200;
    const std::string text = test::readExample("short-cut.otio.json");
    std::mutex mutex;
    std::condition_variable filled;
    std::deque<SharedPtr<Composition>> handed;
    bool done = false;
    std::vector<std::int64_t> durations(kThreads, 0);

    std::thread producer([&] {
        for (int i = 0; i < kCompositions; ++i) {
            SharedPtr<Composition> composition = makeComposition("handed");
            composition->setJson(Composition::JsonType::Otio, String(text.c_str()));
            Time duration;
            composition->getDuration(duration); // imports: writes the tree and caches
            {
                std::lock_guard<std::mutex> lock(mutex);
                handed.push_back(composition);
            }
            filled.notify_one();
            composition = SharedPtr<Composition>(); // may or may not be the last
        }
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        filled.notify_all();
    });
    test::runTogether(kThreads, [&](int index) {
        for (;;) {
            SharedPtr<Composition> composition;
            {
                std::unique_lock<std::mutex> lock(mutex);
                filled.wait(lock, [&] { return done || !handed.empty(); });
                if (handed.empty())
                    return;
                composition = handed.front();
                handed.pop_front();
            }
            Time duration;
            composition->getDuration(duration);
            durations[index] += duration.getNbTicks();
            String json;
            composition->getJson(Composition::JsonType::DmTree, json);
        }
    });
    producer.join();

    std::int64_t total = 0;
    for (const std::int64_t sum : durations)
        total += sum;
    Time one;
    SharedPtr<Composition> reference = makeComposition("reference");
    reference->setJson(Composition::JsonType::Otio, String(text.c_str()));
    ASSERT_TRUE(reference->getDuration(one));
    EXPECT_EQ(total, one.getNbTicks() * kCompositions);
}

TEST(SharingThreads, ListsOfSharedCompositionsOnSeveralThreads) {
    // One list, only read by the threads; each thread makes lists of its own
    // from it, which hold the same compositions.
    CompositionList shared;
    std::vector<SharedPtr<Composition>> members;
    for (int i = 0; i < 8; ++i) {
        members.push_back(makeComposition(("member-" + std::to_string(i)).c_str()));
        shared.append(members.back());
    }
    const CompositionList& readOnly = shared;

    std::vector<std::string> firstIds(kThreads), lastIds(kThreads);
    std::vector<std::uint64_t> seen(kThreads, 0);
    test::runTogether(kThreads, [&](int index) {
        for (int round = 0; round < 100; ++round) {
            CompositionList copy(readOnly);
            CompositionList assigned;
            assigned = copy;
            for (CompositionList::Iterator it = readOnly.begin(); it != readOnly.end(); ++it)
                assigned.append(*it);
            // Remove every other element, walking the list's own positions.
            CompositionList::Iterator it = assigned.begin();
            bool drop = true;
            while (it != assigned.end()) {
                if (drop)
                    it = assigned.erase(it);
                else
                    ++it;
                drop = !drop;
            }
            seen[index] += assigned.size();
            firstIds[index] = readOnly.front()->getId().c_str();
            lastIds[index] = readOnly.back()->getId().c_str();
            copy.pop_front();
            copy.pop_back();
            copy.clear();
        }
    });

    for (int index = 0; index < kThreads; ++index) {
        EXPECT_EQ(seen[index], 100u * 8u);
        EXPECT_EQ(firstIds[index], "member-0");
        EXPECT_EQ(lastIds[index], "member-7");
    }
    for (const SharedPtr<Composition>& member : members)
        EXPECT_EQ(member->refcount(), 2); // ours and the shared list's

    // A list handed whole to another thread, which empties it there.
    auto handed = std::make_unique<CompositionList>(readOnly);
    std::thread receiver([list = std::move(handed)] {
        while (!list->empty())
            list->pop_back();
    });
    receiver.join();
    for (const SharedPtr<Composition>& member : members)
        EXPECT_EQ(member->refcount(), 2);
}
