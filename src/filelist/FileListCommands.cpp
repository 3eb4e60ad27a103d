#include "filelist/FileListCommands.h"

#include "base/BusyIndicator.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "base/Settings.h"
#include "filelist/FileList.h"
#include "filelist/FileRule.h"
#include "filelist/FolderWalk.h"
#include "filelist/PathRules.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace quorvane {

// --- Add Text File(s) -----------------------------------------------------------

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

void AddTextFiles(Dialogs& dialogs, FileList& list)
{
    ReportingProcedure proc(dialogs, Location::AddFiles);

    OpenFilesSpec request;
    proc.step(104, [&] { request.title = kAddFilesTitle; });
    proc.step(106, [&] {
        request.filters = kAddFilesFilters;
        request.selectedFilter = 0;
    });
    QStringList chosen;
    proc.step(108, [&] { chosen = dialogs.openFiles(request); });
    if (AnswerLength(chosen) > kFileDialogAnswerRoom) {
        ShowPlainMessage(dialogs, kTooManyFilesMessage);
        return;
    }

    proc.at(110);
    if (chosen.isEmpty())
        return;
    if (chosen.size() == 1) {
        proc.step(116, [&] { list.append(chosen.first()); });
        return;
    }

    MultipleSelection selection;
    proc.step(120, [&] { selection = SplitSelection(chosen); });
    for (const QString& name : std::as_const(selection.names)) {
        QString path;
        proc.step(128, [&] { path = selection.folder + QLatin1Char('/') + name; });
        proc.step(130, [&] { path = NormalizePath(path); });
        proc.step(132, [&] { list.append(path); });
    }
}

// --- Add All File(s) In Folder -----------------------------------------------------

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
    proc.step(114, [&] { ExtendWithSubfolders(folders, true, dialogs, pump, &contents); });
    AppendFilesOfFolders(folders, QStringLiteral("*.") + extension, list, pump, &proc, &contents);
    proc.step(132, [&] { busy.setBusy(false); });
}

// --- Dropping onto the list ----------------------------------------------------------

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
                if (IsRegularFile(path))
                    list.append(path);
                continue;
            }
            FolderList folders{path + QLatin1Char('/')};
            FolderContents contents;
            ExtendWithSubfolders(folders, true, dialogs, pump, &contents);
            AppendFilesOfFolders(folders, QStringLiteral("*.*"), list, pump, nullptr, &contents);
        } catch (const std::exception&) {
        }
    }
}

}  // namespace quorvane
