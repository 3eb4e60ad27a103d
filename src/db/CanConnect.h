#pragma once

namespace quorvane {

class ConnectionParametersSource;

// True when a connection opens with the current parameters. Never shows
// anything and leaves nothing open. A driver manager that is not there at
// all is not a "no": that failure goes to the caller.
bool CanConnect(const ConnectionParametersSource& parameters);

}  // namespace quorvane
