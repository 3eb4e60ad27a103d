#include "base/CallsOnThread.h"

#include <QThread>

#include <condition_variable>
#include <exception>
#include <mutex>

namespace quorvane {

struct CallsOnThread::Shared {
    explicit Shared(std::stop_token token) : stop(std::move(token)) {}
    std::stop_token stop;
    std::mutex mutex;
    std::condition_variable_any changed;
};

namespace {

// One call on its way to the owner's thread. The queued event may outlive
// the caller (a call dropped at the stop): it then finds Dropped and never
// touches the caller's work.
struct Call {
    enum class State { Queued, Running, Done, Dropped };
    State state = State::Queued;
    const std::function<void()>* work = nullptr;
    std::exception_ptr failure;
};

}  // namespace

CallsOnThread::CallsOnThread(QObject* owner, std::stop_token stop)
    : shared_(std::make_shared<Shared>(std::move(stop))), owner_(owner)
{
}

CallsOnThread::~CallsOnThread() = default;

bool CallsOnThread::call(const std::function<void()>& work)
{
    if (shared_->stop.stop_requested())
        return false;
    if (QThread::currentThread() == owner_->thread()) {
        work();
        return true;
    }
    auto call = std::make_shared<Call>();
    call->work = &work;
    std::unique_lock lock(shared_->mutex);
    QMetaObject::invokeMethod(
        owner_,
        [shared = shared_, call] {
            {
                const std::lock_guard running(shared->mutex);
                // Stopped before the caller woke to drop it: not shown either.
                if (call->state == Call::State::Dropped || shared->stop.stop_requested()) {
                    call->state = Call::State::Dropped;
                    shared->changed.notify_all();
                    return;
                }
                call->state = Call::State::Running;
            }
            std::exception_ptr failure;
            try {
                (*call->work)();
            } catch (...) {
                failure = std::current_exception();
            }
            {
                const std::lock_guard done(shared->mutex);
                call->failure = failure;
                call->state = Call::State::Done;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);
    // A stop wakes the wait; a call already running is still waited for.
    while (call->state != Call::State::Done && call->state != Call::State::Dropped) {
        shared_->changed.wait(lock, shared_->stop, [&] {
            return call->state == Call::State::Done || call->state == Call::State::Dropped;
        });
        if (call->state == Call::State::Queued && shared_->stop.stop_requested())
            call->state = Call::State::Dropped;
        else if (call->state == Call::State::Running)
            shared_->changed.wait(lock, [&] { return call->state == Call::State::Done; });
    }
    if (call->state != Call::State::Done)
        return false;
    if (call->failure)
        std::rethrow_exception(call->failure);
    return true;
}

bool DialogsOnThread::messageBox(const MessageBoxSpec& spec)
{
    bool ticked = false;
    calls_.call([&] { ticked = dialogs_.messageBox(spec); });
    return ticked;
}

QString DialogsOnThread::inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    QString answer;
    calls_.call([&] { answer = dialogs_.inputBox(prompt, title, defaultAnswer); });
    return answer;
}

QStringList DialogsOnThread::openFiles(const OpenFilesSpec& spec)
{
    QStringList files;
    calls_.call([&] { files = dialogs_.openFiles(spec); });
    return files;
}

QString DialogsOnThread::browseForFolder(const QString& prompt, const QString& initialFolder)
{
    QString folder;
    calls_.call([&] { folder = dialogs_.browseForFolder(prompt, initialFolder); });
    return folder;
}

void DialogsOnThread::showTextWindow(const QString& text)
{
    calls_.call([&] { dialogs_.showTextWindow(text); });
}

void BusyIndicatorOnThread::setBusy(bool busy)
{
    calls_.call([&] { busy_.setBusy(busy); });
}

bool BusyIndicatorOnThread::isBusy() const
{
    bool busy = false;
    calls_.call([&] { busy = busy_.isBusy(); });
    return busy;
}

}  // namespace quorvane
