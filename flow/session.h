#pragma once
#include <QDateTime>
#include <QObject>
#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "flow/prompter.h"
#include "flow/file_io.h"
#include "flow/finish_recorder.h"
#include "flow/practice_folder.h"
#include "flow/question_document.h"
#include "flow/question_set.h"
#include "flow/record_file.h"
#include "flow/record_queue.h"

namespace solvari {

// What lives as long as the drill runs, built before any window: the practice engine, the
// question document, the folders and the clock of the record. Windows are handed what they
// need of it; previews and checks keep engines of their own.
class Session : public FinishRecorder {
public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Engine engine;
    QuestionDocument document;
    std::string homeDirectory;  // the working folder, with a trailing "/"
    std::string dataDirectory;  // where the record is written
    // The clock of the record's DATE; tests fix it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    // Where the notice that the record goes elsewhere is told (the drill's message boxes).
    Prompter* prompter = nullptr;

    // A class folder (it holds the set and the drill was started there) keeps one record per
    // student, "<studentName>.rec" beside the set; the shared Miradosh.rec there is only read
    // by the teacher's summary. The name is asked at the first finish of a run, offering the
    // one remembered for this user (or the login name): classes often share one school login.
    bool classFolder = false;
    std::string studentName;
    // Where this user's name is remembered between runs ("" keeps it for the run only).
    std::string studentNameFile;
    // Chooses where the record goes for a drill started in workingDir: dataDirectory, and in a
    // class folder (not the practice folder) the student's own record.
    void chooseRecord(const std::string& workingDir);
    // The record this drill writes and the record windows show.
    std::string recordPath() const { return recordFilePath(dataDirectory, classFolder ? studentName : ""); }

    // Sends one finish of a question to the record (recordPath()). The student's name is asked
    // and the notice that the record goes to a folder of its own is told here, at the first finish
    // of the run; the write itself is made on the record queue, and done is told on this thread
    // after each attempt. A failure carries its error text only the first time that text comes
    // up in this run; after that its error is "" (nothing more to tell).
    void recordFinish(const std::string& unitTitle, int question, Finish finish, Done done,
                      const MistakeTally& mistakes = {}) override;
    // Waits up to limit for the finishes not yet written (終了, and before the record is shown or
    // changed); returns those still not written, in order.
    std::vector<PendingFinish> settleRecords(std::chrono::milliseconds limit);

private:
    bool folderNoticeChecked_ = false;
    bool studentAsked_ = false;
    void askStudentName();
    std::set<std::string> reportedRecordErrors_;
    // Outcomes reach the thread that paints through this object's event queue; ones still queued
    // when the session ends are dropped with it.
    QObject outcomes_;
    RecordQueue records_;
};

// "次の問題はまだ記録できていません。" and one line a finish: what 終了 tells of finishes the
// record queue could not write in time; "" when there are none.
std::string unrecordedNotice(const std::vector<PendingFinish>& finishes);

// The name offered at the first finish in a class folder: the one remembered in nameFile, else
// the login name, else "student".
std::string rememberedStudentName(const std::string& nameFile, const std::string& loginName);

}  // namespace solvari
