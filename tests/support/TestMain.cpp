// main() of every test program: an offscreen application whose settings live
// in a temporary folder, never in the user's real configuration.
#include <cstdlib>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/FormSupport.h"
#include "core/Random.h"
#include "support/TestSupport.h"

namespace {
QTemporaryDir* configDir = nullptr;
}

QString TestConfigFolder() { return configDir ? configDir->path() : QString(); }

void ResetTestSettings() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvold"),
                       QStringLiteral("Marchfell"));
    settings.clear();
    settings.sync();
    QFile::remove(settings.fileName());
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    configDir = new QTemporaryDir();
    setenv("XDG_CONFIG_HOME", configDir->path().toLocal8Bit().constData(), 1);
    setenv("HOME", configDir->path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    InitApplication(app);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir->path());
    GameRandom.Seed(12345);
    const int result = RUN_ALL_TESTS();
    delete configDir;
    return result;
}
