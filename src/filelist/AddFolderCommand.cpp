#include "filelist/AddFolderCommand.h"

#include "base/BusyIndicator.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "base/Settings.h"
#include "filelist/FolderContents.h"
#include "filelist/FolderWalk.h"
#include "filelist/ScannedFiles.h"

namespace quorvane {

namespace {

// The hourglass must not outlive the command, also when it is left early
// because the program is ending.
class BusySpan {
public:
    explicit BusySpan(BusyIndicator& busy) : busy_(busy) {}
    ~BusySpan()
    {
        if (busy_.isBusy())
            busy_.setBusy(false);
    }

private:
    BusyIndicator& busy_;
};

}  // namespace

void AddAllFilesInFolder(Dialogs& dialogs, SettingsStore& settings, FileList& list,
                         BusyIndicator& busy, EventPump& pump)
{
    ReportingProcedure proc(dialogs, Location::AddFolder);

    QString extension;
    proc.step(100, [&] {
        extension = AskWithApplicationTitle(
            dialogs, kExtensionPrompt, settings.GetSetting(SettingsKey::Extension, kDefaultExtension));
        if (!extension.isEmpty())
            settings.SaveSetting(SettingsKey::Extension, extension);
    });
    proc.at(102);
    if (extension.isEmpty())
        return;
    proc.step(104, [&] { settings.SaveSetting(SettingsKey::Extension, extension); });

    QString folder;
    proc.step(106, [&] {
        folder = dialogs.browseForFolder(kSelectFolderPrompt,
                                         settings.GetSetting(SettingsKey::LastFolder, QString()));
    });
    proc.at(108);
    if (folder.isEmpty())
        return;
    QString lastFolder;
    proc.step(333, [&] { lastFolder = folder; });
    proc.step(334, [&] { settings.SaveSetting(SettingsKey::LastFolder, lastFolder); });

    BusySpan busySpan(busy);
    proc.step(110, [&] { busy.setBusy(true); });
    FolderList folders;
    FolderContents contents;
    proc.step(112, [&] { folders = FolderList{folder + QLatin1Char('/')}; });
    proc.step(114, [&] { GetSubDirectories2016(folders, true, dialogs, pump, &contents); });
    AppendFilesOfFolders(folders, QStringLiteral("*.") + extension, list, pump, &proc, &contents);
    proc.step(132, [&] { busy.setBusy(false); });
}

}  // namespace quorvane
