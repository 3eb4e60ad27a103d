#pragma once

#include "db/ConnectionParameters.h"
#include "import/ImportMessages.h"
#include "import/ImportOptions.h"

#include <QStringList>

#include <stop_token>

namespace quorvane {

class BusyIndicator;
class Dialogs;
class ImportDatabase;
class InFlightLines;
class TableList;

// What the window (or the terminal) shows while a run is under way.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;
    virtual void update(int filePosition, int fileCount, int rowsInserted) = 0;
};

// Everything a run is given, read once when it starts: a change to the
// window's choices meanwhile counts for the next run.
struct RunInputs {
    ImportOptions options;
    QStringList files;
    ConnectionParameters login;
};

// Everything the run reads and talks to; it touches no widget.
struct ImportContext {
    Dialogs& dialogs;
    const RunInputs& inputs;
    TableList& tables;
    ImportDatabase& database;
    BusyIndicator& busy;
    ImportProgress* progress = nullptr;
    // Where the data lines that are not loaded are written, one file per
    // source file; empty: nowhere.
    QString rejectsFolder = {};
    // The run's one stop: the button, Ctrl+C or a closed window. The run
    // sends no statement after it, and the rest of the file goes to the
    // rejects.
    std::stop_token stop = {};
    // For ending the program while a statement does not return; optional.
    InFlightLines* inFlight = nullptr;
};

struct ImportOutcome {
    enum class Ending {
        Refused,          // a check before any file said no
        FieldCountCheck,  // a file's lines disagreed (or could not be checked)
        Finished,
        Stopped,
    };
    Ending ending = Ending::Refused;
    ImportCounts counts;
    bool anyFailure = false;
    bool lastFileSkipped = false;  // "Table(s) already exist."
    QString rejectsWritten;        // the folder, when any line was written there
    QString rejectsFolder;
    qint64 linesUnwritten = 0;     // lines not loaded that could not be written there
    int filePosition = 0;          // of the last file whose pass began
};

// "Import to IBM DB2": checks the choices, then gives every listed file one
// pass (read, check, create or append, insert the data lines as rows (one
// INSERT each, or in batches with fast load)). The files share one
// connection; a file that lost it leaves the next file to open a fresh one.
// No closing message: see ShowClosingMessage.
ImportOutcome ImportFiles(const ImportContext& context);

// The closing message that fits the outcome ("Done.", the summary, ...);
// nothing after a refusal, nor after a field-count mismatch alone.
void ShowClosingMessage(Dialogs& dialogs, const ImportOutcome& outcome);

// Both, for callers on one thread (the command line, tests).
ImportOutcome RunImport(const ImportContext& context);

}  // namespace quorvane
