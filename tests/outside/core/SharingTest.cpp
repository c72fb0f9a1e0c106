#include "outside/core/RefCounted.h"
#include "outside/core/SharedPtr.h"
#include "outside/core/Subject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace ZEM_0_81;

namespace {

struct Tracked : RefCountedMT {
    explicit Tracked(int* deaths) : deaths(deaths) {}
    ~Tracked() override { ++*deaths; }
    int* deaths;
};

struct Recorder : Observer {
    void onNotify(const Subject& subject, const NotificationHint&) override {
        seen.push_back(&subject);
    }
    std::vector<const Subject*> seen;
};

} // namespace

TEST(SharedPtr, DeletesWithTheLastReference) {
    int deaths = 0;
    {
        SharedPtr<Tracked> first(new Tracked(&deaths));
        EXPECT_EQ(first->refcount(), 1);
        {
            SharedPtr<Tracked> second = first;
            EXPECT_EQ(first->refcount(), 2);
            second = second; // self-assignment keeps the object alive
            EXPECT_EQ(first->refcount(), 2);
        }
        EXPECT_EQ(deaths, 0);
        first = first.get(); // assigning the held object again keeps it alive
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(first->refcount(), 1);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(SharedPtr, MoveAndResetHandOverTheReference) {
    int deaths = 0;
    SharedPtr<Tracked> a(new Tracked(&deaths));
    SharedPtr<Tracked> b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b->refcount(), 1);
    b = nullptr;
    EXPECT_EQ(deaths, 1);
}

TEST(RefCountedMT, CountsAcrossThreadsAndIsNotCopied) {
    int deaths = 0;
    SharedPtr<Tracked> shared(new Tracked(&deaths));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                SharedPtr<Tracked> copy = shared;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(shared->refcount(), 1);
    Tracked copy(*shared);
    EXPECT_EQ(copy.refcount(), 0);
    EXPECT_EQ(deaths, 0);
}

TEST(Subject, NotifiesEachAttachedObserverOnce) {
    Subject subject;
    Recorder first, second;
    subject.attach(&first);
    subject.attach(&first);
    subject.attach(&second);
    subject.notify(NotificationHint());
    EXPECT_EQ(first.seen.size(), 1u);
    EXPECT_EQ(second.seen.size(), 1u);
    EXPECT_EQ(first.seen[0], &subject);

    subject.detach(&first);
    subject.notify(NotificationHint());
    EXPECT_EQ(first.seen.size(), 1u);
    EXPECT_EQ(second.seen.size(), 2u);

    // Observers belong to one object: a copy starts without any.
    Subject copy(subject);
    copy.notify(NotificationHint());
    EXPECT_EQ(second.seen.size(), 2u);
}
