#include "import/TextRules.h"

#include "base/Dialogs.h"
#include "base/PacedEvents.h"

namespace quorvane {

std::optional<QString> FindFieldCountMismatch(const QString& path, const QString& separator,
                                              int expectedLastIndex, EventPump* events,
                                              const std::function<bool()>& stopped)
{
    PacedEvents paced(events);
    LineReader reader(path);
    QString line;
    reader.next(line);  // the header line sets the count; it is not checked
    for (qsizetype index = 1; reader.next(line); ++index) {
        if ((index & 0xff) == 0 && paced.pause() && stopped && stopped())
            return std::nullopt;
        if (line.isEmpty())
            continue;
        if (CountFields(line, separator) - 1 != expectedLastIndex)
            return QStringLiteral("Line no ") + QString::number(index) + QStringLiteral(": ") + line;
    }
    return std::nullopt;
}

bool CheckFieldCounts(const QString& path, const QString& separator, int expectedLastIndex,
                      Dialogs& dialogs, EventPump* events, const std::function<bool()>& stopped)
{
    const std::optional<QString> report =
        FindFieldCountMismatch(path, separator, expectedLastIndex, events, stopped);
    if (!report)
        return true;
    dialogs.showTextWindow(*report);
    return false;
}

}  // namespace quorvane
