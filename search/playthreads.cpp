#include "search/playthreads.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The helpers and what they wait on. A helper sleeps on `wake` until a new
// search is posted (or the pool ends), runs it, and the last one to finish
// wakes whoever waits on `idle`.
struct HelperPool {
    std::mutex mutex;
    std::condition_variable wake, idle;
    std::vector<std::thread> threads;
    uint64_t searchNumber = 0;   // posted searches
    int busy = 0;                // helpers still searching the posted one
    bool ending = false;
    void (*work)(int helper) = nullptr;

    ~HelperPool() { resize(0); }

    void resize(int count) {
        {
            std::lock_guard lock(mutex);
            ending = true;
        }
        wake.notify_all();
        for (std::thread& t : threads) t.join();
        threads.clear();
        ending = false;
        // A helper counts the searches from the moment it is made, not from
        // when it first runs: one posted in between is still its to run.
        for (int i = 0; i < count; ++i) threads.emplace_back([this, i, seen = searchNumber] { run(i, seen); });
    }

    void run(int helper, uint64_t seen) {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return ending || searchNumber != seen; });
            if (ending) return;
            seen = searchNumber;
            lock.unlock();
            work(helper);
            lock.lock();
            if (--busy == 0) idle.notify_all();
        }
    }
};

HelperPool pool;

}  // namespace

void setHelperCount(int count) {
    if (count != int(pool.threads.size())) pool.resize(count);
}

int helperCount() { return int(pool.threads.size()); }

void startHelpers(void (*work)(int helper)) {
    if (pool.threads.empty()) return;
    {
        std::lock_guard lock(pool.mutex);
        pool.work = work;
        pool.busy = int(pool.threads.size());
        ++pool.searchNumber;
    }
    pool.wake.notify_all();
}

void waitForHelpers() {
    std::unique_lock lock(pool.mutex);
    pool.idle.wait(lock, [] { return pool.busy == 0; });
}
