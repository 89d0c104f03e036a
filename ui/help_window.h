#pragma once
#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace solvari {

// The help viewer: our own Japanese pages (":/help/*.html") in a text browser window "ヘルプ".
// It is not modal; the menu entries of "ヘルプ(&H)" bring it to the front on a page.
class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* CONTENTS_PAGE = "qrc:/help/index.html";
    static constexpr const char* POINT_PAGE = "qrc:/help/point.html";

    explicit TfrmHelp(QWidget* parent = nullptr);

    // "使い方(&U)": the contents page.
    void showContents();
    // "ポイント(&P)": the page of hints for solving.
    void showPoint();
    // The page now shown.
    QUrl currentPage() const;

    QTextBrowser* txtHelp;
    QPushButton* btnContents;
    QPushButton* btnBack;
    QPushButton* btnForward;
    QPushButton* btnClose;

private:
    void showPage(const QUrl& page);
};

}  // namespace solvari
