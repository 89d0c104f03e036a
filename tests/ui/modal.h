#pragma once
// Answering modal windows in window tests without ever blocking.
//
// A test that opens a modal window (QDialog::exec(), a QMessageBox, anything that calls
// exec() deep inside the code under test) schedules the answer first:
//
//     answerNextModal([](QWidget* w) {
//         auto* box = qobject_cast<QMessageBox*>(w);
//         ASSERT_NE(box, nullptr);
//         EXPECT_EQ(box->text(), "…");
//         box->button(QMessageBox::Ok)->click();
//     });
//     prompter.inform("…");   // runs the box's event loop; the answer arrives inside it
//
// How it works: a 10 ms timer watches QApplication::activeModalWidget(). The first modal
// window that opens after the call (one already open at the call is ignored, so a nested box
// can be answered from inside the act of its parent) is handed to `act` once. The act should
// close it (click a button, done(), reject()).
//
// The deadline keeps CI from hanging: if no modal window has appeared, or the one acted on is
// still open, deadlineMs after the call, the test fails and every open modal window is closed
// so that exec() returns. An answer scheduled but never used by its own test is dropped at the
// next test's first event loop, silently, so it cannot answer someone else's window.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace solvari::testing {

namespace detail {

class ModalAnswer : public QObject {
public:
    ModalAnswer(std::function<void(QWidget*)> act, int deadlineMs)
        : act_(std::move(act)), deadlineMs_(deadlineMs), ignore_(QApplication::activeModalWidget()),
          test_(::testing::UnitTest::GetInstance()->current_test_info()) {
        clock_.start();
        connect(&tick_, &QTimer::timeout, this, [this] { poll(); });
        tick_.start(10);
    }

private:
    void poll() {
        if (::testing::UnitTest::GetInstance()->current_test_info() != test_) return finish();
        QWidget* modal = QApplication::activeModalWidget();
        if (!acted_) {
            if (modal && modal != ignore_) {
                acted_ = true;
                target_ = modal;
                tick_.stop();  // act may itself open a nested loop; do not re-enter
                act_(modal);
                if (!tick_.isActive()) tick_.start(10);
                return;
            }
            if (clock_.elapsed() > deadlineMs_) {
                ADD_FAILURE() << "no modal window appeared within " << deadlineMs_ << " ms";
                return finish();
            }
            return;
        }
        if (!target_ || !target_->isVisible()) return finish();
        if (clock_.elapsed() > deadlineMs_) {
            ADD_FAILURE() << "modal window '" << target_->windowTitle().toStdString()
                          << "' still open after " << deadlineMs_ << " ms; closing it";
            closeAllModals();
            return finish();
        }
    }

    static void closeAllModals() {
        for (int guard = 0; guard < 10; ++guard) {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            // done() ends exec() even for a message box that has no escape button.
            if (auto* dlg = qobject_cast<QDialog*>(w)) dlg->done(QDialog::Rejected);
            else w->close();
        }
    }

    void finish() {
        tick_.stop();
        deleteLater();
    }

    std::function<void(QWidget*)> act_;
    int deadlineMs_;
    QPointer<QWidget> ignore_;
    QPointer<QWidget> target_;
    const ::testing::TestInfo* test_;
    bool acted_ = false;
    QTimer tick_;
    QElapsedTimer clock_;
};

}  // namespace detail

// Hands the next modal window to act; fails the test and closes it after deadlineMs.
inline void answerNextModal(std::function<void(QWidget*)> act, int deadlineMs = 5000) {
    new detail::ModalAnswer(std::move(act), deadlineMs);  // deletes itself when done
}

}  // namespace solvari::testing
