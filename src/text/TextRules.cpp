#include "text/TextRules.h"

#include <algorithm>

namespace quorvane {

QStringList SplitFields(const QString& line, const QString& separator)
{
    if (line.isEmpty())
        return {};
    if (separator.isEmpty())
        return {line};
    // Qt cuts left to right and skips each found separator whole.
    return line.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

qsizetype CountFields(const QString& line, const QString& separator)
{
    if (line.isEmpty())
        return 0;
    if (separator.isEmpty())
        return 1;
    qsizetype count = 1;
    for (qsizetype from = line.indexOf(separator); from >= 0;
         from = line.indexOf(separator, from + separator.size()))
        ++count;
    return count;
}

QString ExpandTableName(const QString& pattern, int position)
{
    return QString(pattern).replace(QStringLiteral("[counter]"), QString::number(position),
                                    Qt::CaseSensitive);
}

bool ListContains(const QStringList& items, const QString& name)
{
    // Each file of a run looks its name up in a list that grows with the
    // tables the run makes: an ASCII pair is compared in place, as lowering
    // both gives the same answer, and only other names are lowered.
    const auto ascii = [](const QString& text) {
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    };
    const bool wantedAscii = ascii(name);
    const QString wanted = name.toLower();
    return std::any_of(items.cbegin(), items.cend(), [&](const QString& item) {
        if (wantedAscii && ascii(item))
            return item.compare(name, Qt::CaseInsensitive) == 0;
        return item.toLower() == wanted;
    });
}

QString FilterCharacters(const QString& text, const QString& set, bool keep)
{
    QString result;
    result.reserve(text.size());
    // Whole characters: a surrogate pair is looked up and kept as one.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const QStringView character = QStringView(text).mid(i, length);
        if (set.contains(character, Qt::CaseSensitive) == keep)
            result.append(character);
        i += length;
    }
    return result;
}

QString KeepAlphanumeric(const QString& text) { return FilterCharacters(text, kAlphanumericSet, true); }

}  // namespace quorvane
