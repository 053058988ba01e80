#include "ui/UnitGame.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/UnitAboutAuthor.h"
#include "core/UnitAboutProgram.h"
#include "core/UnitStartMenu.h"
#include "ui/UnitGuide.h"
#include "save/SaveGame.h"

namespace {

// Line pitch of the label columns: 13-pixel labels with a little air between them.
constexpr int Row = 16;
// Where the first row of a group starts below the group's caption.
constexpr int GroupTop = 16;

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    l->resize(l->width(), qMax(13, l->height()));
    return l;
}

// A value label: fixed width, no automatic sizing, so long texts clip.
QLabel* MakeValue(QWidget* parent, const char* name, int x, int y, int width, const QString& text = QString()) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    const int h = qMax(13, l->sizeHint().height());
    l->setGeometry(x, y, width, h);
    return l;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
    auto* g = new QGroupBox(caption, parent);
    if (name) g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(x, y, w, h);
    return g;
}

// Captions of the groups carry a blank on each side, as the window draws them.
QString Padded(const QString& caption) { return QLatin1Char(' ') + caption + QLatin1Char(' '); }

QAction* MakeAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    if (name) a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* MakeMenu(QWidget* owner, const char* name, const QString& caption) {
    auto* m = new QMenu(caption, owner);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 25) {
    auto* b = new QPushButton(caption, parent);
    if (name) b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TFormGame::TFormGame(QWidget* parent) : QDialog(parent), boxMessages_(this), msgs_(&boxMessages_) {
    setWindowTitle(QStringLiteral("Marchfell"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Groups in the classic manner: a thin frame with the caption set into its top line.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0px; }"));
    CreateControls();
}

TFormGame::~TFormGame() = default;

void TFormGame::SetMessages(Messages* msgs) { msgs_ = msgs ? msgs : &boxMessages_; }

void TFormGame::CreateControls() {
    // ---- the main menu above the client area
    GameMenu = new QMenuBar(this);
    GameMenu->setObjectName(QStringLiteral("GameMenu"));
    GameMenu->setNativeMenuBar(false);

    ItemGame = MakeMenu(this, "ItemGame", QStringLiteral("Игра"));
    ItemSaveGame = MakeAction(ItemGame, "ItemSaveGame", QStringLiteral("Сохранить игру"));
    ItemSaveGame->setShortcut(QKeySequence(Qt::Key_F2));
    ItemGame->addSeparator();
    ItemEndTurn = MakeAction(ItemGame, "ItemEndTurn", QStringLiteral("Конец хода"));
    ItemEndTurn->setShortcut(QKeySequence(Qt::Key_F10));
    ItemGame->addSeparator();
    ItemExit = MakeAction(ItemGame, "ItemExit", QStringLiteral("Выход"));
    GameMenu->addMenu(ItemGame);

    ItemHelp = MakeMenu(this, "ItemHelp", QStringLiteral("Справка"));
    ItemGuide = MakeAction(ItemHelp, "ItemGuide", QStringLiteral("Руководство"));
    ItemGuide->setShortcut(QKeySequence(Qt::Key_F1));
    ItemAboutAuthor = MakeAction(ItemHelp, "ItemAboutAuthor", QStringLiteral("Об авторе"));
    ItemAboutProgram = MakeAction(ItemHelp, "ItemAboutProgram", QStringLiteral("О программе"));
    GameMenu->addMenu(ItemHelp);

    // The shortcuts of "Игра" work only while the menu itself is enabled, that
    // is during a human turn: whichever way the menu gets disabled, its items follow.
    ItemGame->installEventFilter(this);
    GameMenu->installEventFilter(this);
    connect(ItemGame->menuAction(), &QAction::changed, this, &TFormGame::SyncGameMenuItems);

    connect(ItemSaveGame, &QAction::triggered, this, &TFormGame::ItemSaveGameClick);
    connect(ItemEndTurn, &QAction::triggered, this, &TFormGame::ItemEndTurnClick);
    connect(ItemExit, &QAction::triggered, this, &TFormGame::ItemExitClick);
    connect(ItemGuide, &QAction::triggered, this, &TFormGame::ItemGuideClick);
    connect(ItemAboutAuthor, &QAction::triggered, this, &TFormGame::ItemAboutAuthorClick);
    connect(ItemAboutProgram, &QAction::triggered, this, &TFormGame::ItemAboutProgramClick);

    const int menuHeight = GameMenu->sizeHint().height();
    GameMenu->setGeometry(0, 0, ClientWidth, menuHeight);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setGeometry(0, menuHeight, ClientWidth, ClientHeight);
    SetFixedClientSize(this, ClientWidth, ClientHeight + menuHeight);

    // ---- the page control
    PCMain = new TPageControl(client_);
    PCMain->setObjectName(QStringLiteral("PCMain"));
    PCMain->setGeometry(8, 0, 609, 369);
    PCMain->tabBar()->setAttribute(Qt::WA_Hover, true);  // hot-tracking tabs
    auto addPage = [this](QWidget*& page, const char* name, const QString& caption) {
        page = new QWidget();
        page->setObjectName(QString::fromLatin1(name));
        PCMain->addTab(page, caption);
    };
    addPage(tsInformation, "tsInformation", QStringLiteral("Информация"));
    addPage(tsMap, "tsMap", QStringLiteral("Карта"));
    addPage(tsArmy, "tsArmy", QStringLiteral("Войско"));
    addPage(tsFeudal, "tsFeudal", QStringLiteral("Феодал"));
    addPage(tsDiplomacy, "tsDiplomacy", QStringLiteral("Дипломатия"));
    connect(PCMain, &QTabWidget::currentChanged, this, [this](int index) {
        QWidget* page = PCMain->widget(index);
        if (page == tsArmy) tsArmyShow();
        else if (page == tsFeudal) tsFeudalShow();
        else if (page == tsDiplomacy) tsDiplomacyShow();
        else if (page == tsMap && mapStale_) PaintMap();
    });

    CreateInformationPage();
    CreateMapPage();
    CreateArmyPage();
    CreateFeudalPage();
    CreateDiplomacyPage();
    CreatePopupMenu();
}

void TFormGame::CreateInformationPage() {
    QWidget* p = tsInformation;
    const int gx = 8, gw = 300, vx = 120, vw = 170;

    QGroupBox* g = MakeGroup(p, "gbTime", Padded(QStringLiteral("Время")), gx, 4, gw, GroupTop + 3 * Row + 6);
    LTime = MakeValue(g, "LTime", 10, GroupTop, 280);
    MakeLabel(g, QStringLiteral("Служба ленника"), 10, GroupTop + Row);
    LJobLennik = MakeValue(g, "LJobLennik", vx, GroupTop + Row, vw);
    MakeLabel(g, QStringLiteral("Служба вассала"), 10, GroupTop + 2 * Row);
    LJobVassal = MakeValue(g, "LJobVassal", vx, GroupTop + 2 * Row, vw);

    int y = g->geometry().bottom() + 5;
    g = MakeGroup(p, "gbAdded", Padded(QStringLiteral("Добавлено")), gx, y, gw, GroupTop + 4 * Row + 6);
    const struct {
        const char* caption;
        const char* name;
        QLabel** label;
    } added[] = {
        {"Ленники:", "LAddLennik", &LAddLennik},
        {"Зерно:", "LAddGrain", &LAddGrain},
        {"Коровы:", "LAddCow", &LAddCow},
        {"Кони:", "LAddHorse", &LAddHorse},
    };
    int r = 0;
    for (const auto& row : added) {
        MakeLabel(g, QString::fromUtf8(row.caption), 10, GroupTop + r * Row);
        *row.label = MakeValue(g, row.name, vx, GroupTop + r * Row, vw);
        ++r;
    }

    y = g->geometry().bottom() + 5;
    g = MakeGroup(p, "gbHomeFeud", Padded(QStringLiteral("Родовой феод")), gx, y, gw, GroupTop + 6 * Row + 6);
    const struct {
        const char* caption;
        const char* name;
        QLabel** label;
    } home[] = {
        {"Лены:", "LLen", &LLen},          {"Ленников:", "LLennik", &LLennik}, {"Крестьяне:", "LPeasant", &LPeasant},
        {"Зерно:", "LGrain", &LGrain},     {"Коровы:", "LCow", &LCow},         {"Кони:", "LHorse", &LHorse},
    };
    r = 0;
    for (const auto& row : home) {
        MakeLabel(g, QString::fromUtf8(row.caption), 10, GroupTop + r * Row);
        *row.label = MakeValue(g, row.name, vx, GroupTop + r * Row, vw);
        ++r;
    }

    y = g->geometry().bottom() + 5;
    g = MakeGroup(p, "gbCastle", QStringLiteral("Замок:"), gx, y, gw, GroupTop + 28);
    btnBuild = new QToolButton(g);
    btnBuild->setObjectName(QStringLiteral("btnBuild"));
    btnBuild->setText(QStringLiteral("Построить"));
    btnBuild->setAutoRaise(true);  // a flat button
    btnBuild->setGeometry(10, GroupTop, 90, 22);

    const int mx = 605 - 8 - 265;
    MakeLabel(p, QStringLiteral("Сводка событий:"), mx, 6);
    mEvent = new QPlainTextEdit(p);
    mEvent->setObjectName(QStringLiteral("mEvent"));
    mEvent->setReadOnly(true);
    mEvent->setUndoRedoEnabled(false);  // the memo is only written by the game
    mEvent->setGeometry(mx, 21, 265, 321);
    mEvent->hide();
}

void TFormGame::CreateMapPage() {
    QWidget* p = tsMap;
    ImageMap = new MapImage(p);
    ImageMap->setObjectName(QStringLiteral("ImageMap"));
    ImageMap->setGeometry(8, 8, MapWidth, MapHeight);
    ImageMap->setFixedSize(MapWidth, MapHeight);
    ImageMap->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ImageMap, &MapImage::MouseMove, this, &TFormGame::ImageMapMouseMove);
    connect(ImageMap, &MapImage::MouseDown, this, &TFormGame::ImageMapMouseDown);
    // The press reaches ImageMapMouseDown first; the menu request follows it.
    connect(ImageMap, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMapPopup();
        PopupMap->popup(ImageMap->mapToGlobal(pos));
    });

    // "Информация о феоде", to the right of the map
    const int fx = 416, fw = 605 - 4 - fx;
    QGroupBox* g = MakeGroup(p, "gbFeudInfo", Padded(QStringLiteral("Информация о феоде")), fx, 2, fw, GroupTop + 11 * Row + 2);
    const struct {
        const char* caption;
        const char* name;
        QLabel** label;
    } feud[] = {
        {"Название:", "LMapNameFeud", &LMapNameFeud},
        {"Ленов:", "LMapLen", &LMapLen},
        {"Ленников:", "LMapLennik", &LMapLennik},
        {"Крестьяне:", "LMapPeasant", &LMapPeasant},
        {"Коров:", "LMapCow", &LMapCow},
        {"Коней:", "LMapHorse", &LMapHorse},
        {"Плодородность:", "LMapFertility", &LMapFertility},
        {"Прирост коров:", "LMapPastureCow", &LMapPastureCow},
        {"Прирост коней:", "LMapPastureHorse", &LMapPastureHorse},
        {"Ленников имеет:", "LMapLennikAppear", &LMapLennikAppear},
        {"Уровень замка:", "LMapCastleLevel", &LMapCastleLevel},
    };
    int r = 0;
    for (const auto& row : feud) {
        MakeLabel(g, QString::fromUtf8(row.caption), 8, GroupTop + r * Row);
        *row.label = MakeValue(g, row.name, fw - 8 - 73, GroupTop + r * Row, 73);
        ++r;
    }

    // "Информация о феодале" and "Войско", under the map
    const int lx = 8, lw = 362, vx = 80;
    const int y0 = ImageMap->geometry().bottom() + 4;
    g = MakeGroup(p, "gbFeudalInfo", Padded(QStringLiteral("Информация о феодале")), lx, y0, lw, GroupTop + 2 * Row + 4);
    MakeLabel(g, QStringLiteral("Феодал:"), 8, GroupTop);
    LMapFeudal = MakeValue(g, "LMapFeudal", vx, GroupTop, 281);
    LSenVas = MakeValue(g, "LSenVas", 8, GroupTop + Row, vx - 10, QStringLiteral("Сеньор:"));
    LMapSeniorVassal = MakeValue(g, "LMapSeniorVassal", vx, GroupTop + Row, 281);

    const int y1 = g->geometry().bottom() + 4;
    g = MakeGroup(p, "gbArmyInfo", Padded(QStringLiteral("Войско")), lx, y1, lw, GroupTop + 2 * Row + 4);
    MakeLabel(g, QStringLiteral("Численность:"), 8, GroupTop);
    LMapQuantityArmy = MakeValue(g, "LMapQuantityArmy", vx, GroupTop, 281);
    MakeLabel(g, QStringLiteral("Команда:"), 8, GroupTop + Row);
    LArmyCommand = MakeValue(g, "LArmyCommand", vx, GroupTop + Row, 281);

    // The diplomacy map and its four views, bottom right
    const int dx = lx + lw + 4, dw = 605 - 4 - dx;
    cbSelectDipMode = new QCheckBox(QStringLiteral("Карта дипломатии"), p);
    cbSelectDipMode->setObjectName(QStringLiteral("cbSelectDipMode"));
    cbSelectDipMode->setGeometry(dx + 2, y0, dw - 2, 18);
    cbSelectDipMode->setChecked(false);
    connect(cbSelectDipMode, &QCheckBox::clicked, this, &TFormGame::cbSelectDipModeClick);

    gbColorMap = MakeGroup(p, "gbColorMap", Padded(QStringLiteral("Выбор режима дипломатии")), dx, y0 + 20, dw,
                           GroupTop + 4 * 19 + 4);
    auto radio = [this](QRadioButton*& rb, const char* name, const QString& caption, int row) {
        rb = new QRadioButton(caption, gbColorMap);
        rb->setObjectName(QString::fromLatin1(name));
        rb->setGeometry(5, GroupTop + row * 19, gbColorMap->width() - 7, 19);
        connect(rb, &QRadioButton::clicked, this, &TFormGame::rbDipClick);
    };
    radio(rbDipToFeudalShow, "rbDipToFeudalShow", QStringLiteral("Отношение к феодалу показываемое"), 0);
    radio(rbDipToFeudalTrue, "rbDipToFeudalTrue", QStringLiteral("Отношение к феодалу настоящее"), 1);
    radio(rbDipFromFeudalShow, "rbDipFromFeudalShow", QStringLiteral("Отношение феодала показываемое"), 2);
    radio(rbDipFromFeudalTrue, "rbDipFromFeudalTrue", QStringLiteral("Отношение феодала настоящее"), 3);
    rbDipToFeudalShow->setChecked(true);
    // The views can be chosen only while the diplomacy map is on.
    gbColorMap->setEnabled(false);
}

