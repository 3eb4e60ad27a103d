#pragma once

#include "import/ImportEngine.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <memory>

class QTimer;

namespace quorvane {

class CallsOnThread;

// How long a stop, or the program's end, waits for a statement under way
// before it cancels that statement.
inline constexpr std::chrono::milliseconds kCancelStatementAfter{3000};

// What the run uses of the window; all of it belongs to the window's thread.
struct ImportWindowParts {
    Dialogs& dialogs;
    const ImportOptionsSource& options;
    FileList& files;
    TableList& tables;
    const ConnectionParametersSource& connection;
    BusyIndicator& busy;
    ImportProgress* progress = nullptr;
    QString rejectsFolder = {};  // see ImportContext
};

// Runs the import on a thread of its own while the window's thread goes on
// handling its events. Whatever the run uses of the window (dialogs,
// options, file and table lists, login fields, pointer, progress) it
// reaches on the window's thread, and it waits for the answer; only the
// database is used on the run's thread.
class BackgroundImport {
public:
    // owner: an object of the window's thread that outlives the run.
    BackgroundImport(const ImportWindowParts& window, QObject* owner);
    ~BackgroundImport();
    BackgroundImport(const BackgroundImport&) = delete;
    BackgroundImport& operator=(const BackgroundImport&) = delete;

    // The run's own pauses, for a database that waits on its thread (an
    // open): they end the wait once the program is ending.
    EventPump& events();

    // On the window's thread: returns once the run has ended, the window's
    // events handled meanwhile. Should the event loops end first (the
    // program quits), the run is abandoned and waited for.
    ImportOutcome run(ImportDatabase& database);

    // On the window's thread, while run() waits. A stop: the run sees it
    // before its next statement.
    void stop();
    // The program ends: the run stops before its next statement, shows
    // nothing more and unwinds at its next pause.
    void abandon();

private:
    class Events;
    class Options;
    class Files;
    class Tables;
    class Login;
    class Progress;

    quint64 activity() const;
    void watchTheStatement();
    void cancelIfStuck();

    ImportDatabase* database_ = nullptr;  // while run() waits
    std::unique_ptr<CallsOnThread> calls_;
    QString rejectsFolder_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<quint64> pauses_{0};
    std::atomic<bool> finished_{false};
    quint64 lastActivity_ = 0;
    QTimer* watch_ = nullptr;  // while run() waits
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace quorvane
