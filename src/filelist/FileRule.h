#pragma once

#include "filelist/FileSystem.h"

#include <QFile>
#include <QString>

// Which paths are files the list takes. The queries that ask the operating
// system are implemented with the rest of the platform's calls
// (FileSystemPosix.cpp); the rule built on them follows them here.

namespace quorvane {

// The attribute word of a path, built from what Linux knows about it so the
// scan can compare whole words as it does on Windows.
namespace Attribute {
inline constexpr int ReadOnly = 1;   // no write bit for anyone in its mode
inline constexpr int Hidden = 2;     // its name starts with "."
inline constexpr int System = 4;     // socket, device or pipe
inline constexpr int Directory = 16;
inline constexpr int Archive = 32;   // every regular file
inline constexpr int Alias = 1024;   // a symbolic link

// Words the scan singles out.
inline constexpr int HiddenSystemFolder = Directory | Hidden | System;  // 22
inline constexpr int HiddenSystemLink = Alias | HiddenSystemFolder;     // 1046
inline constexpr int HiddenFile = Archive | Hidden;                     // 34
}  // namespace Attribute

// A symbolic link gets Alias and, when its target can be reached, the kind
// bits of the target. Throws FileSystemFailure when the path can't be read.
int AttributeWord(const QString& path);

// True when the path reaches a folder, after following links; never fails.
bool IsFolder(const QString& path);

// True when the path reaches a regular file, after following links: pipes,
// sockets and devices are not files here, as they may block a reader or
// never end. Never fails.
bool IsRegularFile(const QString& path);

// Opens the path into file for reading (with the extra flags), without
// waiting on it. Throws Failure (FileSystemFailure when the system refuses)
// unless it is a regular file, after following links.
void OpenRegularFileForReading(QFile& file, const QString& path, QIODevice::OpenMode extraFlags = {});

// The scan's rule for a file found in a folder: a name starting with "~"
// never counts; a file counts when it is a regular file and its attribute
// word is not exactly 34 (a plain hidden file). Throws FileSystemFailure
// when the attribute word of a dot-file can't be read.
inline bool IsSkippedName(const QString& name) { return name.startsWith(QLatin1Char('~')); }

// listedAsFile: the folder's listing has just found it to be a regular file
// (see IsListedRegularFile), so it is not looked at again for that.
inline bool IsAddableFile(const QString& path, const QString& name, bool listedAsFile = false)
{
    if (!listedAsFile && !IsRegularFile(path))
        return false;
    // Only a dot-name carries the hidden bit, so only it can have the word 34;
    // other files need no further look.
    return !name.startsWith(QLatin1Char('.')) || AttributeWord(path) != Attribute::HiddenFile;
}

// Whether a folder's listing, showing an entry of this kind, has already
// seen all that IsRegularFile would tell: a regular file in a folder that
// may be entered, at a path within the limit, which opening would reach.
// Opening every file of a scan once more would cost a call per file.
inline bool IsListedRegularFile(EntryKind kind, bool folderMayBeEntered, qsizetype encodedPathBytes)
{
    return kind == EntryKind::File && folderMayBeEntered && encodedPathBytes < kMaxPathBytes;
}

}  // namespace quorvane