void TFormGame::CreateArmyPage() {
    QWidget* p = tsArmy;

    // "Ленное войско": the averages of the serving lenniks
    const int gw = 214, vx = 122, vw = gw - vx - 8;
    QGroupBox* g = MakeGroup(p, "gbLennikArmy", Padded(QStringLiteral("Ленное войско")), 8, 4, gw, GroupTop + 12 * Row + 4);
    const struct {
        const char* caption;
        const char* name;
        QLabel** label;
    } rows[] = {
        {"Ленников:", "LLennikQuantity", &LLennikQuantity},
        {"Процент явки:", "LLennikPercent", &LLennikPercent},
        {"Владение копьем:", "LLennikSpear", &LLennikSpear},
        {"Владение мечом:", "LLennikSword", &LLennikSword},
        {"Верховая езда:", "LLennikRiding", &LLennikRiding},
        {"Здоровье:", "LLennikHealth", &LLennikHealth},
        {"Сила:", "LLennikStrength", &LLennikStrength},
        {"Выносливость:", "LLennikEndurance", &LLennikEndurance},
        {"Броня:", "LLennikArmour", &LLennikArmour},
        {"Мораль:", "LLennikMorale", &LLennikMorale},
        {"Дисциплина:", "LLennikDiscipline", &LLennikDiscipline},
        {"Битвы:", "LLennikBattle", &LLennikBattle},
    };
    int r = 0;
    for (const auto& row : rows) {
        MakeLabel(g, QString::fromUtf8(row.caption), 8, GroupTop + r * Row);
        *row.label = MakeValue(g, row.name, vx, GroupTop + r * Row, vw);
        ++r;
    }

    // "Вспомогательное войско": troops the game does not raise yet
    int y = g->geometry().bottom() + 5;
    g = MakeGroup(p, "gbAuxiliaryArmy", Padded(QStringLiteral("Вспомогательное войско")), 8, y, gw, GroupTop + 3 * Row + 4);
    r = 0;
    for (const char* caption : {"Пикинеры:", "Лучники:", "Легкая конница:"}) {
        MakeLabel(g, QString::fromUtf8(caption), 8, GroupTop + r * Row);
        MakeValue(g, nullptr, vx, GroupTop + r * Row, vw, QStringLiteral("0"));
        ++r;
    }

    // "Ленники": the split between the field army (top) and the castle (bottom)
    const int lx = 8 + gw + 8, lw = 150;
    g = MakeGroup(p, "gbLenniks", Padded(QStringLiteral("Ленники")), lx, 4, lw, 338);
    LArmyToArmy = MakeValue(g, "LArmyToArmy", 10, GroupTop, lw - 16, QStringLiteral("Войско:"));
    tbArmy = new QSlider(Qt::Vertical, g);
    tbArmy->setObjectName(QStringLiteral("tbArmy"));
    tbArmy->setTickPosition(QSlider::TicksBothSides);
    tbArmy->setTickInterval(1);
    tbArmy->setRange(0, 0);
    tbArmy->setValue(0);
    tbArmy->setInvertedAppearance(true);  // position 0 at the top, as the labels read
    tbArmy->setInvertedControls(true);
    tbArmy->setGeometry((lw - 40) / 2, GroupTop + Row + 4, 40, 338 - GroupTop - 2 * Row - 16);
    connect(tbArmy, &QSlider::valueChanged, this, &TFormGame::tbArmyChange);
    LArmyToCastle = MakeValue(g, "LArmyToCastle", 10, 338 - Row - 6, lw - 16, QStringLiteral("Замок:"));

    // "Осадная техника" and the command buttons, on the right
    const int rx = lx + lw + 8, rw = 605 - 4 - rx;
    g = MakeGroup(p, "gbSiege", QStringLiteral("Осадная техника"), rx, 4, rw, GroupTop + 2 * Row + 4);
    r = 0;
    for (const char* caption : {"Катапульты:", "Баллисты:"}) {
        MakeLabel(g, QString::fromUtf8(caption), 8, GroupTop + r * Row);
        MakeValue(g, nullptr, 100, GroupTop + r * Row, rw - 108, QStringLiteral("0"));
        ++r;
    }

    auto* panel = new QWidget(p);
    panel->setObjectName(QStringLiteral("pnlArmyCommands"));
    panel->setGeometry(rx, g->geometry().bottom() + 8, rw, 4 * 31);
    btnCallLennik = MakeButton(panel, "btnCallLennik", QStringLiteral("Призвать ленников"), 0, 0, rw);
    btnDismissLennik = MakeButton(panel, "btnDismissLennik", QStringLiteral("Распустить ленников"), 0, 31, rw);
    btnCallVassal = MakeButton(panel, "btnCallVassal", QStringLiteral("Призвать вассалов"), 0, 62, rw);
    btnDismissVassal = MakeButton(panel, "btnDismissVassal", QStringLiteral("Распустить вассалов"), 0, 93, rw);
    btnDismissLennik->setEnabled(false);
    btnCallVassal->setEnabled(false);
    btnDismissVassal->setEnabled(false);  // no command behind it
    connect(btnCallLennik, &QPushButton::clicked, this, &TFormGame::btnCallLennikClick);
    connect(btnDismissLennik, &QPushButton::clicked, this, &TFormGame::btnDismissLennikClick);
    connect(btnCallVassal, &QPushButton::clicked, this, &TFormGame::btnCallVassalClick);
}

