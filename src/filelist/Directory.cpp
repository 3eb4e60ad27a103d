#include "filelist/Directory.h"

#include "filelist/FileSystemFailure.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace quorvane {

bool DirectoryEntry::nameRoundTrips() const
{
    const bool ascii = std::all_of(encodedName.begin(), encodedName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii || QFile::encodeName(name) == encodedName;
}

Directory::Directory(const QString& path)
    : dir_(::opendir(QFile::encodeName(path).constData()), &::closedir)
{
    if (!dir_)
        throw FileSystemFailure(errno);
}

std::vector<DirectoryEntry> Directory::entries(bool (*wanted)(unsigned char type))
{
    std::vector<DirectoryEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* raw = ::readdir(dir_.get());
        if (!raw) {
            readError_ = errno;
            break;
        }
        const char* name = raw->d_name;
        if (!wanted(raw->d_type))
            continue;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        QByteArray encoded(name);
        entries.push_back({QFile::decodeName(encoded), encoded, raw->d_type});
    }
    return entries;
}

void SortByName(std::vector<DirectoryEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        if (const int folded = a.name.compare(b.name, Qt::CaseInsensitive))
            return folded < 0;
        return a.encodedName < b.encodedName;
    });
}

bool Directory::mayEnter() const { return ::faccessat(::dirfd(dir_.get()), ".", X_OK, 0) == 0; }

bool Directory::statusOf(const DirectoryEntry& entry, struct stat& status) const
{
    return ::fstatat(::dirfd(dir_.get()), entry.encodedName.constData(), &status, 0) == 0;
}

}  // namespace quorvane
