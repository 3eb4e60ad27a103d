#include "cli/FolderInputs.h"

#include "filelist/FileListCommands.h"
#include "filelist/FolderWalk.h"

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

}  // namespace quorvane