void TFormGame::CreateFeudalPage() {
    QWidget* p = tsFeudal;
    struct RowSpec {
        const char* caption;
        const char* name;
        QLabel** label;
    };
    // A group of caption/value rows; returns it so the next one can stack below.
    auto group = [p](const char* groupName, const QString& caption, int x, int y, int w, int vx,
                     std::initializer_list<RowSpec> rows) {
        QGroupBox* g = MakeGroup(p, groupName, Padded(caption), x, y, w, GroupTop + int(rows.size()) * Row + 4);
        int r = 0;
        for (const RowSpec& row : rows) {
            MakeLabel(g, QString::fromUtf8(row.caption), 8, GroupTop + r * Row);
            *row.label = MakeValue(g, row.name, vx, GroupTop + r * Row, w - vx - 8);
            ++r;
        }
        return g;
    };

    const int w1 = 190, w2 = 190, w3 = 605 - 4 - 8 - w1 - 6 - w2 - 6;
    const int x1 = 8, x2 = x1 + w1 + 6, x3 = x2 + w2 + 6;
    QGroupBox* g = group("gbPersonal", QStringLiteral("Личная информация"), x1, 4, w1, 112,
                         {{"Уровень:", "LFeudalLevel", &LFeudalLevel},
                          {"Авторитет:", "LFeudalAuth", &LFeudalAuth},
                          {"Владение копьем:", "LFeudalLevelSpear", &LFeudalLevelSpear},
                          {"Владение мечом:", "LFeudalLevelSword", &LFeudalLevelSword},
                          {"Верховая езда:", "LFeudalLevelRiding", &LFeudalLevelRiding},
                          {"Здоровье:", "LFeudalHealth", &LFeudalHealth},
                          {"Сила:", "LFeudalStrength", &LFeudalStrength},
                          {"Выносливость:", "LFeudalEndurance", &LFeudalEndurance},
                          {"Дисциплина:", "LFeudalDiscipline", &LFeudalDiscipline},
                          {"Мораль:", "LFeudalMorale", &LFeudalMorale}});
    group("gbWeapon", QStringLiteral("Оружие"), x1, g->geometry().bottom() + 5, w1, 112,
          {{"Копье:", "LFeudalWeaponSpear", &LFeudalWeaponSpear}, {"Меч:", "LFeudalWeaponSword", &LFeudalWeaponSword}});

    g = group("gbHorse", QStringLiteral("Конь"), x2, 4, w2, 112,
              {{"Скорость:", "LHorseSpeed", &LHorseSpeed},
               {"Сила:", "LHorseStrength", &LHorseStrength},
               {"Выносливость:", "LHorseEndurance", &LHorseEndurance},
               {"Размер:", "LHorseSize", &LHorseSize},
               {"Броня головы:", "LHorseArmourHead", &LHorseArmourHead},
               {"Броня тела:", "LHorseArmourBody", &LHorseArmourBody}});
    group("gbDefence", QStringLiteral("Защита"), x2, g->geometry().bottom() + 5, w2, 112,
          {{"Шлем:", "LFeudalHelmet", &LFeudalHelmet},
           {"Доспех:", "LFeudalDefence", &LFeudalDefence},
           {"Щит:", "LFeudalShield", &LFeudalShield},
           {"Наручи:", "LFEudalHand", &LFEudalHand},
           {"Перчатки:", "LFeudalGlove", &LFeudalGlove},
           {"Поножи:", "LFeudalLeg", &LFeudalLeg}});

    group("gbStatistics", QStringLiteral("Статистика"), x3, 4, w3, 122,
          {{"Выигранные битвы:", "LFeudalVictory", &LFeudalVictory},
           {"Проигранные битвы:", "LFeudalLose", &LFeudalLose},
           {"Успешные осады:", "LFeudalVictorySiege", &LFeudalVictorySiege},
           {"Безуспешные осады:", "LFeudalLoseSiege", &LFeudalLoseSiege},
           {"Убито врага:", "LFeudalKillEnemy", &LFeudalKillEnemy},
           {"Убито своих:", "LFeudalKillOur", &LFeudalKillOur},
           {"Пленено врагов:", "LFeudalPrisonerEnemy", &LFeudalPrisonerEnemy},
           {"Пленено своих:", "LFeudalPrisonerOur", &LFeudalPrisonerOur}});

    // Four commands the game does not offer yet: shown, but disabled.
    const int bw = 140, by = 342 - 25;
    int bx = 8;
    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {
        {"btnEquipment", "Экипировка"}, {"btnKnowledge", "Знания"}, {"btnTraining", "Тренировка"}, {"btnSetup", "Настройка"}};
    for (const auto& b : buttons) {
        QPushButton* button = MakeButton(p, b.name, QString::fromUtf8(b.caption), bx, by, bw);
        button->setEnabled(false);
        if (qstrcmp(b.name, "btnSetup") == 0) btnSetup = button;
        bx += bw + (605 - 16 - 4 * bw) / 3;
    }
}

