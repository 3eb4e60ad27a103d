#pragma once

#include <QByteArray>
#include <QString>

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include <vector>

namespace quorvane {

struct DirectoryEntry {
    QString name;
    QByteArray encodedName;  // the bytes on disk
    unsigned char type;      // DT_REG, DT_DIR, DT_LNK, DT_UNKNOWN, ...

    // False when the bytes are not valid UTF-8: the text can't name the
    // entry again, as a character outside the code page couldn't on Windows.
    bool nameRoundTrips() const;
};

// One open folder, read with readdir so that a listing costs no call per
// entry beyond what its type leaves open.
class Directory {
public:
    // Throws FileSystemFailure when the folder can't be opened.
    explicit Directory(const QString& path);

    // The entries of the kinds asked for (by their d_type), except "." and
    // "..", in the order the disk gives them. Only those are decoded, so a
    // caller that wants few kinds pays for few. A read failure ends the
    // listing; its error number is in readError().
    std::vector<DirectoryEntry> entries(bool (*wanted)(unsigned char type));
    int readError() const { return readError_; }

    // Whether the folder may be entered, so that its entries can be opened.
    bool mayEnter() const;

    // The entry's status, following links; false when it can't be reached.
    bool statusOf(const DirectoryEntry& entry, struct stat& status) const;

private:
    std::unique_ptr<DIR, int (*)(DIR*)> dir_;
    int readError_ = 0;
};

// Sorts by name, upper and lower case alike and then exactly, so that a scan
// of one tree always gives one order.
void SortByName(std::vector<DirectoryEntry>& entries);

}  // namespace quorvane
