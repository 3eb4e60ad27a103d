#include "filelist/FolderWalk.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "filelist/Directory.h"
#include "filelist/FileAttributes.h"
#include "filelist/FileSystemFailure.h"
#include "filelist/FolderContents.h"
#include "filelist/FolderNameRules.h"

#include <QFile>
#include <QHash>

#include <climits>
#include <optional>
#include <unordered_set>

namespace quorvane {

namespace {

struct FolderIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderIdentity&) const = default;
};

struct FolderIdentityHash {
    size_t operator()(const FolderIdentity& id) const
    {
        return std::hash<ino_t>()(id.inode) * 31 + std::hash<dev_t>()(id.device);
    }
};

std::optional<FolderIdentity> IdentityOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FolderIdentity{status.st_dev, status.st_ino};
}

bool MayBeFolder(unsigned char type) { return type == DT_DIR || type == DT_LNK || type == DT_UNKNOWN; }

bool IsWalkedPast(int attributes)
{
    return attributes == Attribute::HiddenSystemFolder || attributes == Attribute::HiddenSystemLink;
}

class FolderWalk {
public:
    FolderWalk(Dialogs& dialogs, EventPump& pump, FolderContents* contents)
        : dialogs_(dialogs), pump_(pump), contents_(contents), root_(IdentityOf(QStringLiteral("/")))
    {
    }

    // The folders the caller hands in count as walked, so a link back to one
    // of them is not followed.
    void markWalked(const FolderList& folders)
    {
        for (const QString& folder : folders)
            if (const auto id = IdentityOf(folder))
                walked_.insert(*id);
    }

    void walkLevel(FolderList& folders, bool recurse);

private:
    bool isRootFolder(const QString& path) const
    {
        const auto id = IdentityOf(path);
        return id && root_ && *id == *root_;
    }

    // A folder this walk collected was seen as a folder then; a folder's word
    // never has the system bit, so it is never one of the words walked past.
    // Asking again at every level would cost calls and tell nothing new.
    bool isFolder(const QString& path) const { return collected_.contains(path) || IsFolder(path); }

    // Is it worth looking below this folder? Root is searched whatever its word.
    bool isSearched(const QString& path) const
    {
        if (collected_.contains(path))
            return true;
        return !IsWalkedPast(AttributeWord(path)) || isRootFolder(path);
    }

    void collectSubfolders(const QString& folder, FolderList& found);

    Dialogs& dialogs_;
    EventPump& pump_;
    FolderContents* contents_;
    std::optional<FolderIdentity> root_;
    std::unordered_set<FolderIdentity, FolderIdentityHash> walked_;
    QHash<QString, struct stat> collected_;  // status as the parent's listing saw it
};

void FolderWalk::walkLevel(FolderList& folders, bool recurse)
{
    ReportingProcedure proc(dialogs_, Location::SubDirectories);
    proc.at(104);
    FolderList found;
    // Once listing has begun, failures leave a folder out (or keep it) quietly
    // instead of being reported.
    bool listingBegun = false;

    const FolderList level = folders;  // removals below must not skip entries
    for (const QString& folder : level) {
        proc.at(108);
        if (!isFolder(folder))
            continue;
        proc.at(110);
        if (QFile::encodeName(folder).size() >= PATH_MAX)
            continue;

        proc.at(112);
        std::optional<bool> searched;
        try {
            searched = isSearched(folder);
        } catch (const FileSystemFailure& failure) {
            if (failure.isDeniedOrMissing()) {
                folders.removeOne(folder);
                continue;
            }
            if (listingBegun)
                continue;
            proc.report(failure.description());
        } catch (const std::exception& failure) {
            if (listingBegun)
                continue;
            proc.report(DescribeFailure(failure));
        }
        proc.at(114);
        pump_.processEvents();

        proc.at(116);
        if (searched == false)  // a lookup that failed counts as passed
            continue;
        listingBegun = true;
        try {
            collectSubfolders(folder, found);
        } catch (const FileSystemFailure& failure) {
            if (failure.isDeniedOrMissing())
                folders.removeOne(folder);  // its own files are not listed either
        } catch (const std::exception&) {
            // Ends this folder's listing; what was found so far stays.
        }
    }

    if (recurse && !found.isEmpty())
        proc.step(150, [&] { walkLevel(found, true); });

    for (const QString& candidate : found) {
        proc.at(154);
        if (!isFolder(candidate))
            continue;
        proc.at(156);
        pump_.processEvents();
        if (proc.test(158, [&] { return isSearched(candidate); }))
            proc.step(160, [&] { folders.append(candidate); });
    }
}

void FolderWalk::collectSubfolders(const QString& folder, FolderList& found)
{
    Directory directory(folder);
    // Copied: collecting below adds to the table, which may move its entries.
    const auto seen = collected_.constFind(folder);
    const std::optional<struct stat> seenStatus =
        seen != collected_.cend() ? std::optional<struct stat>(seen.value()) : std::nullopt;
    const bool keepFiles = contents_ && seenStatus;
    std::vector<DirectoryEntry> entries =
        keepFiles ? directory.entries([](unsigned char) { return true; })
                  : directory.entries([](unsigned char type) { return MayBeFolder(type); });
    std::vector<DirectoryEntry> files;
    if (keepFiles) {
        for (DirectoryEntry& entry : entries)
            if (entry.type != DT_DIR)
                files.push_back(entry);
        std::erase_if(entries, [](const DirectoryEntry& entry) { return !MayBeFolder(entry.type); });
    }
    SortByName(entries);
    for (const DirectoryEntry& entry : entries) {
        struct stat status {};
        if (!directory.statusOf(entry, status) || !S_ISDIR(status.st_mode))
            continue;
        pump_.processEvents();
        if (!IsCollectableFolderName(entry))
            continue;
        if (!walked_.insert({status.st_dev, status.st_ino}).second)
            continue;  // reached before, through a link or in its own place
        const QString subfolder = folder + entry.name + QLatin1Char('/');
        collected_.insert(subfolder, status);
        found.append(subfolder);
    }
    if (directory.readError() != 0)
        throw FileSystemFailure(directory.readError());
    if (keepFiles)
        contents_->remember(folder, *seenStatus, directory.mayEnter(), std::move(files));
}

}  // namespace

void GetSubDirectories2016(FolderList& folders, bool recurse, Dialogs& dialogs, EventPump& pump,
                           FolderContents* contents)
{
    FolderWalk walk(dialogs, pump, contents);
    walk.markWalked(folders);
    walk.walkLevel(folders, recurse);
}

}  // namespace quorvane