void TFormGame::CreateDiplomacyPage() {
    QWidget* p = tsDiplomacy;
    MakeLabel(p, QStringLiteral("Дерево вассально-сеньорных отношений:"), 8, 6);
    TreeRelation = new QTreeWidget(p);
    TreeRelation->setObjectName(QStringLiteral("TreeRelation"));
    TreeRelation->setGeometry(8, 22, 217, 313);
    TreeRelation->setHeaderHidden(true);
    TreeRelation->setIndentation(19);
    TreeRelation->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeRelation->setColumnCount(1);

    MakeLabel(p, QStringLiteral("Договора:"), 240, 6);
    ListTreaty = new QListWidget(p);
    ListTreaty->setObjectName(QStringLiteral("ListTreaty"));
    ListTreaty->setGeometry(240, 22, 605 - 8 - 240, 313);
}

void TFormGame::CreatePopupMenu() {
    PopupMap = MakeMenu(this, "PopupMap", QString());

    PMItemArmy = MakeMenu(PopupMap, "PMItemArmy", QStringLiteral("Войско"));
    PopupMap->addMenu(PMItemArmy);
    PMItemArmyMove = MakeAction(PMItemArmy, "PMItemArmyMove", QStringLiteral("Переместить"));
    PMItemArmyAttack = MakeAction(PMItemArmy, "PMItemArmyAttack", QStringLiteral("Захват феода"));
    PMItemArmyDefence = MakeMenu(PMItemArmy, "PMItemArmyDefence", QStringLiteral("Оборона"));
    PMItemArmy->addMenu(PMItemArmyDefence);
    PMItemArmyToCastle = MakeAction(PMItemArmyDefence, "PMItemArmyToCastle", QStringLiteral("Собраться в замке"));
    PMItemArmyFromCastle = MakeAction(PMItemArmyDefence, "PMItemArmyFromCastle", QStringLiteral("Выйти из замка"));
    PMItemArmyCancel = MakeAction(PMItemArmy, "PMItemArmyCancel", QStringLiteral("Отменить приказ"));
    connect(PMItemArmyMove, &QAction::triggered, this, &TFormGame::PMItemArmyMoveClick);
    connect(PMItemArmyAttack, &QAction::triggered, this, &TFormGame::PMItemArmyAttackClick);
    connect(PMItemArmyCancel, &QAction::triggered, this, &TFormGame::PMItemArmyCancelClick);

    PMItemDiplomacy = MakeMenu(PopupMap, "PMItemDiplomacy", QStringLiteral("Дипломатия"));
    PopupMap->addMenu(PMItemDiplomacy);

    PMDipDeclare = MakeMenu(PMItemDiplomacy, "PMDipDeclare", QStringLiteral("Объявить"));
    PMItemDiplomacy->addMenu(PMDipDeclare);
    PMDipDeclTruePersEnemy = MakeAction(PMDipDeclare, "PMDipDeclTruePersEnemy", QStringLiteral("Личным врагом"));
    PMDipDeclTrueEnemy = MakeAction(PMDipDeclare, "PMDipDeclTrueEnemy", QStringLiteral("Врагом"));
    PMDipDeclTruePeace = MakeAction(PMDipDeclare, "PMDipDeclTruePeace", QStringLiteral("Мир"));
    PMDipDeclTrueAlly = MakeAction(PMDipDeclare, "PMDipDeclTrueAlly", QStringLiteral("Союзником"));
    connect(PMDipDeclTruePersEnemy, &QAction::triggered, this, &TFormGame::PMDipDeclTruePersEnemyClick);
    connect(PMDipDeclTrueEnemy, &QAction::triggered, this, &TFormGame::PMDipDeclTrueEnemyClick);
    connect(PMDipDeclTruePeace, &QAction::triggered, this, &TFormGame::PMDipDeclTruePeaceClick);
    connect(PMDipDeclTrueAlly, &QAction::triggered, this, &TFormGame::PMDipDeclTrueAllyClick);

    PMDipMark = MakeMenu(PMItemDiplomacy, "PMDipMark", QStringLiteral("Пометить"));
    PMItemDiplomacy->addMenu(PMDipMark);
    PMDipMarkTruePersEnemy = MakeAction(PMDipMark, "PMDipMarkTruePersEnemy", QStringLiteral("Как личного врага"));
    PMDipMarkTrueEnemy = MakeAction(PMDipMark, "PMDipMarkTrueEnemy", QStringLiteral("Как врага"));
    PMDipMarkTrueUnknown = MakeAction(PMDipMark, "PMDipMarkTrueUnknown", QStringLiteral("Статус неопределен"));
    PMDipMarkTruePeace = MakeAction(PMDipMark, "PMDipMarkTruePeace", QStringLiteral("Мир"));
    PMDipMarkTrueAlly = MakeAction(PMDipMark, "PMDipMarkTrueAlly", QStringLiteral("Как союзника"));
    connect(PMDipMarkTruePersEnemy, &QAction::triggered, this, &TFormGame::PMDipMarkTruePersEnemyClick);
    connect(PMDipMarkTrueEnemy, &QAction::triggered, this, &TFormGame::PMDipMarkTrueEnemyClick);
    connect(PMDipMarkTrueUnknown, &QAction::triggered, this, &TFormGame::PMDipMarkTrueUnknownClick);
    connect(PMDipMarkTruePeace, &QAction::triggered, this, &TFormGame::PMDipMarkTruePeaceClick);
    connect(PMDipMarkTrueAlly, &QAction::triggered, this, &TFormGame::PMDipMarkTrueAllyClick);

    PMDipTreaty = MakeMenu(PMItemDiplomacy, "PMDipTreaty", QStringLiteral("Договор"));
    PMItemDiplomacy->addMenu(PMDipTreaty);
    MakeAction(PMDipTreaty, "PMDipTreatyPolitical", QStringLiteral("Политический"));
    MakeAction(PMDipTreaty, "PMDipTreatyEconomic", QStringLiteral("Экономический"));
    MakeAction(PMDipTreaty, "PMDipTreatyMilitary", QStringLiteral("Военный"));

    PMItemArrive = MakeAction(PMItemDiplomacy, "PMItemArrive", QStringLiteral("Приехать"));
    PMItemArrive->setEnabled(false);
}

