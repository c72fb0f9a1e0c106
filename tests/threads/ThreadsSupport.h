#pragma once

// Small helpers for the tests that use several threads: start them together,
// so that first uses and reference counts really meet, and join them all.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ZEM_0_81::test {

/// How many threads each test runs at once.
constexpr int kThreads = 4;

/// Runs `work(index)` on `count` threads released at the same moment, and
/// waits for all of them.
inline void runTogether(int count, const std::function<void(int)>& work) {
    std::mutex mutex;
    std::condition_variable ready;
    bool go = false;
    std::vector<std::thread> threads;
    for (int index = 0; index < count; ++index) {
        threads.emplace_back([&, index] {
            {
                std::unique_lock<std::mutex> lock(mutex);
                ready.wait(lock, [&] { return go; });
            }
            work(index);
        });
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        go = true;
    }
    ready.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace ZEM_0_81::test
