// The game window's part of the turn cycle: the end of a turn, the turn
// preparation, the lennik commands, the garrison track bar and the army
// orders. The rules live in engine/; these handlers read the controls, call
// the rules on the game and show the result.
#include "ui/UnitGame.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>

#include "core/GameState.h"
#include "core/Names.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "save/AutoSave.h"
#include "ui/EventText.h"

namespace {

QString Weeks(int n) { return QString::number(n) + QStringLiteral(" (нед.)"); }

// The caption for feudal f, whose turn it is.
QString TurnTitle(int f) { return QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, f); }

// Between turns: pages and memo hidden, menus off. The pages themselves are
// filled when they are shown, the relation tree when its page is opened, not
// for every computer feudal's turn that nobody sees.
void ShowBetweenTurns(TFormGame& w) {
    // The focus leaves the pages first: hidden with it, they would look
    // through every control for the next one to take it.
    if (QWidget* focus = w.focusWidget(); focus && w.PCMain->isAncestorOf(focus)) focus->clearFocus();
    w.PCMain->hide();
    w.SetMenusEnabled(false);
    w.mEvent->hide();
}

// The caption names the feudal whose turn it is, and it shows above the
// battle reports; but it is set only when something can show it, before a box
// and when the cycle hands the turn over, not for every computer feudal's
// turn passed in silence. A name does not change in play, so the caption set
// late reads as it would have then.
class CaptionedMessages : public Messages {
public:
    CaptionedMessages(TFormGame& window, Messages& boxes) : w_(window), boxes_(boxes) {}
    void TurnOf(int f) { pending_ = f; }
    void Show() {
        if (pending_ == 0) return;
        w_.setWindowTitle(TurnTitle(pending_));
        pending_ = 0;
    }
    void Info(const QString& text) override {
        Show();
        boxes_.Info(text);
    }
    void Error(const QString& text) override {
        Show();
        boxes_.Error(text);
    }
    bool Confirm(const QString& text) override {
        Show();
        return boxes_.Confirm(text);
    }

private:
    TFormGame& w_;
    Messages& boxes_;
    int pending_ = 0;
};

// A player's turn begins: the memo shown empty, the menus on.
void ShowTurnBegun(TFormGame& w) {
    w.mEvent->show();
    w.SetMenusEnabled(true);
    // The last turn's lines taken out, not the whole document built anew.
    QTextCursor all(w.mEvent->document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
}

}  // namespace

void TFormGame::ItemEndTurnClick() {
    // The window's steps at the points of the cycle.
    struct WindowHooks : TurnHooks {
        TFormGame& w;
        CaptionedMessages& msgs;
        WindowHooks(TFormGame& window, CaptionedMessages& boxes) : w(window), msgs(boxes) {}
        // Only a player's own choice is stored; a computer feudal's turn
        // leaves the radio buttons as the last player set them.
        int SelectedDipView() override {
            return Game.Feuds[Game.CurrentFeud].Gamer == 1 ? w.SelectedDipView() : -1;
        }
        void BetweenTurns() override {
            ShowBetweenTurns(w);
            msgs.TurnOf(Game.CurrentFeud);
        }
        // A computer feudal's turn shows nothing: the rules prepare and play
        // it while the pages stay hidden, and they stay hidden until the next
        // human turn begins. The week's end does not always come in that
        // hidden stretch: when a human is last in the turn order, it runs as
        // soon as he ends his turn, before the window goes between turns, and
        // its battle reports stand over his pages.
        void TurnPrepared() override {
            if (Game.Feuds[Game.CurrentFeud].Gamer == 1) w.InitializeBeforeTurn();
        }
        void HumanTurnBegins() override {
            ShowTurnBegun(w);
            const QString line = CalledByLine(Game, Game.CurrentFeud);
            if (!line.isEmpty()) w.mEvent->appendPlainText(line);
            // What happened to him since his last turn began, oldest first.
            for (const QString& event : EventLines(Game, Game.CurrentFeud)) w.mEvent->appendPlainText(event);
            // The turn is written before the player acts; only a failure shows, last.
            if (const QString failed = AutoSaveTurn(Game); !failed.isEmpty()) w.mEvent->appendPlainText(failed);
        }
    };
    CaptionedMessages msgs(*this, Msgs());
    WindowHooks hooks(*this, msgs);
    EndTurn(Game, GameRandom, msgs, hooks);
    msgs.Show();
}

