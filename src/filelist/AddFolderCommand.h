#pragma once

#include <QString>

namespace quorvane {

class BusyIndicator;
class Dialogs;
class EventPump;
class FileList;
class SettingsStore;

inline const QString kExtensionPrompt =
    QStringLiteral("Enter file extension to load:") + QStringLiteral("\r\r")
    + QStringLiteral("(* for all files, txt for all txt files, doc for all doc files, etc.)");
inline const QString kDefaultExtension = QStringLiteral("txt");
inline const QString kSelectFolderPrompt = QStringLiteral("Please select folder:");

// "Add All File(s) In Folder": asks for an extension (offering the last one)
// and a folder (opening at the last one), remembers both, then appends every
// matching file of the folder and all its subfolders, level by level, while
// the window shows the hourglass. Failures are reported under
// Location::AddFolder and the command goes on.
void AddAllFilesInFolder(Dialogs& dialogs, SettingsStore& settings, FileList& list,
                         BusyIndicator& busy, EventPump& pump);

}  // namespace quorvane
