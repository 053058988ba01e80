#include "settings/UnitSetUp.h"

#include "core/FormSupport.h"

TFormSetUp::TFormSetUp(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Настройка игры "));
    SetFixedClientSize(this, 265, 185);
}
