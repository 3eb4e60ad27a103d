#pragma once

#include "base/EventPump.h"
#include "base/Failure.h"

namespace quorvane {

// Lets long work on the user-interface thread yield to the event loop, and
// ends the program when the user closes the login or the import window:
// from then on every yield throws ProgramEnding, so the work in progress
// stops at once instead of carrying on behind closed windows.
class ProgramLifetime final : public EventPump {
public:
    void processEvents() override;

    // Closes every window and leaves the event loop. Safe to call again.
    void endProgram();
    bool isEnding() const { return ending_; }

    // Runs a window's handler unless the program is ending. A yield that
    // finds the program ending unwinds the handler to here.
    template <class Handler>
    void handle(Handler&& handler)
    {
        if (ending_)
            return;
        try {
            handler();
        } catch (const ProgramEnding&) {
        }
    }

private:
    bool ending_ = false;
};

}  // namespace quorvane
