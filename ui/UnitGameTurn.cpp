#include "ui/UnitGame.h"

void TFormGame::ItemEndTurnClick() {}
void TFormGame::InitializeBeforeTurn() {}
void TFormGame::AI() {}
void TFormGame::NextTurn() {}
void TFormGame::btnCallLennikClick() {}
void TFormGame::btnDismissLennikClick() {}
void TFormGame::btnCallVassalClick() {}
void TFormGame::tbArmyChange() {}
void TFormGame::PMItemArmyMoveClick() {}
void TFormGame::PMItemArmyAttackClick() {}
void TFormGame::PMItemArmyCancelClick() {}
