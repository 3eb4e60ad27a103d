#pragma once

#include "import/ImportMessages.h"

namespace quorvane {

class BusyIndicator;
class ConnectionParametersSource;
class Dialogs;
class EventPump;
class FileList;
class ImportDatabase;
class ImportOptionsSource;
class TableList;

// What the window (or the terminal) shows while a run is under way, and
// how it asks the run to stop.
class ImportProgress {
public:
    virtual ~ImportProgress() = default;
    virtual void update(int filePosition, int fileCount, int rowsInserted) = 0;
    virtual bool stopRequested() const = 0;
    // The final counts, just before the closing message.
    virtual void ended(int /*filePosition*/, int /*fileCount*/, int /*rowsInserted*/) {}
};

// Everything the run reads and talks to; it touches no widget.
struct ImportContext {
    Dialogs& dialogs;
    const ImportOptionsSource& options;
    const FileList& files;
    TableList& tables;
    const ConnectionParametersSource& connection;
    ImportDatabase& database;
    BusyIndicator& busy;
    EventPump& events;
    ImportProgress* progress = nullptr;
    // Where the data lines that are not loaded are written, one file per
    // source file; empty: nowhere.
    QString rejectsFolder = {};
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
};

// "Import to IBM DB2": checks the choices, then gives every listed file one
// pass (read, check, create or append, send the data lines as rows (one
// INSERT each, or in batches with fast load)), and ends with its closing
// message. The files share one connection; a file that lost it leaves the
// next file to open a fresh one.
ImportOutcome RunImport(const ImportContext& context);

}  // namespace quorvane
