#pragma once

#include "filelist/FileSystem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quorvane {

class EventPump;
class FileList;
class ReportingProcedure;
class WildcardPattern;

// Folder paths, each ending in one "/" (the root folder stands as "//").
using FolderList = QStringList;

// Sorts by name, upper and lower case alike and then exactly, so that a scan
// of one tree always gives one order.
void SortByName(std::vector<DirectoryEntry>& entries);

// What a folder walk read of each folder, kept for the listing that follows
// it, so a scan reads every folder once (reading it again would double the
// scan's calls). A folder that has changed since it was looked at (its
// identity, modification or change time differs) is read again.
class FolderContents {
public:
    // stamp: the folder's stamp taken before it was read.
    void remember(const QString& folder, const FileStamp& stamp, bool mayEnter,
                  std::vector<DirectoryEntry> entries);

    struct Snapshot {
        bool mayEnter = false;
        std::vector<DirectoryEntry> entries;  // every entry but subfolders
    };

    // The snapshot of the folder when it is still as it was read; it is
    // handed over and forgotten. Empty when unknown or changed.
    std::optional<Snapshot> take(const QString& folder);

private:
    struct Kept {
        FileStamp stamp;
        Snapshot snapshot;
    };
    static QString keyOf(const QString& folder);

    QHash<QString, Kept> kept_;
};

// The names (no folder) of the folder's files that match the wildcard
// pattern, hidden files included, sorted by name. Only regular files (after
// following links) are files. A folder that can't be read lists nothing, as
// a listing that finds nothing. The scan makes its pattern once; with
// contents, a folder the walk has just read unchanged is not read again.
QStringList ListFiles(const QString& folder, const WildcardPattern& pattern,
                      FolderContents* contents = nullptr);
QStringList ListFiles(const QString& folder, const QString& pattern);

// Appends, folder by folder in the order of the list, every file of each
// folder that matches the pattern and the file rule (IsAddableFile), as
// NormalizePath gives it. The window handles its events once per folder,
// so rows show as they arrive. With a procedure, failures are reported on
// its lines 118 to 128 and the work goes on; without one, a file whose look
// fails is passed over. With contents (filled by the walk), folders are not
// read a second time.
void AppendFilesOfFolders(const FolderList& folders, const QString& pattern, FileList& list,
                          EventPump& pump, ReportingProcedure* procedure,
                          FolderContents* contents = nullptr);

}  // namespace quorvane
