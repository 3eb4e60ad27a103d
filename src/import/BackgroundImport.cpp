#include "import/BackgroundImport.h"

#include "base/CallsOnThread.h"
#include "db/TableCatalogue.h"
#include "import/ImportDatabase.h"

#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

namespace quorvane {

namespace {

std::function<void()>& ProgramEnd()
{
    static std::function<void()> end = [] { std::_Exit(EXIT_FAILURE); };
    return end;
}

// The tables as listed at the press, and those the run makes: each is
// posted to the window's list as well, without waiting for it.
class RunTables final : public TableList {
public:
    RunTables(TableList& window, QObject* owner) : window_(window), owner_(owner), items_(window.items()) {}
    QStringList items() const override { return items_; }
    void clear() override { items_.clear(); }
    void append(const QString& name) override { items_.append(name); }
    void insertAtTop(const QString& name) override
    {
        items_.prepend(name);
        QMetaObject::invokeMethod(owner_, [&window = window_, name] { window.insertAtTop(name); },
                                  Qt::QueuedConnection);
    }
    std::optional<QString> selectedItem() const override { return std::nullopt; }

private:
    TableList& window_;
    QObject* owner_;
    QStringList items_;
};

// Posted, never awaited: the run does not wait for the window to draw.
class PostedProgress final : public ImportProgress {
public:
    PostedProgress(ImportProgress* window, QObject* owner, const std::atomic<bool>& closed)
        : window_(window), owner_(owner), closed_(closed)
    {
    }
    void update(int filePosition, int fileCount, int rowsInserted) override
    {
        if (!window_ || closed_)
            return;
        QMetaObject::invokeMethod(
            owner_, [window = window_, filePosition, fileCount, rowsInserted] {
                window->update(filePosition, fileCount, rowsInserted);
            },
            Qt::QueuedConnection);
    }

private:
    ImportProgress* window_;
    QObject* owner_;
    const std::atomic<bool>& closed_;
};

}  // namespace

void BackgroundImport::SetProgramEnd(std::function<void()> end) { ProgramEnd() = std::move(end); }

BackgroundImport::BackgroundImport(const ImportWindowParts& window, QObject* owner)
    : window_(window), owner_(owner)
{
}

BackgroundImport::~BackgroundImport() = default;

ImportOutcome BackgroundImport::run(const RunInputs& inputs, ImportDatabase& database, const QString& rejectsFolder)
{
    CallsOnThread calls(owner_, stop_.get_token());
    DialogsOnThread dialogs(window_.dialogs, calls);
    BusyIndicatorOnThread busy(window_.busy, calls);
    RunTables tables(window_.tables, owner_);
    PostedProgress progress(window_.progress, owner_, closed_);
    const ImportContext context{dialogs,           inputs, tables, database, busy, &progress, rejectsFolder,
                                stop_.get_token(), &inFlight_};

    // After the stop, a statement that runs on is cancelled from here: the
    // window's thread never waits for a driver's cancel.
    std::jthread canceller([&](std::stop_token ended) {
        std::mutex mutex;
        std::condition_variable_any tick;
        std::unique_lock lock(mutex);
        const std::stop_token stop = stop_.get_token();
        // Looks every 100 ms: nothing to miss, and nothing for the stop to wake.
        while (!ended.stop_requested()) {
            if (stop.stop_requested() && database.cancel(kCancelStatementAfter) && cancelledAt_ == 0)
                cancelledAt_ = std::chrono::steady_clock::now().time_since_epoch().count();
            tick.wait_for(lock, ended, std::chrono::milliseconds(100), [] { return false; });
        }
    });

    QEventLoop loop;
    std::mutex mutex;
    std::condition_variable ended;
    ImportOutcome outcome;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            outcome = ImportFiles(context);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex);
            finished_ = true;
        }
        ended.notify_all();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [this] { endIfTheStatementHangs(); });
    watch.start(250);
    loop.exec();

    // The event loops ended under the run (the program quits): it is
    // stopped, shows nothing more, and is waited for here.
    if (!finished_) {
        close();
        std::unique_lock lock(mutex);
        while (!ended.wait_for(lock, std::chrono::milliseconds(250), [&] { return finished_.load(); })) {
            lock.unlock();
            endIfTheStatementHangs();
            lock.lock();
        }
    }
    worker.join();
    canceller.request_stop();
    if (failure)
        std::rethrow_exception(failure);
    return outcome;
}

void BackgroundImport::stop() { stop_.request_stop(); }

void BackgroundImport::close()
{
    closed_ = true;
    stop_.request_stop();
}

// A closed window must not leave the program running unseen for as long as
// a frozen server keeps the statement: its lines are written to the
// rejects, marked in doubt, and the program ends.
void BackgroundImport::endIfTheStatementHangs()
{
    const auto cancelled = cancelledAt_.load();
    if (!closed_ || finished_ || cancelled == 0)
        return;
    const auto since = std::chrono::steady_clock::now()
                       - std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(cancelled));
    if (since < kEndWithoutStatementAfter)
        return;
    if (inFlight_.writeAndAbandon())
        ProgramEnd()();
}

}  // namespace quorvane
