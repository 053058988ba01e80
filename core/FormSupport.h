// Small pieces every window of the game shares: fixed client sizes, centring,
// the classic interface font, message boxes and replaceable file dialogs.
#pragma once

#include <functional>

#include <QPixmap>
#include <QString>
#include <QStyle>
#include <QTabWidget>

#include "core/Messages.h"

class QWidget;
class QApplication;
class QMessageBox;

// Application title, style and font, for the program and for widget tests alike.
void InitApplication(QApplication& app);
// The toolkit's own words (file dialogs, context menus) in Russian, from Qt's
// translation where the system has it: on loads it, off removes it again.
// True when the translation is in use afterwards.
bool UseToolkitTranslation(bool on);

// A fixed, non-resizable window with the given client area.
void SetFixedClientSize(QWidget* w, int width, int height);
// Centre on the primary screen, or on another window.
void CenterOnScreen(QWidget* w);
void CenterOnWidget(QWidget* w, const QWidget* owner);

// A page control whose pane frame is drawn once for each size and look and
// copied from that picture on every repaint after. The style draws the pane's
// tall edges as hundreds of one-row spans, and the toolkit hands fills that
// long to worker threads and waits for them: waking them costs more than all
// else the game window paints. The copy goes a rectangle of the paint region
// at a time, for the same reason: a region with holes in it (controls that
// paint all their own pixels) would send it back to the spans and the
// threads. Looks exactly like a plain page control, on screens of more
// pixels than points too; at a ratio that is not whole (125 %, 150 %) the
// style draws the frame every time, as a picture would not land on its pixels.
class TPageControl : public QTabWidget {
public:
    using QTabWidget::QTabWidget;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything the style may look at when it draws the frame.
    struct FrameLook {
        QSize size, tabBar, leftCorner, rightCorner;
        QRect selectedTab;
        QStyle::State state;
        qint64 palette = 0;
        const QStyle* style = nullptr;
        qreal ratio = 0;
        int shape = 0;
        bool operator==(const FrameLook&) const = default;
    };
    QPixmap frame_;
    FrameLook look_;
};

// The buttons of a message box in the game's words ("ОК", "Да", "Нет",
// "Отмена"), set by the game itself, so that its boxes speak Russian even
// where the toolkit's translation is missing. Every box of the game goes
// through it.
void SetRussianButtons(QMessageBox& box);

// Modal message boxes with the game's title.
void ShowInfoBox(QWidget* parent, const QString& text);
void ShowErrorBox(QWidget* parent, const QString& text);
bool AskYesNo(QWidget* parent, const QString& text);

// The rules' message interface shown as modal message boxes.
class BoxMessages : public Messages {
public:
    explicit BoxMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void Info(const QString& text) override { ShowInfoBox(parent_, text); }
    void Error(const QString& text) override { ShowErrorBox(parent_, text); }
    bool Confirm(const QString& text) override { return AskYesNo(parent_, text); }

private:
    QWidget* parent_;
};

// File dialogs go through these, so that tests can answer them without a real
// dialog. Each returns the chosen path, or an empty text when cancelled.
using OpenFileFunction = std::function<QString(QWidget* parent, const QString& initialPath, const QString& filter)>;
using SaveFileFunction = std::function<QString(QWidget* parent, const QString& initialFolder, const QString& filter)>;
extern OpenFileFunction GetOpenPictureFileName;
extern SaveFileFunction GetSaveFileName;
