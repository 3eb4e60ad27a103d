#include "filelist/ui/FileListCommands.h"

#include "base/Failure.h"
#include "filelist/FileListCommands.h"
#include "filelist/ui/FileListView.h"

#include <QPushButton>

namespace quorvane {

FileListCommands::FileListCommands(QPushButton* addTextFiles, QPushButton* addAllFilesInFolder,
                                   FileListView* list, Dialogs& dialogs, SettingsStore& settings,
                                   BusyIndicator& windowBusy, EventPump& events)
    : QObject(list),
      list_(list),
      dialogs_(dialogs),
      settings_(settings),
      windowBusy_(windowBusy),
      events_(events)
{
    connect(addTextFiles, &QPushButton::clicked, this, &FileListCommands::onAddFilesClicked);
    connect(addAllFilesInFolder, &QPushButton::clicked, this, &FileListCommands::onAddFolderClicked);
    connect(list, &FileListView::pathsDropped, this, &FileListCommands::onPathsDropped);
}

// The user may close the main window while a command lets events through;
// the program is then ending, and the exception must not cross Qt's event
// dispatch, so each handler stops quietly.

void FileListCommands::onAddFilesClicked()
{
    if (list_->isFrozen())
        return;
    try {
        AddTextFiles(dialogs_, *list_);
    } catch (const ProgramEnding&) {
    }
}

void FileListCommands::onAddFolderClicked()
{
    if (list_->isFrozen())
        return;
    try {
        AddAllFilesInFolder(dialogs_, settings_, *list_, windowBusy_, events_);
    } catch (const ProgramEnding&) {
    }
}

void FileListCommands::onPathsDropped(const QStringList& paths)
{
    try {
        AddDroppedPaths(paths, *list_, dialogs_, events_);
    } catch (const ProgramEnding&) {
    }
}

}  // namespace quorvane
