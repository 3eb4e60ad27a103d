#include "filelist/AddFilesCommand.h"

#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"
#include "filelist/FileDialogAnswer.h"
#include "filelist/FileList.h"
#include "filelist/NormalizePath.h"

namespace quorvane {

void AddTextFiles(Dialogs& dialogs, FileList& list)
{
    ReportingProcedure proc(dialogs, Location::AddFiles);

    OpenFilesSpec request;
    proc.step(104, [&] { request.title = kAddFilesTitle; });
    proc.step(106, [&] {
        request.filters = kAddFilesFilters;
        request.selectedFilter = 0;
    });
    QStringList chosen;
    proc.step(108, [&] { chosen = dialogs.openFiles(request); });
    if (AnswerLength(chosen) > kFileDialogAnswerRoom) {
        ShowPlainMessage(dialogs, kTooManyFilesMessage);
        return;
    }

    proc.at(110);
    if (chosen.isEmpty())
        return;
    if (chosen.size() == 1) {
        proc.step(116, [&] { list.append(chosen.first()); });
        return;
    }

    MultipleSelection selection;
    proc.step(120, [&] { selection = SplitSelection(chosen); });
    for (const QString& name : std::as_const(selection.names)) {
        QString path;
        proc.step(128, [&] { path = selection.folder + QLatin1Char('/') + name; });
        proc.step(130, [&] { path = NormalizePath(path); });
        proc.step(132, [&] { list.append(path); });
    }
}

}  // namespace quorvane
