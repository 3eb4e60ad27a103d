#include "base/ErrorReport.h"

#include "base/Dialogs.h"

namespace quorvane {

QString BuildErrorReportText(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + QStringLiteral("in ") + location
           + QLatin1Char(' ') + QStringLiteral("at line ") + QString::number(line)
           + QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ")
           + kSupportAddress;
}

bool ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line, const QString& checkBoxText)
{
    return dialogs.messageBox(
        {BuildErrorReportText(description, location, line), kErrorReportTitle, true, checkBoxText});
}

}  // namespace quorvane
