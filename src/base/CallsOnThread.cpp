#include "base/CallsOnThread.h"

#include <QScopeGuard>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace quorvane {

struct CallsOnThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool abandoned = false;
    std::atomic<int> calling{0};
    std::atomic<quint64> ended{0};
};

namespace {

// One call on its way to the owner's thread. The queued event may outlive
// the caller (a call dropped when abandoned): it then finds Dropped and
// never touches the caller's work.
struct Call {
    enum class State { Queued, Running, Done, Dropped };
    State state = State::Queued;
    const std::function<void()>* work = nullptr;
    std::exception_ptr failure;
};

}  // namespace

CallsOnThread::CallsOnThread(QObject* owner) : shared_(std::make_shared<Shared>()), owner_(owner) {}

CallsOnThread::~CallsOnThread() = default;

bool CallsOnThread::call(const std::function<void()>& work)
{
    const auto ended = qScopeGuard([&] { ++shared_->ended; });
    if (QThread::currentThread() == owner_->thread()) {
        if (isAbandoned())
            return false;
        work();
        return true;
    }
    auto call = std::make_shared<Call>();
    call->work = &work;
    std::unique_lock lock(shared_->mutex);
    if (shared_->abandoned)
        return false;
    QMetaObject::invokeMethod(
        owner_,
        [shared = shared_, call] {
            {
                const std::lock_guard running(shared->mutex);
                if (call->state == Call::State::Dropped)
                    return;
                // Abandoned before the caller woke to drop it: not shown either.
                if (shared->abandoned) {
                    call->state = Call::State::Dropped;
                    shared->changed.notify_all();
                    return;
                }
                call->state = Call::State::Running;
                ++shared->calling;
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
                --shared->calling;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);
    shared_->changed.wait(lock, [&] {
        return call->state == Call::State::Done || call->state == Call::State::Dropped
               || (call->state == Call::State::Queued && shared_->abandoned);
    });
    if (call->state != Call::State::Done) {
        call->state = Call::State::Dropped;
        return false;
    }
    if (call->failure)
        std::rethrow_exception(call->failure);
    return true;
}

void CallsOnThread::abandon()
{
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->abandoned = true;
    }
    shared_->changed.notify_all();
}

bool CallsOnThread::isAbandoned() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->abandoned;
}

bool CallsOnThread::isCalling() const { return shared_->calling > 0; }

quint64 CallsOnThread::callsEnded() const { return shared_->ended; }

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
