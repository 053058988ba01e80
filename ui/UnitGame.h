// The game window: the pages of the moving feudal, the coloured map, the main
// menu and the map's popup menu. Its handlers are spread over several files:
//   ui/UnitGame.cpp      layout, menus, exit and the About commands, page show events
//   ui/UnitGameMap.cpp   repaint, hover, popup, diplomacy, feudal pages, relation tree
//   ui/UnitGameTurn.cpp  end of turn, turn preparation, lenniks, army orders
//   save/UnitGameSave.cpp  "Сохранить игру"
#pragma once

#include <memory>

#include <QDialog>

#include "core/FormSupport.h"
#include "core/Picture.h"
#include "ui/MapRendering.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class MapImage;

class TFormGame : public QDialog {
    Q_OBJECT
public:
    explicit TFormGame(QWidget* parent = nullptr);
    ~TFormGame() override;

    // The message interface the rules report through while this window runs.
    Messages& Msgs() { return *msgs_; }
    // Tests may replace it; nullptr restores the message boxes.
    void SetMessages(Messages* msgs);

    // The menus "Игра" and "Справка" on or off, with their entries in the bar.
    void SetMenusEnabled(bool on);

    // Runs the window until the game is left, blocking no other window.
    int exec() override;

    // The picture the map page shows; drawn first when the game changed it
    // while another page was shown.
    const Picture& MapPicture() {
        if (mapStale_) PaintMap();
        return mapPicture_;
    }
    // How many times the map has been drawn since the window was made.
    int MapDrawCount() const { return mapDraws_; }

    // "Сохранить игру" through its dialog: true when the game was written.
    bool SaveGameByDialog();
    // A game read from the file at path resumes the turn it was saved in:
    // CurrentFeud's turn is shown as a human turn is, with the memo's one line
    // naming the file, but nothing of a turn's start runs again (the turn is
    // not prepared, so his orders stand, and nothing is autosaved).
    void ShowLoadedTurn(const QString& path);

    // ---- menus
    QMenuBar* GameMenu = nullptr;
    QMenu* ItemGame = nullptr;
    QAction* ItemSaveGame = nullptr;
    QAction* ItemEndTurn = nullptr;
    QAction* ItemExit = nullptr;
    QMenu* ItemHelp = nullptr;
    QAction* ItemGuide = nullptr;
    QAction* ItemAboutAuthor = nullptr;
    QAction* ItemAboutProgram = nullptr;

    QMenu* PopupMap = nullptr;
    QMenu* PMItemArmy = nullptr;
    QAction* PMItemArmyMove = nullptr;
    QAction* PMItemArmyAttack = nullptr;
    QMenu* PMItemArmyDefence = nullptr;
    QAction* PMItemArmyToCastle = nullptr;
    QAction* PMItemArmyFromCastle = nullptr;
    QAction* PMItemArmyCancel = nullptr;
    QMenu* PMItemDiplomacy = nullptr;
    QMenu* PMDipDeclare = nullptr;   // "Объявить"
    QAction* PMDipDeclTruePersEnemy = nullptr;
    QAction* PMDipDeclTrueEnemy = nullptr;
    QAction* PMDipDeclTruePeace = nullptr;
    QAction* PMDipDeclTrueAlly = nullptr;
    QMenu* PMDipMark = nullptr;      // "Пометить"
    QAction* PMDipMarkTruePersEnemy = nullptr;
    QAction* PMDipMarkTrueEnemy = nullptr;
    QAction* PMDipMarkTrueUnknown = nullptr;
    QAction* PMDipMarkTruePeace = nullptr;
    QAction* PMDipMarkTrueAlly = nullptr;
    QMenu* PMDipTreaty = nullptr;    // "Договор"
    QAction* PMItemArrive = nullptr; // "Приехать"

    // ---- pages
    QTabWidget* PCMain = nullptr;
    QWidget* tsInformation = nullptr;
    QWidget* tsMap = nullptr;
    QWidget* tsArmy = nullptr;
    QWidget* tsFeudal = nullptr;
    QWidget* tsDiplomacy = nullptr;

