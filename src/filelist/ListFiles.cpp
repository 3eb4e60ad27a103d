#include "filelist/ListFiles.h"

#include "filelist/Directory.h"
#include "filelist/FileAttributes.h"
#include "filelist/FileSystemFailure.h"
#include "filelist/FolderContents.h"
#include "filelist/WildcardPattern.h"

#include <QFile>

#include <climits>
#include <optional>
#include <unistd.h>

namespace quorvane {

std::vector<ListedFile> ListFileEntries(const QString& folder, const WildcardPattern& wildcard,
                                        FolderContents* contents)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    std::vector<DirectoryEntry> entries;
    // A folder that may be read but not entered lists names that can't be opened.
    std::optional<bool> mayEnter;
    if (auto snapshot = contents ? contents->take(prefix) : std::nullopt) {
        entries = std::move(snapshot->entries);
        mayEnter = snapshot->mayEnter;
    } else {
        try {
            Directory directory(prefix);
            entries = directory.entries([](unsigned char type) { return type != DT_DIR; });
        } catch (const FileSystemFailure&) {
            return {};
        }
    }
    std::erase_if(entries, [&](const DirectoryEntry& entry) {
        return entry.type == DT_DIR || !wildcard.matches(entry.name) || !entry.nameRoundTrips();
    });
    SortByName(entries);
    if (!mayEnter)
        mayEnter = !entries.empty() && ::access(encodedPrefix.constData(), X_OK) == 0;

    std::vector<ListedFile> files;
    for (const DirectoryEntry& entry : entries) {
        const bool seenAsFile = entry.type == DT_REG && *mayEnter
                                && encodedPrefix.size() + entry.encodedName.size() < PATH_MAX;
        // Links and entries of unknown type are taken when they lead to a
        // regular file; pipes, sockets and devices never are.
        if (seenAsFile || IsExistingFile(prefix + entry.name))
            files.push_back({entry.name, seenAsFile});
    }
    return files;
}

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    QStringList names;
    for (ListedFile& file : ListFileEntries(folder, WildcardPattern(pattern)))
        names.append(std::move(file.name));
    return names;
}

}  // namespace quorvane
