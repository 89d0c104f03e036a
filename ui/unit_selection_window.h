#pragma once
#include <QDialog>
#include <QImage>
#include <QWidget>
#include <memory>

#include "engine/engine.h"
#include "transform/canvas.h"
#include "ui/clickable_widget.h"
#include "ui/other_windows.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace solvari {

class ImageBox;
class Practice;
class Typesetter;

// A mark box beside a question: a 25 × 76 picture stretched over the box, onto which the
// window copies the green or the white picture. Copies land at (1, 1), so the top row and
// the left column keep what the box started with (white).
class MarkBox : public ClickableWidget {
    Q_OBJECT
public:
    static constexpr int PICTURE_WIDTH = 25;
    static constexpr int PICTURE_HEIGHT = 76;

    explicit MarkBox(QWidget* parent = nullptr);

    // Plain source copy of picture with its top-left at (x, y) of the box's own picture.
    void copyPicture(int x, int y, const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// "frmMondai": the student picks a unit from the list of titles and one of its questions,
// which are drawn as equations. On "Ｏ　Ｋ" the unit and question become the main window's
// current ones (result 1); "キャンセル" and the close box change nothing (result 2).
//
// The window keeps shownUnit, markedQuestion and drawnCount between showings; everything
// visible is derived again from the main window's currentUnit and currentQuestion when shown.
class TfrmMondai : public QDialog {
    Q_OBJECT
public:
    static constexpr int RESULT_OK = 1;
    static constexpr int RESULT_CANCEL = 2;
    static constexpr int BOX_COUNT = 7;

    // practice is the main window's practice state; "練習の記録" shows the record viewer of
    // windows modally above this window. Questions are parsed and typeset with an engine and
    // a typesetter of the window's own, so browsing never changes the letter or the decimal
    // display of the student's page.
    TfrmMondai(Practice& practice, OtherWindows& windows, QWidget* parent = nullptr);
    ~TfrmMondai() override;

    // --- state kept between showings ---
    int shownUnit = 1;
    int markedQuestion = 1;
    int drawnCount = 0;

    // --- controls, by their Windows-era names (glossary in ui/README.md) ---
    QLabel* lblMidashi = nullptr;
    QLabel* lblGuide = nullptr;
    QListWidget* lstTangen = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnShowRecord = nullptr;
    QImage imgKakkoB;  // the mark: solid green
    QImage imgKakkoW;  // no mark: solid white

    // The numbered controls, found by composing their names ("Image" + n, …); nullptr for a
    // number without one.
    ImageBox* questionBox(int n) const;
    MarkBox* markBox(int n) const;
    QPushButton* questionButton(int n) const;

    // --- the window's operations and handlers ---
    void formShow();
    void drawUnitQuestions();
    void eraseMark();
    void markQuestion(int n);
    void lstTangenClick();
    void btnOKClick();
    // Shows the window modally: the unit and question chosen with "Ｏ　Ｋ", nothing when cancelled.
    std::optional<UnitChoice> run();
    void btnCancelClick();
    void btnShowRecordClick();

public slots:
    void reject() override;  // the close box and Escape: result 2

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<UnitChoice> choice_;
    class QuestionBoxes;

    Practice& practice_;
    OtherWindows& windows_;
    QWidget* surface_ = nullptr;  // the fixed layout, scrolling inside the window when the screen is small
    Engine engine_;  // its own: what the list parses never reaches the page
    std::unique_ptr<QuestionBoxes> boxes_;
    std::unique_ptr<Typesetter> typesetter_;
    bool filling_ = false;   // the list is being filled or selected by the window itself
    bool pressing_ = false;  // a mouse button is down on the list; the click handles it

    void showTitle();
};

}  // namespace solvari
