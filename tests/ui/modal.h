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
//
// A modal window that no answer is waiting for is a failure too, and at once: ModalWatchdog
// (one for the whole run, made in ui_main.cpp) fails the test with the window's title and text
// and closes it. A wrong answer path used to show a box nobody had scheduled an answer for,
// and the test sat in its exec() until the runner killed it, without a word of what it said.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace solvari::testing {

namespace detail {

class ModalAnswer;
// Every answer not yet finished, so the watchdog can tell an expected window from a stray one.
inline std::set<const ModalAnswer*>& liveAnswers() {
    static std::set<const ModalAnswer*> answers;
    return answers;
}

class ModalAnswer : public QObject {
public:
    ModalAnswer(std::function<void(QWidget*)> act, int deadlineMs)
        : act_(std::move(act)), deadlineMs_(deadlineMs), ignore_(QApplication::activeModalWidget()),
          test_(::testing::UnitTest::GetInstance()->current_test_info()) {
        liveAnswers().insert(this);
        clock_.start();
        connect(&tick_, &QTimer::timeout, this, [this] { poll(); });
        tick_.start(10);
    }
    ~ModalAnswer() override { liveAnswers().erase(this); }

    // Whether this answer of the running test waits for modal, or is acting on it.
    bool covers(const QWidget* modal) const {
        if (::testing::UnitTest::GetInstance()->current_test_info() != test_) return false;
        return acted_ ? target_ == modal : modal != ignore_;
    }

    static void closeAllModals() {
        for (int guard = 0; guard < 10; ++guard) {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            closeModal(w);
        }
    }

    // done() ends exec() even for a message box that has no escape button.
    static void closeModal(QWidget* w) {
        if (auto* dlg = qobject_cast<QDialog*>(w)) dlg->done(QDialog::Rejected);
        else w->close();
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
                const bool failedBefore = ::testing::Test::HasFatalFailure();
                act_(modal);
                // An ASSERT in act (the window was not the one expected) leaves it open: close it
                // now rather than at the deadline.
                if (!failedBefore && ::testing::Test::HasFatalFailure() && target_ && target_->isVisible())
                    closeModal(target_);
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

    void finish() {
        tick_.stop();
        liveAnswers().erase(this);  // at once: deleteLater waits for the loop's next turn
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

// What a modal window says, for a failure message: its title and text (a message box), or its
// title and the labels it shows.
inline std::string describeModal(QWidget* w) {
    QString said = QString::fromLatin1(w->metaObject()->className()) + " '" + w->windowTitle() + "'";
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        said += ": " + box->text();
        if (!box->informativeText().isEmpty()) said += " / " + box->informativeText();
    } else {
        for (QLabel* label : w->findChildren<QLabel*>())
            if (label->isVisibleTo(w) && !label->text().isEmpty()) said += " / " + label->text();
    }
    return said.toStdString();
}

// answerNextModal for a window of a known type, e.g. answerNextModalOf<TfrmSentaku>(…): a modal
// window of another type (a wrong answer path shows a message box instead) fails the test with
// what it says and is closed, instead of being cast to null and crashing the whole run.
template <class W, class Act>
inline void answerNextModalOf(Act act, int deadlineMs = 5000) {
    answerNextModal(
        [act = std::move(act)](QWidget* w) {
            if (auto* typed = qobject_cast<W*>(w)) return act(typed);
            ADD_FAILURE() << "expected a " << W::staticMetaObject.className() << ", got " << describeModal(w);
            detail::ModalAnswer::closeModal(w);
        },
        deadlineMs);
}

// Fails the running test as soon as a modal window opens that no answerNextModal() waits for,
// saying what the window says, and closes it so that its exec() returns.
class ModalWatchdog : public QObject {
public:
    ModalWatchdog() {
        connect(&tick_, &QTimer::timeout, this, [this] { poll(); });
        tick_.start(10);
    }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        for (const detail::ModalAnswer* a : detail::liveAnswers())
            if (a->covers(modal)) return;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (test != test_) {
            test_ = test;
            strays_ = 0;
        }
        ADD_FAILURE() << "a modal window opened that no answerNextModal() was waiting for: "
                      << describeModal(modal) << "; closing it";
        // A code path that opens the box again as soon as it is closed would spin here forever.
        if (++strays_ >= kMaxStrays) {
            std::fprintf(stderr, "%d unexpected modal windows in one test; giving up the run\n", kMaxStrays);
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(1);
        }
        detail::ModalAnswer::closeModal(modal);
    }

    static constexpr int kMaxStrays = 20;
    QTimer tick_;
    const ::testing::TestInfo* test_ = nullptr;
    int strays_ = 0;
};

}  // namespace solvari::testing
