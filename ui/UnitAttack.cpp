#include "ui/UnitAttack.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "core/FormSupport.h"

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Нападение"));
    SetFixedClientSize(this, 240, 120);
    auto* label = new QLabel(QStringLiteral("День "), this);
    label->setGeometry(16, 16, 40, 16);
    auto* day = new QComboBox(this);
    day->setObjectName(QStringLiteral("cbDay"));
    day->addItems({QStringLiteral("Понедельник"), QStringLiteral("Вторник"), QStringLiteral("Среда"),
                   QStringLiteral("Четверг"), QStringLiteral("Пятница"), QStringLiteral("Суббота"),
                   QStringLiteral("Воскресенье")});
    day->setGeometry(64, 12, 160, 22);
    auto* raid = new QRadioButton(QStringLiteral("Набег"), this);
    raid->setObjectName(QStringLiteral("rbRaid"));
    raid->setGeometry(16, 48, 200, 20);
    raid->setChecked(true);
    auto* capture = new QRadioButton(QStringLiteral("Захват"), this);
    capture->setObjectName(QStringLiteral("rbCapture"));
    capture->setGeometry(16, 76, 200, 20);
}
