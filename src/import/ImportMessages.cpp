#include "import/ImportMessages.h"

#include "text/SeparatorEscapes.h"

namespace quorvane {

QString ColumnCountMismatchMessage(const QString& path, const QString& separator, int fileColumns,
                                   const QString& table, int tableColumns)
{
    return QStringLiteral("The columns in the text file and the columns in the table must be "
                          "identical.\r\n\r\n")
           + path + QStringLiteral(" was split by ") + EscapeSeparator(separator) + QStringLiteral(" and has ")
           + QString::number(fileColumns) + QStringLiteral(" columns. The table ") + table
           + QStringLiteral(" has ") + QString::number(tableColumns) + QStringLiteral(" columns.");
}

QString UndecodableLineMessage(qint64 line, const QString& lineText, const QString& encoding)
{
    return QStringLiteral("line %1 is not %2 text: %3").arg(QString::number(line), encoding, lineText);
}

QString FailedRowMessage(const QString& path, qint64 line, const QString& failure)
{
    return QStringLiteral("%1, line %2: %3").arg(path, QString::number(line), failure);
}

QString RowsMissingMessage(const QString& failure, const QString& path, qint64 fromLine,
                           const QString& table)
{
    return failure + QStringLiteral("\r\n\r\n")
           + QStringLiteral("The rows of %1 from line %2 on are not in the table %3.")
                 .arg(path, QString::number(fromLine), table);
}

QString CommitInDoubtMessage(const QString& failure, const QString& path, SourceLines batch)
{
    const QString first = QString::number(batch.first + 1);
    const QString lines = batch.count == 1 ? QStringLiteral("line %1 may be in the table: the connection was lost "
                                                            "while it was committed")
                                                 .arg(first)
                                           : QStringLiteral("lines %1 to %2 may be in the table: the connection "
                                                            "was lost while they were committed")
                                                 .arg(first, QString::number(batch.end()));
    return failure + QStringLiteral("\r\n\r\n")
           + QStringLiteral("%1: %2; from line %3 on they are not.").arg(path, lines, QString::number(batch.end() + 1));
}

QString WithUnwrittenLines(const QString& message, qint64 lines, const QString& folder)
{
    if (lines == 0)
        return message;
    return message + QStringLiteral("\r\n")
           + QStringLiteral("Lines not loaded that could not be written to %1: %2.").arg(folder, QString::number(lines));
}

QString WithRejectsFolder(const QString& message, const QString& folder)
{
    if (folder.isEmpty())
        return message;
    return message + QStringLiteral("\r\n") + QStringLiteral("Lines not loaded were written to %1.").arg(folder);
}

QString ImportSummaryMessage(const QString& firstLine, const ImportCounts& counts)
{
    return firstLine + QStringLiteral("\r\n\r\n") + QStringLiteral("Files loaded completely: %1 of %2.")
                                                        .arg(counts.filesLoaded)
                                                        .arg(counts.filesTotal)
           + QStringLiteral("\r\n") + QStringLiteral("Rows inserted: %1.").arg(counts.rowsInserted)
           + QStringLiteral("\r\n")
           + QStringLiteral("Statements that failed: %1.").arg(counts.statementsFailed);
}

QString WithSkippedLines(const QString& message, const ImportCounts& counts)
{
    if (counts.linesSkippedSingleField == 0)
        return message;
    return message + QStringLiteral("\r\n")
           + QStringLiteral("Lines skipped because they hold a single field: %1.")
                 .arg(counts.linesSkippedSingleField);
}

}  // namespace quorvane
