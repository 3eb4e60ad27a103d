#include "base/Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvane {

bool PathExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).lastModified().isValid();
}

QString ProgramFolder() { return QCoreApplication::applicationDirPath(); }

QString ProgramFile(const QString& name) { return QDir(ProgramFolder()).filePath(name); }

QString RunRejectsFolder()
{
    const QDir data(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    // Two runs started within a second get folders of their own.
    QString folder = data.filePath(QStringLiteral("rejects/") + stamp);
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = data.filePath(QStringLiteral("rejects/%1_%2").arg(stamp).arg(n));
    return folder;
}

}  // namespace quorvane
