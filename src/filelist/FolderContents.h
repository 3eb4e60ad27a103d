#pragma once

#include "filelist/Directory.h"

#include <QHash>
#include <QString>

#include <sys/stat.h>

#include <optional>
#include <vector>

namespace quorvane {

// What a folder walk read of each folder, kept for the listing that follows
// it, so a scan reads every folder once. A folder that has changed since it
// was looked at (its identity, modification or change time differs) is read
// again.
class FolderContents {
public:
    // status: the folder's status taken before it was read.
    void remember(const QString& folder, const struct stat& status, bool mayEnter,
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
        dev_t device;
        ino_t inode;
        struct timespec modified;
        struct timespec changed;
        Snapshot snapshot;
    };
    static QString keyOf(const QString& folder);

    QHash<QString, Kept> kept_;
};

}  // namespace quorvane
