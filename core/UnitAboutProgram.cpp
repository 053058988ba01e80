#include "core/UnitAboutProgram.h"

#include <QLabel>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/UnitStartMenu.h"

TFormAboutProgram::TFormAboutProgram(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 248, 145);
    const struct {
        const char* name;
        QString text;
        int top;
        int pixels;
        bool bold;
    } lines[] = {
        {"LTitle", QStringLiteral("Marchfell:"), 24, 20, true},
        {"LSubtitle", QStringLiteral("Ostrevane"), 56, 20, true},
        {"LVersion", QStringLiteral("Версия " MARCHFELL_VERSION), 100, 11, false},
    };
    for (const auto& l : lines) {
        auto* label = new QLabel(l.text, this);
        label->setObjectName(QString::fromLatin1(l.name));
        QFont f = label->font();
        f.setPixelSize(l.pixels);
        f.setBold(l.bold);
        label->setFont(f);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(0, l.top, 248, l.pixels + 10);
    }
}

void TFormAboutProgram::showEvent(QShowEvent* event) {
    CenterOnWidget(this, reinterpret_cast<const QWidget*>(FormStartMenu));
    QDialog::showEvent(event);
}
