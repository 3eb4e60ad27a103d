#include "import/BackgroundImport.h"

#include "base/CallsOnThread.h"
#include "base/EventPump.h"
#include "base/Failure.h"
#include "db/ConnectionParameters.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportOptions.h"

#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvane {

namespace {

// What the run reads of the window; once the program is ending there is
// nothing left to read, and the run unwinds.
template <class Result, class Work>
Result Ask(CallsOnThread& calls, Work&& work)
{
    Result result{};
    if (!calls.call([&] { result = work(); }))
        throw ProgramEnding{};
    return result;
}

template <class Work>
void Tell(CallsOnThread& calls, Work&& work)
{
    if (!calls.call(work))
        throw ProgramEnding{};
}

}  // namespace

// The run's pauses: the window needs none of them, as its thread is free.
// They show that the run is not stuck in a statement, and end it once the
// program is ending.
class BackgroundImport::Events final : public EventPump {
public:
    explicit Events(BackgroundImport& owner) : owner_(owner) {}
    void processEvents() override
    {
        ++owner_.pauses_;
        if (owner_.calls_->isAbandoned())
            throw ProgramEnding{};
    }

private:
    BackgroundImport& owner_;
};

// The run asks for the options before every row. They are read again
// whenever the window's thread may have run since (a dialog, a progress
// update at each pause), so a change counts from the run's next pause on.
class BackgroundImport::Options final : public ImportOptionsSource {
public:
    Options(const ImportOptionsSource& window, CallsOnThread& calls) : window_(window), calls_(calls) {}
    ImportOptions currentOptions() const override
    {
        if (!read_ || readAt_ != calls_.callsEnded()) {
            read_ = Ask<ImportOptions>(calls_, [&] { return window_.currentOptions(); });
            readAt_ = calls_.callsEnded();
        }
        return *read_;
    }

private:
    const ImportOptionsSource& window_;
    CallsOnThread& calls_;
    mutable std::optional<ImportOptions> read_;
    mutable quint64 readAt_ = 0;
};

class BackgroundImport::Files final : public FileList {
public:
    Files(FileList& window, CallsOnThread& calls) : window_(window), calls_(calls) {}
    int count() const override { return Ask<int>(calls_, [&] { return window_.count(); }); }
    QString path(int row) const override { return Ask<QString>(calls_, [&] { return window_.path(row); }); }
    void append(const QString& path) override { Tell(calls_, [&] { window_.append(path); }); }

private:
    FileList& window_;
    CallsOnThread& calls_;
};

class BackgroundImport::Tables final : public TableList {
public:
    Tables(TableList& window, CallsOnThread& calls) : window_(window), calls_(calls) {}
    QStringList items() const override { return Ask<QStringList>(calls_, [&] { return window_.items(); }); }
    void clear() override { Tell(calls_, [&] { window_.clear(); }); }
    void append(const QString& name) override { Tell(calls_, [&] { window_.append(name); }); }
    void insertAtTop(const QString& name) override { Tell(calls_, [&] { window_.insertAtTop(name); }); }
    std::optional<QString> selectedItem() const override
    {
        return Ask<std::optional<QString>>(calls_, [&] { return window_.selectedItem(); });
    }

private:
    TableList& window_;
    CallsOnThread& calls_;
};

class BackgroundImport::Login final : public ConnectionParametersSource {
public:
    Login(const ConnectionParametersSource& window, CallsOnThread& calls) : window_(window), calls_(calls) {}
    ConnectionParameters currentParameters() const override
    {
        return Ask<ConnectionParameters>(calls_, [&] { return window_.currentParameters(); });
    }

private:
    const ConnectionParametersSource& window_;
    CallsOnThread& calls_;
};

