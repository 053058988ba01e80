// The start menu: the program's main window. It owns the settings store for
// the whole run, fills the name tables, starts a new game and the settings dialog.
#pragma once

#include <QWidget>

#include "settings/Reestr.h"

class QLabel;
class QToolButton;

class TFormStartMenu : public QWidget {
    Q_OBJECT
public:
    explicit TFormStartMenu(QWidget* parent = nullptr);
    ~TFormStartMenu() override;

    // The displayed title of the feudal of feud n in the running game.
    QString GetFullNameFeudal(int n) const;

    // The settings store, open from this window's creation to the program's end.
    TReestr Reestr;

    QLabel* Image = nullptr;
    QToolButton* ButtonStart = nullptr;
    QToolButton* ButtonLoad = nullptr;
    QToolButton* ButtonSetUp = nullptr;
    QToolButton* ButtonHelp = nullptr;
    QToolButton* ButtonExit = nullptr;

public slots:
    void ButtonStartClick();
    void ButtonSetUpClick();
    void ButtonHelpClick();
    void ButtonExitClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
};
