#include "ui/UnitGame.h"

void TFormGame::ItemSaveGameClick() {}
