// The record viewer and the record deletion window: the listing built from a record file made
// here, deleting a unit's record, and how both windows close.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <utility>

#include "engine/sjis.h"
#include "flow/record_file.h"
#include "ui/record_deletion_window.h"
#include "ui/record_viewer_window.h"
#include "ui/page_window.h"
#include <QScrollArea>
#include "ui/fonts.h"
#include "flow/record_listing.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/files.h"
#include "tests/ui/modal.h"

namespace solvari {
namespace {

using testing::answerNextModal;
using Rows = std::vector<std::string>;

QuestionSet makeSet(std::initializer_list<std::pair<std::string, int>> units) {
    QuestionSet set;
    int u = 0;
    for (const auto& [title, count] : units) {
        ++u;
        set.unitTitle[static_cast<size_t>(u)] = title;
        set.questionCount[static_cast<size_t>(u)] = count;
    }
    set.unitCount = u;
    return set;
}

// The record file as the program writes it: Shift-JIS, CR LF; given here as UTF-8 lines.
void writeRecordText(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    const std::optional<std::string> bytes = toSjis(text);
    ASSERT_TRUE(bytes.has_value());
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes->data(), static_cast<qint64>(bytes->size()));
}

Rows rowsOf(const QListWidget* list) {
    Rows rows;
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
    return rows;
}

std::string stars(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "★";
    return s;
}

const std::string UNIT1 = "一次方程式（１）";
const std::string UNIT2 = "かっこのある方程式";
const std::string DATE1 = "2024年05月03日09:05";
const std::string DATE2 = "2024年06月01日14:30";

// Every test works in its own folder, which is also the working folder while it runs.
class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        session.dataDirectory = dir.path().toStdString();
        path = recordFilePath(session.dataDirectory);
    }
    void TearDown() override { QDir::setCurrent(oldCwd); }

    RecordSource source() { return RecordSource{session, set}; }

    QTemporaryDir dir;
    QString oldCwd;
    Session session;
    std::string path;
    QuestionSet set = makeSet({{UNIT1, 3}, {UNIT2, 2}});
};

// ---------------------------------------------------------------- the listing

TEST_F(RecordTest, ListingRowsForRecordFiles) {
    struct Row {
        const char* name;
        std::vector<std::string> file;  // lines; empty = no file at all
        Rows expected;
    };
    const Row rows[] = {
        {"no file: titles and bare question numbers",
         {},
         {UNIT1, "  1", "  2", "  3", UNIT2, "  1", "  2"}},
        {"counts give stars, the date follows the title",
         {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1, "3=1"},
         {UNIT1, DATE1, "  1★★", "  2", "  3★", UNIT2, "  1", "  2"}},
        {"each unit reads its own section",
         {"[" + UNIT2 + "]", "2=3", "DATE=" + DATE2, "[" + UNIT1 + "]", "DATE=" + DATE1, "1=1"},
         {UNIT1, DATE1, "  1★", "  2", "  3", UNIT2, DATE2, "  1", "  2★★★"}},
        {"a damaged count shows no stars and the listing goes on",
         {"[" + UNIT1 + "]", "1=x2", "2=0x3", "3=2", "DATE=" + DATE1, "[" + UNIT2 + "]", "1=", "2=1", "DATE=" + DATE2},
         {UNIT1, DATE1, "  1", "  2", "  3★★", UNIT2, DATE2, "  1", "  2★"}},
        {"a negative count shows no stars",
         {"[" + UNIT1 + "]", "1=-3", "2=1"},
         {UNIT1, "  1", "  2★", "  3", UNIT2, "  1", "  2"}},
        {"an empty DATE gives no date row",
         {"[" + UNIT1 + "]", "DATE=", "1=1"},
         {UNIT1, "  1★", "  2", "  3", UNIT2, "  1", "  2"}},
        {"finishes after a hint are ☆, after the others",
         {"[" + UNIT1 + "]", "1=3", "H1=2", "DATE=" + DATE1, "2=1", "H2=1", "3=2", "H3=5", "[" + UNIT2 + "]", "1=1", "H1=x"},
         {UNIT1, DATE1, "  1★☆☆", "  2☆", "  3☆☆", UNIT2, "  1★", "  2"}},
        {"sections of other units are not shown",
         {"[昔の単元]", "1=5", "DATE=" + DATE2},
         {UNIT1, "  1", "  2", "  3", UNIT2, "  1", "  2"}},
    };
    for (const Row& r : rows) {
        QFile::remove(QString::fromStdString(path));
        if (!r.file.empty()) writeRecordText(path, r.file);
        EXPECT_EQ(recordListing(RecordFile(path), set), r.expected) << r.name;
    }
}

