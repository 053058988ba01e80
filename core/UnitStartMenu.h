// The start menu: the program's main window. It owns the settings store for
// the whole run, fills the name tables, starts a new game and the settings dialog.
#pragma once

#include <QWidget>

#include "core/FormSupport.h"
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

    // Reads the save file at path into the game and resumes its turn in the
    // game window; a refused file is reported in an error box and the start
    // menu stays as it was. False when the file was refused.
    bool LoadGameFile(const QString& path);

public slots:
    void ButtonStartClick();
    void ButtonLoadClick();
    void ButtonSetUpClick();
    void ButtonHelpClick();
    void ButtonExitClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
};

// The open dialog of "Загрузить", LoadGameDialog; tests may replace it as they
// replace the save dialog. Returns the chosen path, or an empty text.
extern OpenFileFunction GetLoadFileName;
