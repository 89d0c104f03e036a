// Start-up harness, one process per run; each mode exits once its window has been painted and
// prints the moment of that paint (CLOCK_MONOTONIC, ns) and the resident set (KiB) then.
//   bench_startup --series N    N rounds of the three modes below, each run its own process
//                               timed from just before it is spawned to the paint it reports;
//                               medians, and the medians of the ratios of each round's runs
//   bench_startup               the drill as main() starts it (name, icon, translator, stand-ins,
//                               every window), until question 1 is painted; the folder must hold
//                               Question.leq
//   bench_startup --floor       one window with one Japanese label (the plain floor)
//   bench_startup --fair-floor  one window with a label in each face the first page uses (the
//                               stand-ins of ＭＳ Ｐゴシック, ＭＳ ゴシック and Bookman Old Style;
//                               ＭＳ 明朝 first appears on later pages), as the page uses them
//                               and set up as the program sets up its fonts
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/program.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

namespace {

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long residentKib() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Ends the run once the first paint of `top` is complete: a call queued from inside that paint
// runs right after it, ahead of what the paint itself queued (the drill builds its hidden
// windows then, after what the pupil waits for). The process leaves at once, so no run's time
// includes the teardown of its windows (which the program's many widgets would make longer
// than the floors').
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* top, std::function<bool()> started) : top_(top), started_(std::move(started)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!seen_ && e->type() == QEvent::Paint && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w == top_ || top_->isAncestorOf(w)) {
                seen_ = true;
                QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
    [[noreturn]] void waitForPaint() {
        for (int i = 0; i < 1000; ++i) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        std::_Exit(1);
    }

private:
    [[noreturn]] void finish() {
        if (!started_()) std::_Exit(1);
        std::printf("%lld %ld\n", monotonicNs(), residentKib());
        std::fflush(stdout);
        std::_Exit(0);
    }
    QWidget* top_;
    std::function<bool()> started_;
    bool seen_ = false;
};

}  // namespace

extern "C" char** environ;

struct Run {
    double ms = 0;
    long rssKib = 0;
};

// One run of this program in mode ("" for the drill), timed from just before its spawn to the
// paint it reports, so no shell or clock-reading process adds its own time.
bool runOnce(const char* mode, Run& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv{const_cast<char*>("bench_startup")};
    if (*mode) argv.push_back(const_cast<char*>(mode));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const long long start = monotonicNs();
    const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    long long painted = 0;
    if (std::sscanf(text.c_str(), "%lld %ld", &painted, &out.rssKib) != 2) return false;
    out.ms = static_cast<double>(painted - start) / 1e6;
    return true;
}

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Rounds of drill, fair floor, plain floor: machine load falls on all three alike, and each
// ratio pairs runs made side by side. Prints one line the script turns into its table:
// "program fair plain program/fair program/plain rss-program rss-plain" (ms, ratios, KiB).
int series(int rounds) {
    std::vector<double> program, fair, plain, toFair, toPlain, rssProgram, rssPlain;
    for (const char* warm : {"", "--fair-floor", "--floor"}) {
        Run ignored;
        if (!runOnce(warm, ignored)) return 1;
    }
    for (int i = 0; i < rounds; ++i) {
        Run p, f, q;
        if (!runOnce("", p) || !runOnce("--fair-floor", f) || !runOnce("--floor", q)) return 1;
        program.push_back(p.ms);
        fair.push_back(f.ms);
        plain.push_back(q.ms);
        toFair.push_back(p.ms / f.ms);
        toPlain.push_back(p.ms / q.ms);
        rssProgram.push_back(static_cast<double>(p.rssKib));
        rssPlain.push_back(static_cast<double>(q.rssKib));
    }
    std::printf("%.1f %.1f %.1f %.3f %.3f %.0f %.0f\n", medianOf(program), medianOf(fair), medianOf(plain),
                medianOf(toFair), medianOf(toPlain), medianOf(rssProgram), medianOf(rssPlain));
    return 0;
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "--series") == 0) return series(argc > 2 ? std::atoi(argv[2]) : 21);
    if (std::strcmp(mode, "--floor") == 0 || std::strcmp(mode, "--fair-floor") == 0) {
        QApplication app(argc, argv);
        QMainWindow w;
        PaintWatch watch(&w, [] { return true; });
        if (std::strcmp(mode, "--floor") == 0) {
            w.setCentralWidget(new QLabel("式を指定してください"));
        } else {
            // The faces as the program sets them up (stand-ins, hinting), so the floor does the
            // same font work the first page needs.
            solvari::useUiFace(solvari::installFontSubstitutions());
            auto* box = new QWidget;
            auto* column = new QVBoxLayout(box);
            // the question's caption, the message strip and the equation
            struct Face { const char* name; int pixels; bool bold; bool italic; const char* text; };
            const Face faces[] = {{"ＭＳ Ｐゴシック", 16, false, false, "(1) 次の方程式を解きなさい"},
                                  {"ＭＳ ゴシック", 21, true, false, "式を指定してください"},
                                  {"Bookman Old Style", 16, false, true, "2 x = 6"}};
            for (const Face& f : faces) {
                auto* label = new QLabel(QString::fromUtf8(f.text));
                label->setFont(solvari::qfontFor({f.name, f.pixels, solvari::CHARSET_ANSI, f.bold, f.italic}));
                column->addWidget(label);
            }
            w.setCentralWidget(box);
        }
        w.show();
        watch.waitForPaint();
    }

    // What main() does before and around the windows, through the same routines.
    solvari::nameApplication();
    QApplication app(argc, argv);
    QTranslator qtJapanese;
    solvari::prepareApplication(qtJapanese);
    auto program = solvari::createProgram();
    PaintWatch watch(program->frmMain, [&program] { return program->session->engine.targetLine == 1; });
    program->frmMain->show();
    watch.waitForPaint();
}
