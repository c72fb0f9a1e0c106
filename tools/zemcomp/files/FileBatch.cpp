#include "tools/zemcomp/files/FileBatch.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace zemcomp {

std::size_t runFiles(const std::vector<std::string>& files, unsigned jobs,
                     const std::function<FileOutcome(const std::string&)>& task,
                     const std::function<void(const FileOutcome&)>& report) {
    std::size_t failed = 0;
    const auto deliver = [&](const FileOutcome& outcome) {
        if (outcome.failed)
            ++failed;
        report(outcome);
    };

    if (jobs <= 1 || files.size() <= 1) {
        for (const std::string& file : files)
            deliver(task(file));
        return failed;
    }

    // Workers take the next file by index and leave its outcome in its slot; the
    // calling thread reports the slots in order as they fill.
    std::vector<std::optional<FileOutcome>> outcomes(files.size());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable ready;
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            FileOutcome outcome;
            try {
                outcome = task(files[i]);
            } catch (const std::exception& e) {
                outcome.err = files[i] + ": " + e.what() + "\n";
                outcome.failed = true;
            }
            {
                const std::lock_guard<std::mutex> lock(mutex);
                outcomes[i] = std::move(outcome);
            }
            ready.notify_one();
        }
    };

    const std::size_t threadCount = jobs < files.size() ? jobs : files.size();
    std::vector<std::thread> threads;
    threads.reserve(threadCount);
    for (std::size_t t = 0; t < threadCount; ++t)
        threads.emplace_back(work);

    for (std::size_t i = 0; i < files.size(); ++i) {
        FileOutcome outcome;
        {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [&] { return outcomes[i].has_value(); });
            outcome = std::move(*outcomes[i]);
            outcomes[i].reset();
        }
        deliver(outcome);
    }
    for (std::thread& thread : threads)
        thread.join();
    return failed;
}

} // namespace zemcomp
