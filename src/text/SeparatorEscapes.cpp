#include "text/SeparatorEscapes.h"

namespace quorvane {

QString UnescapeSeparator(const QString& text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('t') || next == QLatin1Char('n') || next == QLatin1Char('\\')) {
                result += next == QLatin1Char('t') ? QLatin1Char('\t')
                          : next == QLatin1Char('n') ? QLatin1Char('\n')
                                                     : QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

QString EscapeSeparator(const QString& separator)
{
    QString result;
    for (qsizetype i = 0; i < separator.size(); ++i) {
        const QChar c = separator[i];
        if (c == QLatin1Char('\t')) {
            result += QLatin1String("\\t");
        } else if (c == QLatin1Char('\n')) {
            result += QLatin1String("\\n");
        } else if (c == QLatin1Char('\\') && i + 1 < separator.size()
                   && QStringView(u"tn\\\t\n").contains(separator[i + 1])) {
            result += QLatin1String("\\\\");  // else it would read as an escape
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace quorvane
