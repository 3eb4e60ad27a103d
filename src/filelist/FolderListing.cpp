#include "filelist/FolderListing.h"

#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "filelist/FileList.h"
#include "filelist/FileRule.h"
#include "filelist/PathRules.h"

#include <QFile>

#include <algorithm>

namespace quorvane {

void SortByName(std::vector<DirectoryEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        if (const int folded = a.name.compare(b.name, Qt::CaseInsensitive))
            return folded < 0;
        return a.encodedName < b.encodedName;
    });
}

// --- What the walk read, kept for the listing --------------------------------

QString FolderContents::keyOf(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void FolderContents::remember(const QString& folder, const FileStamp& stamp, bool mayEnter,
                              std::vector<DirectoryEntry> entries)
{
    kept_.emplace(keyOf(folder), Kept{stamp, {mayEnter, std::move(entries)}});
}

std::optional<FolderContents::Snapshot> FolderContents::take(const QString& folder)
{
    const auto found = kept_.find(keyOf(folder));
    if (found == kept_.end())
        return std::nullopt;
    Kept kept = std::move(found.value());
    kept_.erase(found);
    if (StampOf(folder) != kept.stamp)
        return std::nullopt;
    return std::move(kept.snapshot);
}

// --- The listing ----------------------------------------------------------------

QStringList ListFiles(const QString& folder, const WildcardPattern& wildcard, FolderContents* contents)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    std::vector<DirectoryEntry> entries;
    // A folder that may be read but not entered lists names that can't be opened.
    std::optional<bool> mayEnter;
    if (auto snapshot = contents ? contents->take(prefix) : std::nullopt) {
        entries = std::move(snapshot->entries);
        mayEnter = snapshot->mayEnter;
    } else {
        try {
            Directory directory(prefix);
            entries = directory.entries([](EntryKind kind) { return kind != EntryKind::Folder; });
        } catch (const FileSystemFailure&) {
            return {};
        }
    }
    std::erase_if(entries, [&](const DirectoryEntry& entry) {
        return entry.kind == EntryKind::Folder || !wildcard.matches(entry.name) || !entry.nameRoundTrips();
    });
    SortByName(entries);
    if (!mayEnter)
        mayEnter = !entries.empty() && MayEnterFolder(prefix);

    const qsizetype prefixBytes = QFile::encodeName(prefix).size();
    QStringList names;
    for (const DirectoryEntry& entry : entries) {
        // Links and entries of unknown type are taken when they lead to a
        // regular file; pipes, sockets and devices never are.
        if (IsListedRegularFile(entry.kind, *mayEnter, prefixBytes + entry.encodedName.size())
            || IsRegularFile(prefix + entry.name))
            names.append(entry.name);
    }
    return names;
}

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    return ListFiles(folder, WildcardPattern(pattern));
}

// --- The files of a scan's folders ----------------------------------------------

namespace {

// Runs the statements of the listing either as steps of a reporting
// procedure or, without one, passing over whatever fails.
class Statements {
public:
    explicit Statements(ReportingProcedure* procedure) : procedure_(procedure) {}

    template <class Statement>
    void step(int line, Statement&& statement)
    {
        if (procedure_) {
            procedure_->step(line, std::forward<Statement>(statement));
            return;
        }
        try {
            statement();
        } catch (const std::exception&) {
        }
    }

    template <class Condition>
    bool test(int line, Condition&& condition)
    {
        if (procedure_)
            return procedure_->test(line, std::forward<Condition>(condition));
        try {
            return condition();
        } catch (const std::exception&) {
            return false;
        }
    }

    void at(int line)
    {
        if (procedure_)
            procedure_->at(line);
    }

private:
    ReportingProcedure* procedure_;
};

}  // namespace

void AppendFilesOfFolders(const FolderList& folders, const QString& pattern, FileList& list,
                          EventPump& pump, ReportingProcedure* procedure, FolderContents* contents)
{
    Statements run(procedure);
    const WildcardPattern wildcard(pattern);
    for (const QString& entry : folders) {
        run.at(116);
        QString folder;
        run.step(118, [&] { folder = entry.left(entry.size() - 1); });
        pump.processEvents();
        QStringList names;
        run.step(120, [&] { names = ListFiles(folder, wildcard, contents); });
        for (const QString& name : std::as_const(names)) {
            run.at(124);
            if (IsSkippedName(name))
                continue;
            QString path;
            run.step(126, [&] { path = folder + QLatin1Char('/') + name; });
            // The listing has just found every name it gives to be a regular file.
            if (run.test(128, [&] { return IsAddableFile(path, name, true); }))
                run.step(128, [&] { list.append(NormalizePath(path)); });
        }
    }
}

}  // namespace quorvane
