// The drill: the command line, the folder to work in, the application object, Japanese standard
// buttons, the font stand-ins, and the windows. Everything else starts when the main window is
// first shown.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>
#include <cstdio>
#include <string>

#include "ui/main_window.h"
#include "flow/practice_folder.h"
#include "flow/question_set.h"
#include "ui/qt_prompter.h"
#include "app/program.h"
#include "solvari_version.h"

namespace {

// --help prints this, and the manual page is made from it at build time.
const char* const kHelp =
    "使い方: solvari [FILE.leq]\n"
    "        solvari --help | --version\n"
    "Nelvora １次方程式／Solvari: １次方程式を一行ずつ変形して解く練習\n"
    "  (なし)         作業フォルダに Question.leq があれば（クラスのフォルダ）\n"
    "                 その問題集で、なければ練習フォルダ\n"
    "                 ${XDG_DATA_HOME:-~/.local/share}/solvari の問題集で練習する\n"
    "                 （初めての起動では同梱の問題集をそこに置く）\n"
    "  FILE.leq       その問題集で練習する（ファイルマネージャーで開いたときも同じ）\n"
    "                 FILE.leq のフォルダに Question.leq があればクラスのフォルダ\n"
    "                 として そこで、なければ練習フォルダで練習し、記録もそこに書く\n"
    "  -h, --help     この説明を表示する\n"
    "  -v, --version  バージョンを表示する\n"
    "  -platform 名前 などの Qt のオプションも使える（例: -platform offscreen）\n"
    "練習の記録: 練習フォルダでは Miradosh.rec、クラスのフォルダでは生徒ごとの\n"
    "  名前.rec。フォルダに書き込めないときは ~/.local/share/solvari/classes/ の下。\n"
    "画面（DISPLAY か WAYLAND_DISPLAY）がなければ起動しない。\n"
    "問題集の検査と解答集・問題用紙の PDF は solvari-check で（solvari-check --help）。\n"
    "終了コード: 0 正常に終了, 1 問題集を読み込めない・画面がない, 2 引数の誤り\n";

// What the command line asks for. Qt's own options are known here too, so that a value such
// as the "offscreen" of "-platform offscreen" is not taken for a question set.
struct CommandLine {
    int exitCode = -1;  // the command line was answered with text (help, version, a mistake)
    QString setFile;    // the question set to practise; "" for the working folder's
    QString platform;   // the value of -platform, if given
};

CommandLine readCommandLine(const QStringList& args) {
    QCommandLineParser parser;
    // "-platform" is one option, not eight letters
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"}), version(QStringList{"v", "version"});
    const QCommandLineOption platform("platform", "", "name");
    parser.addOptions({help, version, platform});
    for (const char* name : {"platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet",
                             "name", "title", "visual", "icon"})
        parser.addOption(QCommandLineOption(name, "", "value"));
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"})
        parser.addOption(QCommandLineOption(name));

    CommandLine line;
    std::string mistake;
    if (!parser.parse(args)) {
        mistake = !parser.unknownOptionNames().isEmpty()
                      ? "不明なオプションです: " + parser.unknownOptionNames().join(' ').toStdString()
                      : "オプションの値が足りないか、余分です: " + args.mid(1).join(' ').toStdString();
    } else if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        line.exitCode = 0;
        return line;
    } else if (parser.isSet(version)) {
        std::printf("solvari %s\n", SOLVARI_VERSION);
        line.exitCode = 0;
        return line;
    } else if (parser.positionalArguments().size() > 1) {
        mistake = "問題集は一つだけ指定してください: " + parser.positionalArguments().join(' ').toStdString();
    }
    if (!mistake.empty()) {
        std::fprintf(stderr, "solvari: %s\n\n%s", mistake.c_str(), kHelp);
        line.exitCode = 2;
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) line.setFile = parser.positionalArguments().front();
    line.platform = parser.value(platform);
    return line;
}

// Why no window can be opened here ("" when one can): without a display Qt would abort with
// an English message and a core dump. The platform is -platform's value, else QT_QPA_PLATFORM
// (a list such as "wayland;xcb" is tried in order); a platform that needs no display server
// (offscreen, eglfs, vnc, …) is taken as it is.
std::string displayProblem(const QString& platformOption) {
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") &&
                          QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/wayland-0"));
    const QString platforms = !platformOption.isEmpty() ? platformOption : qEnvironmentVariable("QT_QPA_PLATFORM");
    const char* missing = "DISPLAY も WAYLAND_DISPLAY も設定されていません";
    if (platforms.trimmed().isEmpty()) {
        if (x11 || wayland) return "";
    } else {
        for (const QString& entry : platforms.split(';', Qt::SkipEmptyParts)) {
            const QString name = entry.section(':', 0, 0).trimmed();
            if (name == "xcb") {
                if (x11) return "";
                missing = "DISPLAY が設定されていません";
            } else if (name.startsWith("wayland")) {
                if (wayland) return "";
                missing = "WAYLAND_DISPLAY が設定されていません";
            } else {
                return "";
            }
        }
    }
    return std::string("画面に接続できないため起動できません（") + missing +
           "）。デスクトップの中で起動してください。";
}

}  // namespace

int main(int argc, char** argv) {
    solvari::nameApplication();
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i) rawArgs << QString::fromLocal8Bit(argv[i]);
    // The command line, the set named on it and the display are checked before the window
    // system is touched: over ssh or in a package test they are answered as text.
    const CommandLine line = readCommandLine(rawArgs);
    if (line.exitCode >= 0) return line.exitCode;

    // A set that cannot be read ends the drill before anything is created or seeded.
    QString setFile;
    std::string setProblem;
    if (!line.setFile.isEmpty()) {
        setFile = QFileInfo(line.setFile).absoluteFilePath();
        const solvari::QuestionLinesResult read = solvari::readQuestionFile(setFile.toStdString());
        if (!read.ok) {
            const std::string what = "問題集を開けません: " + QDir::toNativeSeparators(setFile).toStdString();
            std::fprintf(stderr, "solvari: %s（%s）\n", what.c_str(), read.reason.c_str());
            setProblem = what + "\n" + read.reason;
        }
    }
    if (const std::string why = displayProblem(line.platform); !why.empty()) {
        if (setProblem.empty()) std::fprintf(stderr, "solvari: %s\n", why.c_str());
        return 1;
    }

    QApplication app(argc, argv);  // takes Qt's own options (-platform, -style, …) off the list
    QTranslator qtJapanese;
    solvari::prepareApplication(qtJapanese);
    if (!setProblem.empty()) {
        // Started from the file manager, nobody reads standard error.
        solvari::QtPrompter().inform(setProblem);
        return 1;
    }

    // A set named on the command line is practised from its class folder (a folder holding
    // Question.leq), else from the practice folder. Without one: a class folder with its own
    // set is used as it is; otherwise the practice folder. When that cannot be prepared the
    // reason is shown first; the start-up then reports the missing set.
    const QStringList bundled = solvari::bundledSetCandidates(QCoreApplication::applicationDirPath());
    const solvari::PracticeFolderChoice place =
        setFile.isEmpty() ? solvari::choosePracticeFolder(QDir::currentPath(), solvari::practiceFolderPath(), bundled)
                          : solvari::chooseFolderForSet(setFile, solvari::practiceFolderPath(), bundled);
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
    program->setFile = setFile.toStdString();
    program->frmMain->show();
    const int code = QApplication::exec();
    return program->frmMain->fatalAtStart ? 1 : code;
}
