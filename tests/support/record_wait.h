#pragma once
// A finish through the session's record queue, waited for, as the drill's own code makes it.
#include <QCoreApplication>
#include <chrono>
#include <mutex>
#include <optional>

#include "flow/session.h"

namespace solvari::testing {

// The first outcome of one finish (a failure is told first; later tries of it say nothing new).
// A finish that keeps failing is waited for only up to `limit`, and stays queued.
inline FileResult finishAndWait(Session& session, const std::string& title, int q, Finish finish = Finish::Plain,
                                std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    std::mutex m;
    std::optional<FileResult> first;
    session.recordFinish(title, q, finish, [&](const FileResult& r) {
        const std::lock_guard g(m);
        if (!first) first = r;
    });
    session.settleRecords(limit);
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    const std::lock_guard g(m);
    return first.value_or(FileResult{false, "no outcome", ""});
}

}  // namespace solvari::testing
