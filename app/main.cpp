// The drill: the command line, the folder to work in, the application object, Japanese standard
// buttons, the font stand-ins, and the windows. Everything else starts when the main window is
// first shown.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTranslator>
#include <algorithm>
#include <cstdio>

#include "ui/main_window.h"
#include "flow/practice_folder.h"
#include "ui/qt_prompter.h"
#include "app/program.h"
#include "solvari_version.h"

namespace {


void describeCommandLine(QCommandLineParser& parser) {
    // "-platform" is one option, not eight letters
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription("Nelvora １次方程式／Solvari: １次方程式を一行ずつ解く練習\n"
                                     "作業フォルダに Question.leq があればそれを、なければ練習フォルダ\n"
                                     "${XDG_DATA_HOME:-~/.local/share}/solvari の問題集を使います。");
    parser.addHelpOption();
    parser.addVersionOption();
}

// Options QApplication takes for itself (-platform offscreen, -style fusion, …).
bool isQtOption(const QString& name) {
    static const QStringList qt{"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                                "qwindowgeometry", "qwindowicon", "qwindowtitle", "reverse", "session", "display",
                                "geometry", "style", "stylesheet", "widgetcount", "nograb", "dograb", "visual", "name",
                                "title"};
    return qt.contains(name);
}

// --help, --version and a wrong option must be answered without a display (over ssh, in a
// package test), so they are recognised before the window system is touched.
bool answeredWithoutWindows(const QStringList& args) {
    QCommandLineParser parser;
    describeCommandLine(parser);
    if (parser.parse(args)) return parser.isSet("help") || parser.isSet("version");
    for (const QString& name : parser.unknownOptionNames())
        if (!isQtOption(name)) return true;
    return false;
}

// The exit code when the command line is answered by text (help, version, a mistake), or -1
// when the drill should start. The drill takes no arguments besides these.
int answerCommandLine(QCommandLineParser& parser, const QStringList& args) {
    describeCommandLine(parser);
    const bool parsed = parser.parse(args);
    if (parsed && parser.isSet("help")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parsed && parser.isSet("version")) {
        std::printf("solvari %s\n", SOLVARI_VERSION);
        return 0;
    }
    if (parsed && parser.positionalArguments().isEmpty()) return -1;
    const QString what = !parser.unknownOptionNames().isEmpty()
                             ? "不明なオプションです: " + parser.unknownOptionNames().join(' ')
                         : !parsed ? parser.errorText()
                                   : "引数は使いません: " + parser.positionalArguments().join(' ');
    std::fprintf(stderr, "solvari: %s\n\n%s", qPrintable(what), qPrintable(parser.helpText()));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    solvari::nameApplication();
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i) rawArgs << QString::fromLocal8Bit(argv[i]);
    if (answeredWithoutWindows(rawArgs)) {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        return std::max(0, answerCommandLine(parser, QCoreApplication::arguments()));
    }

    QApplication app(argc, argv);  // takes Qt's own options (-platform, -style, …) off the list
    {
        QCommandLineParser parser;
        if (const int code = answerCommandLine(parser, QApplication::arguments()); code >= 0) return code;
    }

    QTranslator qtJapanese;
    solvari::prepareApplication(qtJapanese);

    // A class folder with its own set is used as it is; otherwise the practice folder. When that
    // cannot be prepared the reason is shown first; the start-up then reports the missing set.
    const solvari::PracticeFolderChoice place = solvari::choosePracticeFolder(
        QDir::currentPath(), solvari::practiceFolderPath(),
        solvari::bundledSetCandidates(QCoreApplication::applicationDirPath()));
    if (!place.error.empty()) {
        std::fprintf(stderr, "solvari: %s\n", place.error.c_str());
        solvari::QtPrompter().inform(place.error);
    }
    if (place.folder != QDir::currentPath() && !QDir::setCurrent(place.folder)) {
        const std::string text = "練習フォルダに移れません: " + QDir::toNativeSeparators(place.folder).toStdString();
        std::fprintf(stderr, "solvari: %s\n", text.c_str());
        solvari::QtPrompter().inform(text);
    }

    auto program = solvari::createProgram();
    program->frmMain->show();
    const int code = QApplication::exec();
    return program->frmMain->fatalAtStart ? 1 : code;
}