int TFormGame::SelectedDipView() const {
    if (rbDipToFeudalTrue->isChecked()) return 1;
    if (rbDipFromFeudalShow->isChecked()) return 2;
    if (rbDipFromFeudalTrue->isChecked()) return 3;
    return 0;
}

void TFormGame::SetMenusEnabled(bool on) {
    menusSwitching_ = true;
    for (QMenu* m : {ItemGame, ItemHelp}) {
        m->menuAction()->setEnabled(on);
        m->setEnabled(on);
    }
    menusSwitching_ = false;
}

void TFormGame::SyncGameMenuItems() {
    const bool on = ItemGame->isEnabled() && ItemGame->menuAction()->isEnabled();
    for (QAction* a : {ItemSaveGame, ItemEndTurn, ItemExit}) a->setEnabled(on);
}

bool TFormGame::eventFilter(QObject* watched, QEvent* event) {
    // An entry turned on or off keeps its place and size, yet the bar would
    // measure all its entries again: while the window switches its menus, a
    // repaint does. A menu bar of the platform's own is told as usual.
    if (watched == GameMenu && menusSwitching_ && event->type() == QEvent::ActionChanged &&
        !GameMenu->isNativeMenuBar()) {
        GameMenu->update();
        return true;
    }
    if (watched == ItemGame && event->type() == QEvent::EnabledChange) SyncGameMenuItems();
    return QDialog::eventFilter(watched, event);
}

