#include "flow/session.h"

#include "flow/record_file.h"

namespace solvari {

std::optional<std::string> Session::recordFinish(const std::string& unitTitle, int question, Finish finish) {
    RecordFile file(recordFilePath(dataDirectory));
    RecordResult r = writeRecord(file, unitTitle, question, clock, finish);
    // The student cannot mend the folder or the file between two questions: each reason is
    // told once per run, not after every finish.
    if (r.ok || !reportedRecordErrors_.insert(r.error).second) return std::nullopt;
    return r.error;
}

}  // namespace solvari
