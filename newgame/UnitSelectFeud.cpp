#include "newgame/UnitSelectFeud.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "core/FormSupport.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/Names.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 14) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, w, h);
    return label;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, int y) {
    auto* rb = new QRadioButton(text, parent);
    rb->setObjectName(QString::fromLatin1(name));
    rb->setGeometry(10, y, 130, 17);
    return rb;
}

}  // namespace

TFormSelectFeud::TFormSelectFeud(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Выбор родового феода"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 416, 346);

    ImageMap = new MapImage(this);
    ImageMap->setObjectName(QStringLiteral("ImageMap"));
    ImageMap->setGeometry(8, 8, MapWidth, MapHeight);
    ImageMap->setCursor(Qt::CrossCursor);
    connect(ImageMap, &MapImage::MouseMove, this, &TFormSelectFeud::ImageMapMouseMove);
    connect(ImageMap, &MapImage::MouseDown, this, &TFormSelectFeud::ImageMapMouseDown);

    MakeLabel(this, nullptr, QStringLiteral("Феод:"), 8, 216, 34, 16);
    LFeud = MakeLabel(this, "LFeud", QString(), 44, 216, 364, 16);
    QFont bold = LFeud->font();
    bold.setBold(true);
    LFeud->setFont(bold);

    gbInformation = new QGroupBox(QStringLiteral(" Информация о феоде "), this);
    gbInformation->setObjectName(QStringLiteral("gbInformation"));
    gbInformation->setGeometry(8, 238, 264, 100);
    MakeLabel(gbInformation, nullptr, QStringLiteral("Название:"), 10, 20, 60);
    LName = MakeLabel(gbInformation, "LName", QStringLiteral("Name"), 72, 20, 184);
    MakeLabel(gbInformation, nullptr, QStringLiteral("Феодал:"), 10, 40, 60);
    // Two lines: a status and a name of 25 letters may not fit on one.
    LFeudal = MakeLabel(gbInformation, "LFeudal", QStringLiteral("Feudal"), 72, 40, 184, 28);
    LFeudal->setWordWrap(true);
    LFeudal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MakeLabel(gbInformation, nullptr, QStringLiteral("Ленов:"), 10, 74, 60);
    LLennikMax = MakeLabel(gbInformation, "LLennikMax", QStringLiteral("LennikMax"), 72, 74, 184);

    gbStatus = new QGroupBox(QStringLiteral(" Статус игрока "), this);
    gbStatus->setObjectName(QStringLiteral("gbStatus"));
    gbStatus->setGeometry(280, 238, 128, 68);
    rbKing = MakeRadio(gbStatus, "rbKing", QStringLiteral("Король"), 16);
    rbVassal = MakeRadio(gbStatus, "rbVassal", QStringLiteral("Вассал короля"), 32);
    rbIndependent = MakeRadio(gbStatus, "rbIndependent", QStringLiteral("Независимый"), 48);
    rbKing->setChecked(true);

    btnOk = new QPushButton(QStringLiteral("ОК"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(333, 313, 75, 25);
    btnOk->setDefault(true);
    btnOk->setEnabled(false);
    connect(btnOk, &QPushButton::clicked, this, &TFormSelectFeud::btnOkClick);
}

void TFormSelectFeud::SetMapPicture(const Picture& picture) {
    picture_.CopyFrom(picture);
    ImageMap->Show(picture_);
}

void TFormSelectFeud::EnableKing() { rbKing->setEnabled(true); }

TSeatStatus TFormSelectFeud::CheckedStatus() const {
    if (rbKing->isChecked()) return TSeatStatus::King;
    if (rbIndependent->isChecked()) return TSeatStatus::Independent;
    return TSeatStatus::Vassal;
}

void TFormSelectFeud::ImageMapMouseMove(int x, int y) {
    const TFeudHoverInfo info = FeudHoverInfo(Game, x, y, CheckedStatus());
    LName->setText(info.Name);
    LFeudal->setText(info.Feudal);
    LLennikMax->setText(info.LennikMax);
}

void TFormSelectFeud::ImageMapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    if (button != Qt::LeftButton) return;
    if (!PickFeud(Game, picture_, x, y)) return;
    btnOk->setEnabled(true);
    LFeud->setText(FeudName(Game, Game.SelectFeud));
    ImageMap->Show(picture_);
}

void TFormSelectFeud::btnOkClick() {
    if (!IsFeud(Game, Game.SelectFeud)) return;  // "ОК" is enabled only after a pick
    const TSeatStatus status = CheckedStatus();
    ConfirmFeud(Game, picture_, status);
    ImageMap->Show(picture_);
    switch (status) {
        case TSeatStatus::King:
            // One crown: the next players are the king's vassals unless they choose otherwise.
            rbVassal->setChecked(true);
            rbKing->setEnabled(false);
            break;
        case TSeatStatus::Independent:
            if (rbKing->isEnabled())
                rbKing->setChecked(true);
            else
                rbVassal->setChecked(true);
            break;
        case TSeatStatus::Vassal:
            break;
    }
    accept();
}

void TFormSelectFeud::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button: Escape does nothing here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
