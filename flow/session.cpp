#include "flow/session.h"

#include "flow/record_file.h"

namespace solvari {

FileResult Session::recordFinish(const std::string& unitTitle, int question, Finish finish) {
    if (!folderNoticeChecked_) {
        // Once per run: a student who finds no record in the class folder learns where it went.
        folderNoticeChecked_ = true;
        if (const std::string notice = fallbackNotice(homeDirectory, dataDirectory); !notice.empty() && prompter)
            prompter->inform(notice);
    }
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