    // "Информация"
    QLabel* LTime = nullptr;
    QLabel* LJobLennik = nullptr;
    QLabel* LJobVassal = nullptr;
    QLabel* LAddLennik = nullptr;
    QLabel* LAddGrain = nullptr;
    QLabel* LAddCow = nullptr;
    QLabel* LAddHorse = nullptr;
    QLabel* LLen = nullptr;
    QLabel* LLennik = nullptr;
    QLabel* LPeasant = nullptr;
    QLabel* LGrain = nullptr;
    QLabel* LCow = nullptr;
    QLabel* LHorse = nullptr;
    QToolButton* btnBuild = nullptr;  // "Построить", no action
    QPlainTextEdit* mEvent = nullptr;

    // "Карта"
    MapImage* ImageMap = nullptr;
    QLabel* LMapNameFeud = nullptr;
    QLabel* LMapLen = nullptr;
    QLabel* LMapLennik = nullptr;
    QLabel* LMapPeasant = nullptr;
    QLabel* LMapCow = nullptr;
    QLabel* LMapHorse = nullptr;
    QLabel* LMapFertility = nullptr;
    QLabel* LMapPastureCow = nullptr;
    QLabel* LMapPastureHorse = nullptr;
    QLabel* LMapLennikAppear = nullptr;
    QLabel* LMapCastleLevel = nullptr;  // "Уровень замка:", nothing fills it
    QLabel* LMapFeudal = nullptr;
    QLabel* LSenVas = nullptr;
    QLabel* LMapSeniorVassal = nullptr;
    QLabel* LMapQuantityArmy = nullptr;
    QLabel* LArmyCommand = nullptr;
    QCheckBox* cbSelectDipMode = nullptr;
    QGroupBox* gbColorMap = nullptr;
    QRadioButton* rbDipToFeudalShow = nullptr;
    QRadioButton* rbDipToFeudalTrue = nullptr;
    QRadioButton* rbDipFromFeudalShow = nullptr;
    QRadioButton* rbDipFromFeudalTrue = nullptr;

    // "Войско"
    QLabel* LLennikQuantity = nullptr;
    QLabel* LLennikPercent = nullptr;
    QLabel* LLennikSpear = nullptr;
    QLabel* LLennikSword = nullptr;
    QLabel* LLennikRiding = nullptr;
    QLabel* LLennikHealth = nullptr;
    QLabel* LLennikStrength = nullptr;
    QLabel* LLennikEndurance = nullptr;
    QLabel* LLennikArmour = nullptr;
    QLabel* LLennikMorale = nullptr;
    QLabel* LLennikDiscipline = nullptr;
    QLabel* LLennikBattle = nullptr;
    QLabel* LArmyToArmy = nullptr;
    QSlider* tbArmy = nullptr;
    QLabel* LArmyToCastle = nullptr;
    QPushButton* btnCallLennik = nullptr;
    QPushButton* btnDismissLennik = nullptr;
    QPushButton* btnCallVassal = nullptr;
    QPushButton* btnDismissVassal = nullptr;

    // "Феодал"
    QLabel* LFeudalLevel = nullptr;
    QLabel* LFeudalAuth = nullptr;
    QLabel* LFeudalLevelSpear = nullptr;
    QLabel* LFeudalLevelSword = nullptr;
    QLabel* LFeudalLevelRiding = nullptr;
    QLabel* LFeudalHealth = nullptr;
    QLabel* LFeudalStrength = nullptr;
    QLabel* LFeudalEndurance = nullptr;
    QLabel* LFeudalDiscipline = nullptr;
    QLabel* LFeudalMorale = nullptr;
    QLabel* LHorseSpeed = nullptr;
    QLabel* LHorseStrength = nullptr;
    QLabel* LHorseEndurance = nullptr;
    QLabel* LHorseSize = nullptr;
    QLabel* LHorseArmourHead = nullptr;
    QLabel* LHorseArmourBody = nullptr;
    QLabel* LFeudalWeaponSpear = nullptr;
    QLabel* LFeudalWeaponSword = nullptr;
    QLabel* LFeudalHelmet = nullptr;
    QLabel* LFeudalDefence = nullptr;
    QLabel* LFeudalShield = nullptr;
    QLabel* LFEudalHand = nullptr;
    QLabel* LFeudalGlove = nullptr;
    QLabel* LFeudalLeg = nullptr;
    QLabel* LFeudalVictory = nullptr;
    QLabel* LFeudalLose = nullptr;
    QLabel* LFeudalVictorySiege = nullptr;
    QLabel* LFeudalLoseSiege = nullptr;
    QLabel* LFeudalKillEnemy = nullptr;
    QLabel* LFeudalKillOur = nullptr;
    QLabel* LFeudalPrisonerEnemy = nullptr;
    QLabel* LFeudalPrisonerOur = nullptr;
    QPushButton* btnSetup = nullptr;

