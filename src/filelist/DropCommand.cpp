#include "filelist/DropCommand.h"

#include "filelist/FileAttributes.h"
#include "filelist/FileList.h"
#include "filelist/FolderContents.h"
#include "filelist/FolderWalk.h"
#include "filelist/ScannedFiles.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace quorvane {

bool CarriesFiles(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

QStringList DroppedPaths(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

void AddDroppedPaths(const QStringList& paths, FileList& list, Dialogs& dialogs, EventPump& pump)
{
    for (const QString& path : paths) {
        // A drop has no report of its own and must never end the program: a
        // path that can't be handled is passed over.
        try {
            if (!IsFolder(path)) {
                // Only a regular file is a file here: a pipe, socket or
                // device is passed over, as a folder that can't be read is.
                if (IsExistingFile(path))
                    list.append(path);
                continue;
            }
            FolderList folders{path + QLatin1Char('/')};
            FolderContents contents;
            GetSubDirectories2016(folders, true, dialogs, pump, &contents);
            AppendFilesOfFolders(folders, QStringLiteral("*.*"), list, pump, nullptr, &contents);
        } catch (const std::exception&) {
        }
    }
}

}  // namespace quorvane
