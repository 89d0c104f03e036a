// Entry of the window tests: a real QApplication on the offscreen platform (unless the caller
// chose another, e.g. xcb under xvfb-run to watch), our resources, and Qt's Japanese texts so
// that message boxes show the same buttons as in the program.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <gtest/gtest.h>

#include "tests/ui/modal.h"
#include "ui/resources.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform says so for every window it cannot raise or resize by hints; that
// noise would bury the messages that matter.
void quietOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    qtDefaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    qtDefaultHandler = qInstallMessageHandler(quietOffscreenNoise);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    solvari::initSolvariResources();
    QTranslator qtbase;
    if (qtbase.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
    // A box no test scheduled an answer for fails its test at once instead of waiting forever.
    solvari::testing::ModalWatchdog watchdog;
    return RUN_ALL_TESTS();
}
