#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "ui/pictures.h"
#include "ui/style.h"
#include "ui/stack_view_window.h"
#include "engine/engine.h"
#include "ui/answer_choice_dialog.h"
#include "ui/greeting_window.h"
#include "ui/help_window.h"
#include "ui/page_window.h"
#include "ui/about_dialog.h"
#include "ui/fonts.h"
#include "tests/support/fake_prompter.h"
#include "tests/ui/modal.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

using testing::answerNextModal;

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
}

// ---- the answer choice dialog ----

TEST(Sentaku, LooksAsDesigned) {
    TfrmSentaku dlg;
    EXPECT_EQ(dlg.windowTitle(), "特殊な解");
    EXPECT_EQ(dlg.size(), QSize(185, 207));
    EXPECT_EQ(dlg.font().family(), faceFont("ＭＳ Ｐゴシック").family());
    EXPECT_EQ(dlg.font().pixelSize(), 12);
    EXPECT_EQ(dlg.edtPrompt->text(), "解の種類を選んでください");
    EXPECT_TRUE(dlg.edtPrompt->isReadOnly());
    EXPECT_EQ(dlg.edtPrompt->geometry(), QRect(16, 16, 145, 20));
    EXPECT_EQ(dlg.btnMusu->text(), "解は無数にある(&A)");
    EXPECT_EQ(dlg.btnMusu->geometry(), QRect(32, 56, 121, 33));
    EXPECT_EQ(dlg.btnKainashi->text(), "解なし(&B)");
    EXPECT_EQ(dlg.btnKainashi->geometry(), QRect(32, 112, 121, 33));
}

TEST(Sentaku, EveryWayOutGivesItsResult) {
    struct Row {
        const char* name;
        std::function<void(TfrmSentaku*)> act;
        int result;
    };
    const Row rows[] = {
        {"button 解は無数にある", [](TfrmSentaku* d) { d->btnMusu->click(); }, 8},
        {"button 解なし", [](TfrmSentaku* d) { d->btnKainashi->click(); }, 3},
        {"Alt+A", [](TfrmSentaku* d) { QTest::keyClick(d, Qt::Key_A, Qt::AltModifier); }, 8},
        {"Alt+B", [](TfrmSentaku* d) { QTest::keyClick(d, Qt::Key_B, Qt::AltModifier); }, 3},
        {"close box", [](TfrmSentaku* d) { d->close(); }, 2},
        {"Escape", [](TfrmSentaku* d) { QTest::keyClick(d, Qt::Key_Escape); }, 2},
        {"Enter on the first button", [](TfrmSentaku* d) { QTest::keyClick(d, Qt::Key_Return); }, 8},
    };
    TfrmSentaku dlg;
    for (const Row& r : rows) {
        answerNextModal([&](QWidget* w) {
            ASSERT_EQ(w, &dlg);
            ASSERT_TRUE(QTest::qWaitForWindowActive(w));
            r.act(&dlg);
        });
        EXPECT_EQ(dlg.exec(), r.result) << r.name;
    }
}

TEST(Sentaku, TabSkipsTheReadOnlyText) {
    TfrmSentaku dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnMusu);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnKainashi);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnMusu);
}

TEST(Sentaku, StandsBesideTheFirstLineOrKeepsItsPlace) {
    TfrmSentaku dlg;
    dlg.placeBeside(QRect(150, 100, 297, 76));  // a line box at 150,100
    EXPECT_EQ(dlg.pos(), QPoint(150 + 297 + 8, 100 + 30));
    dlg.placeBeside(QRect());  // no page: the last place stays
    EXPECT_EQ(dlg.pos(), QPoint(455, 130));
    dlg.placeBeside(QRect(10, 20, 100, 50));
    EXPECT_EQ(dlg.pos(), QPoint(118, 50));
}

// ---- the about box ----

