// solvari-check: the question-set checker. All the work is in flow/check_command.cpp; the PDF
// options draw with QtGui, on the offscreen platform so that they need no display.
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "flow/check_command.h"
#include "solvari_version.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// A script reads our standard error: the offscreen platform's remark about the runtime folder
// (unset outside a desktop session) would read like a fault of the set.
void quietRuntimeNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
    qtDefaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    bool pdf = false;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
        const std::string& a = args.back();
        pdf = pdf || a.rfind("--answer-key", 0) == 0 || a.rfind("--worksheet", 0) == 0 || a.rfind("--answers", 0) == 0;
    }
    std::unique_ptr<QGuiApplication> app;
    if (pdf) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qtDefaultHandler = qInstallMessageHandler(quietRuntimeNotice);
        app = std::make_unique<QGuiApplication>(argc, argv);
        solvari::installFontSubstitutions();
    }
    QCoreApplication::setApplicationName("solvari-check");
    QCoreApplication::setApplicationVersion(SOLVARI_VERSION);
    const solvari::CheckOutput o = solvari::runCheckCommand(args, solvari::writeSheetPdf);
    std::fwrite(o.out.data(), 1, o.out.size(), stdout);
    std::fwrite(o.err.data(), 1, o.err.size(), stderr);
    std::fflush(stdout);
    return o.exitCode;
}
