#include "flow/session.h"

#include "flow/record_file.h"

namespace solvari {

FileResult Session::recordFinish(const std::string& unitTitle, int question, Finish finish) {
    const std::string path = recordFilePath(dataDirectory);
    if (!record_ || record_->path() != path) record_.emplace(path);
    FileResult r = writeRecord(*record_, unitTitle, question, clock, finish);
    // The student cannot mend the folder or the file between two questions: each reason is
    // told once per run, not after every finish.
    if (!r.ok && !reportedRecordErrors_.insert(r.error).second) {
        r.error.clear();
        r.reason.clear();
    }
    return r;
}

}  // namespace solvari
