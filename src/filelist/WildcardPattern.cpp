#include "filelist/WildcardPattern.h"

namespace quorvane {

namespace {

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

WildcardPattern::WildcardPattern(const QString& pattern)
    : expression_(QRegularExpression::anchoredPattern(ToExpression(pattern)),
                  QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption)
{
}

bool WildcardPattern::matches(const QString& name) const { return expression_.match(name).hasMatch(); }

}  // namespace quorvane
