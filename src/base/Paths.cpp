#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quorvane {

bool PathExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).lastModified().isValid();
}

QString ProgramFolder() { return QCoreApplication::applicationDirPath(); }

QString ProgramFile(const QString& name) { return QDir(ProgramFolder()).filePath(name); }

}  // namespace quorvane
