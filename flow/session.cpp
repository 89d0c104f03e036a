#include "flow/session.h"

#include "flow/record_file.h"

namespace solvari {

FileResult Session::recordFinish(const std::string& unitTitle, int question, Finish finish) {
    RecordFile file(recordFilePath(dataDirectory));
    FileResult r = writeRecord(file, unitTitle, question, clock, finish);
    // The student cannot mend the folder or the file between two questions: each reason is
    // told once per run, not after every finish.
    if (!r.ok && !reportedRecordErrors_.insert(r.error).second) {
        r.error.clear();
        r.reason.clear();
    }
    return r;
}

}  // namespace solvari
