#include "settings/Reestr.h"

#include <QSettings>

TReestr::TReestr() = default;
TReestr::~TReestr() = default;

void TReestr::OpenOrCreate(Messages& msgs) {
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Tarvold"), QStringLiteral("Marchfell"));
    (void)msgs;
}

bool TReestr::ReadInteger(const QString& name, int32_t& value, Messages& msgs) {
    if (!settings_ || !settings_->contains(name)) {
        msgs.Error(QStringLiteral("Не удалось прочитать значение \"%1\" из реестра.").arg(name));
        return false;
    }
    bool ok = false;
    value = settings_->value(name).toInt(&ok);
    if (!ok) msgs.Error(QStringLiteral("Значение \"%1\" в реестре имеет неверный тип.").arg(name));
    return ok;
}

bool TReestr::ReadString(const QString& name, QString& value, Messages& msgs) {
    if (!settings_ || !settings_->contains(name)) {
        msgs.Error(QStringLiteral("Не удалось прочитать значение \"%1\" из реестра.").arg(name));
        return false;
    }
    value = settings_->value(name).toString();
    return true;
}

bool TReestr::WriteInteger(const QString& name, int32_t value, Messages& msgs) {
    if (!settings_) {
        msgs.Error(QStringLiteral("Не удалось записать значение \"%1\" в реестр.").arg(name));
        return false;
    }
    settings_->setValue(name, value);
    return true;
}

bool TReestr::WriteString(const QString& name, const QString& value, Messages& msgs) {
    if (!settings_) {
        msgs.Error(QStringLiteral("Не удалось записать значение \"%1\" в реестр.").arg(name));
        return false;
    }
    settings_->setValue(name, value);
    return true;
}