// The window's caption follows the run; the stop is read on the run's own
// thread. Once the program is ending the caption is left alone.
class BackgroundImport::Progress final : public ImportProgress {
public:
    Progress(BackgroundImport& owner, ImportProgress* window) : owner_(owner), window_(window) {}
    void update(int filePosition, int fileCount, int rowsInserted) override
    {
        if (window_)
            owner_.calls_->call([&] { window_->update(filePosition, fileCount, rowsInserted); });
    }
    void ended(int filePosition, int fileCount, int rowsInserted) override
    {
        if (window_)
            owner_.calls_->call([&] { window_->ended(filePosition, fileCount, rowsInserted); });
    }
    bool stopRequested() const override { return owner_.stopRequested_ || owner_.calls_->isAbandoned(); }

private:
    BackgroundImport& owner_;
    ImportProgress* window_;
};

struct BackgroundImport::Parts {
    Parts(BackgroundImport& owner, const ImportWindowParts& window, CallsOnThread& calls)
        : dialogs(window.dialogs, calls),
          options(window.options, calls),
          files(window.files, calls),
          tables(window.tables, calls),
          login(window.connection, calls),
          busy(window.busy, calls),
          events(owner),
          progress(owner, window.progress)
    {
    }

    DialogsOnThread dialogs;
    Options options;
    Files files;
    Tables tables;
    Login login;
    BusyIndicatorOnThread busy;
    Events events;
    Progress progress;
};

BackgroundImport::BackgroundImport(const ImportWindowParts& window, QObject* owner)
    : calls_(std::make_unique<CallsOnThread>(owner)),
      rejectsFolder_(window.rejectsFolder),
      parts_(std::make_unique<Parts>(*this, window, *calls_))
{
}

EventPump& BackgroundImport::events() { return parts_->events; }

BackgroundImport::~BackgroundImport() = default;

ImportOutcome BackgroundImport::run(ImportDatabase& database)
{
    database_ = &database;
    const ImportContext context{parts_->dialogs, parts_->options, parts_->files, parts_->tables,
                                parts_->login,   database,        parts_->busy,  parts_->events,
                                &parts_->progress, rejectsFolder_};
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(kCancelStatementAfter);
    QObject::connect(&watch, &QTimer::timeout, [this] { cancelIfStuck(); });
    watch_ = &watch;
    if (stopRequested_ || calls_->isAbandoned())
        watchTheStatement();

    std::mutex mutex;
    std::condition_variable ended;
    ImportOutcome outcome;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            outcome = RunImport(context);
        } catch (const ProgramEnding&) {
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
    loop.exec();

    // The event loops ended under the run (the program quits, and a new
    // loop would end at once): it shows nothing more and is waited for here,
    // its statement cancelled should it hang. It never waits on this thread
    // any longer, so the wait cannot close a circle.
    if (!finished_) {
        abandon();
        std::unique_lock lock(mutex);
        lastActivity_ = activity();
        while (!ended.wait_for(lock, kCancelStatementAfter, [&] { return finished_.load(); }))
            cancelIfStuck();
    }
    worker.join();
    watch_ = nullptr;
    database_ = nullptr;
    if (failure)
        std::rethrow_exception(failure);
    return outcome;
}

void BackgroundImport::stop()
{
    stopRequested_ = true;
    watchTheStatement();
}

void BackgroundImport::abandon()
{
    calls_->abandon();
    watchTheStatement();
}

quint64 BackgroundImport::activity() const { return pauses_ + calls_->callsEnded(); }

void BackgroundImport::watchTheStatement()
{
    if (!watch_ || watch_->isActive())
        return;
    lastActivity_ = activity();
    watch_->start();
}

// A run that has neither paused nor asked anything of the window since the
// last look is inside a statement (or on its way into one): cancel it.
// While the run waits on the window nothing is cancelled; a cancel that
// meets the connection idle does nothing.
void BackgroundImport::cancelIfStuck()
{
    const quint64 now = activity();
    if (!finished_ && !calls_->isCalling() && now == lastActivity_)
        database_->cancel();
    lastActivity_ = now;
}

}  // namespace quorvane
