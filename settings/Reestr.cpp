#include "settings/Reestr.h"

#include <limits>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "core/DataPath.h"

bool TextToInteger(const QString& text, int32_t& value) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size()) return false;
    // Accumulate as a negative number: its range reaches -2147483648.
    int64_t n = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9') return false;
        n = n * 10 - (c - u'0');
        if (n < std::numeric_limits<int32_t>::min()) return false;
    }
    if (!negative) {
        n = -n;
        if (n > std::numeric_limits<int32_t>::max()) return false;
    }
    value = static_cast<int32_t>(n);
    return true;
}

namespace {

QString& KeyPath() {
    static QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Tarvold\\Marchfell");
    return key;
}

QString& OldKeyPath() {
    static QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Tarvold\\Marchfell");
    return key;
}

std::unique_ptr<QSettings> OpenSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(KeyPath(), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvold"),
                                       QStringLiteral("Marchfell"));
#endif
}

#ifdef Q_OS_WIN
// Whether a registry key is there, without creating anything.
bool RegistryKeyExists(const QString& key) {
    const qsizetype cut = key.lastIndexOf(u'\\');
    const QSettings parent(key.left(cut), QSettings::NativeFormat);
    return parent.childGroups().contains(key.mid(cut + 1), Qt::CaseInsensitive);
}
#endif

// Whether the key is there already, without creating anything.
bool KeyExists(const QSettings& settings) {
#ifdef Q_OS_WIN
    (void)settings;
    return RegistryKeyExists(KeyPath());
#else
    return QFileInfo(settings.fileName()).isFile();
#endif
}

// Earlier versions kept the settings for the whole machine, where a player
// without administrator rights may not write. When that key is there and the
// player's own is not, its values move over as they stand, each with its
// type; the old key is only read, and only this once, since from then on the
// player's own key exists. False when there is no old key or it holds no
// values: the player then starts from the first-run values.
bool CopyOldKey(QSettings& settings) {
#ifdef Q_OS_WIN
    if (!RegistryKeyExists(OldKeyPath())) return false;
    const QSettings old(OldKeyPath(), QSettings::NativeFormat);
    const QStringList names = old.childKeys();
    for (const QString& name : names) settings.setValue(name, old.value(name));
    return !names.isEmpty();
#else
    (void)settings;
    return false;
#endif
}

// The fourteen values of the first run, in this order: the current set, then
// the default set, each the map path and then the six numbers.
void WriteFirstRunValues(QSettings& settings) {
    const QString map = TReestr::BundledMapPath();
    const std::pair<const char*, int> numbers[] = {{"Lennik", 100}, {"Grain", 50000}, {"Peasant", 1000},
                                                   {"Cow", 100},    {"Horse", 100},   {"Independence", 50}};
    for (const char* set : {"Current", "Default"}) {
        const QString prefix = QLatin1String(set);
        settings.setValue(prefix + QStringLiteral("PathToMap"), map);
        for (const auto& [name, value] : numbers) settings.setValue(prefix + QLatin1String(name), value);
    }
}

// Integers come back as numbers from the registry and from values written
// in this run, as text from a file read afresh.
bool VariantToInteger(const QVariant& v, int32_t& value) {
    switch (v.typeId()) {
    case QMetaType::Int:
        value = v.toInt();
        return true;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::QString:
        return TextToInteger(v.toString(), value);
    default:
        return false;
    }
}

bool VariantToText(const QVariant& v, QString& value) {
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        value = v.toString();
        return true;
    default:
        return false;
    }
}

QString MissingText(const QString& name) {
    return QStringLiteral("Не могу прочитать значение \"%1\": его нет в настройках игры.").arg(name);
}

}  // namespace

QString ReestrKey() { return KeyPath(); }
void SetReestrKey(const QString& key) { KeyPath() = key; }
QString OldReestrKey() { return OldKeyPath(); }
void SetOldReestrKey(const QString& key) { OldKeyPath() = key; }

TReestr::TReestr() = default;
TReestr::~TReestr() = default;

// Stored and shown as the system writes paths: with backslashes on Windows.
QString TReestr::BundledMapPath() { return QDir::toNativeSeparators(DataFilePath(QStringLiteral("maps/base.bmp"))); }

void TReestr::OpenOrCreate(Messages& msgs) {
    settings_.reset();
    auto settings = OpenSettings();
    if (KeyExists(*settings)) {
        // An existing key is used as it stands and never completed.
        settings_ = std::move(settings);
        return;
    }

    // First run: the old machine-wide key's values if there is one, else
    // both sets, in this order.
    if (!CopyOldKey(*settings)) WriteFirstRunValues(*settings);
    settings->sync();
    if (settings->status() == QSettings::NoError && KeyExists(*settings)) {
        settings_ = std::move(settings);
        return;
    }

    // Nothing could be stored. QSettings keeps what it failed to write in a
    // cache shared by the whole process; drop it, so that nothing later
    // reads values that are not really there.
    settings->clear();
    settings->sync();
    msgs.Error(KeyErrorText());
}

bool TReestr::ReadInteger(const QString& name, int32_t& value, Messages& msgs) {
    if (!settings_ || !settings_->contains(name)) {
        msgs.Error(MissingText(name));
        return false;
    }
    int32_t v = 0;
    if (!VariantToInteger(settings_->value(name), v)) {
        msgs.Error(QStringLiteral("Значение \"%1\" в настройках игры должно быть целым числом.").arg(name));
        return false;
    }
    value = v;
    return true;
}

bool TReestr::ReadString(const QString& name, QString& value, Messages& msgs) {
    if (!settings_ || !settings_->contains(name)) {
        msgs.Error(MissingText(name));
        return false;
    }
    QString v;
    if (!VariantToText(settings_->value(name), v)) {
        msgs.Error(QStringLiteral("Значение \"%1\" в настройках игры должно быть строкой.").arg(name));
        return false;
    }
    value = v;
    return true;
}

bool TReestr::WriteInteger(const QString& name, int32_t value, Messages& msgs) {
    return Write(name, QVariant(static_cast<int>(value)), msgs);
}

bool TReestr::WriteString(const QString& name, const QString& value, Messages& msgs) {
    return Write(name, QVariant(value), msgs);
}

bool TReestr::Write(const QString& name, const QVariant& value, Messages& msgs) {
    const QString failure = QStringLiteral("Не могу записать значение \"%1\" в настройки игры.").arg(name);
    if (!settings_) {
        msgs.Error(failure);
        return false;
    }
    // QSettings remembers its first error for good; start each write from a
    // fresh object so that its status speaks of this write alone.
    if (settings_->status() != QSettings::NoError) settings_ = OpenSettings();

    const bool existed = settings_->contains(name);
    const QVariant old = settings_->value(name);
    settings_->setValue(name, value);
    settings_->sync();
    if (settings_->status() == QSettings::NoError) return true;

    // Not stored: put the old value back into the shared cache, so that
    // reads go on telling what is really in the store.
    if (existed)
        settings_->setValue(name, old);
    else
        settings_->remove(name);
    settings_->sync();
    settings_ = OpenSettings();
    msgs.Error(failure);
    return false;
}
