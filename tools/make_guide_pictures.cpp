// Makes the pictures of the player's guide (docs/guide/): screenshots of the
// real windows, drawn offscreen through a short game on the bundled map with a
// fixed random seed, the political map as each standing of lord sees it, and
// the colour swatches of the map legend, taken from the program's own colours.
//
//   make_guide_pictures <picture folder> [<map file>]
//
// Run it with QT_QPA_PLATFORM=offscreen and a scratch HOME (the start menu
// writes its settings there); tools/make-guide-pictures.sh does both. It
// prints what the game reported (announcements, battles) and the facts of the
// map that the guide quotes.
#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Names.h"
#include "core/Picture.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/UnitSelectMap.h"
#include "newgame/WorldGeneration.h"
#include "settings/UnitSetUp.h"
#include "ui/MapRendering.h"
#include "ui/UnitGame.h"

namespace {

QTextStream out(stdout);
QString folder;

// Messages the game would show in boxes, printed instead; every question is
// answered "Yes".
class PrintedMessages : public Messages {
public:
    void Info(const QString& text) override { out << "  [i] " << text << "\n"; }
    void Error(const QString& text) override { out << "  [!] " << text << "\n"; }
    bool Confirm(const QString& text) override {
        out << "  [?] " << text << " -> Да\n";
        return true;
    }
};
PrintedMessages printed;

// Screenshots and map pictures have few colours: a palette of their own keeps
// the PNG small without changing a pixel. Pictures with more colours (the
// start menu's painting) are reduced to 256 with dithering.
void Save(const QImage& image, const QString& name) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage small = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::PreferDither);
    const QString path = folder + QLatin1Char('/') + name;
    if (!small.save(path, "PNG", 0)) {
        out << "cannot write " << path << "\n";
        out.flush();
        std::exit(1);
    }
    out << "wrote " << path << " (" << QFileInfo(path).size() << " bytes)\n";
}

void Grab(QWidget* w, const QString& name) {
    QApplication::processEvents();
    Save(w->grab().toImage(), name);
}

QImage MapImageOf(const Picture& p) { return p.ToImage(); }

// The political map as mover sees it, from a copy of the state in which mover
// moves, with its black borders and the white outline of his own feud.
void SaveStanding(const TGameState& from, const Picture& base, int mover, const QString& name) {
    static TGameState s;
    s = from;
    s.CurrentFeud = static_cast<uint8_t>(mover);
    s.DipFeud = static_cast<uint8_t>(mover);
    s.Feuds[mover].DipMode = 0;
    Picture p;
    RenderColorMap(s, base, DipViewToFeudalShow, p);
    DrawBorders(s, p);
    DrawOutline(s, mover, p);
    Save(MapImageOf(p), name);
}

void SaveSwatch(Rgb c, const QString& name) {
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(c.r, c.g, c.b));
    // A thin grey frame, so that white and yellow show on a white page.
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, 0, qRgb(96, 96, 96));
        image.setPixel(x, image.height() - 1, qRgb(96, 96, 96));
    }
    for (int y = 0; y < image.height(); ++y) {
        image.setPixel(0, y, qRgb(96, 96, 96));
        image.setPixel(image.width() - 1, y, qRgb(96, 96, 96));
    }
    Save(image, name);
}

QString Title(int f) { return GetFullNameFeudal(Game, f); }

QString Standing(int f) {
    const int senior = Game.Feuds[f].Senior;
    if (f == Game.KingFeud) return QStringLiteral("king");
    if (senior == 0) return QStringLiteral("independent");
    if (senior == Game.KingFeud) return QStringLiteral("vassal of the king");
    return QStringLiteral("vassal of ") + QString::number(senior);
}

void PrintFacts() {
    out << "map: " << Game.QuantityFeud << " feuds\n";
    for (int i = 1; i <= Game.QuantityFeud; ++i) {
        const TFeud& f = Game.Feuds[i];
        out << "  " << i << " " << FeudName(Game, i) << ": Len " << f.Len << ", Lennik " << f.Lennik << ", CrossTime "
            << f.CrossTime << ", anchor " << f.PosX << "," << f.PosY << ", neighbours";
        for (int j = 1; j <= Game.QuantityFeud; ++j)
            if (j != i && f.Neighbour[j]) out << " " << j;
        out << "\n";
    }
}

