#include "support/ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

#include <gtest/gtest.h>

namespace {
// Far longer than any step of a test waits for, far shorter than the test's own time limit.
constexpr qint64 StuckAfterMs = 60000;
}  // namespace

ModalDriver::ModalDriver() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::Poll);
    timer_.start();
}

ModalDriver::~ModalDriver() { EXPECT_EQ(Pending(), 0) << "a modal window the test expected never appeared"; }

ModalDriver& ModalDriver::Then(Handler handler) {
    queue_.push_back(std::move(handler));
    return *this;
}

ModalDriver& ModalDriver::PressOnBox(QMessageBox::StandardButton button) {
    return Then([this, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "expected a message box, got " << w->objectName().toStdString() << " \""
                          << w->windowTitle().toStdString() << "\"";
            w->close();
            return;
        }
        Answer(box, button);
    });
}

void ModalDriver::Answer(QMessageBox* box, QMessageBox::StandardButton button) {
    texts_ << box->text();
    icons_ << box->icon();
    QAbstractButton* b = box->button(button);
    if (!b) {
        ADD_FAILURE() << "message box \"" << box->text().toStdString() << "\" has no such button";
        box->reject();
        return;
    }
    b->click();
}

void ModalDriver::Poll() {
    handled_.removeIf([](const QPointer<QWidget>& p) { return p.isNull() || !p->isVisible(); });
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    if (w != onTop_) {
        onTop_ = w;
        onTopSince_.start();
    } else if (queue_.empty() && onTopSince_.elapsed() > StuckAfterMs) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ADD_FAILURE() << "a modal window stood unanswered for a minute: \"" << w->windowTitle().toStdString()
                      << "\" " << (box ? box->text().toStdString() : w->objectName().toStdString());
        onTop_ = nullptr;
        if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->done(QDialog::Rejected);
        else w->close();
        return;
    }
    for (const auto& p : handled_)
        if (p == w) return;
    if (!queue_.empty()) {
        handled_.append(QPointer<QWidget>(w));
        Handler h = std::move(queue_.front());
        queue_.pop_front();
        h(w);
        onTopSince_.start();  // handled now: its time starts again
        return;
    }
    if (autoAnswer_) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            handled_.append(QPointer<QWidget>(w));
            Answer(box, autoButton_);
        }
    }
}
