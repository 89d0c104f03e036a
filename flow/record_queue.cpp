#include "flow/record_queue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace solvari {

std::string describeFinish(const PendingFinish& f) {
    return f.unitTitle + "　問" + std::to_string(f.question) + "（" + formatRecordDate(f.when) + "）";
}

struct RecordQueue::State {
    Listener listener;
    std::chrono::milliseconds retryAfter;
    LockTiming lockTiming;

    std::mutex mutex;
    std::condition_variable changed;  // a finish came, someone waits, or the queue stops
    std::condition_variable settled;  // a write was made or given up
    std::deque<PendingFinish> waiting;  // the front is the one in hand
    bool busy = false;
    bool wake = false;  // try a failed write again now instead of after retryAfter
    bool stop = false;
    bool ended = false;
    // Held while the listener runs, so the owner can be sure none runs once it has stopped the queue.
    std::mutex listening;
    std::optional<RecordFile> file;  // the queue's thread only: it remembers what it wrote

    RecordResult write(const PendingFinish& f) {
        if (!file || file->path() != f.recordPath) file.emplace(f.recordPath, lockTiming);
        const QDateTime when = f.when;
        return writeRecord(*file, f.unitTitle, f.question, [when] { return when; }, f.finish, f.mistakes);
    }

    void run() {
        std::unique_lock lock(mutex);
        bool failedLast = false;
        for (;;) {
            if (failedLast) {
                changed.wait_for(lock, retryAfter, [&] { return stop || wake; });
                // A pause between tries, so a caller waiting for the queue does not hammer a share
                // that keeps refusing.
                changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return stop; });
            } else {
                changed.wait(lock, [&] { return stop || !waiting.empty(); });
            }
            if (stop) break;
            wake = false;
            const PendingFinish f = waiting.front();
            busy = true;
            lock.unlock();
            const RecordResult r = write(f);
            {
                const std::lock_guard listen(listening);
                bool stopped = false;
                {
                    const std::lock_guard guard(mutex);
                    stopped = stop;
                }
                if (!stopped && listener) listener(f, r);
            }
            lock.lock();
            busy = false;
            failedLast = !r.ok && !r.refused;
            if (!failedLast) waiting.pop_front();
            settled.notify_all();
        }
        ended = true;
        settled.notify_all();
    }
};

RecordQueue::RecordQueue(Listener listener, std::chrono::milliseconds retryAfter, LockTiming lockTiming)
    : state_(std::make_shared<State>()) {
    state_->listener = std::move(listener);
    state_->retryAfter = retryAfter;
    state_->lockTiming = lockTiming;
    std::thread([state = state_] { state->run(); }).detach();
}

RecordQueue::~RecordQueue() {
    {
        const std::lock_guard guard(state_->mutex);
        state_->stop = true;
    }
    state_->changed.notify_all();
    // Once this is held the listener is not running and, seeing stop, never runs again.
    const std::lock_guard listen(state_->listening);
    std::unique_lock lock(state_->mutex);
    // A write in hand normally ends within the lock's wait; one on a share that stopped answering
    // is left behind (the thread holds its own reference to the state).
    state_->settled.wait_for(lock, std::chrono::seconds(2), [&] { return state_->ended; });
}

void RecordQueue::push(PendingFinish finish) {
    {
        const std::lock_guard guard(state_->mutex);
        state_->waiting.push_back(std::move(finish));
        state_->wake = true;  // a new finish is the next chance for one that failed
    }
    state_->changed.notify_all();
}

std::vector<PendingFinish> RecordQueue::drain(std::chrono::milliseconds limit) {
    std::unique_lock lock(state_->mutex);
    state_->wake = true;
    state_->changed.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A failed write is tried again at once each time it settles, until the time is up.
    while (!state_->waiting.empty() && !state_->ended) {
        if (state_->settled.wait_until(lock, deadline) == std::cv_status::timeout) break;
        state_->wake = true;
        state_->changed.notify_all();
    }
    return {state_->waiting.begin(), state_->waiting.end()};
}

}  // namespace solvari
