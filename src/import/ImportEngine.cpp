#include "import/ImportEngine.h"

#include "base/BusyIndicator.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/PacedEvents.h"
#include "base/ReportingProcedure.h"
#include "db/ConnectionParameters.h"
#include "db/OdbcError.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportOptions.h"
#include "import/SqlTexts.h"
#include "import/TextRules.h"


#include <memory>
#include <optional>

namespace quorvane {

namespace {

// Where each statement of the run is sent from; the error report quotes these.
namespace Line {
constexpr int CreateObjects = 100, ResultSetObject = 102, ClearOutcome = 104, NoFiles = 106,
              NoTable = 108, NameTaken = 110, FileLoop = 112, SetOutcome = 114, Hourglass = 116,
              Open = 120, TakePath = 122, FirstLine = 128, SplitHeader = 136, CheckCounts = 138,
              PointerAfterCheck = 140, DataLines = 142, CreateMode = 162, NameListed = 164,
              PatternEmpty = 166, HeaderCreate = 190, HeaderRow = 226, HeaderListed = 230,
              Prompt = 240, PromptedCreate = 254, PromptedRow = 290, PromptedListed = 294,
              SkipFile = 296, CountQuery = 300, CountsEqual = 302, AppendRow = 338,
              CountMismatch = 342, Close = 344, PointerAfterFile = 346, Closing = 350, Done = 356,
              Exist = 358, TableExistsMessage = 360, SelectTableMessage = 362, NoFilesMessage = 364,
              EnterTableName = 366;
}  // namespace Line

class ImportRun {
public:
    explicit ImportRun(const ImportContext& context)
        : c_(context), proc_(context.dialogs, Location::ImportRun)
    {
    }

    ImportOutcome run();

private:
    enum class FileEnd { Next, EndRun };

    ImportOptions options() const { return c_.options.currentOptions(); }
    QString separator() const { return options().separator; }

    bool refusedBeforeAnyFile();
    FileEnd importFile(int position);
    bool createTable(const QString& name, const QStringList& header, ColumnSource source);
    void sendRows(LineReader& reader, const QString& table, RowStyle style, int sendLine);
    void rowFailed(const std::exception& failure, int sendLine);
    // Sends a statement, noting when the failure is a lost connection.
    void send(const QString& sql)
    {
        try {
            c_.database.execute(sql);
        } catch (const OdbcError& error) {
            connectionLost_ = error.isConnectionLost();
            throw;
        }
    }
    void statementFailed() { ++outcome_.counts.statementsFailed; fileFailed_ = true; outcome_.anyFailure = true; }
    void closeFile();
    void maybeYield(bool force = false);
    // Asked before every statement and between files, so that a stop sends
    // nothing more. A file counts as stopped only when it still had work.
    bool stopSeen()
    {
        if (!stopped_ && c_.progress && c_.progress->stopRequested())
            stopped_ = true;
        return stopped_;
    }
    void showClosingMessage();
    void showStoppedSummary()
    {
        proc_.step(Line::Done, [&] {
            ShowPlainMessage(c_.dialogs, WithSkippedLines(ImportSummaryMessage(ImportMessage::Stopped, outcome_.counts),
                                                          outcome_.counts));
        });
    }

