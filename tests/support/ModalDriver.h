// Answers modal windows as a player would. A modal dialog or message box
// blocks the call that opened it; arm the driver before that call with what
// to do when each window appears, in order.
//
//   ModalDriver driver;
//   driver.PressOnBox(QMessageBox::Ok);            // answer the first box
//   driver.Then([](QWidget* w) { ...; });          // then handle the next window
//   form->btnOkClick();                            // opens them
//   EXPECT_EQ(driver.BoxTexts(), QStringList{...});
#pragma once

#include <deque>
#include <functional>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVector>

class ModalDriver : public QObject {
public:
    using Handler = std::function<void(QWidget*)>;

    ModalDriver();
    ~ModalDriver() override;

    // Queue a handler for the next modal window that appears.
    ModalDriver& Then(Handler handler);
    // Queue: the next window must be a message box; record its text and press button.
    ModalDriver& PressOnBox(QMessageBox::StandardButton button = QMessageBox::Ok);
    // Keep pressing button on every further message box, recording texts, once the queue is empty.
    void AnswerAllBoxes(QMessageBox::StandardButton button = QMessageBox::Ok) {
        autoAnswer_ = true;
        autoButton_ = button;
    }
    void StopAnsweringAll() { autoAnswer_ = false; }

    // Texts of the message boxes seen so far, in order, and their icons.
    const QStringList& BoxTexts() const { return texts_; }
    const QVector<QMessageBox::Icon>& BoxIcons() const { return icons_; }
    void ClearRecord() {
        texts_.clear();
        icons_.clear();
    }
    // Handlers still waiting for their window.
    int Pending() const { return static_cast<int>(queue_.size()); }

    // Records the text of a message box and presses button on it.
    void Answer(QMessageBox* box, QMessageBox::StandardButton button);

private:
    void Poll();

    std::deque<Handler> queue_;
    QVector<QPointer<QWidget>> handled_;
    // The modal window on top, and since when: one left standing with
    // nothing to do fails the test and is closed, rather than hang it.
    QPointer<QWidget> onTop_;
    QElapsedTimer onTopSince_;
    QStringList texts_;
    QVector<QMessageBox::Icon> icons_;
    QTimer timer_;
    bool autoAnswer_ = false;
    QMessageBox::StandardButton autoButton_ = QMessageBox::Ok;
};
