// The map page, the diplomacy commands and the pages filled when shown.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTreeWidget>

#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/Names.h"
#include "newgame/UnitSelectMap.h"
#include "ui/GamePages.h"
#include "ui/Diplomacy.h"
#include "ui/MapRendering.h"
#include "ui/UnitGame.h"

// ---- the map

void TFormGame::DrawColorMap() {
    // The map is drawn for its page: while another page is shown, it is drawn
    // when the map page opens (or its picture is asked for), and turns that
    // never look at it draw nothing.
    if (PCMain->currentWidget() != tsMap) {
        mapStale_ = true;
        return;
    }
    PaintMap();
}

void TFormGame::PaintMap() {
    mapStale_ = false;
    // The accepted map's picture in the colours of its file; should that not
    // be the picture of this game's grid (a game loaded from a file), a plain
    // white-and-black picture of the grid. The paint prepared from the
    // accepted map keeps a copy of its grid, as long as the dialog has made
    // no other grid since: when the paint still holds this game's grid, so
    // does the dialog, and the grid is compared once, not twice.
    const Picture* base = nullptr;
    bool prepared = false;
    if (FormSelectMap) {
        const Picture& picture = FormSelectMap->MapPicture();
        if (paintGrid_ != 0 && paintGrid_ == FormSelectMap->GridStamp() && paint_->PreparedFor(Game, picture)) {
            base = &picture;
            prepared = true;
        } else if (FormSelectMap->IsPictureOf(Game)) {
            base = &picture;
        }
    }
    if (!base) {
        // Drawn again only when the grid is another than it was drawn from.
        if (!paint_->PreparedFor(Game, gridBase_)) BasePictureFromGrid(Game, gridBase_);
        base = &gridBase_;
    }
    // The areas each feud's fill reaches, the borders and the outlines are
    // found once per game and map, and reused by every repaint.
    if (!prepared && !paint_->PreparedFor(Game, *base)) paint_->Prepare(Game, *base);
    paintGrid_ = base == &gridBase_ ? 0 : FormSelectMap->GridStamp();
    // The colours, the borders and the mover's outline in one pass.
    ++mapDraws_;
    RepaintMap(Game, *paint_, SelectedDipView(), Game.CurrentFeud, mapPicture_);
    SetSelectFeud(Game.CurrentFeud);
}

void TFormGame::SetSelectFeud(int f) {
    OutInfoAboutFeudal(f);
    ShowFeudFigures(f);

    // The mover's outline is drawn with the colours.
    if (f != Game.CurrentFeud) {
        DrawBorders(*paint_, mapPicture_);
        DrawOutline(*paint_, f, mapPicture_);
    }
    ImageMap->Show(mapPicture_);

    // The true relations are the mover's own secret: only his views offer them.
    const bool own = f == Game.CurrentFeud;
    rbDipToFeudalTrue->setEnabled(own);
    rbDipFromFeudalTrue->setEnabled(own);
    if (!own) {
        if (rbDipToFeudalTrue->isChecked()) {
            rbDipToFeudalShow->setChecked(true);
            rbDipClick();
        }
        if (rbDipFromFeudalTrue->isChecked()) {
            rbDipFromFeudalShow->setChecked(true);
            rbDipClick();
        }
    }
}

void TFormGame::ShowFeudFigures(int f) {
    const TFeud* feud = FeudRecord(Game, f);
    if (!feud) return;
    LMapLen->setText(QString::number(feud->Len));
    LMapLennik->setText(QString::number(feud->Lennik));
    LMapPeasant->setText(QString::number(feud->Peasant));
    LMapCow->setText(QString::number(feud->Cow));
    LMapHorse->setText(QString::number(feud->Horse));
    LMapFertility->setText(FormatReal(feud->Fertility));
    LMapPastureCow->setText(FormatReal(feud->PastureCow));
    LMapPastureHorse->setText(FormatReal(feud->PastureHorse));
    LMapLennikAppear->setText(QString::number(feud->LennikAppear));
}

void TFormGame::ImageMapMouseMove(int x, int y) {
    // The control's edge can report a point just off the picture.
    if (x < 0 || y < 0 || x >= MapWidth || y >= MapHeight) return;
    Game.MapX = x;
    Game.MapY = y;
    const int f = FeudAt(Game, x, y);
    if (f == 0) {
        // Over a border: the name and figures go blank; the number of serving
        // lenniks and the senior or vassal line stay as they were.
        for (QLabel* l : {LMapNameFeud, LMapFeudal, LMapLen, LMapLennik, LMapPeasant, LMapCow, LMapHorse,
                          LMapFertility, LMapPastureCow, LMapPastureHorse})
            l->clear();
        return;
    }
    OutInfoAboutFeudal(f);
    ShowFeudFigures(f);
}

