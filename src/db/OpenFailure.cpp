#include "db/OpenFailure.h"

#include "base/Failure.h"
#include "db/ConnectionParameters.h"
#include "db/DriverRegistry.h"
#include "db/OdbcError.h"

namespace quorvane {

namespace {

// unixODBC says this both for a name it has no registration for and for a
// registered library that is not there.
bool DriverNotLoaded(const OdbcError& failure, const DriverLookup& lookup)
{
    return !lookup.registered || failure.firstRecord().contains(QLatin1String("Can't open lib"));
}

QString DriverSearchLine(const DriverLookup& lookup)
{
    if (!lookup.registered)
        return QStringLiteral("The ODBC driver manager has no driver named \"%1\": it looked in %2.")
            .arg(kDriverName, lookup.files.join(QStringLiteral(" and ")));
    return QStringLiteral("The ODBC driver manager found the driver \"%1\" in %2 but could not load it.")
        .arg(kDriverName, lookup.files.join(QStringLiteral(" or ")));
}

// A driver may quote the connection string, where the password stands
// braced when it holds ";" or "}".
QString WithoutPassword(QString text, const QString& password)
{
    if (password.isEmpty())
        return text;
    const QString hidden = QStringLiteral("********");
    text.replace(QuoteConnectionValue(password), hidden);
    text.replace(password, hidden);
    return text;
}

}  // namespace

QString DescribeOpenFailure(const std::exception& failure, const ConnectionParameters& attempted)
{
    QString reason;
    if (const auto* odbc = dynamic_cast<const OdbcError*>(&failure)) {
        reason = odbc->firstRecord();
        if (!odbc->sqlState().isEmpty())
            reason += QStringLiteral(" (%1)").arg(odbc->sqlState());
        const DriverLookup lookup = LookUpDriver(kDriverName);
        if (DriverNotLoaded(*odbc, lookup))
            reason += QStringLiteral("\r\n") + DriverSearchLine(lookup);
    } else {
        reason = DescribeFailure(failure);
    }
    return WithoutPassword(reason, attempted.password);
}

}  // namespace quorvane
