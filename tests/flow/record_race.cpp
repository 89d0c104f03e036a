// Many drills finishing questions into one class folder's record at once, as real processes.
//   record_race race N M [--kill-holder]   starts N processes of M finishes each on a fresh folder
//                                          (with --kill-holder, first a process that takes the
//                                          record's lock and is killed with SIGKILL while holding
//                                          it) and checks that the record counts exactly N×M
//   record_race finish FOLDER M            M finishes through the drill's own record code
//   record_race hold FOLDER                takes the record's lock and waits to be killed
// Exit status 0 when every finish was counted.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "flow/file_io.h"
#include "flow/record_file.h"
#include "flow/session.h"

extern char** environ;

namespace {

using namespace solvari;

const char* const kUnit = "単元";
constexpr int kQuestion = 3;

int finish(const std::string& folder, int m) {
    Session session;
    session.homeDirectory = folder + "/";
    session.dataDirectory = folder;
    // Back to back, as fast as the queue takes them; every one must get through.
    for (int i = 0; i < m; ++i) session.recordFinish(kUnit, kQuestion, Finish::Plain, {});
    const std::vector<PendingFinish> left = session.settleRecords(std::chrono::seconds(90));
    if (!left.empty()) {
        std::fprintf(stderr, "record_race: %zu finishes not recorded\n", left.size());
        return 2;
    }
    return 0;
}

int hold(const std::string& folder) {
    FileLock lock(recordFilePath(folder));
    if (!lock.held()) {
        std::fprintf(stderr, "record_race: no lock: %s\n", lock.error().c_str());
        return 2;
    }
    for (;;) pause();  // until SIGKILL
}

pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

bool exitedWell(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int race(int n, int m, bool killHolder) {
    QTemporaryDir dir;
    if (!dir.isValid()) return 2;
    const std::string folder = dir.path().toStdString();
    const std::string record = recordFilePath(folder);
    pid_t holder = -1;
    if (killHolder) {
        holder = spawn({"record_race", "hold", folder});
        if (holder < 0) return 2;
        // The holder is in place once its lock file names it.
        const QString lockFile = QString::fromStdString(FileLock::lockPath(record));
        std::string content;
        while (readFileBytes(lockFile.toStdString(), 4096, content) != ReadStatus::Ok ||
               content.find("pid=" + std::to_string(holder) + "\n") == std::string::npos) {
            if (waitpid(holder, nullptr, WNOHANG) == holder) {
                std::fprintf(stderr, "record_race: the lock holder ended early\n");
                return 2;
            }
            usleep(2000);
        }
    }
    std::vector<pid_t> children;
    for (int i = 0; i < n; ++i) children.push_back(spawn({"record_race", "finish", folder, std::to_string(m)}));
    if (holder > 0) {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
    }
    int failed = 0;
    for (pid_t c : children) failed += c < 0 || !exitedWell(c);
    const int counted = readCount(RecordFile(record), kUnit, kQuestion).value_or(-1);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.removeAll(QString::fromUtf8(RECORD_FILE_NAME));
    std::printf("%d processes x %d finishes%s: %d of %d counted, %d processes failed%s%s\n", n, m,
                killHolder ? " (a lock holder killed)" : "", counted, n * m, failed, left.isEmpty() ? "" : ", left: ",
                left.join(' ').toUtf8().constData());
    return counted == n * m && failed == 0 && left.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "finish" && argc == 4) return finish(argv[2], std::atoi(argv[3]));
    if (mode == "hold" && argc == 3) return hold(argv[2]);
    if (mode == "race" && (argc == 4 || argc == 5))
        return race(std::atoi(argv[2]), std::atoi(argv[3]), argc == 5 && std::strcmp(argv[4], "--kill-holder") == 0);
    std::fprintf(stderr, "usage: record_race race N M [--kill-holder] | finish FOLDER M | hold FOLDER\n");
    return 2;
}
