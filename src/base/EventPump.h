#pragma once

namespace quorvane {

// Work that a window runs in a loop of its own (a folder scan, a login that
// waits for the server) lets the window handle its pending events through
// this. When the user ends the program meanwhile, processEvents throws
// ProgramEnding.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

// For the command line and tests without a window.
class NoEventPump final : public EventPump {
public:
    void processEvents() override {}
};

}  // namespace quorvane
