#include "cli/Interrupts.h"

#include "import/ImportDatabase.h"
#include "import/InFlightLines.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <signal.h>

namespace quorvane::cli {

namespace {

sigset_t Taken()
{
    sigset_t taken;
    sigemptyset(&taken);
    sigaddset(&taken, SIGINT);
    sigaddset(&taken, SIGUSR1);
    return taken;
}

}  // namespace

// SIGINT is blocked in every thread and taken here by sigwait, so the
// presses are handled as ordinary code (a signal handler could only set a
// flag). SIGUSR1, blocked likewise, tells the thread that the program ends.
struct Interrupts::State {
    std::stop_source stop;
    std::mutex mutex;
    ImportDatabase* database = nullptr;
    InFlightLines* inFlight = nullptr;
    std::jthread thread;

    void cancel()
    {
        const std::lock_guard lock(mutex);
        if (database)
            database->cancel(std::chrono::milliseconds(0));
    }

    void take(std::stop_token ended)
    {
        const sigset_t taken = Taken();
        int presses = 0;
        std::chrono::steady_clock::time_point firstPress;
        bool cancelled = false;
        const timespec tick{0, 100 * 1000 * 1000};
        while (!ended.stop_requested()) {
            if (sigtimedwait(&taken, nullptr, &tick) == SIGINT) {
                ++presses;
                if (presses == 1) {
                    firstPress = std::chrono::steady_clock::now();
                    stop.request_stop();
                } else if (presses == 2) {
                    cancel();
                    cancelled = true;
                } else {
                    {
                        const std::lock_guard lock(mutex);
                        if (inFlight)
                            inFlight->writeAndAbandon();
                    }
                    std::_Exit(kInterruptedExit);
                }
            }
            if (presses == 1 && !cancelled && std::chrono::steady_clock::now() - firstPress >= kCancelAfterInterrupt) {
                cancel();
                cancelled = true;
            }
        }
    }
};

Interrupts::Interrupts() : state_(std::make_unique<State>())
{
    const sigset_t taken = Taken();
    pthread_sigmask(SIG_BLOCK, &taken, nullptr);
    state_->thread = std::jthread([state = state_.get()](std::stop_token ended) { state->take(ended); });
}

Interrupts::~Interrupts()
{
    state_->thread.request_stop();
    pthread_kill(state_->thread.native_handle(), SIGUSR1);  // no need to wait for its next look
    state_->thread.join();
}

std::stop_token Interrupts::stopToken() const { return state_->stop.get_token(); }

void Interrupts::watch(ImportDatabase* database, InFlightLines* inFlight)
{
    const std::lock_guard lock(state_->mutex);
    state_->database = database;
    state_->inFlight = inFlight;
}

}  // namespace quorvane::cli
