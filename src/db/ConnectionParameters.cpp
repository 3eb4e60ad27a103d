#include "db/ConnectionParameters.h"

namespace quorvane {

QString QuoteConnectionValue(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('}'))
        && !value.startsWith(QLatin1Char('{')))
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

QString BuildConnectionString(const ConnectionParameters& p)
{
    return QStringLiteral("Driver={") + kDriverName + QStringLiteral("};Database=")
           + QuoteConnectionValue(p.database)
           + QStringLiteral(";Hostname=") + QuoteConnectionValue(p.server)
           + QStringLiteral(";Port=") + QuoteConnectionValue(p.port)
           + QStringLiteral(";Protocol=TCPIP;Uid=") + QuoteConnectionValue(p.user)
           + QStringLiteral(";Pwd=") + QuoteConnectionValue(p.password) + QLatin1Char(';');
}

}  // namespace quorvane
