// Small pieces every window of the game shares: fixed client sizes, centring,
// the classic interface font, message boxes and replaceable file dialogs.
#pragma once

#include <functional>

#include <QString>

#include "core/Messages.h"

class QWidget;
class QApplication;

// Application title, style and font, for the program and for widget tests alike.
void InitApplication(QApplication& app);

// A fixed, non-resizable window with the given client area.
void SetFixedClientSize(QWidget* w, int width, int height);
// Centre on the primary screen, or on another window.
void CenterOnScreen(QWidget* w);
void CenterOnWidget(QWidget* w, const QWidget* owner);

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