    // "Дипломатия"
    QTreeWidget* TreeRelation = nullptr;
    QListWidget* ListTreaty = nullptr;  // "Договора:", nothing fills it

public slots:
    // main menu
    void ItemSaveGameClick();
    void ItemEndTurnClick();
    void ItemExitClick();
    void ItemGuideClick();
    void ItemAboutAuthorClick();
    void ItemAboutProgramClick();

    // turn cycle: fills the pages for CurrentFeud once the rules have
    // prepared his turn (the computer's move and the week's end are rules)
    void InitializeBeforeTurn();

    // lenniks and vassals
    void btnCallLennikClick();
    void btnDismissLennikClick();
    void btnCallVassalClick();
    void tbArmyChange();

    // army orders
    void PMItemArmyMoveClick();
    void PMItemArmyAttackClick();
    void PMItemArmyCancelClick();

    // map
    void DrawColorMap();
    void SetSelectFeud(int f);
    void ImageMapMouseMove(int x, int y);
    void ImageMapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OutInfoAboutFeudal(int f);
    void PopupMapPopup();

    // diplomacy
    void PMDipDeclTruePersEnemyClick();
    void PMDipDeclTrueEnemyClick();
    void PMDipDeclTruePeaceClick();
    void PMDipDeclTrueAllyClick();
    void PMDipMarkTruePersEnemyClick();
    void PMDipMarkTrueEnemyClick();
    void PMDipMarkTrueUnknownClick();
    void PMDipMarkTruePeaceClick();
    void PMDipMarkTrueAllyClick();
    void cbSelectDipModeClick();
    void rbDipClick();

    // pages
    void tsArmyShow();
    void tsFeudalShow();
    void tsDiplomacyShow();
    void BuildTreeRelation();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The client area below the menu bar.
    static constexpr int ClientWidth = 625;
    static constexpr int ClientHeight = 377;

    void CreateControls();
    void CreateInformationPage();
    void CreateMapPage();
    void CreateArmyPage();
    void CreateFeudalPage();
    void CreateDiplomacyPage();
    void CreatePopupMenu();
    // The items of "Игра" (and so F2 and F10) follow the menu's own enabled state.
    void SyncGameMenuItems();
    // The figures of feud f in the panel "Информация о феоде".
    void ShowFeudFigures(int f);
    // The relation commands: the mover's declared or true relation towards the
    // feud under the pointer.
    void DeclareRelation(int8_t code);
    void MarkRelation(int8_t code);
    // The index of the selected diplomacy view: 0 rbDipToFeudalShow .. 3 rbDipFromFeudalTrue.
    int SelectedDipView() const;
    // Leaving a game that differs from what the player last saved or loaded
    // asks whether to save it first; false when the player stays.
    bool LeaveAllowed();

    // The map as DrawColorMap would draw it now: its picture, the panel of the
    // feud and the diplomacy views offered.
    void PaintMap();

    QWidget* client_ = nullptr;
    Picture mapPicture_;
    bool mapStale_ = false;  // the map changed while its page was not shown
    bool menusSwitching_ = false;
    int mapDraws_ = 0;
    Picture gridBase_;  // the base drawn from the grid when no map picture is at hand
    // What the repaint found once for the game's base picture and grid; found
    // again only when either is another.
    std::unique_ptr<TMapPaint> paint_ = std::make_unique<TMapPaint>();
    uint64_t paintGrid_ = 0;  // the map dialog's grid stamp paint_ was last used with, 0 for the grid's own base
    BoxMessages boxMessages_;
    Messages* msgs_;
};
