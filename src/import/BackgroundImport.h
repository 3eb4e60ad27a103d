#pragma once

#include "import/ImportEngine.h"
#include "import/InFlightLines.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

namespace quorvane {

class ImportDatabase;

// How long a statement under way at a stop runs on before it is cancelled.
inline constexpr std::chrono::milliseconds kCancelStatementAfter{3000};
// After a close, how long a cancelled statement may take to return before
// the program writes what is left to the rejects and ends without it.
inline constexpr std::chrono::milliseconds kEndWithoutStatementAfter{10000};

// What the run uses of the window; all of it belongs to the window's thread.
struct ImportWindowParts {
    Dialogs& dialogs;
    TableList& tables;
    BusyIndicator& busy;
    ImportProgress* progress = nullptr;
};

// Runs one import on a thread of its own while the window's thread goes on
// handling its events. The run gets its inputs as a value; it asks the
// window only to show dialogs (and waits for their answers), and posts its
// progress and the tables it makes without waiting. One stop, requested by
// the button or by closing the window, ends it.
class BackgroundImport {
public:
    // owner: an object of the window's thread that outlives the run.
    BackgroundImport(const ImportWindowParts& window, QObject* owner);
    ~BackgroundImport();
    BackgroundImport(const BackgroundImport&) = delete;
    BackgroundImport& operator=(const BackgroundImport&) = delete;

    // The run's stop, for the database it is given.
    std::stop_token stopToken() const { return stop_.get_token(); }

    // On the window's thread: returns once the run has ended, the window's
    // events handled meanwhile. After a stop, a statement that has run for
    // kCancelStatementAfter is cancelled, from a thread of its own.
    ImportOutcome run(const RunInputs& inputs, ImportDatabase& database, const QString& rejectsFolder);

    // From the window's thread, while run() waits.
    void stop();
    // The window closes: a stop, after which nothing more is shown.
    void close();
    bool closed() const { return closed_; }

    // How the program ends when a cancelled statement does not return after
    // a close (tests put something else in its place).
    static void SetProgramEnd(std::function<void()> end);

private:
    void endIfTheStatementHangs();

    std::stop_source stop_;
    ImportWindowParts window_;
    QObject* owner_;
    std::atomic<bool> closed_{false};
    InFlightLines inFlight_;
    // When the statement in progress was cancelled, in steady-clock ticks;
    // 0 while none was.
    std::atomic<std::chrono::steady_clock::rep> cancelledAt_{0};
    std::atomic<bool> finished_{false};
};

}  // namespace quorvane
