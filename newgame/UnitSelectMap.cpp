#include "newgame/UnitSelectMap.h"

#include <cstring>

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "newgame/RegionDetection.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/WorldGeneration.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, w, 15);
    return label;
}

// The path after "Карта:". Its text is the whole path; when that does not
// fit, it is drawn with the middle left out, so that the file name shows.
class PathLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        style()->drawItemText(&painter, area, int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                              isEnabled(), shown, foregroundRole());
    }
};

}  // namespace

TFormSelectMap::TFormSelectMap(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Выбор карты и количества феодалов"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 416, 320);

    LabelMap = MakeLabel(this, "LabelMap", QStringLiteral("Карта:"), 8, 6, 36);
    LNameMap = new PathLabel(this);
    LNameMap->setObjectName(QStringLiteral("LNameMap"));
    LNameMap->setGeometry(46, 6, 362, 15);

    ImageMap = new MapImage(this);
    ImageMap->setObjectName(QStringLiteral("ImageMap"));
    ImageMap->setGeometry(8, 25, 400, 200);
    ImageMap->hide();

    gbGamer = new QGroupBox(QStringLiteral(" Игроки "), this);
    gbGamer->setObjectName(QStringLiteral("gbGamer"));
    gbGamer->setGeometry(8, 232, 248, 80);
    LabelGamer = MakeLabel(gbGamer, "LabelGamer", QStringLiteral("Игроков:"), 10, 20, 52);
    LQG = MakeLabel(gbGamer, "LQG", QString(), 64, 20, 40);

    auto makeSpeedButton = [&](const char* name, const QString& caption, int x) {
        auto* b = new QToolButton(gbGamer);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
        b->setGeometry(x, 44, 23, 22);
        return b;
    };
    sbDown = makeSpeedButton("sbDown", QStringLiteral("<"), 8);
    TBQuantityGamer = new QSlider(Qt::Horizontal, gbGamer);
    TBQuantityGamer->setObjectName(QStringLiteral("TBQuantityGamer"));
    TBQuantityGamer->setGeometry(33, 40, 182, 30);
    TBQuantityGamer->setTickPosition(QSlider::TicksBelow);
    TBQuantityGamer->setTickInterval(1);
    TBQuantityGamer->setSingleStep(1);
    TBQuantityGamer->setPageStep(1);
    TBQuantityGamer->setRange(1, 1);
    sbUp = makeSpeedButton("sbUp", QStringLiteral(">"), 217);

    auto makeButton = [&](const char* name, const QString& caption, int x, int y, int w) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, 25);
        return b;
    };
    ButtonSelectMap = makeButton("ButtonSelectMap", QStringLiteral("Выбрать"), 264, 240, 144);
    btnOk = makeButton("btnOk", QStringLiteral("ОК"), 264, 283, 68);
    btn = makeButton("btn", QStringLiteral("Возврат"), 340, 283, 68);
    btnOk->setDefault(true);

    connect(ButtonSelectMap, &QPushButton::clicked, this, &TFormSelectMap::ButtonSelectMapClick);
    connect(TBQuantityGamer, &QSlider::valueChanged, this, &TFormSelectMap::TBQuantityGamerChange);
    connect(sbDown, &QToolButton::clicked, this, &TFormSelectMap::sbDownClick);
    connect(sbUp, &QToolButton::clicked, this, &TFormSelectMap::sbUpClick);
    connect(btnOk, &QPushButton::clicked, this, &TFormSelectMap::btnOkClick);
    connect(btn, &QPushButton::clicked, this, &QDialog::reject);  // Esc and the close box reject too

    ShowNoMap();
}

void TFormSelectMap::Initialize() {
    LNameMap->setText(openMapFileName_);
    LNameMap->setToolTip(openMapFileName_);
    mapAccepted_ = false;
    gridKnown_ = false;
    TBQuantityGamer->setValue(1);

    BoxMessages msgs(this);
    // A folder is no file either: no message, as for a path that leads nowhere.
    const QFileInfo file(openMapFileName_);
    if (!openMapFileName_.isEmpty() && file.exists() && !file.isDir()) {
        mapAccepted_ = true;
        QString why;
        if (!picture_.Load(openMapFileName_, &why)) {
            // The file is there but is no picture we can read: say which and
            // why, and leave the dialog ready for another file.
            msgs.Error(QStringLiteral("Не удалось прочитать карту «%1»: %2.")
                           .arg(QDir::toNativeSeparators(openMapFileName_), why));
            mapAccepted_ = false;
            ShowNoMap();
            return;
        }
        if (picture_.Height() == MapHeight && picture_.Width() == MapWidth) {
            InitializeMap();
        } else {
            msgs.Error(QStringLiteral("Размер карты не 400*200"));
            mapAccepted_ = false;
        }
        // These two see the count of the last map detected when the size was wrong.
        if (Game.QuantityFeud < 2) {
            msgs.Error(QStringLiteral("Слишком мало феодов."));
            mapAccepted_ = false;
        }
        if (Game.QuantityFeud > MaxFeud) {
            msgs.Error(QStringLiteral("Феодов больше %1.").arg(MaxFeud));
            mapAccepted_ = false;
        }
    }

    if (!mapAccepted_) {
        ShowNoMap();
        return;
    }
    // The preview shows the file's own colours: detection painted only its working copy.
    ImageMap->Show(picture_);
    ImageMap->show();
    TBQuantityGamer->setRange(1, Game.QuantityFeud);
    gbGamer->setEnabled(true);
    TestPosition();
    LQG->setText(QString::number(TBQuantityGamer->value()));
    btnOk->setEnabled(true);
}

