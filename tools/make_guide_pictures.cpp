// Makes the pictures of the player's guide (docs/guide/): screenshots of the
// real windows, drawn offscreen through a short game on the bundled map with a
// fixed random seed, the political map as each standing of lord sees it in
// that game, and the colour swatches of the map legend, taken from the
// program's own colours. Every picture is written losslessly as a 24-bit PNG
// from the pixels the game drew, and read back: a map picture, a map inside a
// window or a swatch that holds a colour the game's map never draws (its ten
// colours and those of the map file) stops the run with an error.
//
//   make_guide_pictures <picture folder> [<map file>]
//
// Run it with QT_QPA_PLATFORM=offscreen and a scratch HOME (the start menu
// writes its settings there); tools/make-guide-pictures.sh does both. It
// prints what the game reported (announcements, battles) and the facts of the
// map that the guide quotes. GUIDE_SEED sets the game's random seed.
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
#include <QSet>
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
#include "core/MapImage.h"
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

QStringList failures;

// Writes image as a 24-bit PNG and reads it back: the file must hold exactly
// the pixels drawn, and inside area (the whole picture when area is the
// whole image) only colours of allowed, when given.
void Save(const QImage& image, const QString& name, const QRect& area = QRect(),
          const QSet<QRgb>* allowed = nullptr) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const QString path = folder + QLatin1Char('/') + name;
    if (!rgb.save(path, "PNG", 0)) {
        out << "cannot write " << path << "\n";
        out.flush();
        std::exit(1);
    }
    QFile written(path);
    const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    // The header's bit depth and colour type: 8 bits a channel, true colour without alpha.
    if (bytes.size() < 26 || bytes[24] != 8 || bytes[25] != 2) failures << name + QStringLiteral(": not a 24-bit PNG");
    const QImage back = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB888);
    if (back != rgb) failures << name + QStringLiteral(": reads back other than drawn");
    if (allowed) {
        const QRect r = area.isNull() ? back.rect() : area;
        QSet<QRgb> stray;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (!allowed->contains(back.pixel(x, y) | 0xff000000u)) stray.insert(back.pixel(x, y));
        for (QRgb c : stray)
            failures << QStringLiteral("%1: colour (%2, %3, %4) the game never draws there")
                            .arg(name)
                            .arg(qRed(c))
                            .arg(qGreen(c))
                            .arg(qBlue(c));
    }
    out << "wrote " << path << " (" << QFileInfo(path).size() << " bytes)\n";
}

QRgb ToQRgb(Rgb c) { return qRgb(c.r, c.g, c.b); }

// The colours the game's map can show: its ten colours and the colours of the
// map file's own picture (a feud drawn in another colour keeps it).
QSet<QRgb> MapColours(const Picture& file) {
    QSet<QRgb> colours;
    for (Rgb c : {Colors::White, Colors::Black, Colors::Red, Colors::Maroon, Colors::Yellow, Colors::Green, Colors::Lime,
                  Colors::Aqua, Colors::Navy, Colors::Purple})
        colours.insert(ToQRgb(c));
    for (int y = 0; y < file.Height(); ++y)
        for (int x = 0; x < file.Width(); ++x) colours.insert(ToQRgb(file.GetPixel(x, y)));
    return colours;
}
QSet<QRgb> mapColours;

// A window, and the map it shows (checked against the map's colours).
void Grab(QWidget* w, const QString& name, const QWidget* map = nullptr) {
    QApplication::processEvents();
    const QImage image = w->grab().toImage();
    if (!map) return Save(image, name);
    Save(image, name, QRect(map->mapTo(w, QPoint(0, 0)), map->size()), &mapColours);
}

// A message box as the game shows it (ShowInfoBox), for a picture.
void GrabBox(const QString& text, const QString& name) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Marchfell"), text, QMessageBox::Ok);
    SetRussianButtons(box);
    box.show();
    Grab(&box, name);
    box.hide();
}

