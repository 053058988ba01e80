#include "core/DataPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString DataFilePath(const QString& relative) {
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << appDir + QStringLiteral("/assets/") + relative
                   << appDir + QStringLiteral("/../share/marchfell/") + relative
                   // Debian's layout for games: the program in games/, its data in share/games/.
                   << appDir + QStringLiteral("/../share/games/marchfell/") + relative;
    }
    candidates << QStringLiteral(MARCHFELL_INSTALL_DATADIR "/") + relative
               << QStringLiteral(MARCHFELL_SOURCE_ASSETS "/") + relative;
    for (const QString& c : candidates)
        if (QFileInfo::exists(c)) return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
    return QDir::cleanPath(QStringLiteral(MARCHFELL_INSTALL_DATADIR "/") + relative);
}
