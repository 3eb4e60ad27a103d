#include "cli/FolderInputs.h"

#include "filelist/FileListCommands.h"
#include "filelist/FileList.h"
#include "filelist/FolderWalk.h"

#include <QFileInfo>

namespace quorvane {

void AddFolderInput(const QString& folder, const std::optional<QString>& extension, FileList& files,
                    Dialogs& dialogs, EventPump& events)
{
    if (!extension) {
        AddDroppedPaths({folder}, files, dialogs, events);
        return;
    }
    FolderList folders{folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')};
    ExtendWithSubfolders(folders, true, dialogs, events);
    AppendFilesOfFolders(folders, QStringLiteral("*.") + *extension, files, events, nullptr);
}

void AddInputs(const QStringList& inputs, const std::optional<QString>& extension, FileList& files,
               Dialogs& dialogs, EventPump& events)
{
    for (const QString& input : inputs) {
        if (QFileInfo(input).isDir())
            AddFolderInput(input, extension, files, dialogs, events);
        else
            files.append(input);
    }
}

}  // namespace quorvane
