// What the player waits for, through the real windows offscreen: the game on
// the bundled twenty-feud map, one human king and nineteen computer feudals.
//   click_repaint  a left click on the diplomacy map that shows another
//                  feudal's relations, until the map control holds the new
//                  picture; beside one conversion of the map to a QPixmap
//   end_turn       "Конец хода" through the game window until the next human
//                  turn, the boxes answered quietly and the autosave off;
//                  beside the rules alone doing the same turns on the same state
//   pages          the least the window must do around the box that names the
//                  next player: the pages hidden and shown again with the
//                  information page current, beside the same rules
//   load_game      the start menu's load of a save file until the game window
//                  is up and painted; beside one copy of the save record's bytes
//   show_window    the least the window must do for a load: shown until its
//                  first paint, nothing loaded, beside the same copy
// The autosave of a turn is timed on its own, and the reading of the save
// file without the window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/Names.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "engine/TurnCycle.h"
#include "newgame/PlayerSeats.h"
#include "newgame/UnitSelectMap.h"
#include "newgame/WorldGeneration.h"
#include "save/AutoSave.h"
#include "save/SaveGame.h"
#include "ui/UnitGame.h"

namespace {

// Every box answered at once, as a player who only presses OK and Yes.
struct QuietMessages : Messages {
    void Info(const QString&) override {}
    void Error(const QString&) override {}
    bool Confirm(const QString&) override { return true; }
} quiet;

// The game at the king's turn, and the random source as it stood then.
std::unique_ptr<TGameState> start;
Random startRandom;
std::unique_ptr<TGameState> scratch;  // the rules' own copy
QString saveFile;
constexpr size_t RecordBytes = 3607552;
std::vector<uint8_t> copyFrom(RecordBytes, 1), copyTo(RecordBytes);

// A new game as the dialogs make it: the map accepted in the map dialog, the
// king seated on feud 1, the others left to the computer, up to his turn.
bool NewGame() {
    FormSelectMap->SetOpenMapFileName(QStringLiteral(MARCHFELL_BENCH_MAPS "/twenty.bmp"));
    FormSelectMap->Initialize();
    if (!FormSelectMap->MapAccepted()) return false;
    FormSelectMap->InitializeMap();
    if (Game.QuantityFeud != 20) return false;
    GenerateWorld(Game, TStartingConditions{});
    BeginSeating(Game);
    Picture marks;
    marks.CopyFrom(FormSelectMap->MapPicture());
    Game.NameGamer.Assign(QStringLiteral("Игрок"));
    if (!PickFeud(Game, marks, Game.Feuds[1].PosX, Game.Feuds[1].PosY)) return false;
    ConfirmFeud(Game, marks, TSeatStatus::King);
    SeatPlayer(Game, 1);
    Game.QuantityGamer = 1;
    GameRandom.Seed(24);
    SettleCrown(Game, GameRandom);
    SettleVassalsAndRelations(Game, GameRandom);
    FormGame->SetMessages(&quiet);
    FormGame->ItemEndTurnClick();  // the first turn, up to the king
    // A few weeks in, so that lenniks serve and armies march.
    for (int week = 0; week < 3; ++week) FormGame->ItemEndTurnClick();
    if (Game.CurrentFeud != 1) return false;
    *start = Game;
    startRandom = GameRandom;
    return true;
}

// Back to the king's turn as it was saved.
void RestoreStart() {
    Game = *start;
    GameRandom = startRandom;
}

// The king's turn in the window as he sees it: the map page, the diplomacy map on.
void ShowKingsMap() {
    RestoreStart();
    FormGame->show();
    FormGame->InitializeBeforeTurn();
    FormGame->PCMain->setCurrentWidget(FormGame->tsMap);
    FormGame->cbSelectDipMode->setChecked(true);
    FormGame->cbSelectDipModeClick();
    QCoreApplication::processEvents();
}

// The map's pixels put into a pixmap of their own. QPixmap::fromImage alone
// only shares the picture's buffer, which is already in the screen's format;
// the pixels are copied when the picture is next written while the pixmap
// still holds them, and that copy is done here at once.
void Convert(benchmark::State& st) {
    const Picture& map = FormGame->MapPicture();
    for (auto _ : st) {
        QPixmap pixmap = QPixmap::fromImage(map.ToImage().copy());
        benchmark::DoNotOptimize(pixmap);
    }
}

void ClickRepaint(benchmark::State& st) {
    ShowKingsMap();
    // Two feuds other than the king's, clicked in turn: each click shows
    // another feudal's relations.
    const QPoint at[2] = {{Game.Feuds[5].PosX, Game.Feuds[5].PosY}, {Game.Feuds[12].PosX, Game.Feuds[12].PosY}};
    int n = 0;
    for (auto _ : st) {
        const QPoint p = at[n];
        n ^= 1;
        FormGame->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    }
    QCoreApplication::processEvents();
}

void EndTurnThroughWindow(benchmark::State& st) {
    ShowKingsMap();
    for (auto _ : st) {
        st.PauseTiming();
        RestoreStart();
        QCoreApplication::processEvents();
        st.ResumeTiming();
        FormGame->ItemEndTurnClick();
    }
    if (Game.CurrentFeud != 1) st.SkipWithError("the king's turn did not come back");
}

// The page control hidden and shown again, as between two turns of the king,
// the information page current and filled: what the window cannot leave out
// of "Конец хода" while the box that names the next player must stand over
// hidden pages.
void HideShowPages(benchmark::State& st) {
    ShowKingsMap();  // the pages filled for the king's turn
    FormGame->PCMain->setCurrentWidget(FormGame->tsInformation);
    QCoreApplication::processEvents();
    for (auto _ : st) {
        FormGame->PCMain->hide();
        FormGame->PCMain->show();
        st.PauseTiming();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    if (FormGame->PCMain->currentWidget() != FormGame->tsInformation) st.SkipWithError("another page is current");
}

void EndTurnRules(benchmark::State& st) {
    Random random;
    TurnHooks hooks;
    for (auto _ : st) {
        st.PauseTiming();
        *scratch = *start;
        random = startRandom;
        st.ResumeTiming();
        EndTurn(*scratch, random, quiet, hooks);
    }
    if (scratch->CurrentFeud != 1) st.SkipWithError("the king's turn did not come back");
}

void AutoSave(benchmark::State& st) {
    AutoSaveEnabled = true;
    for (auto _ : st) {
        ++scratch->Year;  // another record each time, so that each is written
        const QString failed = AutoSaveTurn(*scratch);
        if (!failed.isEmpty()) {
            st.SkipWithError(failed.toStdString().c_str());
            break;
        }
    }
    AutoSaveEnabled = false;
}

// Sees the game window's first paint after it is shown.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FormGame && event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

// Once the window is up and painted, the clock stops and the player leaves.
struct Leaving {
    benchmark::State* st = nullptr;
    FirstPaint paint;
    bool waiting = false;
    void Check() {
        if (!waiting) return;
        if (!paint.painted || !FormGame->isVisible()) {
            QTimer::singleShot(0, FormGame, [this] { Check(); });
            return;
        }
        waiting = false;
        st->PauseTiming();
        NoteGameSaved(Game);  // no question on leaving
        FormGame->ItemExit->trigger();
    }
};

void LoadGame(benchmark::State& st) {
    FormGame->hide();
    QCoreApplication::processEvents();
    Leaving leaving;
    leaving.st = &st;
    FormGame->installEventFilter(&leaving.paint);
    bool ok = true;
    for (auto _ : st) {
        leaving.paint.painted = false;
        leaving.waiting = true;
        QTimer::singleShot(0, FormGame, [&leaving] { leaving.Check(); });
        const bool loaded = FormStartMenu->LoadGameFile(saveFile);
        if (!loaded) {
            leaving.waiting = false;
            ok = false;
            break;
        }
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    FormGame->removeEventFilter(&leaving.paint);
    if (!ok) st.SkipWithError("the save was refused");
}

// The game window shown until its first paint, nothing loaded: what the
// window cannot leave out of a load however fast the file is read.
void ShowWindow(benchmark::State& st) {
    ShowKingsMap();
    FormGame->PCMain->setCurrentWidget(FormGame->tsInformation);
    FormGame->hide();
    QCoreApplication::processEvents();
    FirstPaint paint;
    FormGame->installEventFilter(&paint);
    for (auto _ : st) {
        paint.painted = false;
        FormGame->show();
        QElapsedTimer waited;
        waited.start();
        while (!paint.painted && waited.elapsed() < 5000) QCoreApplication::processEvents();
        st.PauseTiming();
        if (!paint.painted) {
            st.SkipWithError("the window was never painted");
            break;
        }
        FormGame->hide();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    FormGame->removeEventFilter(&paint);
}

// The reading alone, for comparison: the file read, checked and decoded into
// a game, no window.
void ReadSave(benchmark::State& st) {
    for (auto _ : st)
        if (!ReadSaveFile(saveFile, *scratch, nullptr)) st.SkipWithError("the save was refused");
}

void Copy(benchmark::State& st) {
    for (auto _ : st) {
        std::memcpy(copyTo.data(), copyFrom.data(), RecordBytes);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The settings and the saves go to a scratch home, never the user's.
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    InitApplication(app);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
    AutoSaveEnabled = false;  // timed on its own

    CreateForms();
    start = std::make_unique<TGameState>();
    scratch = std::make_unique<TGameState>();
    if (!NewGame()) {
        std::fprintf(stderr, "the bundled map gave no game\n");
        return 1;
    }
    // The save file of the king's turn.
    {
        auto record = std::make_unique<TSaveRecord>();
        BuildSaveRecord(*start, *record);
        if (record->size() != RecordBytes) std::fprintf(stderr, "the save record holds %zu bytes\n", record->size());
        saveFile = QDir(home.path()).filePath(QStringLiteral("Поход.mcs"));
        if (!WriteSaveFile(saveFile, *record, nullptr)) return 1;
    }
    *scratch = *start;

    ShowKingsMap();

    const auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("convert", Convert)->Unit(us);
    benchmark::RegisterBenchmark("click_repaint", ClickRepaint)->Unit(us);
    benchmark::RegisterBenchmark("end_turn", EndTurnThroughWindow)->Unit(us);
    benchmark::RegisterBenchmark("rules", EndTurnRules)->Unit(us);
    benchmark::RegisterBenchmark("pages", HideShowPages)->Unit(us);
    benchmark::RegisterBenchmark("autosave", AutoSave)->Unit(us);
    benchmark::RegisterBenchmark("load_game", LoadGame)->Unit(us);
    benchmark::RegisterBenchmark("read_save", ReadSave)->Unit(us);
    benchmark::RegisterBenchmark("show_window", ShowWindow)->Unit(us);
    benchmark::RegisterBenchmark("copy", Copy)->Unit(us);
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"click_repaint/convert", "click_repaint", "convert"},
                                             {"end_turn/rules", "end_turn", "rules"},
                                             {"pages/rules", "pages", "rules"},
                                             {"load_game/copy", "load_game", "copy"},
                                             {"show_window/copy", "show_window", "copy"}});
    FormGame->hide();
    DestroyForms();
    return result;
}
