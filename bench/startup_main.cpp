// Start-up harness, one process per run; each mode exits once its window has been painted and
// prints the resident set (KiB) at that moment. bench/startup.sh times the whole processes.
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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/program.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

namespace {

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
        std::printf("%ld\n", residentKib());
        std::fflush(stdout);
        std::_Exit(0);
    }
    QWidget* top_;
    std::function<bool()> started_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
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
    PaintWatch watch(program->frmMain, [&program] { return program->frmMain->engine.targetLine == 1; });
    program->frmMain->show();
    watch.waitForPaint();
}
