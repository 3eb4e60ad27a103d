#include "filelist/FolderWalk.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "filelist/FileRule.h"

#include <QFile>
#include <QHash>

#include <optional>
#include <unordered_set>

namespace quorvane {

// --- The name rules ----------------------------------------------------------

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
    return entry.encodedName.size() <= kMaxNameBytes && entry.nameRoundTrips()
           && !HasBadCharacters(entry.name) && !entry.name.contains(QLatin1Char('?'))
           && entry.name != QLatin1String(".") && entry.name != QLatin1String("..");
}

// --- The walk -------------------------------------------------------------------

namespace {

std::optional<FileIdentity> IdentityOf(const QString& path)
{
    const auto stamp = StampOf(path);
    return stamp ? std::optional<FileIdentity>(stamp->identity) : std::nullopt;
}

bool MayBeFolder(EntryKind kind)
{
    return kind == EntryKind::Folder || kind == EntryKind::Link || kind == EntryKind::Unknown;
}

bool IsWalkedPast(int attributes)
{
    return attributes == Attribute::HiddenSystemFolder || attributes == Attribute::HiddenSystemLink;
}

class FolderTreeWalk {
public:
    FolderTreeWalk(Dialogs& dialogs, EventPump& pump, FolderContents* contents)
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
    std::optional<FileIdentity> root_;
    std::unordered_set<FileIdentity, FileIdentityHash> walked_;
    QHash<QString, FileStamp> collected_;  // stamp as the parent's listing saw it
};

void FolderTreeWalk::walkLevel(FolderList& folders, bool recurse)
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
        if (QFile::encodeName(folder).size() >= kMaxPathBytes)
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

void FolderTreeWalk::collectSubfolders(const QString& folder, FolderList& found)
{
    Directory directory(folder);
    // Copied: collecting below adds to the table, which may move its entries.
    const auto seen = collected_.constFind(folder);
    const std::optional<FileStamp> seenStamp =
        seen != collected_.cend() ? std::optional<FileStamp>(seen.value()) : std::nullopt;
    // The listing that follows the walk takes the files of this folder from
    // here, so that the scan reads every folder once.
    const bool keepFiles = contents_ && seenStamp;
    std::vector<DirectoryEntry> entries =
        keepFiles ? directory.entries([](EntryKind) { return true; })
                  : directory.entries([](EntryKind kind) { return MayBeFolder(kind); });
    std::vector<DirectoryEntry> files;
    if (keepFiles) {
        for (DirectoryEntry& entry : entries)
            if (entry.kind != EntryKind::Folder)
                files.push_back(entry);
        std::erase_if(entries, [](const DirectoryEntry& entry) { return !MayBeFolder(entry.kind); });
    }
    SortByName(entries);
    for (const DirectoryEntry& entry : entries) {
        const std::optional<FileStamp> stamp = directory.folderStampOf(entry);
        if (!stamp)
            continue;
        pump_.processEvents();
        if (!IsCollectableFolderName(entry))
            continue;
        if (!walked_.insert(stamp->identity).second)
            continue;  // reached before, through a link or in its own place
        const QString subfolder = folder + entry.name + QLatin1Char('/');
        collected_.insert(subfolder, *stamp);
        found.append(subfolder);
    }
    if (directory.readError() != 0)
        throw FileSystemFailure(directory.readError());
    if (keepFiles)
        contents_->remember(folder, *seenStamp, directory.mayEnter(), std::move(files));
}

}  // namespace

void ExtendWithSubfolders(FolderList& folders, bool recurse, Dialogs& dialogs, EventPump& pump,
                          FolderContents* contents)
{
    FolderTreeWalk walk(dialogs, pump, contents);
    walk.markWalked(folders);
    walk.walkLevel(folders, recurse);
}

}  // namespace quorvane
