// The practice record at growing sizes: one finish (writeRecord) and one viewer listing
// (recordListing, deletableUnits) on files of 10 to 50,000 sections, on a tmpfs folder and on the
// build folder's disk. Prints medians, and how many whole-file reads and replaces one finish makes.
// Then one finish alone and while other writers finish into the same record (the record's lock).
//   bench_record [RUNS]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/vfs.h>
#include <thread>
#include <vector>

#include "flow/file_io.h"
#include "flow/record_file.h"
#include "flow/record_listing.h"

namespace {

using namespace solvari;

constexpr long TMPFS_MAGIC_NUMBER = 0x01021994;

std::string recordOf(int sections) {
    std::string out;
    for (int s = 0; s < sections; ++s) {
        out += "[\x92\x50\x8c\xb3" + std::to_string(s) + "]\r\n";  // 単元<n>
        for (int q = 1; q <= 7; ++q) out += std::to_string(q) + "=" + std::to_string(q + s % 5) + "\r\n";
        out += "DATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n";
    }
    return out;
}

// 20 units spread over the file, the last one at its end (the slowest to find by scanning).
QuestionSet setOver(int sections) {
    QuestionSet set;
    set.unitCount = 20;
    for (int u = 1; u <= 20; ++u) {
        const int s = std::max(0, sections - 1 - (u - 1) * sections / 20);
        set.unitTitle[static_cast<size_t>(u)] = "単元" + std::to_string(s);
        set.questionCount[static_cast<size_t>(u)] = 7;
    }
    return set;
}

// Processor time of this process: other work on a shared machine does not count in it.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void run(const QString& folder, const char* label, int runs) {
    QTemporaryDir dir(folder + "/bench_record-XXXXXX");
    if (!dir.isValid()) {
        std::printf("%s: cannot make a folder in %s\n", label, qPrintable(folder));
        return;
    }
    std::printf("%s (%s)\n", label, qPrintable(dir.path()));
    std::printf("%10s %10s %10s %8s %8s %11s %11s %11s\n", "sections", "first ms", "finish ms", "reads", "replaces",
                "listing ms", "(cpu ms)", "deletion ms");
    for (int sections : {10, 1000, 10000, 50000}) {
        const std::string path = (dir.path() + "/" + RECORD_FILE_NAME).toStdString();
        std::string error = writeFileAtomically(path, recordOf(sections)).error;
        if (!error.empty()) {
            std::printf("%s\n", error.c_str());
            return;
        }
        RecordFile file(path);
        const QuestionSet set = setOver(sections);
        std::vector<double> first, finish, listing, listingCpu, deletion;
        long reads = 0, replaces = 0;
        QElapsedTimer t;
        for (int r = 0; r < runs; ++r) {
            t.start();
            RecordFile fresh(path);  // a run's first finish decodes every section header
            if (!writeRecord(fresh, set.unitTitle[20], 1 + r % 7).ok) std::printf("finish failed\n");
            first.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        for (int r = 0; r < runs; ++r) {
            const FileIoCounts before = fileIoCounts();
            t.start();
            if (!writeRecord(file, set.unitTitle[20], 1 + r % 7).ok) std::printf("finish failed\n");
            finish.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            const FileIoCounts after = fileIoCounts();
            reads = std::max(reads, after.reads - before.reads);
            replaces = std::max(replaces, after.replaces - before.replaces);
            t.restart();
            const double cpu = cpuMs();
            const auto rows = recordListing(file, set);
            listing.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            listingCpu.push_back(cpuMs() - cpu);
            t.restart();
            const auto titles = deletableUnits(file, set);
            deletion.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            if (rows.size() < 20 * 8 || titles.size() != 20) std::printf("unexpected listing\n");
        }
        std::printf("%10d %10.2f %10.2f %8ld %8ld %11.2f %11.2f %11.2f\n", sections, median(first), median(finish), reads,
                    replaces, median(listing), median(listingCpu), median(deletion));
    }
}

// One finish on a small record, alone and while other writers (threads, each with its own file
// object, as other drills of the class would be) finish into the same record as fast as they
// can; and the record lock alone, taken and released. Every writer holds the lock for its
// read, change and replace, so under contention a finish waits for the others.
void contention(const QString& folder, const char* label, int runs) {
    QTemporaryDir dir(folder + "/bench_record_lock-XXXXXX");
    if (!dir.isValid()) return;
    const std::string path = (dir.path() + "/" + RECORD_FILE_NAME).toStdString();
    if (!writeFileAtomically(path, recordOf(10)).ok) return;
    std::printf("%s: one finish on a record of 10 sections\n", label);
    std::printf("%24s %10s %10s %10s\n", "", "median ms", "max ms", "others");
    std::vector<double> lockOnly;
    QElapsedTimer t;
    for (int r = 0; r < runs; ++r) {
        t.start();
        { const FileLock lock(path); }
        lockOnly.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("%24s %10.3f %10.3f %10s\n", "lock taken and released", median(lockOnly),
                *std::max_element(lockOnly.begin(), lockOnly.end()), "-");
    for (int others : {0, 1, 3, 7}) {
        std::atomic<bool> stop{false};
        std::atomic<long> theirs{0};
        std::vector<std::thread> writers;
        for (int w = 0; w < others; ++w) {
            writers.emplace_back([&, w] {
                RecordFile mine(path);
                while (!stop) theirs += writeRecord(mine, "単元" + std::to_string(w % 10), 2).ok;
            });
        }
        RecordFile file(path);
        std::vector<double> finish;
        for (int r = 0; r < runs; ++r) {
            t.start();
            if (!writeRecord(file, "単元9", 1).ok) std::printf("finish failed\n");
            finish.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        stop = true;
        for (std::thread& w : writers) w.join();
        const std::string name = others == 0 ? "finish, alone" : "finish, " + std::to_string(others) + " other writers";
        std::printf("%24s %10.3f %10.3f %10ld\n", name.c_str(), median(finish), *std::max_element(finish.begin(), finish.end()),
                    theirs.load());
    }
}

bool isTmpfs(const QString& folder) {
    struct statfs fs {};
    return statfs(folder.toLocal8Bit().constData(), &fs) == 0 && static_cast<long>(fs.f_type) == TMPFS_MAGIC_NUMBER;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::printf("median of %d runs; a finish is one writeRecord (the first of a run, then the next ones through the\n"
                "same file), a listing one recordListing\n", runs);
    for (const char* candidate : {"/dev/shm", "/run/user", "/tmp"}) {
        if (QDir(candidate).exists() && isTmpfs(candidate)) {
            run(candidate, "tmpfs", runs);
            break;
        }
        if (std::string(candidate) == "/tmp") std::printf("tmpfs: no tmpfs folder found (/dev/shm, /tmp)\n");
    }
    const QString here = QCoreApplication::applicationDirPath();
    run(here, isTmpfs(here) ? "build folder (tmpfs)" : "build folder (disk)", runs);
    contention(here, isTmpfs(here) ? "build folder (tmpfs)" : "build folder (disk)", runs);
    return 0;
}