TEST(Version, TextsPlacesAndClose) {
    TfrmVersion dlg;
    EXPECT_EQ(dlg.windowTitle(), "バージョン情報");
    EXPECT_EQ(dlg.size(), QSize(499, 351));
    EXPECT_EQ(dlg.font().family(), "System");
    EXPECT_EQ(dlg.font().pixelSize(), 13);
    EXPECT_EQ(dlg.pnlFrame->geometry(), QRect(19, 11, 462, 318));
    EXPECT_EQ(dlg.lblProductName->text(), "Nelvora １次方程式／Solvari");
    EXPECT_EQ(dlg.lblProductName->pos(), QPoint(98, 22));
    EXPECT_EQ(dlg.lblVersion->text(), "Version 2.90 04.02.24");
    EXPECT_EQ(dlg.lblVersion->pos(), QPoint(98, 56));
    EXPECT_EQ(dlg.ProgramIcon->geometry(), QRect(11, 11, 32, 32));
    ASSERT_FALSE(dlg.ProgramIcon->pixmap().isNull());
    EXPECT_EQ(dlg.ProgramIcon->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(dlg.btnOK->text(), "閉じる");
    EXPECT_EQ(dlg.btnOK->geometry(), QRect(160, 264, 105, 33));
    EXPECT_FALSE(dlg.btnOK->icon().isNull());

    answerNextModal([&](QWidget*) { dlg.btnOK->click(); });
    EXPECT_EQ(dlg.exec(), 1);
    answerNextModal([&](QWidget*) { dlg.close(); });
    EXPECT_EQ(dlg.exec(), 2);
}

// ---- the stack contents window ----

TEST(Dump, ListsTheLinesOfTheEngineWhenShown) {
    Engine engine;
    ASSERT_TRUE(readEquation(engine, 1, "2x+3=7"));
    engine.line(1).text = "（1） 次の方程式を解きなさい";
    engine.targetLine = 1;

    TfrmDump dlg(&engine);
    EXPECT_EQ(dlg.windowTitle(), "スタックの中身");
    EXPECT_EQ(dlg.size(), QSize(389, 450));
    EXPECT_EQ(dlg.lstDump->geometry(), QRect(120, 8, 201, 401));
    EXPECT_EQ(dlg.btnClose->text(), "閉じる");
    EXPECT_EQ(dlg.btnClose->geometry(), QRect(24, 336, 73, 41));

    QStringList shown;
    answerNextModal([&](QWidget*) {
        shown = rowsOf(dlg.lstDump);
        dlg.btnClose->click();
    });
    EXPECT_EQ(dlg.exec(), 1);
    EXPECT_EQ(shown, (QStringList{"（1） 次の方程式を解きなさい", "2x1  ", "3/1  ", "0=1  ", "7/1  ",
                                  "--------------------①"}));

    // Shown again after the page was cleared: the old rows do not stay.
    engine.targetLine = 0;
    answerNextModal([&](QWidget*) {
        shown = rowsOf(dlg.lstDump);
        dlg.close();
    });
    dlg.exec();
    EXPECT_TRUE(shown.isEmpty());
}

TEST(Dump, FillReplacesTheList) {
    Engine engine;
    TfrmDump dlg;
    engine.targetLine = 1;
    dlg.fill(engine);
    dlg.fill(engine);
    EXPECT_EQ(rowsOf(dlg.lstDump), (QStringList{"", "--------------------①"}));
}

// ---- the greeting ----

TEST(Greet, BorderlessPictureThatDoesNothing) {
    TfrmGreet greet;
    EXPECT_TRUE(greet.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(greet.size(), QSize(179, 131));
    EXPECT_EQ(greet.btnGreet->geometry(), QRect(2, 0, 175, 129));
    EXPECT_TRUE(greet.btnGreet->isFlat());
    ASSERT_FALSE(greet.btnGreet->icon().isNull());
    EXPECT_EQ(greet.btnGreet->icon().actualSize(QSize(175, 129)), QSize(175, 129));

    greet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&greet));
    QTest::mouseClick(greet.btnGreet, Qt::LeftButton);
    EXPECT_TRUE(greet.isVisible());
}

// ---- the help viewer ----

TEST(Help, ContentsAndPointPages) {
    TfrmHelp help;
    EXPECT_EQ(help.windowTitle(), "ヘルプ");
    help.showContents();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.currentPage(), QUrl("qrc:/help/index.html"));
    EXPECT_TRUE(help.txtHelp->toPlainText().contains("生徒のみなさんへ"));

    help.showPoint();
    EXPECT_EQ(help.currentPage(), QUrl("qrc:/help/point.html"));
    EXPECT_TRUE(help.txtHelp->toPlainText().contains("ゴールは「x＝数」"));

    // Back returns to the contents, as a reader expects.
    ASSERT_TRUE(help.btnBack->isEnabled());
    help.btnBack->click();
    EXPECT_EQ(help.currentPage(), QUrl("qrc:/help/index.html"));
    EXPECT_TRUE(help.btnForward->isEnabled());
}

// At 1280×1024 the help window's bottom stood below the screen, and at twice the scale it ran
// off on every side: it fits the usable screen, frame included, at every size.
TEST(Help, FitsEveryScreen) {
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 800, 600}, {0, 0, 1024, 768}, {0, 0, 1280, 1024}, {0, 0, 640, 512}};
    for (const QRect& screen : screens) {
        setScreenForTesting(screen);
        TfrmHelp help;
        help.showContents();
        EXPECT_TRUE(screen.contains(help.frameGeometry())) << screen.width() << "x" << screen.height();
        EXPECT_TRUE(help.btnClose->isVisible());
        EXPECT_TRUE(help.rect().contains(QRect(help.btnClose->mapTo(&help, QPoint(0, 0)), help.btnClose->size())));
    }
    setScreenForTesting(QRect());
}

