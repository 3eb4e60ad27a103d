#include "filelist/FileDialogAnswer.h"

#include <QFileInfo>

namespace quorvane {

namespace {

bool IsInside(const QString& path, const QString& folder)
{
    if (folder.endsWith(QLatin1Char('/')))
        return path.startsWith(folder);
    return path.startsWith(folder) && path.size() > folder.size() && path[folder.size()] == QLatin1Char('/');
}

QString ParentOf(const QString& folder)
{
    const QString parent = QFileInfo(folder).path();
    return parent == folder ? QString() : parent;
}

QString CommonFolder(const QStringList& paths)
{
    QString folder = QFileInfo(paths.first()).path();
    for (const QString& path : paths)
        while (!folder.isEmpty() && !IsInside(path, folder))
            folder = ParentOf(folder);
    return folder;
}

}  // namespace

MultipleSelection SplitSelection(const QStringList& paths)
{
    MultipleSelection selection;
    if (paths.isEmpty())
        return selection;
    selection.folder = CommonFolder(paths);
    const qsizetype skip = selection.folder.isEmpty() || selection.folder.endsWith(QLatin1Char('/'))
                               ? selection.folder.size()
                               : selection.folder.size() + 1;
    for (const QString& path : paths)
        selection.names.append(path.mid(skip));
    return selection;
}

qsizetype AnswerLength(const QStringList& paths)
{
    if (paths.size() == 1)
        return paths.first().size() + 1;
    const MultipleSelection selection = SplitSelection(paths);
    qsizetype length = selection.folder.size() + 1;
    for (const QString& name : selection.names)
        length += name.size() + 1;
    return length;
}

}  // namespace quorvane
