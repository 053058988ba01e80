#include "core/UnitStartMenu.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/Names.h"
#include "newgame/NewGameFlow.h"
#include "save/AutoSave.h"
#include "save/SaveGame.h"
#include "settings/UnitSetUp.h"
#include "ui/UnitGuide.h"
#include "ui/UnitGame.h"

OpenFileFunction GetLoadFileName = [](QWidget* parent, const QString& initialFolder, const QString& filter) {
    QFileDialog dialog(parent, QStringLiteral("Загрузить игру"), initialFolder, filter);
    dialog.setObjectName(QStringLiteral("LoadGameDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);  // listed as "Сохраненные игры", as the save dialog does
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
};

TFormStartMenu::TFormStartMenu(QWidget* parent) : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Marchfell: Ostrevane"));
    SetFixedClientSize(this, 512, 335);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(0, 0, 512, 335);
    Image->setPixmap(QPixmap(DataFilePath(QStringLiteral("pictures/startmenu.bmp"))));

    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(21);
    auto makeButton = [&](const char* name, const QString& caption, int top) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setAutoRaise(true);  // flat: the picture shows through
        b->setFont(font);
        b->setGeometry(400, top, 105, 25);
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral(
            "QToolButton { color: #ff0000; background: transparent; border: 1px solid transparent; }"
            "QToolButton:hover { border: 1px solid rgba(255,255,255,150); background: rgba(0,0,0,60); }"
            "QToolButton:pressed { border: 1px solid rgba(0,0,0,150); background: rgba(0,0,0,100); }"));
        return b;
    };
    ButtonStart = makeButton("ButtonStart", QStringLiteral("Игра"), 176);
    ButtonLoad = makeButton("ButtonLoad", QStringLiteral("Загрузить"), 208);
    ButtonSetUp = makeButton("ButtonSetUp", QStringLiteral("Настройка"), 240);
    ButtonHelp = makeButton("ButtonHelp", QStringLiteral("Справка"), 272);
    ButtonHelp->setShortcut(QKeySequence(Qt::Key_F1));  // the guide, as F1 opens it in the game
    ButtonExit = makeButton("ButtonExit", QStringLiteral("Выход"), 304);

    connect(ButtonStart, &QToolButton::clicked, this, &TFormStartMenu::ButtonStartClick);
    connect(ButtonLoad, &QToolButton::clicked, this, &TFormStartMenu::ButtonLoadClick);
    connect(ButtonSetUp, &QToolButton::clicked, this, &TFormStartMenu::ButtonSetUpClick);
    connect(ButtonHelp, &QToolButton::clicked, this, &TFormStartMenu::ButtonHelpClick);
    connect(ButtonExit, &QToolButton::clicked, this, &TFormStartMenu::ButtonExitClick);

    CenterOnScreen(this);
    FormCreate();
}

TFormStartMenu::~TFormStartMenu() = default;

void TFormStartMenu::FormCreate() {
    // The settings store first; a failure there is reported and start-up goes on.
    BoxMessages msgs(this);
    Reestr.OpenOrCreate(msgs);
    FillNameTables(Game);
}

QString TFormStartMenu::GetFullNameFeudal(int n) const { return ::GetFullNameFeudal(Game, n); }

void TFormStartMenu::ButtonStartClick() { RunNewGameFlow(); }

void TFormStartMenu::ButtonLoadClick() {
    // The saves folder when it is there, else home: opening the dialog makes nothing.
    // A save is named as its player typed it, so files of any name are offered too.
    const QString path =
        GetLoadFileName(this, SaveDialogFolder(), QStringLiteral("Сохраненные игры (*.mcs);;Все файлы (*)"));
    if (!path.isEmpty()) LoadGameFile(path);  // cancelled: nothing changes
}

bool TFormStartMenu::LoadGameFile(const QString& path) {
    if (!FormGame) return false;
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString reason;
    // Noted saved just as it is on disk.
    if (!LoadSavedGame(path, Game, &reason)) {
        ShowErrorBox(this, QStringLiteral("Не удалось загрузить игру из файла «%1»: %2.").arg(shown, reason));
        return false;
    }
    AutoSaveNewGame();    // the next autosave keeps the newest of the game played before
    hide();
    FormGame->ShowLoadedTurn(shown);
    RunGameWindow();
    return true;
}

void TFormStartMenu::ButtonSetUpClick() {
    if (FormSetUp) FormSetUp->exec();
}

void TFormStartMenu::ButtonHelpClick() { ShowGuide(); }

void TFormStartMenu::ButtonExitClick() { close(); }

void TFormStartMenu::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, however it is closed.
    event->accept();
    QCoreApplication::quit();
}
