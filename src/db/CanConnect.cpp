#include "db/CanConnect.h"

#include "db/Connection.h"
#include "db/ConnectionParameters.h"

namespace quorvane {

bool CanConnect(const ConnectionParametersSource& parameters, EventPump* events)
{
    Connection connection;  // outside the capture on purpose
    try {
        connection.open(BuildConnectionString(parameters.currentParameters()), events);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace quorvane
