#include "filelist/FolderNameRules.h"

#include "filelist/Directory.h"

#include <climits>

namespace quorvane {

bool HasBadCharacters(const QString& name)
{
    for (const QChar c : name) {
        const char16_t code = c.unicode();
        if (code < 32 || (code >= 127 && code <= 159) || code == u'?')
            return true;
    }
    return false;
}

bool IsCollectableFolderName(const DirectoryEntry& entry)
{
    return entry.encodedName.size() <= NAME_MAX && entry.nameRoundTrips()
           && !HasBadCharacters(entry.name) && !entry.name.contains(QLatin1Char('?'))
           && entry.name != QLatin1String(".") && entry.name != QLatin1String("..");
}

}  // namespace quorvane