void PrintRealm() {
    for (int i = 1; i <= Game.QuantityFeud; ++i)
        out << "  " << i << " " << Title(i) << " (" << Standing(i) << ")" << (Game.Feuds[i].Gamer ? ", player" : "")
            << ", serving " << Game.Feuds[i].LennikAppear << ", army at " << Game.Feuds[i].ArmyFeud << "\n";
}

// A player seated through the real name and feud dialogs; pictures of both
// are taken for the first player.
void SeatPlayer(int seat, const QString& name, int feud, QRadioButton* status, bool pictures) {
    Game.SelectFeud = 0;
    FormInputNameGamer->LInputName->setText(QStringLiteral("Феодал №") + QString::number(seat) +
                                            QStringLiteral(", введите имя:"));
    FormInputNameGamer->EditNameGamer->setText(name);
    FormInputNameGamer->show();
    if (pictures) Grab(FormInputNameGamer, QStringLiteral("input-name.png"));
    FormInputNameGamer->hide();
    Game.NameGamer.Assign(name);

    TFormSelectFeud* d = FormSelectFeud;
    d->btnOk->setEnabled(false);
    d->LFeud->clear();
    d->setWindowTitle(QStringLiteral("Феодал ") + name + QStringLiteral(" выбирает родовой феод"));
    d->show();
    status->setChecked(true);
    const TFeud& f = Game.Feuds[feud];
    d->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, f.PosX, f.PosY);
    d->ImageMapMouseMove(f.PosX, f.PosY);
    if (pictures) Grab(d, QStringLiteral("select-feud.png"));
    d->btnOkClick();
    d->hide();
    ::SeatPlayer(Game, seat);
}

void ShowPage(QWidget* page) {
    FormGame->PCMain->setCurrentWidget(page);
    QApplication::processEvents();
}

// Opens the map's popup over feud f as a right click there would.
void PopupOver(int f) {
    Game.MapX = Game.Feuds[f].PosX;
    Game.MapY = Game.Feuds[f].PosY;
    FormGame->PopupMapPopup();
}

void EndTurn(const char* who) {
    out << "-- " << who << " ends his turn\n";
    FormGame->ItemEndTurnClick();
    out << "   now: " << FormGame->LTime->text() << ", " << FormGame->windowTitle() << "\n";
}

// A picture of the given size, black, with white (or coloured) rectangles.
struct Rect {
    int x0, y0, x1, y1;  // inclusive
    Rgb colour;
};
Picture Drawn(int width, int height, std::initializer_list<Rect> rects) {
    Picture p(width, height, Colors::Black);
    for (const Rect& r : rects)
        for (int y = r.y0; y <= r.y1; ++y)
            for (int x = r.x0; x <= r.x1; ++x) p.SetPixel(x, y, r.colour);
    return p;
}

