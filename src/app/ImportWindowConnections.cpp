#include "app/ImportWindowConnections.h"

#include "filelist/ui/FileListCommands.h"
#include "import/ui/ImportWindow.h"
#include "import/ui/ImportController.h"
#include "import/ui/ReadingChoices.h"

namespace quorvane {

void ConnectImportWindowActions(ImportWindow& window, SettingsStore& settings)
{
    // One line per action, each owning its objects as children of the window.
    new ImportController(window);
    new FileListCommands(window.addFilesButton(), window.addFolderButton(), window.fileList(),
                         window.dialogs(), settings, window.busyIndicator(), window.eventPump());
    RememberReadingChoices(window.controls(), settings);
}

}  // namespace quorvane
