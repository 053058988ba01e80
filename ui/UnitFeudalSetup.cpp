#include "ui/UnitFeudalSetup.h"

#include "core/FormSupport.h"

TFormFeudalSetup::TFormFeudalSetup(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Настройка приоритетов нападения и обороны"));
    SetFixedClientSize(this, 360, 200);
}
