#pragma once

#include <QElapsedTimer>

namespace quorvane {

class EventPump;

// The longest the window may wait for its events during long work; short
// enough to feel immediate, long enough that the pauses cost nothing.
inline constexpr int kEventPauseIntervalMs = 20;

// Lets the window handle its events whenever the interval has passed,
// however often it is asked.
class PacedEvents {
public:
    explicit PacedEvents(EventPump* pump) : pump_(pump) { sincePause_.start(); }

    bool due() const { return sincePause_.elapsed() >= kEventPauseIntervalMs; }
    // Pauses when due (or always, when forced); true when it paused.
    bool pause(bool force = false);

private:
    EventPump* pump_;
    QElapsedTimer sincePause_;
};

}  // namespace quorvane