// Messages the game would show in boxes, printed instead; the first turn's
// announcement and the first battle report are also pictured. Every
// question is answered "Yes".
class PrintedMessages : public Messages {
public:
    void Info(const QString& text) override {
        out << "  [i] " << text << "\n";
        if (!announced && text.startsWith(QStringLiteral("Ходит феодал "))) {
            announced = true;
            GrabBox(text, QStringLiteral("box-turn.png"));
        }
        if (text.endsWith(QStringLiteral("и проиграл."))) ++lost;
        if (!reported && text.startsWith(QStringLiteral("Феодал "))) {
            reported = true;
            GrabBox(text, QStringLiteral("box-battle.png"));
        }
    }
    void Error(const QString& text) override { out << "  [!] " << text << "\n"; }
    bool Confirm(const QString& text) override {
        out << "  [?] " << text << " -> Да\n";
        return true;
    }

    int lost = 0;  // battles the attacker lost

private:
    bool announced = false, reported = false;
};
PrintedMessages printed;

QImage MapImageOf(const Picture& p) { return p.ToImage(); }

// The political map as mover sees it in the state of the game: the state in
// which he would be moving, with its black borders and the white outline of
// his own feud.
void SaveStanding(const TGameState& from, const Picture& base, int mover, const QString& name) {
    static TGameState s;
    s = from;
    s.CurrentFeud = static_cast<uint8_t>(mover);
    s.DipFeud = static_cast<uint8_t>(mover);
    Picture p;
    RenderColorMap(s, base, DipViewToFeudalShow, p);
    DrawBorders(s, p);
    DrawOutline(s, mover, p);
    Save(MapImageOf(p), name, QRect(), &mapColours);
}

