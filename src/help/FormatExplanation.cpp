#include "help/FormatExplanation.h"

namespace quorvane {

QString FormatExplanationText()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Text files should look like this:") + crlf + crlf
           + QStringLiteral("Name,State") + crlf + QStringLiteral("Peter,NH") + crlf
           + QStringLiteral("Jane,MA") + crlf + crlf
           + QStringLiteral("Also, if appending, make sure the number of columns in the text file "
                            "match the number of columns in the table.")
           + crlf + crlf
           + QStringLiteral("When appending, number of columns and data types (number, decimal, "
                            "text, etc.) must be identical.")
           + crlf + crlf
           + QStringLiteral("In the separator, type \\t for a tab and \\\\ for a backslash.");
}

}  // namespace quorvane
