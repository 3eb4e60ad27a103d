#include "filelist/PathRules.h"

namespace quorvane {

namespace {

QString CollapsePairs(QStringView text, QChar separator)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result.append(text[i]);
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator)
            ++i;  // the second of the pair is dropped; the next pair starts after it
    }
    return result;
}

QString Normalize(const QString& path, QChar separator, qsizetype leadingRun)
{
    // Most joined paths have nothing to collapse; they are handed back shared.
    const bool hasPair = path.contains(QString(2, separator));
    if (!hasPair && (leadingRun == 1 || !path.startsWith(separator)))
        return path;
    if (!path.startsWith(separator))
        return CollapsePairs(path, separator);
    qsizetype rest = 0;
    while (rest < path.size() && path[rest] == separator)
        ++rest;
    return QString(leadingRun, separator) + CollapsePairs(QStringView(path).mid(rest), separator);
}

QString Translate(QStringView pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return expression;
}

QString ToExpression(const QString& pattern)
{
    const QLatin1String anyExtension(".*");
    if (pattern.endsWith(anyExtension)) {
        const QStringView stem = QStringView(pattern).chopped(anyExtension.size());
        return Translate(stem) + QLatin1String("(?:\\..*)?");
    }
    return Translate(pattern);
}

}  // namespace

QString NormalizeWindowsPath(const QString& path) { return Normalize(path, QLatin1Char('\\'), 2); }

QString NormalizeLinuxPath(const QString& path) { return Normalize(path, QLatin1Char('/'), 1); }

QString NormalizePath(const QString& path)
{
#ifdef Q_OS_WIN
    return NormalizeWindowsPath(path);
#else
    return NormalizeLinuxPath(path);
#endif
}

WildcardPattern::WildcardPattern(const QString& pattern)
    : expression_(QRegularExpression::anchoredPattern(ToExpression(pattern)),
                  QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption)
{
}

bool WildcardPattern::matches(const QString& name) const { return expression_.match(name).hasMatch(); }

}  // namespace quorvane