TEST_F(RecordTest, ListingFindsSectionsWhateverTheirCase) {
    set = makeSet({{"abc", 1}});
    writeRecordText(path, {"[ABC]", "1=2", "DATE=" + DATE1});
    EXPECT_EQ(recordListing(RecordFile(path), set), (Rows{"abc", DATE1, "  1★★"}));
    EXPECT_EQ(deletableUnits(RecordFile(path), set), (Rows{"abc"}));
}

TEST_F(RecordTest, ListingStopsAtTheFirstEmptyTitle) {
    set = makeSet({{"A", 1}, {"", 1}, {"C", 1}});
    EXPECT_EQ(recordListing(RecordFile(path), set), (Rows{"A", "  1"}));
}

TEST_F(RecordTest, ListingOfTwentyUnitsWithSevenQuestions) {
    set = QuestionSet{};
    for (int u = 1; u <= MAX_UNITS; ++u) {
        set.unitTitle[static_cast<size_t>(u)] = "U" + std::to_string(u);
        set.questionCount[static_cast<size_t>(u)] = MAX_QUESTIONS;
    }
    set.unitCount = MAX_UNITS;
    writeRecordText(path, {"[U20]", "7=4", "DATE=" + DATE1});
    const Rows rows = recordListing(RecordFile(path), set);
    ASSERT_EQ(rows.size(), static_cast<size_t>(MAX_UNITS * (1 + MAX_QUESTIONS) + 1));
    EXPECT_EQ(rows[rows.size() - 9], "U20");
    EXPECT_EQ(rows[rows.size() - 8], DATE1);
    EXPECT_EQ(rows.back(), "  7★★★★");
}

TEST_F(RecordTest, AnAbsurdCountIsCappedNotBuilt) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2000000000"});
    const Rows rows = recordListing(RecordFile(path), set);
    EXPECT_EQ(rows.at(1), "  1" + stars(MAX_LISTED_STARS));
}

TEST_F(RecordTest, TwoUnitsWithOneTitleShareTheirRecord) {
    set = makeSet({{UNIT1, 2}, {UNIT1, 1}});
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
    EXPECT_EQ(recordListing(RecordFile(path), set), (Rows{UNIT1, DATE1, "  1★★", "  2", UNIT1, DATE1, "  1★★"}));
    EXPECT_EQ(deletableUnits(RecordFile(path), set), (Rows{UNIT1, UNIT1}));
}

TEST_F(RecordTest, OnlyUnitsWithADateCanBeDeleted) {
    EXPECT_EQ(deletableUnits(RecordFile(path), set), Rows{});  // no file
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=", "[" + UNIT2 + "]", "DATE=" + DATE2});
    EXPECT_EQ(deletableUnits(RecordFile(path), set), (Rows{UNIT2}));
}

// ---------------------------------------------------------------- TfrmKiroku

// At twice the scale on 1280×1024 (640×512 usable) the viewer ran off the screen. It fits
// every screen, frame included, and its list and buttons scroll into view inside it.
TEST_F(RecordTest, ViewerFitsEveryScreen) {
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 640, 512}, {0, 0, 800, 600}, {0, 0, 1280, 1024}};
    for (const QRect& screen : screens) {
        const std::string size = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
        setScreenForTesting(screen);
        viewer.show();
        EXPECT_TRUE(screen.contains(viewer.frameGeometry())) << size;
        auto* area = viewer.findChild<QScrollArea*>();
        for (QWidget* w : {static_cast<QWidget*>(viewer.btnClose), static_cast<QWidget*>(viewer.btnDelete)}) {
            if (area) area->ensureWidgetVisible(w, 0, 0);
            EXPECT_TRUE(viewer.rect().contains(QRect(w->mapTo(&viewer, QPoint(0, 0)), w->size()))) << size;
        }
        viewer.hide();
    }
    setScreenForTesting(QRect());
    viewer.show();  // a screen with room again: the layout's own size
    EXPECT_EQ(viewer.size(), QSize(700, 450));
    viewer.hide();
}

