#include "core/UnitAboutAuthor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Jpeg.h"

TFormAboutAuthor::TFormAboutAuthor(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Об авторе..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 537, 329);

    ImageAuthor = new QLabel(this);
    ImageAuthor->setObjectName(QStringLiteral("ImageAuthor"));
    ImageAuthor->setGeometry(8, 8, 297, 313);
    ImageAuthor->setAlignment(Qt::AlignCenter);
    const QImage picture = DecodeJpegFile(DataFilePath(QStringLiteral("pictures/author.jpg")));
    if (!picture.isNull())
        ImageAuthor->setPixmap(QPixmap::fromImage(
            picture.scaled(297, 313, Qt::KeepAspectRatio, Qt::SmoothTransformation)));

    const struct {
        const char* name;
        QString caption;
        QString value;
        QLineEdit** field;
    } rows[] = {
        {"EditAuthor", QStringLiteral("Автор:"), QStringLiteral("Студия Tarvold"), &EditAuthor},
        {"EditCity", QStringLiteral("Город:"), QStringLiteral("Остревань"), &EditCity},
        {"EditNick", QStringLiteral("Ник:"), QStringLiteral("tarvold"), &EditNick},
        {"EditGroup", QStringLiteral("Группа:"), QStringLiteral("Tarvold Games"), &EditGroup},
        {"EditMail", QStringLiteral("e-mail:"), QStringLiteral("marchfell@tarvold.example"), &EditMail},
    };
    int top = 24;
    for (const auto& r : rows) {
        auto* label = new QLabel(r.caption, this);
        label->setGeometry(320, top, 200, 14);
        auto* edit = new QLineEdit(r.value, this);
        edit->setObjectName(QString::fromLatin1(r.name));
        edit->setReadOnly(true);
        edit->setFrame(true);
        edit->setGeometry(320, top + 16, 201, 21);
        edit->setCursorPosition(0);
        *r.field = edit;
        top += 56;
    }
}

void TFormAboutAuthor::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
}
