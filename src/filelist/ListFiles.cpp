#include "filelist/ListFiles.h"

#include "filelist/Directory.h"
#include "filelist/FileAttributes.h"
#include "filelist/FileSystemFailure.h"
#include "filelist/WildcardPattern.h"

namespace quorvane {

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    std::vector<DirectoryEntry> entries;
    try {
        Directory directory(prefix);
        entries = directory.sortedEntries();
    } catch (const FileSystemFailure&) {
        return {};
    }

    const WildcardPattern wildcard(pattern);
    QStringList names;
    for (const DirectoryEntry& entry : entries) {
        if (entry.type == DT_DIR || !wildcard.matches(entry.name) || !entry.nameRoundTrips())
            continue;
        // A regular file needs no further look; links and unknown types are
        // taken when they lead to something that is not a folder.
        if (entry.type == DT_REG || IsExistingFile(prefix + entry.name))
            names.append(entry.name);
    }
    return names;
}

}  // namespace quorvane
