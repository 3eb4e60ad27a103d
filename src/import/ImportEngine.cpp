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
#include "import/TextDecoder.h"
#include "import/TextRecords.h"
#include "import/TextRules.h"


#include <memory>
#include <optional>

namespace quorvane {

namespace {

// Where each statement of the run is sent from; the error report quotes
// these. A number is shared only where the report quotes it for each of
// the steps: the two checks of the table name pattern (110), opening the
// data lines and reading each of them (142), and the closing message,
// "Done." or the summary in its place (356).
namespace Line {
constexpr int CreateObjects = 100, ResultSetObject = 102, ClearOutcome = 104, NoFiles = 106,
              NoTable = 108, PatternTaken = 110, NoPattern = 110, NoSeparator = 111, FileLoop = 112,
              SetOutcome = 114, Hourglass = 116, Open = 120, TakePath = 122, FirstLine = 128,
              SplitHeader = 136, CheckCounts = 138, PointerAfterCheck = 140, OpenDataLines = 142,
              ReadDataLine = 142, CreateMode = 162, NameListed = 164, PatternEmpty = 166,
              HeaderCreate = 190, HeaderRow = 226, HeaderListed = 230, Prompt = 240,
              PromptedCreate = 254, PromptedRow = 290, PromptedListed = 294, SkipFile = 296,
              CountQuery = 300, CountsEqual = 302, AppendRow = 338, CountMismatch = 342,
              Close = 344, PointerAfterFile = 346, Closing = 350, Done = 356, Summary = 356,
              Exist = 358, TableExistsMessage = 360, SelectTableMessage = 362,
              NoFilesMessage = 364, EnterTableName = 366, EnterSeparatorMessage = 368;
}  // namespace Line

class ImportRun {
public:
    explicit ImportRun(const ImportContext& context)
        : c_(context), proc_(context.dialogs, Location::ImportRun)
    {
    }

    ImportOutcome run();

private:
    // How one file's pass ended; the run's counts and its closing message
    // follow from it.
    enum class FileOutcome {
        Loaded,             // every line that makes a row went in
        SkippedAsExisting,  // its table is listed already: "Table(s) already exist." if last
        NotLoaded,          // no table to fill (empty pattern, unanswered prompt), or its
                            // lines could not be read; reported at its step, not as a failure
        Failed,             // its connection, a statement or the column count failed
        Stopped,            // the user stopped the run while this file still had work
        FieldCountMismatch, // its lines disagree (or could not be checked): the run ends
    };

    ImportOptions options() const { return c_.options.currentOptions(); }
    QString separator() const { return options().separator; }
    TextFormat textFormat() const
    {
        const ImportOptions o = options();
        return {o.separator, o.encoding, o.quotedFields};
    }

    bool refusedBeforeAnyFile();
    FileOutcome importFile(int position);
    FileOutcome createAndFill(int position, const QStringList& header, RecordReader* reader);
    FileOutcome appendTo(const QString& path, const QStringList& header, RecordReader* reader);
    // Empty when the table was made; otherwise how the file's pass ends.
    std::optional<FileOutcome> createTable(const QString& name, const QStringList& header,
                                           ColumnSource source);
    FileOutcome sendRows(RecordReader& reader, const QString& table, RowStyle style, int sendLine);
    void reportRowFailure(const std::exception& failure, int sendLine);
    void countFile(FileOutcome file);

    // Every statement goes through here, built inside `statement` so that a
    // failure to build it counts as well. A failed statement is counted, and
    // this is the one place that decides it lost the connection; the failure
    // then goes on to its report.
    template <class Statement>
    void send(Statement&& statement)
    {
        try {
            std::forward<Statement>(statement)();
        } catch (const std::exception& failure) {
            ++outcome_.counts.statementsFailed;
            const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
            connectionLost_ = odbcError && odbcError->isConnectionLost();
            throw;
        }
    }
    template <class Statement>
    bool sendStep(int line, Statement&& statement)
    {
        return proc_.step(line, [&] { send(statement); });
    }

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
        proc_.step(Line::Summary, [&] {
            ShowPlainMessage(c_.dialogs, WithSkippedLines(ImportSummaryMessage(ImportMessage::Stopped, outcome_.counts),
                                                          outcome_.counts));
        });
    }

