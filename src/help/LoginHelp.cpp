#include "help/LoginHelp.h"

namespace quorvane {

QStringList LoginHelpParagraphs()
{
    return {
        QStringLiteral("Here is how I connected to my IBM DB2 database."),
        QStringLiteral("I went to ") + kIbmWebSite,
        QStringLiteral("specifically"),
        kDb2ClientDownloadPage,
        QStringLiteral("Downloaded and installed the DB2 Client (not DB2 Runtime Client)"),
        QStringLiteral("I personally got the"),
        QStringLiteral("DB2 9 Client for Windows on 32-bit AMD and Intel systems (x86)"),
        QStringLiteral("If you are using Windows XP, there may be a firewall preventing you from "
                       "connecting. You may need to add the DB2 port."),
        QStringLiteral("Please visit:"),
        kDb2PortSupportPage,
    };
}

QString LoginHelpText()
{
    QString text;
    for (const QString& paragraph : LoginHelpParagraphs())
        text += paragraph + QStringLiteral("\r\r");
    return text;
}

}  // namespace quorvane
