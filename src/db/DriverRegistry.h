#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// What the ODBC driver manager knows of a driver name.
struct DriverLookup {
    bool registered = false;  // a registration names a library for it
    QStringList files;  // the registration files it reads, in its order
};

DriverLookup LookUpDriver(const QString& name);

}  // namespace quorvane
