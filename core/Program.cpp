#include "core/Program.h"

#include <QApplication>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication(app);
    // The start menu is the main window; closing it quits, not closing the
    // last visible window (the start menu hides while a game is up).
    app.setQuitOnLastWindowClosed(false);
    GameRandom.SeedFromClock();
    CreateForms();
    FormStartMenu->show();
    const int result = app.exec();
    DestroyForms();
    return result;
}