void TFormGame::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) CenterOnWidget(this, FormStartMenu);
    QDialog::showEvent(event);
}

int TFormGame::exec() {
    // The game runs in a loop of its own until it is left, yet blocks no other
    // window: modal only to its own window hierarchy, where nothing stands
    // above it, it leaves the guide usable beside the game.
    setWindowModality(Qt::WindowModal);
    const int result = QDialog::exec();
    setWindowModality(Qt::NonModal);
    return result;
}

void TFormGame::ItemExitClick() { close(); }

void TFormGame::closeEvent(QCloseEvent* event) {
    // The close box and "Выход" end the modal run; the game stays in memory.
    if (!LeaveAllowed()) {
        event->ignore();
        return;
    }
    event->accept();
    reject();
}

bool TFormGame::LeaveAllowed() {
    // Only a player's turn has a game to save.
    const int c = Game.CurrentFeud;
    if (!IsFeud(Game, c) || Game.Feuds[c].Gamer != 1 || !GameChangedSinceSaved(Game)) return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Marchfell"), QStringLiteral("Сохранить игру перед выходом?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    SetRussianButtons(box);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return SaveGameByDialog();  // a cancelled or failed save stays
    case QMessageBox::No: return true;
    default: return false;
    }
}

void TFormGame::keyPressEvent(QKeyEvent* event) {
    // A dialog closes on Escape; one stray key must not throw a game away.
    // Only "Выход" and the close box leave.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormGame::ItemGuideClick() { ShowGuide(); }

void TFormGame::ItemAboutAuthorClick() {
    if (FormAboutAuthor) FormAboutAuthor->exec();
}

void TFormGame::ItemAboutProgramClick() {
    if (FormAboutProgram) FormAboutProgram->exec();
}

void TFormGame::tsDiplomacyShow() { BuildTreeRelation(); }
