#include "flow/session.h"

#include <QDir>

#include "flow/practice_folder.h"
#include "flow/record_file.h"

namespace solvari {

FileResult Session::recordFinish(const std::string& unitTitle, int question, Finish finish) {
    if (!folderNoticeChecked_) {
        // Once per run: a student who finds no record in the class folder learns where it went.
        folderNoticeChecked_ = true;
        if (const std::string notice = fallbackNotice(homeDirectory, dataDirectory); !notice.empty() && prompter)
            prompter->inform(notice);
    }
    if (classFolder && !studentAsked_) askStudentName();
    const std::string path = recordPath();
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

void Session::chooseRecord(const std::string& workingDir) {
    dataDirectory = solvari::dataDirectory(workingDir);
    const QString folder = QDir::cleanPath(QString::fromStdString(workingDir));
    const QString practice = practiceFolderPath();
    classFolder = folder != QDir::cleanPath(practice) && !findQuestionSet(folder).isEmpty();
    if (!classFolder) return;
    QDir().mkpath(practice);
    studentNameFile = QDir(practice).filePath("student-name.txt").toStdString();
    studentName = rememberedStudentName(studentNameFile, qEnvironmentVariable("USER", QDir::home().dirName()).toStdString());
}

void Session::askStudentName() {
    studentAsked_ = true;
    if (!prompter) return;
    for (;;) {
        const std::optional<std::string> entered = prompter->askText(STUDENT_NAME_QUESTION, STUDENT_NAME_CAPTION, studentName);
        if (!entered) break;  // cancelled: the name offered stays
        const std::string name = studentRecordName(*entered);
        if (name.empty()) {
            prompter->inform(STUDENT_NAME_REFUSED);
            continue;
        }
        studentName = name;
        if (!studentNameFile.empty()) writeFileAtomically(studentNameFile, name + "\n");  // a lost memory only asks again
        break;
    }
    if (studentRecordName(studentName).empty()) studentName = "student";  // never the shared record
}

std::string rememberedStudentName(const std::string& nameFile, const std::string& loginName) {
    std::string bytes;
    if (readFileBytes(nameFile, 1024, bytes) == ReadStatus::Ok) {
        if (const std::string name = studentRecordName(bytes); !name.empty()) return name;
    }
    const std::string login = studentRecordName(loginName);
    return login.empty() ? "student" : login;
}

}  // namespace solvari