void TFormGame::OutInfoAboutFeudal(int f) {
    const TFeud* feud = FeudRecord(Game, f);
    if (!feud) return;
    LMapNameFeud->setText(FeudName(Game, f));
    LMapFeudal->setText(GetFullNameFeudal(Game, f));
    if (feud->Senior != 0 && f != Game.KingFeud) {
        LSenVas->setText(QStringLiteral("Сеньор:"));
        LMapSeniorVassal->setText(GetFullNameFeudal(Game, feud->Senior));
    } else {
        LSenVas->setText(QStringLiteral("Вассалов:"));
        LMapSeniorVassal->setText(QString::number(CountVassals(Game, f)));
    }
}

void TFormGame::ImageMapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    // Only the diplomacy map answers a press: it records the feud under the
    // pointer, and a left press on another feud shows that feud's relations.
    if (!DiplomacyMapOn(Game)) return;
    if (x < 0 || y < 0 || x >= MapWidth || y >= MapHeight) return;
    Game.MapX = x;
    Game.MapY = y;
    Game.CursorFeud = static_cast<uint8_t>(FeudAt(Game, x, y));
    if (Game.CursorFeud != 0 && Game.CursorFeud != Game.DipFeud && button == Qt::LeftButton) {
        Game.DipFeud = Game.CursorFeud;
        DrawColorMap();
    }
}

void TFormGame::PopupMapPopup() {
    const int c = Game.CurrentFeud;
    const TFeud* mover = FeudRecord(Game, c);
    const int cursor = FeudAt(Game, Game.MapX, Game.MapY);
    Game.CursorFeud = static_cast<uint8_t>(cursor);
    Game.SelectFeud = static_cast<uint8_t>(cursor);

    // Over a border line (or with no game) there is no feud to act on.
    if (cursor == 0 || !mover) {
        PMItemArmy->menuAction()->setEnabled(false);
        PMItemDiplomacy->menuAction()->setEnabled(false);
        PMItemArmyCancel->setEnabled(mover && mover->ArmyCommand != 0);
        return;
    }

    const bool own = cursor == c;
    PMItemArmyAttack->setEnabled(!own);
    PMItemDiplomacy->menuAction()->setEnabled(!own);

    if (mover->LennikAppear > 0 && mover->LennikAppear > Game.ArmyToCastle) {
        // A field army exists: where it stands decides what it may be sent to do.
        PMItemArmy->menuAction()->setEnabled(true);
        const TFeud* army = FeudRecord(Game, mover->ArmyFeud);
        const bool borders = army && army->Neighbour[cursor] == 1;
        if (mover->ArmyFeud == cursor) {
            PMItemArmyMove->setEnabled(false);
            PMItemArmyAttack->setEnabled(false);
            PMItemArmyDefence->menuAction()->setEnabled(true);
        }
        if (mover->ArmyFeud != cursor && borders) {
            PMItemArmyMove->setEnabled(true);
            PMItemArmyAttack->setEnabled(true);
            PMItemArmyDefence->menuAction()->setEnabled(false);
        }
        if (!borders) {
            PMItemArmyMove->setEnabled(false);
            PMItemArmyAttack->setEnabled(false);
            PMItemArmyDefence->menuAction()->setEnabled(false);
        }
    } else {
        PMItemArmy->menuAction()->setEnabled(false);
    }
    PMItemArmyCancel->setEnabled(mover->ArmyCommand != 0);
}

// ---- diplomacy

void TFormGame::DeclareRelation(int8_t code) {
    // The target is the feud under the pointer, taken again as the popup took it.
    Game.CursorFeud = static_cast<uint8_t>(FeudAt(Game, Game.MapX, Game.MapY));
    if (!SetRelation(Game, RelationDeclared, Game.CursorFeud, code)) return;
    if (rbDipToFeudalShow->isEnabledTo(gbColorMap)) DrawColorMap();
}

void TFormGame::MarkRelation(int8_t code) {
    Game.CursorFeud = static_cast<uint8_t>(FeudAt(Game, Game.MapX, Game.MapY));
    if (!SetRelation(Game, RelationTrue, Game.CursorFeud, code)) return;
    if (rbDipToFeudalTrue->isEnabledTo(gbColorMap)) DrawColorMap();
}