// The window's part of the turn preparation for CurrentFeud, after the rules
// have cleared his order and counted his garrison into ArmyToCastle.
void TFormGame::InitializeBeforeTurn() {
    const int c = Game.CurrentFeud;
    if (!IsFeud(Game, c)) return;
    const TFeud& f = Game.Feuds[c];

    // The information page made current while the pages are hidden, so that
    // only its own controls are shown.
    PCMain->setCurrentWidget(tsInformation);
    PCMain->show();
    LTime->setText(TimeText(Game.Year, Game.Week));
    LJobLennik->setText(Weeks(f.JobLennik));
    LJobVassal->setText(Weeks(f.JobVassal));
    LLen->setText(QString::number(f.Len));
    LLennik->setText(QString::number(f.Lennik));
    LPeasant->setText(QString::number(f.Peasant));
    LGrain->setText(QString::number(f.Grain));
    LCow->setText(QString::number(f.Cow));
    LHorse->setText(QString::number(f.Horse));
    LAddLennik->setText(QString::number(f.AddLennik));
    LAddGrain->setText(QString::number(f.AddGrain));
    LAddCow->setText(QString::number(f.AddCow));
    LAddHorse->setText(QString::number(f.AddHorse));

    // What the feudal did earlier in this turn stands: at a turn's start his
    // calls and his order are all clear, and a loaded game resumes mid-turn.
    btnCallLennik->setEnabled(f.LennikInService != 1 && f.CallLennik == 0);
    btnDismissLennik->setEnabled(f.LennikAppear > 0 && f.LennikInService == 1 && f.DismissLennik == 0);
    btnCallVassal->setEnabled(CanCallVassals(Game, c));
    LArmyCommand->setText(ArmyCommandText(Game, c));

    // The track bar is set quietly, then read back once, so that no
    // intermediate position reaches ArmyToCastle.
    const int most = f.LennikAppear > 0 ? f.LennikAppear : 0;
    {
        const QSignalBlocker quiet(tbArmy);
        tbArmy->setRange(0, most);
        tbArmy->setPageStep(most / 10);
        tbArmy->setTickInterval(most / 10);
        tbArmy->setValue(qBound(0, Game.ArmyToCastle, most));
    }
    tbArmyChange();
    tbArmy->setEnabled(f.ArmyFeud == c && f.LennikAppear > 0);
    LMapQuantityArmy->setText(f.LennikAppear > 0 ? QString::number(f.LennikAppear - Game.ArmyToCastle)
                                                   : QStringLiteral("0"));

    cbSelectDipMode->setChecked(f.DipMode != 0);
    QRadioButton* const views[] = {rbDipToFeudalShow, rbDipToFeudalTrue, rbDipFromFeudalShow,
                                   rbDipFromFeudalTrue};
    views[f.DipView <= 3 ? f.DipView : 0]->setChecked(true);
    cbSelectDipModeClick();  // draws the map, once, in the view just set
}

void TFormGame::btnCallLennikClick() {
    CallLenniks(Game);
    btnCallLennik->setEnabled(false);
}

void TFormGame::btnDismissLennikClick() {
    DismissLenniks(Game);
    btnCallLennik->setEnabled(false);
    btnDismissLennik->setEnabled(false);
}

void TFormGame::btnCallVassalClick() {
    CallVassals(Game);
    btnCallVassal->setEnabled(false);
}

void TFormGame::tbArmyChange() {
    Game.ArmyToCastle = tbArmy->value();
    const int appear = IsFeud(Game, Game.CurrentFeud) ? Game.Feuds[Game.CurrentFeud].LennikAppear : 0;
    const QString field = QString::number(static_cast<int64_t>(appear) - Game.ArmyToCastle);
    LArmyToCastle->setText(QStringLiteral("Замок: ") + QString::number(Game.ArmyToCastle));
    LArmyToArmy->setText(QStringLiteral("Войско: ") + field);
    LMapQuantityArmy->setText(field);
}

void TFormGame::PMItemArmyMoveClick() {
    if (OrderArmyMove(Game, Msgs())) LArmyCommand->setText(ArmyCommandText(Game, Game.CurrentFeud));
}

void TFormGame::PMItemArmyAttackClick() {
    if (OrderArmyAttack(Game)) LArmyCommand->setText(ArmyCommandText(Game, Game.CurrentFeud));
}

void TFormGame::PMItemArmyCancelClick() {
    CancelArmyOrder(Game);
    LArmyCommand->setText(QString());
}

void TFormGame::ShowLoadedTurn(const QString& path) {
    // The window as the turn cycle leaves it at a human turn's start, without
    // the cycle itself: the turn is not prepared again and no hook of a new
    // turn runs. A game is loaded before the window is up: the announcement
    // then stands alone, and there are no pages on the screen to hide first.
    if (isVisible()) ShowBetweenTurns(*this);
    setWindowTitle(TurnTitle(Game.CurrentFeud));
    Msgs().Info(AnnouncementText(Game, Game.CurrentFeud));
    InitializeBeforeTurn();
    ShowTurnBegun(*this);
    mEvent->appendPlainText(QStringLiteral("Игра загружена из файла ") + path);
}
