#include "filelist/ScannedFiles.h"

#include "base/EventPump.h"
#include "base/ReportingProcedure.h"
#include "filelist/FileAttributes.h"
#include "filelist/FileList.h"
#include "filelist/ListFiles.h"
#include "filelist/NormalizePath.h"
#include "filelist/WildcardPattern.h"

namespace quorvane {

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

bool IsSkippedName(const QString& name) { return name.startsWith(QLatin1Char('~')); }

bool IsAddableFile(const QString& path, const QString& name, bool seenAsFile)
{
    if (!seenAsFile && !IsExistingFile(path))
        return false;
    // Only a dot-name carries the hidden bit, so only it can have the word 34;
    // other files need no further look.
    return !name.startsWith(QLatin1Char('.')) || AttributeWord(path) != Attribute::HiddenFile;
}

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
        std::vector<ListedFile> files;
        run.step(120, [&] { files = ListFileEntries(folder, wildcard, contents); });
        for (const ListedFile& file : files) {
            const QString& name = file.name;
            run.at(124);
            if (IsSkippedName(name))
                continue;
            QString path;
            run.step(126, [&] { path = folder + QLatin1Char('/') + name; });
            if (run.test(128, [&] { return IsAddableFile(path, name, file.seenAsFile); }))
                run.step(128, [&] { list.append(NormalizePath(path)); });
        }
    }
}

}  // namespace quorvane
