#include "newgame/UnitSelectFeud.h"

#include "core/FormSupport.h"

TFormSelectFeud::TFormSelectFeud(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Выбор феода"));
    SetFixedClientSize(this, 600, 300);
}

void TFormSelectFeud::SetMapPicture(const Picture&) {}
void TFormSelectFeud::EnableKing() {}
