#include "newgame/UnitSelectMap.h"

#include "core/FormSupport.h"

TFormSelectMap::TFormSelectMap(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Выбор карты и количества феодалов"));
    SetFixedClientSize(this, 416, 320);
}

void TFormSelectMap::Initialize() {}
