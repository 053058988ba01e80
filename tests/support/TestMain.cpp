// main() of every test program: an offscreen application whose settings live
// in a temporary folder (on Windows: a scratch registry key of this process),
// never in the user's real configuration.
#include <cstdlib>

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

#include "core/FormSupport.h"
#include "core/Random.h"
#include "save/AutoSave.h"
#include "settings/Reestr.h"
#include "support/TestSupport.h"

namespace {
QTemporaryDir* configDir = nullptr;

#ifndef Q_OS_WIN
QString StoreFile() { return configDir->path() + QStringLiteral("/Tarvold/Marchfell.conf"); }
#endif

#ifdef Q_OS_WIN
// The scratch keys beside the game's own and beside its old machine-wide one,
// one pair per test process, so that test programs run side by side never
// share them.
QString ScratchKey(const char* root) {
    return QStringLiteral("%1\\Software\\Tarvold\\MarchfellTest%2")
        .arg(QLatin1String(root))
        .arg(QCoreApplication::applicationPid());
}
void RemoveKey(const QString& key) {
    const qsizetype cut = key.lastIndexOf(u'\\');
    QSettings parent(key.left(cut), QSettings::NativeFormat);
    parent.remove(key.mid(cut + 1));
    parent.sync();
}
void RemoveScratchKeys() {
    RemoveKey(ReestrKey());
    RemoveKey(OldReestrKey());
}
#endif
}  // namespace

QString TestConfigFolder() { return configDir ? configDir->path() : QString(); }

void ResetTestSettings() {
#ifdef Q_OS_WIN
    RemoveScratchKeys();
#else
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvold"),
                       QStringLiteral("Marchfell"));
    settings.clear();
    settings.sync();
    QFile::remove(settings.fileName());
#endif
}

QMap<QString, QString> StoredSettings() {
    QMap<QString, QString> values;
#ifdef Q_OS_WIN
    const QSettings store(ReestrKey(), QSettings::NativeFormat);
    for (const QString& name : store.childKeys()) values.insert(name, store.value(name).toString());
#else
    QFile f(StoreFile());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return values;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts))
        if (line.contains(u'=')) values.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
#endif
    return values;
}

void WriteStoredSettings(const QStringList& lines) {
    ResetTestSettings();
    const QByteArray text = ("[General]\n" + lines.join(u'\n') + "\n").toUtf8();
#ifdef Q_OS_WIN
    // Read the lines as the settings file would be read, then store each value
    // with the type the registry would hold it in.
    QTemporaryDir scratch;
    const QString ini = scratch.path() + QStringLiteral("/store.ini");
    QFile f(ini);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return;
    f.close();
    const QSettings file(ini, QSettings::IniFormat);
    QSettings store(ReestrKey(), QSettings::NativeFormat);
    for (const QString& line : lines) {
        const QString name = line.section(u'=', 0, 0);
        const QString raw = line.section(u'=', 1).trimmed();
        const QVariant value = file.value(name);
        int32_t n = 0;
        if (!raw.startsWith(u'"') && value.typeId() == QMetaType::QString && TextToInteger(raw, n))
            store.setValue(name, static_cast<int>(n));
        else
            store.setValue(name, value);
    }
    store.sync();
#else
    QDir().mkpath(QFileInfo(StoreFile()).absolutePath());
    QFile f(StoreFile());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text);
#endif
}

void RemoveStoredSetting(const QString& name) {
#ifdef Q_OS_WIN
    QSettings store(ReestrKey(), QSettings::NativeFormat);
#else
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvold"), QStringLiteral("Marchfell"));
#endif
    store.remove(name);
    store.sync();
}

QByteArray StoredSnapshot() {
#ifdef Q_OS_WIN
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    const QSettings store(ReestrKey(), QSettings::NativeFormat);
    for (const QString& name : store.childKeys()) out << name << store.value(name);
    return bytes;
#else
    QFile f(StoreFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
#endif
}

bool ReadPermissionsApply() {
#ifdef Q_OS_WIN
    return false;
#else
    return ::geteuid() != 0;
#endif
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    configDir = new QTemporaryDir();
    qputenv("XDG_CONFIG_HOME", configDir->path().toLocal8Bit());
    qputenv("HOME", configDir->path().toLocal8Bit());
    QApplication app(argc, argv);
    InitApplication(app);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir->path());
#ifdef Q_OS_WIN
    SetReestrKey(ScratchKey("HKEY_CURRENT_USER"));
    SetOldReestrKey(ScratchKey("HKEY_LOCAL_MACHINE"));
    RemoveScratchKeys();
    // The saves folder there is one place on c: for all the test programs
    // running side by side: their turns are not autosaved into it.
    AutoSaveEnabled = false;
#endif
    GameRandom.Seed(12345);
    const int result = RUN_ALL_TESTS();
#ifdef Q_OS_WIN
    RemoveScratchKeys();
#endif
    delete configDir;
    return result;
}
