#include "filelist/FolderContents.h"

#include <QFile>

namespace quorvane {

namespace {
bool SameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
}  // namespace

QString FolderContents::keyOf(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void FolderContents::remember(const QString& folder, const struct stat& status, bool mayEnter,
                              std::vector<DirectoryEntry> entries)
{
    kept_.emplace(keyOf(folder), Kept{status.st_dev, status.st_ino, status.st_mtim, status.st_ctim,
                                      {mayEnter, std::move(entries)}});
}

std::optional<FolderContents::Snapshot> FolderContents::take(const QString& folder)
{
    const auto found = kept_.find(keyOf(folder));
    if (found == kept_.end())
        return std::nullopt;
    Kept kept = std::move(found.value());
    kept_.erase(found);
    struct stat now {};
    if (::stat(QFile::encodeName(folder).constData(), &now) != 0 || now.st_dev != kept.device
        || now.st_ino != kept.inode || !SameTime(now.st_mtim, kept.modified)
        || !SameTime(now.st_ctim, kept.changed))
        return std::nullopt;
    return std::move(kept.snapshot);
}

}  // namespace quorvane
