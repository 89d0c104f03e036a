// The drill: the application object, Japanese standard buttons, the font stand-ins, and the
// windows. Everything else starts when the main window is first shown.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "flow/main_window.h"
#include "flow/startup_window.h"
#include "practice/fonts.h"
#include "records/resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("solvari");
    // No display name: Qt would append it to every window's title on the task bar, and each
    // window already carries its own title.
    solvari::initSolvariResources();
    QTranslator qtJapanese;
    if (qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
    solvari::installFontSubstitutions();
    QApplication::setWindowIcon(QIcon(":/images/icon.png"));

    auto program = solvari::createProgram();
    program->frmMain->show();
    const int code = QApplication::exec();
    return program->frmMain->fatalAtStart ? 1 : code;
}
