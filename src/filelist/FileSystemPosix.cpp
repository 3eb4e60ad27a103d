// The file list's calls to the operating system, for Linux (POSIX).

#include "filelist/FileRule.h"
#include "filelist/FileSystem.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace quorvane {

// --- Failures and limits -------------------------------------------------------

FileSystemFailure::FileSystemFailure(int error)
    : Failure(QString::fromLocal8Bit(std::strerror(error))), error_(error)
{
}

bool FileSystemFailure::isDeniedOrMissing() const
{
    return error_ == EACCES || error_ == EPERM || error_ == ENOENT || error_ == ENOTDIR;
}

const qsizetype kMaxPathBytes = PATH_MAX;
const qsizetype kMaxNameBytes = NAME_MAX;

// --- Folders -------------------------------------------------------------------

namespace {

EntryKind KindOf(unsigned char type)
{
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        return EntryKind::Unknown;
    default:
        return EntryKind::Other;
    }
}

std::int64_t Nanoseconds(const struct timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileStamp StampOf(const struct stat& status)
{
    return {{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
            Nanoseconds(status.st_mtim),
            Nanoseconds(status.st_ctim)};
}

}  // namespace

bool DirectoryEntry::nameRoundTrips() const
{
    const bool ascii = std::all_of(encodedName.begin(), encodedName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii || QFile::encodeName(name) == encodedName;
}

std::optional<FileStamp> StampOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return StampOf(status);
}

bool MayEnterFolder(const QString& folder) { return ::access(QFile::encodeName(folder).constData(), X_OK) == 0; }

struct Directory::Handle {
    std::unique_ptr<DIR, int (*)(DIR*)> dir;
};

Directory::Directory(const QString& path)
    : handle_(new Handle{{::opendir(QFile::encodeName(path).constData()), &::closedir}})
{
    if (!handle_->dir)
        throw FileSystemFailure(errno);
}

Directory::~Directory() = default;

std::vector<DirectoryEntry> Directory::entries(bool (*wanted)(EntryKind kind))
{
    std::vector<DirectoryEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* raw = ::readdir(handle_->dir.get());
        if (!raw) {
            readError_ = errno;
            break;
        }
        const char* name = raw->d_name;
        const EntryKind kind = KindOf(raw->d_type);
        if (!wanted(kind))
            continue;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        QByteArray encoded(name);
        entries.push_back({QFile::decodeName(encoded), encoded, kind});
    }
    return entries;
}

bool Directory::mayEnter() const { return ::faccessat(::dirfd(handle_->dir.get()), ".", X_OK, 0) == 0; }

std::optional<FileStamp> Directory::folderStampOf(const DirectoryEntry& entry) const
{
    struct stat status {};
    if (::fstatat(::dirfd(handle_->dir.get()), entry.encodedName.constData(), &status, 0) != 0
        || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return StampOf(status);
}

// --- Files -----------------------------------------------------------------------

namespace {

// The last name of the path; trailing separators don't start a new one.
QStringView LastName(QStringView path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

int KindBits(mode_t mode)
{
    if (S_ISDIR(mode))
        return Attribute::Directory;
    if (S_ISREG(mode))
        return Attribute::Archive;
    if (S_ISSOCK(mode) || S_ISFIFO(mode) || S_ISCHR(mode) || S_ISBLK(mode))
        return Attribute::System;
    return 0;
}

}  // namespace

int AttributeWord(const QString& path)
{
    // lstat of "dir/" would follow a link, so the entry is read by its bare name.
    QStringView entry = path;
    while (entry.size() > 1 && entry.endsWith(QLatin1Char('/')))
        entry.chop(1);
    const QByteArray encoded = QFile::encodeName(entry.toString());
    struct stat status {};
    if (::lstat(encoded.constData(), &status) != 0)
        throw FileSystemFailure(errno);

    int word = 0;
    // A link has the mode of its target; one whose target is gone has none.
    mode_t mode = status.st_mode;
    if (S_ISLNK(status.st_mode)) {
        word |= Attribute::Alias;
        struct stat target {};
        mode = ::stat(encoded.constData(), &target) == 0 ? target.st_mode : 0;
    }
    word |= KindBits(mode);
    if (LastName(path).startsWith(QLatin1Char('.')))
        word |= Attribute::Hidden;
    // From the mode, not from what the current user may do, so that a scan
    // lists the same files whoever runs it.
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        word |= Attribute::ReadOnly;
    return word;
}

bool IsFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    const bool isFile = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    ::close(fd);
    return isFile;
}

void OpenRegularFileForReading(QFile& file, const QString& path, QIODevice::OpenMode extraFlags)
{
    // Without O_NONBLOCK, opening a pipe that has no writer never returns.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw FileSystemFailure(errno);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileSystemFailure(error);
    }
    // A device can be endless, and a pipe or socket may wait for ever.
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        if (S_ISDIR(status.st_mode))
            throw FileSystemFailure(EISDIR);
        throw Failure(QStringLiteral("Not a regular file"));
    }
    if (!file.open(fd, QIODevice::ReadOnly | extraFlags, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(file.errorString());
    }
}

}  // namespace quorvane
