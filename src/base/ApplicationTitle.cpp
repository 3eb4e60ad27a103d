#include "base/ApplicationTitle.h"

namespace quorvane {

namespace {
QString& heldTitle()
{
    static QString title = ComputeApplicationTitle(kProductName);
    return title;
}
}  // namespace

QString ComputeApplicationTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype space = title.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            break;
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

QString ApplicationTitle() { return heldTitle(); }

void SetApplicationTitle(const QString& title) { heldTitle() = title; }

}  // namespace quorvane
