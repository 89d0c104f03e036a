#pragma once
// The whole program in a fresh working folder: what the window tests of the drill share.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/main_window.h"
#include "flow/question_set.h"
#include "app/program.h"

namespace solvari::testing {

// The program's own windows, except the unit window, which answers from a script.
class ScriptedUnitWindow : public OtherWindows {
public:
    explicit ScriptedUnitWindow(OtherWindows& real) : real_(real) {}
    std::function<std::optional<UnitChoice>()> unit = [] { return std::optional<UnitChoice>(); };

    std::optional<UnitChoice> runUnitWindow() override { return unit(); }
    int runEditorWindow() override { return real_.runEditorWindow(); }
    void showRecordWindow() override { real_.showRecordWindow(); }
    void showPrintWindow() override { real_.showPrintWindow(); }
    void showStackWindow() override { real_.showStackWindow(); }
    void showVersionWindow() override { real_.showVersionWindow(); }
    void showHelpContents() override { real_.showHelpContents(); }
    void showHelpPoint() override { real_.showHelpPoint(); }

private:
    OtherWindows& real_;
};

class ProgramInFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
    std::unique_ptr<Program> program;
    TfrmMain* m = nullptr;
    std::string setFile;  // the set named on the command line; "" for Question.leq

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        // The student's kept choices (自分で計算する) of this test alone, never the user's.
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toLocal8Bit());
    }
    void TearDown() override {
        program.reset();
        QDir::setCurrent(oldDir);
    }
    std::string path(const QString& name) const { return (dir.path() + "/" + name).toStdString(); }
    void writeSet(const std::vector<std::string>& lines) {
        ASSERT_TRUE(writeQuestionFile(path("Question.leq"), lines).ok);
    }
    // Creates every window and shows the main window, which runs the start-up.
    void start() {
        program = createProgram();
        program->setFile = setFile;
        m = program->frmMain;
        program->session->clock = [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5)); };
        m->show();
        QCoreApplication::processEvents();
        // The other windows follow the first paint; a start-up that closes at once never paints.
        for (int i = 0; i < 50 && !program->otherWindowsBuilt() && m->isVisible(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // The scratch folder holds a set, so it counts as a class folder, where the first finish
        // asks for the student's name (tested with the record files): these drills keep the one
        // shared record.
        program->session->classFolder = false;
    }
    static std::string fileBytes(const std::string& p) {
        QFile f(QString::fromStdString(p));
        if (!f.open(QIODevice::ReadOnly)) return "";
        return f.readAll().toStdString();
    }
};

}  // namespace solvari::testing
