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
           + QStringLiteral("In the separator, type \\t for a tab and \\\\ for a backslash.")
           + crlf + crlf
           + QStringLiteral("File encoding: Automatic reads a file with a byte-order mark as "
                            "the mark says, a file that is valid UTF-8 throughout as UTF-8, and "
                            "any other as Windows-1252; a line that cannot be read in the "
                            "chosen encoding is reported and not sent.")
           + crlf + crlf
           + QStringLiteral("With \"Fields may be enclosed in double quotes\", a field such as "
                            "\"Smith, John\" may hold the separator and line breaks, and \"\" "
                            "inside it stands for one double quote.");
}

}  // namespace quorvane
