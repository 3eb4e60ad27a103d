#include "filelist/FileAttributes.h"

#include "filelist/FileSystemFailure.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

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

bool IsExistingFile(const QString& path)
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
