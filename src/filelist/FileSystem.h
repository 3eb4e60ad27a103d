#pragma once

#include "base/Failure.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the file list asks of the operating system to read folders. This
// header is the same on every platform; FileSystemPosix.cpp implements it
// (and the file queries of FileRule.h) for Linux.

namespace quorvane {

// A failed file-system call, worded as the platform words its error number.
class FileSystemFailure : public Failure {
public:
    explicit FileSystemFailure(int error);
    int error() const { return error_; }

    // The two failures that leave a folder out of a scan without a word:
    // permission denied and path not found.
    bool isDeniedOrMissing() const;

private:
    int error_;
};

// The longest path and the longest single name the platform takes, in bytes
// of the encoded name.
extern const qsizetype kMaxPathBytes;
extern const qsizetype kMaxNameBytes;

// What a folder's listing tells of an entry without a call of its own.
enum class EntryKind { File, Folder, Link, Unknown, Other };

struct DirectoryEntry {
    QString name;
    QByteArray encodedName;  // the bytes on disk
    EntryKind kind;

    // False when the bytes are not valid UTF-8: the text can't name the
    // entry again, as a character outside the code page couldn't on Windows.
    bool nameRoundTrips() const;
};

// Which file or folder a path reaches: the same identity is the same one,
// whatever path or link led there.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
    size_t operator()(const FileIdentity& id) const
    {
        return std::hash<std::uint64_t>()(id.inode) * 31 + std::hash<std::uint64_t>()(id.device);
    }
};

// A folder's identity with its modification and change times: a folder
// whose stamp is the same has not changed.
struct FileStamp {
    FileIdentity identity;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of what the path reaches, following links; empty when it
// can't be reached.
std::optional<FileStamp> StampOf(const QString& path);

// Whether the folder may be entered, so that its entries can be opened.
bool MayEnterFolder(const QString& folder);

// One open folder, read so that a listing costs no call per entry beyond
// what its kind leaves open.
class Directory {
public:
    // Throws FileSystemFailure when the folder can't be opened.
    explicit Directory(const QString& path);
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // The entries of the kinds asked for, except "." and "..", in the order
    // the disk gives them. Only those are decoded, so a caller that wants few
    // kinds pays for few. A read failure ends the listing; its error number
    // is in readError().
    std::vector<DirectoryEntry> entries(bool (*wanted)(EntryKind kind));
    int readError() const { return readError_; }

    // Whether the folder may be entered, so that its entries can be opened.
    bool mayEnter() const;

    // The entry's stamp when it is a folder, following links; empty when it
    // is something else or can't be reached.
    std::optional<FileStamp> folderStampOf(const DirectoryEntry& entry) const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    int readError_ = 0;
};

}  // namespace quorvane
