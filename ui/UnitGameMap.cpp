#include "ui/UnitGame.h"

void TFormGame::DrawColorMap() {}
void TFormGame::SetSelectFeud(int) {}
void TFormGame::ImageMapMouseMove(int, int) {}
void TFormGame::ImageMapMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TFormGame::OutInfoAboutFeudal(int) {}
void TFormGame::PopupMapPopup() {}
void TFormGame::PMDipDeclTruePersEnemyClick() {}
void TFormGame::PMDipDeclTrueEnemyClick() {}
void TFormGame::PMDipDeclTruePeaceClick() {}
void TFormGame::PMDipDeclTrueAllyClick() {}
void TFormGame::PMDipMarkTruePersEnemyClick() {}
void TFormGame::PMDipMarkTrueEnemyClick() {}
void TFormGame::PMDipMarkTrueUnknownClick() {}
void TFormGame::PMDipMarkTruePeaceClick() {}
void TFormGame::PMDipMarkTrueAllyClick() {}
void TFormGame::cbSelectDipModeClick() {}
void TFormGame::rbDipClick() {}
void TFormGame::BuildTreeRelation() {}
