#include "core/Program.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"

QString SaveFileArgument(const QStringList& arguments) {
    // The toolkit has taken its own options out: what is left after the
    // program's name is the file (a file manager passes one).
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].isEmpty()) return arguments[i];
    return QString();
}

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication(app);
    // The start menu is the main window; closing it quits, not closing the
    // last visible window (the start menu hides while a game is up).
    app.setQuitOnLastWindowClosed(false);
    GameRandom.SeedFromClock();
    CreateForms();
    const QString file = SaveFileArgument(QApplication::arguments());
    if (file.isEmpty()) {
        FormStartMenu->show();
    } else {
        // A saved game named at start opens as soon as the loop runs; a
        // refused one is reported, then the start menu comes as usual.
        QTimer::singleShot(0, [file] {
            if (!FormStartMenu->LoadGameFile(file)) FormStartMenu->show();
        });
    }
    const int result = app.exec();
    DestroyForms();
    return result;
}