TEST_F(RecordTest, ViewerLooksAsDesigned) {
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    EXPECT_EQ(viewer.windowTitle(), "練習の記録");
    EXPECT_EQ(viewer.size(), QSize(700, 450));
    EXPECT_EQ(viewer.lstTitle->geometry(), QRect(24, 8, 529, 400));
    EXPECT_EQ(viewer.lstTitle->font().family(), faceFont("ＭＳ Ｐゴシック").family());
    EXPECT_EQ(viewer.lstTitle->font().pixelSize(), 15);
    EXPECT_EQ(viewer.lstTitle->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(viewer.btnDelete->text(), "記録消去");
    EXPECT_EQ(viewer.btnDelete->geometry(), QRect(592, 160, 65, 41));
    EXPECT_EQ(viewer.btnClose->text(), "閉じる");
    EXPECT_EQ(viewer.btnClose->geometry(), QRect(592, 224, 65, 41));

    EXPECT_EQ(del.windowTitle(), "frmDelete");
    EXPECT_EQ(del.size(), QSize(500, 459));
    EXPECT_EQ(del.lblGuide->text(), "消去する項目を選んで［消去］ボタンをクリックします");
    EXPECT_EQ(del.lblGuide->geometry(), QRect(80, 32, 345, 25));
    EXPECT_EQ(del.lblGuide->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(del.lblGuide->font().pixelSize(), 15);
    EXPECT_EQ(del.lstTitle->geometry(), QRect(168, 80, 265, 305));
    EXPECT_EQ(del.btnDeleteOne->text(), "消去");
    EXPECT_EQ(del.btnDeleteOne->geometry(), QRect(40, 160, 89, 41));
    EXPECT_EQ(del.btnClose->text(), "閉じる");
    EXPECT_EQ(del.btnClose->geometry(), QRect(40, 264, 89, 41));
}

TEST_F(RecordTest, ViewerRelistsEachTimeItIsShownAndCloses1) {
    TfrmKiroku viewer(source(), nullptr);
    answerNextModal([&](QWidget*) {
        EXPECT_EQ(rowsOf(viewer.lstTitle), (Rows{UNIT1, "  1", "  2", "  3", UNIT2, "  1", "  2"}));
        viewer.btnClose->click();
    });
    EXPECT_EQ(viewer.exec(), 1);

    writeRecordText(path, {"[" + UNIT2 + "]", "2=1", "DATE=" + DATE2});
    answerNextModal([&](QWidget*) {
        EXPECT_EQ(rowsOf(viewer.lstTitle), (Rows{UNIT1, "  1", "  2", "  3", UNIT2, DATE2, "  1", "  2★"}));
        viewer.close();  // the close box
    });
    EXPECT_EQ(viewer.exec(), 1);

    // another question set (opened or edited since) is what the next showing lists
    set = makeSet({{"新しい単元", 1}});
    answerNextModal([&](QWidget*) {
        EXPECT_EQ(rowsOf(viewer.lstTitle), (Rows{"新しい単元", "  1"}));
        QTest::keyClick(&viewer, Qt::Key_Escape);
    });
    EXPECT_EQ(viewer.exec(), 1);
}

TEST_F(RecordTest, ViewerWithoutAQuestionSetListsNothing) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
    const QuestionSet none;  // before any set is read
    TfrmKiroku viewer(RecordSource{session, none}, nullptr);
    viewer.show();
    EXPECT_EQ(viewer.lstTitle->count(), 0);
    viewer.btnDelete->click();  // no deletion window: nothing happens
    viewer.hide();
}

// ---------------------------------------------------------------- TfrmDelete

TEST_F(RecordTest, DeletingAUnitRelistsTheViewer) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1, "[" + UNIT2 + "]", "2=1", "DATE=" + DATE2});
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    Rows afterDelete;
    answerNextModal([&](QWidget* w) {
        ASSERT_EQ(w, &viewer);
        EXPECT_EQ(rowsOf(viewer.lstTitle).size(), 9u);
        answerNextModal([&](QWidget* inner) {
            ASSERT_EQ(inner, &del);
            EXPECT_EQ(del.pos(), viewer.pos() + QPoint(200, 0));
            EXPECT_FALSE(del.recordDeleted);
            ASSERT_EQ(rowsOf(del.lstTitle), (Rows{UNIT1, UNIT2}));
            del.lstTitle->setCurrentRow(0);
            del.btnDeleteOne->click();
            EXPECT_TRUE(del.recordDeleted);
            EXPECT_EQ(rowsOf(del.lstTitle), (Rows{UNIT2}));
            EXPECT_TRUE(del.lstTitle->selectedItems().isEmpty());
            del.btnClose->click();
        });
        viewer.btnDelete->click();  // runs the deletion window; returns after it closed
        afterDelete = rowsOf(viewer.lstTitle);
        viewer.btnClose->click();
    });
    EXPECT_EQ(viewer.exec(), 1);
    EXPECT_EQ(afterDelete, (Rows{UNIT1, "  1", "  2", "  3", UNIT2, DATE2, "  1", "  2★"}));
    EXPECT_TRUE(prompter.said.empty());  // no confirmation question
    EXPECT_EQ(RecordFile(path).readString(UNIT1, "1", "gone"), "gone");
    EXPECT_EQ(RecordFile(path).readString(UNIT2, "2", ""), "1");
}

