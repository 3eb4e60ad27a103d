#pragma once

#include <QFile>
#include <QString>

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

// True when the attribute word has the directory bit; never fails.
bool IsFolder(const QString& path);

// True when open() with O_PATH reaches the path and it is a regular file,
// after following links: pipes, sockets and devices are not files here, as
// they may block a reader or never end. Never fails.
bool IsExistingFile(const QString& path);

// Opens the path into file for reading (with the extra flags), without
// waiting on it. Throws Failure (FileSystemFailure when the system refuses)
// unless it is a regular file, after following links.
void OpenRegularFileForReading(QFile& file, const QString& path, QIODevice::OpenMode extraFlags = {});

}  // namespace quorvane
