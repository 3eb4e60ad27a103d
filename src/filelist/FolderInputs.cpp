#include "filelist/FolderInputs.h"

#include "filelist/DropCommand.h"
#include "filelist/FolderWalk.h"
#include "filelist/ScannedFiles.h"

namespace quorvane {

void AddFolderInput(const QString& folder, const std::optional<QString>& extension, FileList& files,
                    Dialogs& dialogs, EventPump& events)
{
    if (!extension) {
        AddDroppedPaths({folder}, files, dialogs, events);
        return;
    }
    FolderList folders{folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')};
    GetSubDirectories2016(folders, true, dialogs, events);
    AppendFilesOfFolders(folders, QStringLiteral("*.") + *extension, files, events, nullptr);
}

}  // namespace quorvane