TEST(Help, EveryLinkOfEveryPageLeadsToAPage) {
    // Walk from the contents page over every link; a dead link would show an empty page.
    QStringList todo{"index.html"}, seen;
    const QRegularExpression href("href=\"([^\"#]+)\"");
    while (!todo.isEmpty()) {
        const QString page = todo.takeFirst();
        if (seen.contains(page)) continue;
        seen << page;
        QFile f(":/help/" + page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << page.toStdString();
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.contains("index.html") || page == "index.html") << page.toStdString() << " has no way back";
        for (auto it = href.globalMatch(html); it.hasNext();) todo << it.next().captured(1);
    }
    for (const char* required : {"point.html", "line.html", "operation.html", "keypad.html", "jikkou.html",
                                 "solutions.html", "next.html", "records.html", "file.html", "editor.html",
                                 "checker.html", "hint.html", "writing.html"})
        EXPECT_TRUE(seen.contains(required)) << required << " is not reachable from the contents";
}

// ---- the pictures ----

// Rendered from the SVG sources when the program is built: each picture has its design size and,
// on a HiDPI screen, twice the pixels rather than a blurred enlargement.
TEST(Pictures, EveryPictureIsThereInItsSizeAndSharpOnHiDpi) {
    struct Row { const char* name; QSize size; };
    const Row rows[] = {
        {"kake", {24, 24}},   {"waru", {24, 24}},   {"tasu", {24, 24}},   {"hiku", {24, 24}},
        {"jikkou", {20, 20}}, {"teisei", {20, 20}}, {"next_q", {25, 25}}, {"next_r", {25, 25}},
        {"ok", {16, 16}},     {"greet", {175, 129}}, {"icon", {32, 32}},
    };
    for (const Row& r : rows) {
        const QIcon icon = pictureIcon(r.name);
        ASSERT_FALSE(icon.isNull()) << r.name;
        const QImage plain = icon.pixmap(r.size, 1.0).toImage();
        EXPECT_EQ(plain.size(), r.size) << r.name;
        // Drawn, not blank: some pixel is opaque.
        bool drawn = false;
        for (int y = 0; y < plain.height() && !drawn; ++y)
            for (int x = 0; x < plain.width() && !drawn; ++x) drawn = qAlpha(plain.pixel(x, y)) == 255;
        EXPECT_TRUE(drawn) << r.name;
        const QPixmap hidpi = icon.pixmap(r.size, 2.0);
        EXPECT_EQ(hidpi.size(), r.size * 2) << r.name;
        EXPECT_EQ(hidpi.deviceIndependentSize().toSize(), r.size) << r.name;
    }
    EXPECT_TRUE(pictureIcon("no such picture").isNull());
    // The two blink states must differ, or the next button would not blink.
    EXPECT_NE(pictureIcon("next_q").pixmap(QSize(25, 25), 1.0).toImage(),
              pictureIcon("next_r").pixmap(QSize(25, 25), 1.0).toImage());
}

// A disabled picture button (実行 before a step is built) shows its picture greyed, as any icon.
TEST(Pictures, ADisabledPictureIsGreyed) {
    const QIcon icon = pictureIcon("jikkou");
    EXPECT_NE(icon.pixmap(QSize(20, 20), 1.0, QIcon::Disabled).toImage(),
              icon.pixmap(QSize(20, 20), 1.0, QIcon::Normal).toImage());
}

// The style's own icons are read when first drawn, and then look as the style draws them.
TEST(Pictures, DeferredStandardIconsLookAsTheStylesOwn) {
    LazyIconStyle style;
    for (QStyle::StandardPixmap which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_TitleBarCloseButton}) {
        const QIcon deferred = style.standardIcon(which);
        const QIcon own = style.baseStyle()->standardIcon(which);
        ASSERT_FALSE(deferred.isNull());
        const QImage drawn = deferred.pixmap(QSize(16, 16), 1.0).toImage();
        EXPECT_FALSE(drawn.isNull());
        EXPECT_EQ(drawn, own.pixmap(QSize(16, 16), 1.0).toImage());
        EXPECT_EQ(deferred.pixmap(QSize(16, 16), 2.0).size(), own.pixmap(QSize(16, 16), 2.0).size());
    }
}

}  // namespace
}  // namespace solvari