    const ImportContext& c_;
    ReportingProcedure proc_;
    ImportOutcome outcome_;
    std::optional<FileOutcome> lastFile_;  // of the last file whose pass began
    bool silenceRowFailures_ = false;
    bool stopped_ = false;
    int filePosition_ = 0;
    bool connectionLost_ = false;  // on the current file's connection
    QString path_;                 // the file being read
    QString encoding_;             // and the encoding it is read in
    PacedEvents paced_{&c_.events};
};

ImportOutcome ImportRun::run()
{
    proc_.at(Line::CreateObjects);
    proc_.at(Line::ResultSetObject);
    proc_.at(Line::ClearOutcome);
    if (refusedBeforeAnyFile()) {
        outcome_.ending = ImportOutcome::Ending::Refused;
        return outcome_;
    }

    int count = 0;
    proc_.step(Line::FileLoop, [&] { count = c_.files.count(); });
    outcome_.counts.filesTotal = count;
    for (int position = 1; position <= count; ++position) {
        if (stopSeen())
            break;
        const FileOutcome file = importFile(position);
        countFile(file);
        if (file == FileOutcome::FieldCountMismatch) {
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
        if (file == FileOutcome::Stopped)
            break;
    }
    outcome_.ending = stopped_ ? ImportOutcome::Ending::Stopped : ImportOutcome::Ending::Finished;
    // Only the last file's pass decides between "Done." and "Table(s) already exist.".
    outcome_.lastFileSkipped = !lastFile_ || *lastFile_ == FileOutcome::SkippedAsExisting;
    showClosingMessage();
    return outcome_;
}

void ImportRun::countFile(FileOutcome file)
{
    lastFile_ = file;
    if (file == FileOutcome::Loaded)
        ++outcome_.counts.filesLoaded;
    // A stopped file may have had failed statements before the stop.
    if (file == FileOutcome::Failed || outcome_.counts.statementsFailed > 0)
        outcome_.anyFailure = true;
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
    if (proc_.test(Line::PatternTaken, [&] {
            const ImportOptions o = options();
            return o.mode == ImportMode::CreateNew && ListContains(c_.tables.items(), o.tableNamePattern);
        }))
        return refuse(Line::TableExistsMessage, ImportMessage::TableExists);
    // An empty pattern would import nothing and then say "Done.".
    if (proc_.test(Line::NoPattern, [&] {
            const ImportOptions o = options();
            return o.mode == ImportMode::CreateNew && o.tableNamePattern.isEmpty();
        }))
        return refuse(Line::EnterTableName, ImportMessage::EnterTableName);
    // An empty separator makes one field of every line, and such lines are
    // never sent: the run would load nothing.
    if (proc_.test(Line::NoSeparator, [&] { return separator().isEmpty(); }))
        return refuse(Line::EnterSeparatorMessage, ImportMessage::EnterSeparator);
    return false;
}

// One file's pass: open the connection, read and check the lines, then
// create or append, and close.
ImportRun::FileOutcome ImportRun::importFile(int position)
{
    filePosition_ = position;
    connectionLost_ = false;
    proc_.at(Line::SetOutcome);
    proc_.step(Line::Hourglass, [&] { c_.busy.setBusy(true); });
    maybeYield(true);

    // A connection that cannot be opened would fail every statement of the
    // file in turn: report it once and go on with the next file.
    if (!proc_.step(Line::Open, [&] {
            c_.database.open(BuildConnectionString(c_.connection.currentParameters()));
        })) {
        closeFile();
        return FileOutcome::Failed;
    }

    QString path;
    proc_.step(Line::TakePath, [&] { path = c_.files.path(position); });
    // One pass over the file reads the header, checks every record's field
    // count and settles the encoding; the rows come from a second.
    const TextFormat format = textFormat();
    std::unique_ptr<FieldCountPass> countPass;
    proc_.step(Line::FirstLine, [&] { countPass = std::make_unique<FieldCountPass>(path, format); });

    FieldCountScan scan;
    bool countsAgree = false;
    const bool checked = proc_.step(Line::CheckCounts, [&] {
        if (!countPass)  // the file could not be read: that failure again ends the run
            countPass = std::make_unique<FieldCountPass>(path, format);
        scan = countPass->run(std::nullopt, &c_.events, [&] { return stopSeen(); });
        countPass.reset();
        countsAgree = CheckFieldCounts(scan.mismatch, c_.dialogs);
    });
    if (!checked || !countsAgree) {
        proc_.step(Line::PointerAfterCheck, [&] { c_.busy.setBusy(false); });
        try {
            c_.database.close();
        } catch (const std::exception&) {
        }
        return FileOutcome::FieldCountMismatch;
    }
    QStringList header;
    proc_.step(Line::SplitHeader, [&] { header = scan.header; });
    encoding_ = scan.encoding;

    if (stopSeen()) {
        closeFile();
        return FileOutcome::Stopped;
    }

    // A file whose lines cannot be read still goes through its table steps,
    // but sends no rows.
    std::unique_ptr<RecordReader> reader;
    proc_.step(Line::OpenDataLines, [&] {
        reader = std::make_unique<RecordReader>(path, TextFormat{format.separator, scan.encoding,
                                                                 format.quotedFields});
    });
    path_ = path;

    const FileOutcome outcome = options().mode == ImportMode::CreateNew
                                    ? createAndFill(position, header, reader.get())
                                    : appendTo(path, header, reader.get());
    closeFile();
    return outcome;
}

ImportRun::FileOutcome ImportRun::createAndFill(int position, const QStringList& header, RecordReader* reader)
{
    proc_.at(Line::CreateMode);
    const QString name = ExpandTableName(options().tableNamePattern, position);
    if (proc_.test(Line::NameListed, [&] { return ListContains(c_.tables.items(), name); })) {
        proc_.at(Line::SkipFile);
        return FileOutcome::SkippedAsExisting;
    }
    if (proc_.test(Line::PatternEmpty, [&] { return options().tableNamePattern.isEmpty(); }))
        return FileOutcome::NotLoaded;

    const ColumnSource source = options().columnSource;
    // Rows go only into the table this file made: a table statement that
    // failed or was never sent leaves the file without rows.
    if (const std::optional<FileOutcome> notMade = createTable(name, header, source))
        return *notMade;
    const bool fromHeader = source == ColumnSource::HeaderRow;
    const FileOutcome rows =
        reader ? sendRows(*reader, name, fromHeader ? RowStyle::HeaderColumns : RowStyle::PromptedColumns,
                          fromHeader ? Line::HeaderRow : Line::PromptedRow)
               : FileOutcome::NotLoaded;
    proc_.step(fromHeader ? Line::HeaderListed : Line::PromptedListed, [&] { c_.tables.insertAtTop(name); });
    return rows;
}

ImportRun::FileOutcome ImportRun::appendTo(const QString& path, const QStringList& header, RecordReader* reader)
{
    const QString table = options().selectedTable.value_or(QString());
    const int fileColumns = static_cast<int>(header.size());
    // Three cases, kept apart: a failed query (the table is gone, or is
    // spelled otherwise) sends no rows, as every one would fail too; a dry
    // run has no count and sends the rows as they would go; otherwise the
    // counts decide.
    std::optional<int> tableColumns;
    if (!sendStep(Line::CountQuery,
                  [&] { tableColumns = c_.database.columnCount(BuildColumnCountQuery(table)); }))
        return FileOutcome::Failed;
    const bool dryRun = !tableColumns;
    if (proc_.test(Line::CountsEqual, [&] { return dryRun || *tableColumns == fileColumns; }))
        return reader ? sendRows(*reader, table, RowStyle::AppendRows, Line::AppendRow) : FileOutcome::NotLoaded;
    proc_.step(Line::CountMismatch, [&] {
        ShowPlainMessage(c_.dialogs, ColumnCountMismatchMessage(path, separator(), fileColumns,
                                                                table, *tableColumns));
    });
    return FileOutcome::Failed;
}

std::optional<ImportRun::FileOutcome> ImportRun::createTable(const QString& name, const QStringList& header,
                                                             ColumnSource source)
{
    if (source == ColumnSource::HeaderRow) {
        if (!sendStep(Line::HeaderCreate, [&] { c_.database.execute(BuildCreateStatement(name, header)); }))
            return FileOutcome::Failed;
        return std::nullopt;
    }
    QStringList answers;
    for (int column = 1; column <= header.size(); ++column) {
        if (stopSeen())
            return FileOutcome::Stopped;
        QString answer;
        proc_.step(Line::Prompt, [&] {
            answer = AskWithApplicationTitle(c_.dialogs, ColumnNamePrompt(column));
        });
        answers << answer;
        if (answer.isEmpty())
            break;
    }
    if (answers.isEmpty() || answers.last().isEmpty())
        return FileOutcome::NotLoaded;  // a cancelled prompt: nothing is created, nothing failed
    if (stopSeen())
        return FileOutcome::Stopped;
    if (!sendStep(Line::PromptedCreate, [&] { c_.database.execute(BuildCreateStatement(name, answers)); }))
        return FileOutcome::Failed;
    return std::nullopt;
}

ImportRun::FileOutcome ImportRun::sendRows(RecordReader& reader, const QString& table, RowStyle style,
                                           int sendLine)
{
    maybeYield();  // the table statement may have taken a while
    bool anyRowFailed = false;
    TextRecord record;
    bool more = true;
    bool first = true;
    while (!connectionLost_) {
        if (!proc_.step(Line::ReadDataLine, [&] { more = reader.next(record, separator()); }))
            return anyRowFailed ? FileOutcome::Failed : FileOutcome::NotLoaded;
        if (!more)
            return anyRowFailed ? FileOutcome::Failed : FileOutcome::Loaded;
        if (first) {  // the header line is never a row
            first = false;
            continue;
        }
        if (record.fieldCount == 0)
            continue;
        const QStringList& fields = record.fields;
        if (fields.size() <= 1) {
            ++outcome_.counts.linesSkippedSingleField;
            continue;
        }
        if (stopSeen())
            return FileOutcome::Stopped;
        try {
            send([&] {
                // Never sent with a replacement character: reported and counted.
                if (record.undecodable)
                    throw Failure(UndecodableLineMessage(path_, record.line, ShowUndecodable(record.lineText),
                                                         encoding_));
                c_.database.execute(BuildRowStatement(table, fields, style,
                                                      record.quoted.empty() ? nullptr : &record.quoted));
            });
            ++outcome_.counts.rowsInserted;
        } catch (const std::exception& failure) {
            anyRowFailed = true;
            reportRowFailure(failure, sendLine);
        }
        maybeYield();
    }
    return FileOutcome::Failed;  // the connection is lost: every row after would fail too
}

void ImportRun::reportRowFailure(const std::exception& failure, int sendLine)
{
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
        proc_.step(Line::Summary, [&] {
            show(ImportSummaryMessage(ImportMessage::FinishedWithErrors, outcome_.counts));
        });
    } else if (outcome_.lastFileSkipped) {
        proc_.step(Line::Exist, [&] { show(ImportMessage::TablesAlreadyExist); });
    } else {
        proc_.step(Line::Done, [&] { show(ImportMessage::Done); });
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
