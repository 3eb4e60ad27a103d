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

}  // namespace quorvane