void TFormGame::PMDipDeclTruePersEnemyClick() { DeclareRelation(PersEnemy); }
void TFormGame::PMDipDeclTrueEnemyClick() { DeclareRelation(Enemy); }
void TFormGame::PMDipDeclTruePeaceClick() { DeclareRelation(Peace); }
void TFormGame::PMDipDeclTrueAllyClick() { DeclareRelation(Ally); }
void TFormGame::PMDipMarkTruePersEnemyClick() { MarkRelation(PersEnemy); }
void TFormGame::PMDipMarkTrueEnemyClick() { MarkRelation(Enemy); }
void TFormGame::PMDipMarkTrueUnknownClick() { MarkRelation(Unknown); }
void TFormGame::PMDipMarkTruePeaceClick() { MarkRelation(Peace); }
void TFormGame::PMDipMarkTrueAllyClick() { MarkRelation(Ally); }

void TFormGame::cbSelectDipModeClick() {
    TFeud* mover = FeudRecord(Game, Game.CurrentFeud);
    if (cbSelectDipMode->isChecked()) {
        gbColorMap->setEnabled(true);
        if (mover) mover->DipMode = 1;
    } else {
        // Back on the political map the next diplomacy map starts from the mover.
        Game.DipFeud = Game.CurrentFeud;
        gbColorMap->setEnabled(false);
        if (mover) mover->DipMode = 0;
    }
    DrawColorMap();
}

void TFormGame::rbDipClick() { DrawColorMap(); }

// ---- pages

void TFormGame::tsFeudalShow() {
    const TFeud* f = FeudRecord(Game, Game.CurrentFeud);
    if (!f) return;
    const struct {
        QLabel* label;
        int32_t value;
    } rows[] = {
        {LFeudalLevel, f->Level},
        {LFeudalAuth, f->Auth},
        {LFeudalLevelSpear, f->LevelSpear},
        {LFeudalLevelSword, f->LevelSword},
        {LFeudalLevelRiding, f->LevelRiding},
        {LFeudalHealth, f->Health},
        {LFeudalStrength, f->Strength},
        {LFeudalEndurance, f->Endurance},
        {LFeudalDiscipline, f->Discipline},
        {LFeudalMorale, f->Morale},
        {LHorseSpeed, f->HorseSpeed},
        {LHorseStrength, f->HorseStrength},
        {LHorseEndurance, f->HorseEndurance},
        {LHorseSize, f->HorseSize},
        {LHorseArmourHead, f->HorseArmourHead},
        {LHorseArmourBody, f->HorseArmourBody},
        {LFeudalWeaponSpear, f->WeaponSpear},
        {LFeudalWeaponSword, f->WeaponSword},
        {LFeudalHelmet, f->Helmet},
        {LFeudalDefence, f->Defence},
        {LFeudalShield, f->Shield},
        {LFEudalHand, f->Hand},
        {LFeudalGlove, f->Glove},
        {LFeudalLeg, f->Leg},
        {LFeudalVictory, f->Victory},
        {LFeudalLose, f->Lose},
        {LFeudalVictorySiege, f->VictorySiege},
        {LFeudalLoseSiege, f->LoseSiege},
        {LFeudalKillEnemy, f->KillEnemy},
        {LFeudalKillOur, f->KillOur},
        {LFeudalPrisonerEnemy, f->PrisonerEnemy},
        {LFeudalPrisonerOur, f->PrisonerOur},
    };
    for (const auto& row : rows) row.label->setText(QString::number(row.value));
}

void TFormGame::tsArmyShow() {
    const ArmySummary army = SummarizeArmy(Game, Game.CurrentFeud);
    LLennikQuantity->setText(QString::number(army.Count));
    QLabel* averages[ArmySummary::Attributes] = {LLennikSpear,     LLennikSword,     LLennikRiding,     LLennikHealth,
                                                 LLennikStrength,  LLennikEndurance, LLennikArmour,     LLennikMorale,
                                                 LLennikDiscipline, LLennikBattle};
    if (army.Count == 0) {
        LLennikPercent->clear();
        for (QLabel* l : averages) l->clear();
        return;
    }
    LLennikPercent->setText(army.HasTurnout ? QString::number(army.Turnout) : QString());
    for (int a = 0; a < ArmySummary::Attributes; ++a) averages[a]->setText(QString::number(army.Average[a]));
}

void TFormGame::BuildTreeRelation() {
    TreeRelation->clear();
    RealmTree tree;
    BuildRealmTree(Game, tree);
    for (int n = 0; n < tree.Count; ++n) {
        const RealmTree::Node& node = tree.Nodes[n];
        auto* top = new QTreeWidgetItem(TreeRelation, QStringList(Game.Feuds[node.Feud].NameFeudal.ToQString()));
        for (int v = 0; v < node.VassalCount; ++v)
            new QTreeWidgetItem(top, QStringList(Game.Feuds[node.Vassals[v]].NameFeudal.ToQString()));
    }
}
