#include "newgame/UnitInputNameGamer.h"

#include "core/FormSupport.h"

TFormInputNameGamer::TFormInputNameGamer(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ввод имени игрока"));
    SetFixedClientSize(this, 260, 100);
}
