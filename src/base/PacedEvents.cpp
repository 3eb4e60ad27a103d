#include "base/PacedEvents.h"

#include "base/EventPump.h"

namespace quorvane {

bool PacedEvents::pause(bool force)
{
    if (!pump_ || (!force && !due()))
        return false;
    pump_->processEvents();
    sincePause_.restart();
    return true;
}

}  // namespace quorvane
