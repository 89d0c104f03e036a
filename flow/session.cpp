#include "flow/session.h"

#include <QCoreApplication>
#include <QDir>

#include "flow/practice_folder.h"
#include "flow/record_file.h"

namespace solvari {

Session::Session()
    : records_([this](const PendingFinish& f, const RecordResult& result) {
          // The queue's thread: the outcome is handed to the thread that paints.
          auto tell = [this, done = f.done, r = FileResult(result)]() mutable {
              // The student cannot mend the folder or the file between two questions: each
              // reason is told once per run, not after every finish or every try.
              if (!r.ok && !reportedRecordErrors_.insert(r.error).second) {
                  r.error.clear();
                  r.reason.clear();
              }
              if (done) done(r);
          };
          if (QCoreApplication::instance())
              QMetaObject::invokeMethod(&outcomes_, std::move(tell), Qt::QueuedConnection);
          else
              tell();
      }) {}

void Session::recordFinish(const std::string& unitTitle, int question, Finish finish, Done done,
                           const MistakeTally& mistakes) {
    if (!folderNoticeChecked_) {
        // Once per run: a student who finds no record in the class folder learns where it went.
        folderNoticeChecked_ = true;
        if (const std::string notice = fallbackNotice(homeDirectory, dataDirectory); !notice.empty() && prompter)
            prompter->inform(notice);
    }
    if (classFolder && !studentAsked_) askStudentName();
    records_.push({recordPath(), unitTitle, question, finish, clock ? clock() : QDateTime::currentDateTime(),
                   std::move(done), mistakes});
}

std::vector<PendingFinish> Session::settleRecords(std::chrono::milliseconds limit) { return records_.drain(limit); }

std::string unrecordedNotice(const std::vector<PendingFinish>& finishes) {
    if (finishes.empty()) return "";
    std::string text = "次の問題はまだ記録できていません。";
    for (const PendingFinish& f : finishes) text += "\n" + describeFinish(f);
    return text;
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