// A swatch of the legend: every pixel exactly the colour.
void SaveSwatch(Rgb c, const QString& name) {
    QImage image(24, 16, QImage::Format_RGB888);
    image.fill(QColor(c.r, c.g, c.b));
    const QSet<QRgb> only{ToQRgb(c)};
    Save(image, name, QRect(), &only);
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
    mapColours = MapColours(FormSelectMap->MapPicture());
    BeginSeating(Game);
    FormSelectMap->show();
    FormSelectMap->sbUpClick();
    Grab(FormSelectMap, QStringLiteral("select-map.png"), FormSelectMap->ImageMap);
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
    GameRandom.Seed(qEnvironmentVariableIsSet("GUIDE_SEED") ? qEnvironmentVariableIntValue("GUIDE_SEED") : 50);
    SettleCrown(Game, GameRandom);
    SettleVassalsAndRelations(Game, GameRandom);
    FormStartMenu->hide();

    out << "-- the game begins\n";
    FormGame->ItemEndTurnClick();
    FormGame->rbDipToFeudalShow->setChecked(true);
    FormGame->show();
    PrintRealm();

    // Week 1: both players call their lenniks.
    ShowPage(FormGame->tsInformation);
    Grab(FormGame, QStringLiteral("game-first-turn.png"));
    FormGame->btnCallLennikClick();
    EndTurn("Ярослав");
    FormGame->btnCallLennikClick();
    EndTurn("Всеволод");
    PrintRealm();

    // Week 2: Ярослав tries the track bar, then sends all his lenniks to
    // take a neighbouring independent feud.
    ShowPage(FormGame->tsArmy);
    FormGame->tbArmy->setValue(10);
    Grab(FormGame, QStringLiteral("game-army.png"));
    FormGame->tbArmy->setValue(0);
    // A neighbouring independent feud of the computer's.
    auto neighbourToTake = [](int from) {
        for (int j = 1; j <= Game.QuantityFeud; ++j)
            if (j != from && Game.Feuds[from].Neighbour[j] && Game.Feuds[j].Senior == 0 && !Game.Feuds[j].Gamer)
                return j;
        return 0;
    };
    const int target = neighbourToTake(kingFeud);
    out << "Ярослав's target: " << target << " " << FeudName(Game, target) << "\n";
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
    Grab(FormGame, QStringLiteral("game-map.png"), FormGame->ImageMap);
    ShowPage(FormGame->tsFeudal);
    Grab(FormGame, QStringLiteral("game-feudal.png"));
    EndTurn("Ярослав");

    // Всеволод looks at his relations on the diplomacy map, then sends his
    // lenniks against an independent neighbour of his own.
    ShowPage(FormGame->tsMap);
    FormGame->cbSelectDipMode->setChecked(true);
    FormGame->cbSelectDipModeClick();
    Grab(FormGame, QStringLiteral("game-diplomacy-map.png"), FormGame->ImageMap);
    FormGame->cbSelectDipMode->setChecked(false);
    FormGame->cbSelectDipModeClick();
    const int ownTarget = neighbourToTake(ownFeud);
    out << "Всеволод's target: " << ownTarget << " " << FeudName(Game, ownTarget) << "\n";
    PopupOver(ownTarget);
    FormGame->PMItemArmyAttackClick();
    EndTurn("Всеволод");
    PrintRealm();

    // Week 3: the realm after the battles, as the king sees it.
    ShowPage(FormGame->tsMap);
    FormGame->ImageMapMouseMove(Game.Feuds[target].PosX, Game.Feuds[target].PosY);
    Grab(FormGame, QStringLiteral("game-map-after-battle.png"), FormGame->ImageMap);
    ShowPage(FormGame->tsDiplomacy);
    // The nodes come collapsed; the player opens the king's with a click.
    FormGame->TreeRelation->expandAll();
    Grab(FormGame, QStringLiteral("game-tree.png"));
    EndTurn("Ярослав");
    // Всеволод's army, in the feud it took, goes on to the next independent one.
    const int secondTarget = neighbourToTake(Game.Feuds[ownFeud].ArmyFeud);
    out << "Всеволод's second target: " << secondTarget << " " << FeudName(Game, secondTarget) << "\n";
    ShowPage(FormGame->tsMap);
    PopupOver(secondTarget);
    FormGame->PMItemArmyAttackClick();
    EndTurn("Всеволод");
    PrintRealm();
    FormGame->hide();

    // The political map as each standing of lord sees the realm in week 4:
    // the king, a vassal of his, the independent Всеволод and the first feud
    // he took, now his vassal beside the second.
    const Picture& base = FormSelectMap->MapPicture();
    int vassalOfKing = 0;  // one of the king's vassals from the start
    for (int i = 1; i <= Game.QuantityFeud && !vassalOfKing; ++i)
        if (i != Game.KingFeud && i != target && Game.Feuds[i].Senior == Game.KingFeud) vassalOfKing = i;
    SaveStanding(Game, base, Game.KingFeud, QStringLiteral("map-king.png"));
    SaveStanding(Game, base, vassalOfKing, QStringLiteral("map-vassal-of-king.png"));
    SaveStanding(Game, base, ownFeud, QStringLiteral("map-independent.png"));
    SaveStanding(Game, base, ownTarget, QStringLiteral("map-vassal-of-independent.png"));
    // The guide tells this game with every battle won; another seed may lose one.
    if (printed.lost > 0 || secondTarget == ownTarget || Game.Feuds[target].Senior != Game.KingFeud ||
        Game.Feuds[ownTarget].Senior != ownFeud || Game.Feuds[secondTarget].Senior != ownFeud)
        failures << QStringLiteral("a battle of the game the guide tells was lost: try another GUIDE_SEED");
    out << "standings: king " << Game.KingFeud << ", vassal of the king " << vassalOfKing << ", independent "
        << ownFeud << ", vassal of the independent " << ownTarget << "\n";

    // On to the next year: the year's end has grown every feud.
    FormGame->show();
    while (Game.Year < 2) EndTurn(Game.CurrentFeud == kingFeud ? "Ярослав" : "Всеволод");
    ShowPage(FormGame->tsInformation);
    Grab(FormGame, QStringLiteral("game-information.png"));
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
    const QSet<QRgb> exampleColours = MapColours(example);
    Save(example.ToImage(), QStringLiteral("example-map.png"), QRect(), &exampleColours);
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
    for (const QString& f : failures) out << "FAILED: " << f << "\n";
    return failures.isEmpty() ? 0 : 1;
}
