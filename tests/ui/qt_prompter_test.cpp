#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "ui/qt_prompter.h"
#include "ui/answer_choice_dialog.h"
#include "tests/ui/modal.h"

namespace solvari {
namespace {

using testing::answerNextModal;

struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Records what the box showed, then presses the given button.
void pressOn(QMessageBox::StandardButton which, Seen& seen) {
    answerNextModal([which, &seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        ASSERT_NE(box->button(which), nullptr);
        box->button(which)->click();
    });
}

TEST(QtPrompter, InformIsAPlainBoxUnderTheApplicationTitle) {
    QtPrompter prompter;
    Seen seen;
    pressOn(QMessageBox::Ok, seen);
    prompter.inform("操作が誤りです。例①＋②［実行］");
    EXPECT_EQ(seen.title, "Nelvora １次方程式／Solvari");
    EXPECT_EQ(seen.text, "操作が誤りです。例①＋②［実行］");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons.size(), 1);
}

TEST(QtPrompter, WarnHasItsCaptionAndTheInformationIcon) {
    QtPrompter prompter;
    Seen seen;
    pressOn(QMessageBox::Ok, seen);
    prompter.warn("空白があります", "警告");
    EXPECT_EQ(seen.title, "警告");
    EXPECT_EQ(seen.text, "空白があります");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(QtPrompter, QuestionsReturnThePressedButton) {
    QtPrompter prompter;
    struct Row {
        const char* name;
        QMessageBox::StandardButton press;
        std::function<Answer(QtPrompter&)> ask;
        Answer expected;
        int buttonCount;
    };
    auto yn = [](QtPrompter& p) { return p.askYesNo("ファイルを保存しますか？", "確認"); };
    auto ync = [](QtPrompter& p) { return p.askYesNoCancel("ファイルを保存しますか？", "確認"); };
    auto ari = [](QtPrompter& p) { return p.askAbortRetryIgnore("ファイルを保存しますか？", "確認"); };
    const Row rows[] = {
        {"yes/no: yes", QMessageBox::Yes, yn, Answer::Yes, 2},
        {"yes/no: no", QMessageBox::No, yn, Answer::No, 2},
        {"yes/no/cancel: yes", QMessageBox::Yes, ync, Answer::Yes, 3},
        {"yes/no/cancel: no", QMessageBox::No, ync, Answer::No, 3},
        {"yes/no/cancel: cancel", QMessageBox::Cancel, ync, Answer::Cancel, 3},
        {"abort/retry/ignore: abort", QMessageBox::Abort, ari, Answer::Abort, 3},
        {"abort/retry/ignore: retry", QMessageBox::Retry, ari, Answer::Retry, 3},
        {"abort/retry/ignore: ignore", QMessageBox::Ignore, ari, Answer::Ignore, 3},
    };
    for (const Row& r : rows) {
        Seen seen;
        pressOn(r.press, seen);
        EXPECT_EQ(r.ask(prompter), r.expected) << r.name;
        EXPECT_EQ(seen.title, "確認") << r.name;
        EXPECT_EQ(seen.text, "ファイルを保存しますか？") << r.name;
        EXPECT_EQ(seen.buttons.size(), r.buttonCount) << r.name;
    }
}

TEST(QtPrompter, EscapeIsTheSafeAnswer) {
    QtPrompter prompter;
    answerNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(prompter.askYesNo("まだ解が出ていませんが次の問題に進みますか", "確認"), Answer::No);
    answerNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(prompter.askYesNoCancel("ファイルを保存しますか？", "確認"), Answer::Cancel);
}

TEST(QtPrompter, ButtonsSpeakJapanese) {
    QtPrompter prompter;
    Seen seen;
    pressOn(QMessageBox::Yes, seen);
    prompter.askYesNoCancel("ファイルを保存しますか？", "確認");
    ASSERT_EQ(seen.buttons.size(), 3);
    EXPECT_TRUE(seen.buttons.filter("はい").size() == 1) << seen.buttons.join(",").toStdString();
    EXPECT_TRUE(seen.buttons.filter("いいえ").size() == 1) << seen.buttons.join(",").toStdString();
    EXPECT_TRUE(seen.buttons.filter("キャンセル").size() == 1) << seen.buttons.join(",").toStdString();
}

TEST(QtPrompter, SpecialChoiceRunsTheDialogBesideTheFirstLine) {
    QtPrompter prompter;
    EXPECT_EQ(prompter.chooseSpecialSolution(), Outcome::Open);  // no dialog yet

    TfrmSentaku dlg;
    prompter.setChoiceDialog(&dlg);
    prompter.setLineBoxLocator([] { return QRect(200, 150, 297, 76); });
    struct Row { QPushButton* TfrmSentaku::*button; Outcome expected; };
    const Row rows[] = {{&TfrmSentaku::btnMusu, Outcome::AllValues},
                        {&TfrmSentaku::btnKainashi, Outcome::NoSolution},
                        {nullptr, Outcome::Open}};
    for (const Row& r : rows) {
        QPoint at;
        answerNextModal([&](QWidget* w) {
            at = w->pos();
            if (r.button) (dlg.*r.button)->click();
            else w->close();
        });
        EXPECT_EQ(prompter.chooseSpecialSolution(), r.expected);
        EXPECT_EQ(at, QPoint(200 + 297 + 8, 150 + 30));
    }
}

}  // namespace
}  // namespace solvari
