#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

inline const QString kIbmWebSite = QStringLiteral("https://www.ibm.com");
inline const QString kDb2ClientDownloadPage =
    QStringLiteral("https://www.ibm.com/support/pages/download-initial-version-115-clients-and-drivers");
inline const QString kDb2PortSupportPage =
    QStringLiteral("https://www.ibm.com/support/pages/db2-db2-server-tcpip-port-numbers");

// The ten paragraphs of the login window's "Help" message.
QStringList LoginHelpParagraphs();

// The paragraphs, each followed by two lone carriage returns (the last too).
QString LoginHelpText();

}  // namespace quorvane