    const ImportContext& c_;
    ReportingProcedure proc_;
    ImportOutcome outcome_;
    bool lastFileFlag_ = false;  // true: the last file was not skipped as existing
    bool silenceRowFailures_ = false;
    bool stopped_ = false;
    int filePosition_ = 0;
    bool fileFailed_ = false;
    bool connectionLost_ = false;
    PacedEvents paced_{&c_.events};
};

ImportOutcome ImportRun::run()
{
    proc_.at(Line::CreateObjects);
    proc_.at(Line::ResultSetObject);
    proc_.step(Line::ClearOutcome, [&] { lastFileFlag_ = false; });
    if (refusedBeforeAnyFile()) {
        outcome_.ending = ImportOutcome::Ending::Refused;
        return outcome_;
    }

    int count = 0;
    proc_.step(Line::FileLoop, [&] { count = c_.files.count(); });
    outcome_.counts.filesTotal = count;
    for (int position = 1; position <= count && !stopped_; ++position) {
        if (stopSeen())
            break;
        if (importFile(position) == FileEnd::EndRun) {
            outcome_.ending = ImportOutcome::Ending::FieldCountCheck;
            // The mismatch ends the run silently, but failures of earlier
            // files (silenced rows among them) must still be told.
            if (outcome_.anyFailure) {
                proc_.at(Line::Closing);
                if (c_.progress)
                    c_.progress->ended(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
                showStoppedSummary();
            }
            return outcome_;
        }
    }
    outcome_.ending = stopped_ ? ImportOutcome::Ending::Stopped : ImportOutcome::Ending::Finished;
    outcome_.lastFileSkipped = !lastFileFlag_;
    showClosingMessage();
    return outcome_;
}

bool ImportRun::refusedBeforeAnyFile()
{
    const auto refuse = [&](int line, const QString& message) {
        proc_.step(line, [&] { ShowPlainMessage(c_.dialogs, message); });
        return true;
    };
    if (proc_.test(Line::NoFiles, [&] { return c_.files.count() == 0; }))
        return refuse(Line::NoFilesMessage, ImportMessage::NoFiles);
    if (proc_.test(Line::NoTable, [&] {
            const ImportOptions o = options();
            return o.mode == ImportMode::AppendExisting && !o.selectedTable;
        }))
        return refuse(Line::SelectTableMessage, ImportMessage::SelectTable);
    if (proc_.test(Line::NameTaken, [&] {
            const ImportOptions o = options();
            return o.mode == ImportMode::CreateNew && ListContains(c_.tables.items(), o.tableNamePattern);
        }))
        return refuse(Line::TableExistsMessage, ImportMessage::TableExists);
    // An empty pattern would import nothing and then say "Done.".
    if (proc_.test(Line::NameTaken, [&] {
            const ImportOptions o = options();
            return o.mode == ImportMode::CreateNew && o.tableNamePattern.isEmpty();
        }))
        return refuse(Line::EnterTableName, ImportMessage::EnterTableName);
    // An empty separator makes one field of every line, and such lines are
    // never sent: the run would load nothing.
    constexpr int NoSeparator = 111, EnterSeparatorMessage = 368;
    if (proc_.test(NoSeparator, [&] { return separator().isEmpty(); }))
        return refuse(EnterSeparatorMessage, ImportMessage::EnterSeparator);
    return false;
}

ImportRun::FileEnd ImportRun::importFile(int position)
{
    filePosition_ = position;
    fileFailed_ = false;
    connectionLost_ = false;
    bool skipped = false;
    proc_.step(Line::SetOutcome, [&] { lastFileFlag_ = true; });
    proc_.step(Line::Hourglass, [&] { c_.busy.setBusy(true); });
    maybeYield(true);

    // A connection that cannot be opened would fail every statement of the
    // file in turn: report it once and go on with the next file.
    if (!proc_.step(Line::Open, [&] {
            c_.database.open(BuildConnectionString(c_.connection.currentParameters()));
        })) {
        fileFailed_ = true;
        outcome_.anyFailure = true;
        closeFile();
        return FileEnd::Next;
    }

    QString path;
    proc_.step(Line::TakePath, [&] { path = c_.files.path(position); });
    QString firstLine;
    proc_.step(Line::FirstLine, [&] { firstLine = ReadFirstLine(path); });
    QStringList header;
    proc_.step(Line::SplitHeader, [&] { header = SplitFields(firstLine, separator()); });

    bool countsAgree = false;
    const bool checked = proc_.step(Line::CheckCounts, [&] {
        countsAgree = CheckFieldCounts(path, separator(), static_cast<int>(header.size()) - 1,
                                       c_.dialogs, &c_.events, [&] { return stopSeen(); });
    });
    if (!checked || !countsAgree) {
        proc_.step(Line::PointerAfterCheck, [&] { c_.busy.setBusy(false); });
        try {
            c_.database.close();
        } catch (const std::exception&) {
        }
        return FileEnd::EndRun;
    }

    if (stopSeen()) {
        closeFile();
        return FileEnd::Next;
    }

    std::unique_ptr<LineReader> reader;
    if (!proc_.step(Line::DataLines, [&] { reader = std::make_unique<LineReader>(path); }))
        fileFailed_ = true;

    if (options().mode == ImportMode::CreateNew) {
        proc_.at(Line::CreateMode);
        const QString name = ExpandTableName(options().tableNamePattern, position);
        if (proc_.test(Line::NameListed, [&] { return ListContains(c_.tables.items(), name); })) {
            proc_.step(Line::SkipFile, [&] { lastFileFlag_ = false; });
            skipped = true;
        } else if (proc_.test(Line::PatternEmpty, [&] { return options().tableNamePattern.isEmpty(); })) {
            skipped = true;
        } else {
            const ColumnSource source = options().columnSource;
            // Rows go only into the table this file made: a table statement
            // that failed or was never sent leaves the file without rows.
            if (createTable(name, header, source)) {
                const bool fromHeader = source == ColumnSource::HeaderRow;
                if (reader)
                    sendRows(*reader, name, fromHeader ? RowStyle::HeaderColumns : RowStyle::PromptedColumns,
                             fromHeader ? Line::HeaderRow : Line::PromptedRow);
                proc_.step(fromHeader ? Line::HeaderListed : Line::PromptedListed,
                           [&] { c_.tables.insertAtTop(name); });
            } else {
                skipped = !fileFailed_;
            }
        }
    } else {
        const QString table = options().selectedTable.value_or(QString());
        const int fileColumns = static_cast<int>(header.size());
        // Three cases, kept apart: a failed query (the table is gone, or is
        // spelled otherwise) sends no rows, as every one would fail too; a
        // dry run has no count and sends the rows as they would go; otherwise
        // the counts decide.
        std::optional<int> tableColumns;
        const bool counted = proc_.step(Line::CountQuery, [&] {
            try {
                tableColumns = c_.database.columnCount(BuildColumnCountQuery(table));
            } catch (const OdbcError& error) {
                connectionLost_ = error.isConnectionLost();
                throw;
            }
        });
        const bool dryRun = counted && !tableColumns;
        if (!counted) {
            statementFailed();
        } else if (proc_.test(Line::CountsEqual, [&] { return dryRun || *tableColumns == fileColumns; })) {
            if (reader)
                sendRows(*reader, table, RowStyle::AppendRows, Line::AppendRow);
        } else {
            proc_.step(Line::CountMismatch, [&] {
                ShowPlainMessage(c_.dialogs, ColumnCountMismatchMessage(path, separator(), fileColumns,
                                                                        table, *tableColumns));
            });
            fileFailed_ = true;
            outcome_.anyFailure = true;
        }
    }

    closeFile();
    if (!fileFailed_ && !skipped && !stopped_)
        ++outcome_.counts.filesLoaded;
    return FileEnd::Next;
}

bool ImportRun::createTable(const QString& name, const QStringList& header, ColumnSource source)
{
    if (source == ColumnSource::HeaderRow) {
        const bool sent = proc_.step(Line::HeaderCreate, [&] {
            send(BuildCreateStatement(name, header));
        });
        if (!sent)
            statementFailed();
        return sent;
    }
    QStringList answers;
    for (int column = 1; column <= header.size(); ++column) {
        if (stopSeen())
            return false;
        QString answer;
        proc_.step(Line::Prompt, [&] {
            answer = AskWithApplicationTitle(c_.dialogs, ColumnNamePrompt(column));
        });
        answers << answer;
        if (answer.isEmpty())
            break;
    }
    if (answers.isEmpty() || answers.last().isEmpty())
        return false;  // a cancelled prompt: nothing is created, nothing failed
    if (stopSeen())
        return false;
    const bool sent = proc_.step(Line::PromptedCreate, [&] {
        send(BuildCreateStatement(name, answers));
    });
    if (!sent)
        statementFailed();
    return sent;
}

void ImportRun::sendRows(LineReader& reader, const QString& table, RowStyle style, int sendLine)
{
    maybeYield();  // the table statement may have taken a while
    QString line;
    bool more = true;
    bool first = true;
    while (!connectionLost_ && !stopped_) {
        if (!proc_.step(Line::DataLines, [&] { more = reader.next(line); })) {
            fileFailed_ = true;
            return;
        }
        if (!more)
            return;
        if (first) {  // the header line is never a row
            first = false;
            continue;
        }
        if (line.isEmpty())
            continue;
        const QStringList fields = SplitFields(line, separator());
        if (fields.size() <= 1) {
            ++outcome_.counts.linesSkippedSingleField;
            continue;
        }
        if (stopSeen())
            return;
        try {
            c_.database.execute(BuildRowStatement(table, fields, style));
            ++outcome_.counts.rowsInserted;
        } catch (const std::exception& failure) {
            rowFailed(failure, sendLine);
        }
        maybeYield();
    }
}

void ImportRun::rowFailed(const std::exception& failure, int sendLine)
{
    statementFailed();
    const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
    connectionLost_ = odbcError && odbcError->isConnectionLost();
    proc_.at(sendLine);
    // A lost connection is always shown: it ends the file, once.
    if (connectionLost_)
        proc_.report(DescribeFailure(failure));
    else if (!silenceRowFailures_ && proc_.report(DescribeFailure(failure), ImportMessage::SilenceFailedRows))
        silenceRowFailures_ = true;
}

void ImportRun::closeFile()
{
    // After a lost connection the close can only fail again: that file has
    // had its one report already.
    if (connectionLost_) {
        try {
            c_.database.close();
        } catch (const std::exception&) {
        }
    } else {
        proc_.step(Line::Close, [&] { c_.database.close(); });
    }
    proc_.step(Line::PointerAfterFile, [&] { c_.busy.setBusy(false); });
}

void ImportRun::maybeYield(bool force)
{
    if (!force && !paced_.due())
        return;
    if (c_.progress)
        c_.progress->update(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
    paced_.pause(true);
}

void ImportRun::showClosingMessage()
{
    proc_.at(Line::Closing);
    if (c_.progress)
        c_.progress->ended(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
    // Whatever the ending, skipped one-field lines are told: a wrong
    // separator must not pass for a plain success.
    const auto show = [&](const QString& text) {
        ShowPlainMessage(c_.dialogs, WithSkippedLines(text, outcome_.counts));
    };
    if (stopped_) {
        showStoppedSummary();
    } else if (outcome_.anyFailure) {
        proc_.step(Line::Done, [&] {
            show(ImportSummaryMessage(ImportMessage::FinishedWithErrors, outcome_.counts));
        });
    } else if (lastFileFlag_) {
        proc_.step(Line::Done, [&] { show(ImportMessage::Done); });
    } else {
        proc_.step(Line::Exist, [&] { show(ImportMessage::TablesAlreadyExist); });
    }
}

}  // namespace

ImportOutcome RunImport(const ImportContext& context)
{
    // Whatever happens, the window never stays on the hourglass.
    struct PointerGuard {
        BusyIndicator& busy;
        ~PointerGuard() { busy.setBusy(false); }
    } guard{context.busy};
    return ImportRun(context).run();
}

}  // namespace quorvane
