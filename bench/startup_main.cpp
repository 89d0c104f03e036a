// Start-up harness. `bench_startup` runs the real start-up in the current folder (which must
// hold Question.leq) until question 1 is drawn, then exits; `bench_startup --floor` shows one
// empty main window with one Japanese label and exits. bench/startup.sh times whole processes.
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "ui/main_window.h"
#include "app/program.h"
#include "ui/fonts.h"
#include "ui/resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--floor") == 0) {
        QMainWindow w;
        auto* label = new QLabel("式を指定してください", &w);
        w.setCentralWidget(label);
        w.show();
        QApplication::processEvents();
        return label->isVisible() ? 0 : 1;
    }
    solvari::initSolvariResources();
    QTranslator qtJapanese;
    if (qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
    solvari::installFontSubstitutions();
    auto program = solvari::createProgram();
    program->frmMain->show();
    QApplication::processEvents();
    const bool drawn = program->frmMain->engine.targetLine == 1;
    return drawn ? 0 : 1;
}
