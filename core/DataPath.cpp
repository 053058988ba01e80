#include "core/DataPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString DataFilePath(const QString& relative) {
    QStringList candidates;
    QString fallback = QStringLiteral(MARCHFELL_INSTALL_DATADIR "/") + relative;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
        // Unpacked from the zip: maps\ and pictures\ lie beside marchfell.exe.
        fallback = appDir + u'/' + relative;
        candidates << fallback;
#endif
        candidates << appDir + QStringLiteral("/assets/") + relative
                   << appDir + QStringLiteral("/../share/marchfell/") + relative
                   // Debian's layout for games: the program in games/, its data in share/games/.
                   << appDir + QStringLiteral("/../share/games/marchfell/") + relative;
    }
    candidates << QStringLiteral(MARCHFELL_INSTALL_DATADIR "/") + relative
               << QStringLiteral(MARCHFELL_SOURCE_ASSETS "/") + relative;
    for (const QString& c : candidates)
        if (QFileInfo::exists(c)) return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
    return QDir::cleanPath(fallback);
}
