#include "import/ui/ImportController.h"

#include "app/ErrorReport.h"
#include "app/ReportingProcedure.h"
#include "filelist/ui/FileListView.h"
#include "import/ImportDatabase.h"
#include "import/ui/Form2.h"

#include <QPushButton>

#include <memory>

namespace quorvane {

ImportController::ImportController(Form2& window) : QObject(&window), window_(window)
{
    connect(window.PushButton1(), &QPushButton::clicked, this, [this] { PushButton1_Click(); });
}

QString ImportController::ProgressCaption(int filePosition, int fileCount, int rowsInserted)
{
    return QStringLiteral("Stop import: file %1 of %2, %3 rows inserted")
        .arg(filePosition)
        .arg(fileCount)
        .arg(rowsInserted);
}

void ImportController::PushButton1_Click()
{
    // A press during a run asks it to stop; it never starts a second run.
    if (running_) {
        stopRequested_ = true;
        window_.PushButton1()->setText(kStoppingCaption);
        return;
    }
    running_ = true;
    window_.setImportRunning(true);
    stopRequested_ = false;
    window_.PushButton1()->setText(ProgressCaption(0, window_.ListView1()->count(), 0));
    window_.runHandler([this] { run(); });
    running_ = false;
    window_.setImportRunning(false);
    window_.PushButton1()->setText(kImportCaption);
    window_.busyIndicator().setBusy(false);
}

void ImportController::run()
{
    std::unique_ptr<OdbcImportDatabase> database;
    ReportingProcedure proc(window_.dialogs(), Location::Form2Import);
    if (!proc.step(100, [&] { database = std::make_unique<OdbcImportDatabase>(); }))
        return;
    RunImport({window_.dialogs(), window_.importOptions(), *window_.ListView1(), window_.tableList(),
               window_.connectionParameters(), *database, window_.busyIndicator(), window_.eventPump(),
               this});
}

void ImportController::update(int filePosition, int fileCount, int rowsInserted)
{
    if (!stopRequested_)
        window_.PushButton1()->setText(ProgressCaption(filePosition, fileCount, rowsInserted));
}

}  // namespace quorvane