TEST_F(RecordTest, ClosingWithoutDeletingReturns2AndTheViewerDoesNotRelist) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    viewer.show();
    const Rows before = rowsOf(viewer.lstTitle);
    ASSERT_EQ(before.at(1), DATE1);

    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const Way ways[] = {{"閉じる", [&] { del.btnClose->click(); }},
                        {"close box", [&] { del.close(); }},
                        {"Escape", [&] { QTest::keyClick(&del, Qt::Key_Escape); }}};
    for (const Way& way : ways) {
        answerNextModal([&](QWidget*) {
            // the file changes behind the viewer's back: only a relisting would show it
            writeRecordText(path, {"[" + UNIT1 + "]", "1=5", "DATE=" + DATE2});
            way.close();
        });
        viewer.btnDelete->click();
        EXPECT_EQ(del.result(), 2) << way.name;
        EXPECT_EQ(rowsOf(viewer.lstTitle), before) << way.name;
        writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
    }
    viewer.hide();
}

TEST_F(RecordTest, AfterADeletionEveryWayOutReturns1) {
    for (int way = 0; way < 2; ++way) {
        writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
        testing::FakePrompter prompter;
        TfrmDelete del(source(), prompter);
        answerNextModal([&](QWidget*) {
            del.lstTitle->setCurrentRow(0);
            del.btnDeleteOne->click();
            if (way == 0) del.btnClose->click();
            else del.close();
        });
        EXPECT_EQ(del.exec(), 1) << way;
        // shown again, the flag starts afresh
        answerNextModal([&](QWidget*) {
            EXPECT_FALSE(del.recordDeleted);
            EXPECT_EQ(del.lstTitle->count(), 0);
            del.btnClose->click();
        });
        EXPECT_EQ(del.exec(), 2) << way;
    }
}

TEST_F(RecordTest, DeletingOneOfTwoUnitsWithOneTitleDeletesBoth) {
    set = makeSet({{UNIT1, 1}, {UNIT2, 1}, {UNIT1, 2}});
    writeRecordText(path, {"[" + UNIT1 + "]", "1=3", "DATE=" + DATE1, "[" + UNIT2 + "]", "1=1", "DATE=" + DATE2});
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    viewer.show();
    EXPECT_EQ(rowsOf(viewer.lstTitle),
              (Rows{UNIT1, DATE1, "  1★★★", UNIT2, DATE2, "  1★", UNIT1, DATE1, "  1★★★", "  2"}));
    answerNextModal([&](QWidget*) {
        ASSERT_EQ(rowsOf(del.lstTitle), (Rows{UNIT1, UNIT2, UNIT1}));
        del.lstTitle->setCurrentRow(2);
        del.btnDeleteOne->click();
        EXPECT_EQ(rowsOf(del.lstTitle), (Rows{UNIT1, UNIT2}));
        del.btnClose->click();
    });
    viewer.btnDelete->click();
    EXPECT_EQ(rowsOf(viewer.lstTitle), (Rows{UNIT1, "  1", UNIT2, DATE2, "  1★", UNIT1, "  1", "  2"}));
    viewer.hide();
}