void TFormSelectMap::ShowNoMap() {
    ImageMap->hide();
    gbGamer->setEnabled(false);
    LQG->clear();
    btnOk->setEnabled(false);
}

void TFormSelectMap::InitializeMap() {
    ::InitializeMap(Game, picture_);  // reads the picture only
    std::memcpy(grid_, Game.Map, sizeof grid_);
    gridKnown_ = true;
    static uint64_t lastGridStamp = 0;
    gridStamp_ = ++lastGridStamp;
}

bool TFormSelectMap::IsPictureOf(const TGameState& s) const {
    return gridKnown_ && picture_.Width() == MapWidth && picture_.Height() == MapHeight &&
           std::memcmp(grid_, s.Map, sizeof grid_) == 0;
}

void TFormSelectMap::TestPosition() {
    const int position = TBQuantityGamer->value();
    sbDown->setEnabled(position != 1);
    sbUp->setEnabled(position != Game.QuantityFeud);
}

void TFormSelectMap::ButtonSelectMapClick() {
    // Start where the current map lies, or among the bundled maps.
    QString start = openMapFileName_;
    if (start.isEmpty()) start = QFileInfo(DataFilePath(QStringLiteral("maps/base.bmp"))).absolutePath();
    const QString chosen = GetOpenPictureFileName(this, start, QStringLiteral("Bitmaps (*.bmp)"));
    if (!chosen.isEmpty()) {
        openMapFileName_ = QDir::toNativeSeparators(chosen);  // stored and shown as the system writes paths
        Initialize();
    }
    if (btnOk->isEnabled()) btnOk->setFocus();
}

void TFormSelectMap::TBQuantityGamerChange() {
    LQG->setText(QString::number(TBQuantityGamer->value()));
    TestPosition();
}

void TFormSelectMap::sbDownClick() {
    TBQuantityGamer->setValue(TBQuantityGamer->value() - 1);
    TestPosition();
}

void TFormSelectMap::sbUpClick() {
    TBQuantityGamer->setValue(TBQuantityGamer->value() + 1);
    TestPosition();
}

void TFormSelectMap::btnOkClick() {
    if (!mapAccepted_ || !btnOk->isEnabled()) return;
    BoxMessages msgs(this);
    if (FormStartMenu &&
        !FormStartMenu->Reestr.WriteString(QStringLiteral("CurrentPathToMap"), openMapFileName_, msgs))
        return;
    Game.QuantityGamer = uint8_t(TBQuantityGamer->value());
    if (FormSelectFeud) {
        FormSelectFeud->SetMapPicture(picture_);
        FormSelectFeud->EnableKing();
    }
    // World generation runs in this same handler; if it cannot, the dialog stays open.
    if (!GenerateWorldAtOk(msgs)) return;
    accept();
}

bool TFormSelectMap::GenerateWorldAtOk(Messages& msgs) {
    if (!FormStartMenu) return false;
    TReestr& reestr = FormStartMenu->Reestr;
    TStartingConditions start;
    if (!reestr.ReadInteger(QStringLiteral("CurrentGrain"), start.Grain, msgs) ||
        !reestr.ReadInteger(QStringLiteral("CurrentPeasant"), start.Peasant, msgs) ||
        !reestr.ReadInteger(QStringLiteral("CurrentCow"), start.Cow, msgs) ||
        !reestr.ReadInteger(QStringLiteral("CurrentHorse"), start.Horse, msgs) ||
        !reestr.ReadInteger(QStringLiteral("CurrentIndependence"), start.Independence, msgs) ||
        !reestr.ReadInteger(QStringLiteral("CurrentLennik"), start.Lennik, msgs))
        return false;
    GameRandom.SeedFromClock();
    GenerateWorld(Game, start);
    return true;
}

void TFormSelectMap::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
}
