#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// The three ways the file list is filled: "Add Text File(s)", "Add All
// File(s) In Folder" and dropping files and folders onto it.

namespace quorvane {

class BusyIndicator;
class Dialogs;
class EventPump;
class FileList;
class SettingsStore;

// --- Add Text File(s) -----------------------------------------------------------

inline const QString kAddFilesTitle = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
inline const QStringList kAddFilesFilters = {QStringLiteral("Text Files (*.txt)"),
                                             QStringLiteral("CSV Files (*.csv)"),
                                             QStringLiteral("All Files (*.*)")};
inline const QString kTooManyFilesMessage = QStringLiteral("You've selected too many files to add.")
                                            + QStringLiteral("\r\r")
                                            + QStringLiteral("Please try adding via the \"Add All\" button.");

// The room the dialog's answer has, in characters, terminator included.
inline constexpr qsizetype kFileDialogAnswerRoom = 30000;

// "Add Text File(s)": one chosen file is appended exactly as the dialog
// gives it; several are joined from their folder and names and normalised.
// A choice whose answer would not fit the dialog's room shows the
// too-many-files message and appends nothing. Failures are reported under
// Location::AddFiles and the command goes on.
void AddTextFiles(Dialogs& dialogs, FileList& list);

// Several files chosen in the open-file dialog, as its answer gives them:
// their common folder, and each file's name relative to it. The folder ends
// in "/" only when it is the root folder.
struct MultipleSelection {
    QString folder;
    QStringList names;
};

MultipleSelection SplitSelection(const QStringList& paths);

// The characters the dialog's answer needs: one file's path and a
// terminator; for several, the folder, each name with the separator after
// it, and a terminator.
qsizetype AnswerLength(const QStringList& paths);

// --- Add All File(s) In Folder -----------------------------------------------------

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

// --- Dropping onto the list ----------------------------------------------------------

// Whether a drag carries files; a drag of text or web links can't be
// dropped on the file list.
bool CarriesFiles(const QMimeData& data);

// The local paths a drop carries, in the order given.
QStringList DroppedPaths(const QMimeData& data);

// Appends what was dropped, in order: a folder is scanned with its whole
// tree for every file, under the scan's file rule, each folder with a list
// of its own; a regular file (after following links) is appended exactly as
// dropped; anything else, and a path that has vanished meanwhile, is passed
// over without a word. The window stays idle (no hourglass); folder-walk
// failures report under Location::SubDirectories.
void AddDroppedPaths(const QStringList& paths, FileList& list, Dialogs& dialogs, EventPump& pump);

}  // namespace quorvane