TEST_F(RecordTest, DeleteWithoutASelectionOnlyAsks) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1});
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    answerNextModal([&](QWidget*) {
        ASSERT_EQ(del.lstTitle->count(), 1);
        del.btnDeleteOne->click();
        EXPECT_EQ(prompter.said, (Rows{"消去する単元を選んでください"}));
        EXPECT_EQ(del.lstTitle->count(), 1);
        EXPECT_FALSE(del.recordDeleted);
        del.btnClose->click();
    });
    EXPECT_EQ(del.exec(), 2);
    EXPECT_EQ(RecordFile(path).readString(UNIT1, "1", ""), "2");
}

TEST_F(RecordTest, ARefusedDeletionShowsWhyAndKeepsTheRow) {
    writeRecordText(path, {"[" + UNIT1 + "]", "1=2", "DATE=" + DATE1, "[" + UNIT2 + "]", "2=1", "DATE=" + DATE2});
    const std::string before = testing::readAll(QString::fromStdString(path));
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    del.show();
    ASSERT_EQ(del.lstTitle->count(), 2);
    del.lstTitle->setCurrentRow(1);
    {
        // the disk fills up part-way through the shorter file
        testing::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.ok());
        del.btnDeleteOne->click();
    }
    EXPECT_EQ(prompter.said, (Rows{QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString() +
                                   " に書き込めません\nディスクの空きがありません"}));
    EXPECT_EQ(del.lstTitle->count(), 2);
    EXPECT_FALSE(del.recordDeleted);
    EXPECT_EQ(testing::readAll(QString::fromStdString(path)), before);
    del.hide();
}

// Titles with blanks at either end or with brackets: every finish counts, and the viewer and
// the deletion list find their sections.
TEST_F(RecordTest, TitlesWithBlanksAndBracketsAreListedAndDeleted) {
    set = makeSet({{"空白あり ", 1}, {" 前に空白", 1}, {"[発展]一次", 1}, {"a]b", 1}});
    for (int round = 0; round < 2; ++round) {
        for (int u = 1; u <= 4; ++u) {
            RecordFile file(path);
            ASSERT_TRUE(writeRecord(file, set.unitTitle[static_cast<size_t>(u)], 1, [] {
                            return QDateTime(QDate(2024, 5, 3), QTime(9, 5));
                        }).ok);
        }
    }
    EXPECT_EQ(recordListing(RecordFile(path), set),
              (Rows{"空白あり ", DATE1, "  1★★", " 前に空白", DATE1, "  1★★", "[発展]一次", DATE1, "  1★★", "a]b", DATE1,
                    "  1★★"}));
    EXPECT_EQ(deletableUnits(RecordFile(path), set), (Rows{"空白あり ", " 前に空白", "[発展]一次", "a]b"}));
    ASSERT_TRUE(RecordFile(path).eraseSection("[発展]一次").ok);
    EXPECT_EQ(deletableUnits(RecordFile(path), set), (Rows{"空白あり ", " 前に空白", "a]b"}));
}

// A record that exists but cannot be read is not an empty record: the viewer says so.
TEST_F(RecordTest, AnUnreadableRecordIsSaidSoNotListedEmpty) {
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(path)));
    testing::FakePrompter prompter;
    TfrmDelete del(source(), prompter);
    TfrmKiroku viewer(source(), &del);
    viewer.show();
    EXPECT_EQ(rowsOf(viewer.lstTitle),
              (Rows{QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString() + " を読み込めません",
                    "ファイルではありません（フォルダなど）"}));
    viewer.hide();
}

}  // namespace
}  // namespace solvari
