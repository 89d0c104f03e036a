#pragma once
#include <QDateTime>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flow/record_file.h"

namespace solvari {

// One finish waiting to go into a record: where, which question, how, and when it happened
// (the record's DATE is the finish's time, not the time the write got through).
struct PendingFinish {
    std::string recordPath;
    std::string unitTitle;
    int question = 0;
    Finish finish = Finish::Plain;
    QDateTime when;
    std::function<void(const FileResult&)> done;  // for the queue's listener to call
    MistakeTally mistakes;
};

// "<unit title>　問<q>（<DATE>）": how a finish is named when it could not be recorded.
std::string describeFinish(const PendingFinish& f);

// The record writes of a drill, made one at a time and in order on a thread of their own, so the
// verdict is drawn at once and the drill stays responsive while a write waits for the lock or a
// slow share. A write that fails is kept, never dropped: it is tried again, before anything after
// it, when the next finish comes, when someone waits for the queue, or after retryAfter. Only a
// finish the record itself refuses (a refused edit, which would refuse again) is let go.
class RecordQueue {
public:
    // Told on the queue's own thread after every attempt, in order.
    using Listener = std::function<void(const PendingFinish&, const RecordResult&)>;
    explicit RecordQueue(Listener listener, std::chrono::milliseconds retryAfter = std::chrono::seconds(15),
                         LockTiming lockTiming = {});
    // Stops after the write in hand; what is still waiting is not written. A write that is
    // stuck (a share that stopped answering) is left to end with the process.
    ~RecordQueue();
    RecordQueue(const RecordQueue&) = delete;
    RecordQueue& operator=(const RecordQueue&) = delete;

    void push(PendingFinish finish);
    // Waits up to limit for every write to be made, trying a failed one again at once. Returns the
    // finishes still not written (in order), the one in hand included.
    std::vector<PendingFinish> drain(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace solvari
