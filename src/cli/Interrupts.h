#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>

namespace quorvane {
class ImportDatabase;
class InFlightLines;
}  // namespace quorvane

namespace quorvane::cli {

// How long after the first Ctrl+C the statement in progress is cancelled.
inline constexpr std::chrono::milliseconds kCancelAfterInterrupt{3000};
// The exit status of a program ended by the third Ctrl+C, as a shell reports
// a process ended by SIGINT.
inline constexpr int kInterruptedExit = 130;

// Ctrl+C in three steps. The first stops the run after the statement in
// progress; the second, or kCancelAfterInterrupt after the first, cancels
// that statement; the third writes the rejects it can (the statement's
// lines marked in doubt) and ends the program at once. Made first in main,
// before any other thread.
class Interrupts {
public:
    Interrupts();
    ~Interrupts();
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    std::stop_token stopToken() const;
    // What the second and third presses act on, for the run's duration.
    void watch(ImportDatabase* database, InFlightLines* inFlight);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quorvane::cli
