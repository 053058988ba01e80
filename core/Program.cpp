#include "core/Program.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "ui/UnitGuide.h"

const char* const GuideOption = "--guide";

QString SaveFileArgument(const QStringList& arguments) {
    // The toolkit has taken its own options out: what is left after the
    // program's name is the file (a file manager passes one).
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].isEmpty() && arguments[i] != QLatin1String(GuideOption)) return arguments[i];
    return QString();
}

bool GuideArgument(const QStringList& arguments) {
    return arguments.indexOf(QLatin1String(GuideOption), 1) > 0;
}

void StartWindows(const QStringList& arguments) {
    if (GuideArgument(arguments)) {
        // The guide on its own, read without a game: closing it ends the program.
        QGuiApplication::setQuitOnLastWindowClosed(true);
        ShowGuide();
        return;
    }
    // The start menu is the main window; closing it quits, not closing the
    // last visible window (the start menu hides while a game is up).
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QString file = SaveFileArgument(arguments);
    if (file.isEmpty()) {
        FormStartMenu->show();
    } else {
        // A saved game named at start opens as soon as the loop runs; a
        // refused one is reported, then the start menu comes as usual.
        QTimer::singleShot(0, [file] {
            if (!FormStartMenu->LoadGameFile(file)) FormStartMenu->show();
        });
    }
}

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    InitApplication(app);
    GameRandom.SeedFromClock();
    CreateForms();
    StartWindows(QApplication::arguments());
    const int result = app.exec();
    DestroyForms();
    return result;
}
