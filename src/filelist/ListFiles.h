#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quorvane {

// The names (no folder) of the folder's files that match the wildcard
// pattern, hidden files included, sorted by name. Only regular files (after
// following links) are files. A folder that can't be read lists nothing, as
// a listing that finds nothing.
QStringList ListFiles(const QString& folder, const QString& pattern);

struct ListedFile {
    QString name;
    // Seen by the listing as a regular file in a folder that may be entered,
    // so opening it would reach it: no further look is needed.
    bool seenAsFile;
};

class FolderContents;
class WildcardPattern;

// ListFiles with what the listing saw of each name, for the scan, which
// would otherwise look at every file once more; the pattern is made once
// per scan. With contents, a folder the walk has just read unchanged is
// not read again.
std::vector<ListedFile> ListFileEntries(const QString& folder, const WildcardPattern& pattern,
                                        FolderContents* contents = nullptr);

}  // namespace quorvane
