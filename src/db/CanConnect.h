#pragma once

namespace quorvane {

class ConnectionParametersSource;
class EventPump;

// True when a connection opens with the current parameters. Never shows
// anything and leaves nothing open. A driver manager that is not there at
// all is not a "no": that failure goes to the caller. An open that times
// out is a "no"; the caller's window is served meanwhile, when given.
bool CanConnect(const ConnectionParametersSource& parameters, EventPump* events = nullptr);

}  // namespace quorvane
