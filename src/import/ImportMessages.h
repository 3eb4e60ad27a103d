#pragma once

#include "text/TextRecords.h"

#include <QString>

namespace quorvane {

namespace ImportMessage {
inline const QString NoFiles = QStringLiteral("No files added.");
inline const QString SelectTable = QStringLiteral("Please select a table.");
inline const QString TableExists = QStringLiteral("Table name already exists.");
inline const QString EnterTableName = QStringLiteral("Please enter a table name.");
inline const QString EnterSeparator = QStringLiteral("Please enter a separator.");
inline const QString Done = QStringLiteral("Done.");
inline const QString TablesAlreadyExist = QStringLiteral("Table(s) already exist.");
inline const QString FinishedWithErrors = QStringLiteral("Import finished with errors.");
inline const QString Stopped = QStringLiteral("Import stopped.");
inline const QString SilenceFailedRows =
    QStringLiteral("Don't show further failed rows in this import");
}  // namespace ImportMessage

QString ColumnCountMismatchMessage(const QString& path, const QString& separator, int fileColumns,
                                   const QString& table, int tableColumns);

// Why a record is not sent: the physical line quoted (counted as an editor
// counts, bytes shown as \xNN) is not text in the file's encoding. Reported
// after the record's own "FILE, line N: ", as every row's failure is.
QString UndecodableLineMessage(qint64 line, const QString& lineText, const QString& encoding);

struct ImportCounts {
    int filesTotal = 0;
    int filesLoaded = 0;
    int rowsInserted = 0;
    int statementsFailed = 0;
    int linesSkippedSingleField = 0;  // data lines that the separator did not split
};

// A data line that was not sent or that the database refused, in either
// mode: "FILE, line N: failure", N counted as an editor counts (the header is
// line 1; a record of several lines is named by its first).
QString FailedRowMessage(const QString& path, qint64 line, const QString& failure);

// The connection was lost during fast load: the uncommitted batch is gone.
QString RowsMissingMessage(const QString& failure, const QString& path, qint64 fromLine,
                           const QString& table);

// What the rejects log says of lines never sent.
namespace RejectReason {
inline const QString Stopped = QStringLiteral("not sent: the import was stopped");
inline const QString ConnectionLost = QStringLiteral("not sent: the connection was lost");
inline const QString SingleField = QStringLiteral("holds a single field: is the separator right?");
inline const QString NulCharacter = QStringLiteral("holds a NUL character");
// Lines that may be in the table as well: check before loading them again.
inline const QString InDoubtCommit =
    QStringLiteral("in doubt: the connection was lost while they were committed");
inline const QString InDoubtAtEnd = QStringLiteral("in doubt: the statement was still running when the program ended");
}  // namespace RejectReason

// The closing message, with a last line naming the folder that holds the
// lines not loaded, when any were written.
QString WithRejectsFolder(const QString& message, const QString& folder);
// The same when writing there failed: how many lines not loaded are in
// neither place.
QString WithUnwrittenLines(const QString& message, qint64 lines, const QString& folder);

// A batch whose commit lost its answer with the connection: its lines may be
// in the table, the ones after it are not.
QString CommitInDoubtMessage(const QString& failure, const QString& path, SourceLines batch);

// firstLine, CR LF CR LF, then the three counts on lines of their own.
QString ImportSummaryMessage(const QString& firstLine, const ImportCounts& counts);

// The closing message, with a last line for the data lines skipped because
// they hold a single field, when there were any.
QString WithSkippedLines(const QString& message, const ImportCounts& counts);

}  // namespace quorvane
