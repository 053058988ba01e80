#include "newgame/NewGameFlow.h"

#include "core/Forms.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitSelectMap.h"

void RunNewGameFlow() {
    if (!FormSelectMap || !FormStartMenu) return;
    FormStartMenu->hide();
    FormSelectMap->exec();
    FormStartMenu->show();
}