// Loads a map file into the real map dialog as "Выбрать" would, answering
// each error box with OK; prints the texts of the boxes.
void TryMap(const QString& label, const QString& path) {
    out << "map " << label << ":\n";
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            out << "  [!] " << box->text() << "\n";
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(10);
    FormSelectMap->SetOpenMapFileName(path);
    FormSelectMap->Initialize();
    out << "  feuds found: " << Game.QuantityFeud << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's own font, icon and toolkit words, as the player sees them.
    InitApplication(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_guide_pictures <picture folder> [<map file>]\n");
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const QString map = argc > 2 ? QString::fromLocal8Bit(argv[2]) : DataFilePath(QStringLiteral("maps/base.bmp"));

    CreateForms();
    FormGame->SetMessages(&printed);

    // The legend's swatches, from the colours the map is painted with.
    const struct {
        Rgb colour;
        const char* name;
    } swatches[] = {{Colors::White, "white"}, {Colors::Black, "black"},   {Colors::Red, "red"},
                    {Colors::Maroon, "maroon"}, {Colors::Yellow, "yellow"}, {Colors::Green, "green"},
                    {Colors::Lime, "lime"},   {Colors::Aqua, "aqua"},     {Colors::Navy, "navy"},
                    {Colors::Purple, "purple"}};
    for (const auto& s : swatches) SaveSwatch(s.colour, QStringLiteral("swatch-%1.png").arg(QLatin1String(s.name)));

    // The start menu and the settings dialog, as a first run shows them.
    FormStartMenu->show();
    Grab(FormStartMenu, QStringLiteral("start-menu.png"));
    FormSetUp->show();
    Grab(FormSetUp, QStringLiteral("settings.png"));
    FormSetUp->hide();

    // The map dialog with the bundled map and two players.
    FormSelectMap->SetOpenMapFileName(map);
    FormSelectMap->Initialize();
    BeginSeating(Game);
    FormSelectMap->show();
    FormSelectMap->sbUpClick();
    Grab(FormSelectMap, QStringLiteral("select-map.png"));
    FormSelectMap->btnOkClick();
    FormSelectMap->hide();
    PrintFacts();

    // Two players: Ярослав takes the crown in feud 6, Всеволод stays
    // independent in feud 11. The computer's draws come from a fixed seed.
    constexpr int kingFeud = 6;
    constexpr int ownFeud = 11;
    FormSelectFeud->rbKing->setChecked(true);
    SeatPlayer(1, QStringLiteral("Ярослав"), kingFeud, FormSelectFeud->rbKing, true);
    SeatPlayer(2, QStringLiteral("Всеволод"), ownFeud, FormSelectFeud->rbIndependent, false);
    GameRandom.Seed(qEnvironmentVariableIsSet("GUIDE_SEED") ? qEnvironmentVariableIntValue("GUIDE_SEED") : 26);
    SettleCrown(Game, GameRandom);
    SettleVassalsAndRelations(Game, GameRandom);
    FormStartMenu->hide();

    out << "-- the game begins\n";
    FormGame->ItemEndTurnClick();
    FormGame->rbDipToFeudalShow->setChecked(true);
    FormGame->show();
    PrintRealm();

    // The standings' maps, from the first turn, before any army gathers.
    // A vassal of an independent lord appears only after a battle; one is
    // made here by hand for the picture: feud 12 under Всеволод.
    const Picture& base = FormSelectMap->MapPicture();
    {
        static TGameState realm;
        realm = Game;
        int vassalOfKing = 0, independent = 0;
        for (int i = 1; i <= realm.QuantityFeud; ++i) {
            if (i == realm.KingFeud) continue;
            if (!vassalOfKing && realm.Feuds[i].Senior == realm.KingFeud) vassalOfKing = i;
        }
        independent = ownFeud;
        realm.Feuds[12].Senior = static_cast<uint8_t>(independent);
        SaveStanding(realm, base, realm.KingFeud, QStringLiteral("map-king.png"));
        SaveStanding(realm, base, vassalOfKing, QStringLiteral("map-vassal-of-king.png"));
        SaveStanding(realm, base, independent, QStringLiteral("map-independent.png"));
        SaveStanding(realm, base, 12, QStringLiteral("map-vassal-of-independent.png"));
        out << "standings: king " << realm.KingFeud << ", vassal of the king " << vassalOfKing << ", independent "
            << independent << ", vassal of the independent 12\n";
    }

    // Week 1: both players call their lenniks.
    FormGame->btnCallLennikClick();
    EndTurn("Ярослав");
    FormGame->btnCallLennikClick();
    EndTurn("Всеволод");
    PrintRealm();

    // Week 2: Ярослав tries the track bar, then sends all his lenniks to
    // take a neighbouring independent feud.
    ShowPage(FormGame->tsInformation);
    Grab(FormGame, QStringLiteral("game-information.png"));
    ShowPage(FormGame->tsArmy);
    FormGame->tbArmy->setValue(10);
    Grab(FormGame, QStringLiteral("game-army.png"));
    FormGame->tbArmy->setValue(0);
    int target = 0;
    for (int j = 1; j <= Game.QuantityFeud && !target; ++j)
        if (j != kingFeud && Game.Feuds[kingFeud].Neighbour[j] && Game.Feuds[j].Senior == 0 && !Game.Feuds[j].Gamer)
            target = j;
    out << "target: " << target << " " << FeudName(Game, target) << "\n";
    ShowPage(FormGame->tsMap);
    PopupOver(target);
    // The popup's two submenus, as the right click over the target offers them.
    for (auto [menu, name] : {std::pair{FormGame->PMItemArmy, "menu-army.png"},
                              std::pair{FormGame->PMItemDiplomacy, "menu-diplomacy.png"}}) {
        menu->adjustSize();
        Grab(menu, QLatin1String(name));
    }
    FormGame->PMItemArmyAttackClick();
    FormGame->ImageMapMouseMove(Game.Feuds[target].PosX, Game.Feuds[target].PosY);
    Grab(FormGame, QStringLiteral("game-map.png"));
    ShowPage(FormGame->tsFeudal);
    Grab(FormGame, QStringLiteral("game-feudal.png"));
    EndTurn("Ярослав");

    // Всеволод looks at his relations on the diplomacy map.
    ShowPage(FormGame->tsMap);
    FormGame->cbSelectDipMode->setChecked(true);
    FormGame->cbSelectDipModeClick();
    Grab(FormGame, QStringLiteral("game-diplomacy-map.png"));
    FormGame->cbSelectDipMode->setChecked(false);
    FormGame->cbSelectDipModeClick();
    EndTurn("Всеволод");
    PrintRealm();

    // Week 3: the realm after the battle.
    ShowPage(FormGame->tsMap);
    FormGame->ImageMapMouseMove(Game.Feuds[target].PosX, Game.Feuds[target].PosY);
    Grab(FormGame, QStringLiteral("game-map-after-battle.png"));
    ShowPage(FormGame->tsDiplomacy);
    // The nodes come collapsed; the player opens the king's with a click.
    FormGame->TreeRelation->expandAll();
    Grab(FormGame, QStringLiteral("game-tree.png"));

    FormGame->hide();

    // The worked example of the guide's chapter on maps, and broken maps with
    // the errors the map dialog gives them.
    QTemporaryDir scratch;
    const Rgb paleGreen{200, 230, 200};
    const Picture example = Drawn(400, 200,
                                  {{10, 10, 109, 89, Colors::White},     // A
                                   {111, 10, 170, 89, Colors::White},    // B, one black column from A
                                   {150, 40, 159, 49, Colors::Blue},     // a pure blue hole in B
                                   {173, 10, 272, 89, paleGreen},        // D, two columns from B
                                   {173, 91, 272, 130, Colors::White},   // E, one row below D
                                   {300, 10, 304, 14, Colors::White},    // F, 25 pixels
                                   {10, 92, 109, 171, Colors::White}});  // C, two rows below A
    const QString examplePath = scratch.filePath(QStringLiteral("example.bmp"));
    example.ToImage().save(examplePath, "BMP");
    Save(example.ToImage().scaled(800, 400), QStringLiteral("example-map.png"));
    TryMap(QStringLiteral("example"), examplePath);
    BeginSeating(Game);
    FormSelectMap->show();
    FormSelectMap->btnOkClick();
    FormSelectMap->hide();
    PrintFacts();

    const QString wrongSize = scratch.filePath(QStringLiteral("wrong-size.bmp"));
    Drawn(300, 200, {{0, 0, 299, 199, Colors::White}}).ToImage().save(wrongSize, "BMP");
    TryMap(QStringLiteral("300 x 200"), wrongSize);
    const QString one = scratch.filePath(QStringLiteral("one.bmp"));
    Drawn(400, 200, {{0, 0, 399, 199, Colors::White}}).ToImage().save(one, "BMP");
    TryMap(QStringLiteral("one feud"), one);
    Picture stripes(400, 200, Colors::White);
    for (int k = 1; k <= 20; ++k)
        for (int y = 0; y < 200; ++y) stripes.SetPixel(k * 19 - 1, y, Colors::Black);
    const QString many = scratch.filePath(QStringLiteral("twenty-one.bmp"));
    stripes.ToImage().save(many, "BMP");
    TryMap(QStringLiteral("21 feuds"), many);
    const QString text = scratch.filePath(QStringLiteral("not-a-picture.bmp"));
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write("just text\n");
    }
    TryMap(QStringLiteral("not a picture"), text);
    TryMap(QStringLiteral("missing"), scratch.filePath(QStringLiteral("missing.bmp")));

    DestroyForms();
    return 0;
}
