#include "import/ui/ImportController.h"

#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "base/ReportingProcedure.h"
#include "filelist/ui/FileListView.h"
#include "import/BackgroundImport.h"
#include "import/ImportDatabase.h"
#include "import/ui/ImportWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleHints>

#include <memory>
#include <utility>

namespace quorvane {

namespace {

// The line numbers each procedure's error reports quote.
// run(): the import run's first line; the rest are the run's own
namespace ImportRunLine {
constexpr int CreateObjects = 100;
}  // namespace ImportRunLine

}  // namespace

ImportController::ImportController(ImportWindow& window) : QObject(&window), window_(window)
{
    clock_.start();
    // A click comes at the release; the double-click interval counts from
    // press to press (keys and click() press the button too).
    connect(window.importButton(), &QPushButton::pressed, this, [this] { notePress(); });
    connect(window.importButton(), &QPushButton::clicked, this, [this] { onImportClicked(); });
    // Closing the window ends the program: a run under way shows nothing
    // more and stops after its statement.
    window.installEventFilter(this);
}

bool ImportController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close && background_)
        background_->close();
    return QObject::eventFilter(watched, event);
}

void ImportController::notePress() { lastPress_ = clock_.elapsed(); }

namespace {

QString RowsInserted(int rows)
{
    return rows == 1 ? QStringLiteral("1 row inserted") : QStringLiteral("%1 rows inserted").arg(rows);
}

}  // namespace

QString ImportController::ProgressCaption(int filePosition, int fileCount, int rowsInserted)
{
    return QStringLiteral("Stop import: file %1 of %2, ").arg(filePosition).arg(fileCount)
           + RowsInserted(rowsInserted);
}

QString ImportController::ResultCaption(int rowsInserted, bool stopped)
{
    return (stopped ? QStringLiteral("Stopped: ") : QStringLiteral("Finished: ")) + RowsInserted(rowsInserted);
}

void ImportController::onImportClicked()
{
    // Each press counts once; a click without one (a call) has none.
    const qint64 press = std::exchange(lastPress_, -1);
    // A press during a run asks it to stop; it never starts a second run.
    if (running_) {
        if (press >= 0 && startPress_ >= 0
            && press - startPress_ < QGuiApplication::styleHints()->mouseDoubleClickInterval())
            return;
        stopRequested_ = true;
        window_.importButton()->setText(kStoppingCaption);
        if (background_)
            background_->stop();
        return;
    }
    running_ = true;
    window_.setImportRunning(true);
    stopRequested_ = false;
    startPress_ = press;
    // The caption changes when the first file starts (update), not while a
    // refusal is up.
    window_.runHandler([this] { run(); });
    running_ = false;
    window_.setImportRunning(false);
    window_.importButton()->setText(kImportCaption);
    window_.busyIndicator().setBusy(false);
}

RunInputs ImportController::takeInputs() const
{
    RunInputs inputs;
    inputs.options = window_.importOptions().currentOptions();
    const FileListView& files = *window_.fileList();
    for (int row = 1; row <= files.count(); ++row)
        inputs.files << files.path(row);
    inputs.login = window_.connectionParameters().currentParameters();
    return inputs;
}

// The run goes on a thread of its own; this one waits for it while the
// window handles its events, shows the dialogs the run asks for, and then
// its closing message.
void ImportController::run()
{
    const RunInputs inputs = takeInputs();
    BackgroundImport background({window_.dialogs(), window_.tableList(), window_.busyIndicator(), this}, this);
    std::unique_ptr<OdbcImportDatabase> database;
    ReportingProcedure proc(window_.dialogs(), Location::ImportRun);
    if (!proc.step(ImportRunLine::CreateObjects,
                   [&] { database = std::make_unique<OdbcImportDatabase>(background.stopToken()); }))
        return;
    background_ = &background;
    const auto clear = qScopeGuard([this] { background_ = nullptr; });
    const ImportOutcome outcome = background.run(inputs, *database, RunRejectsFolder());
    if (background.closed())
        return;
    // The counts stand next to the closing message, after a stop too, as a
    // result: nothing is left to stop. The designed caption returns after.
    const bool silent = outcome.ending == ImportOutcome::Ending::Refused
                        || (outcome.ending == ImportOutcome::Ending::FieldCountCheck && !outcome.anyFailure);
    if (!silent)
        window_.importButton()->setText(ResultCaption(outcome.counts.rowsInserted, stopRequested_));
    ShowClosingMessage(window_.dialogs(), outcome);
}

void ImportController::update(int filePosition, int fileCount, int rowsInserted)
{
    if (!stopRequested_)
        window_.importButton()->setText(ProgressCaption(filePosition, fileCount, rowsInserted));
}

}  // namespace quorvane
