#include "import/ImportEngine.h"

#include "base/BusyIndicator.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"
#include "db/ConnectionParameters.h"
#include "db/OdbcError.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/InFlightLines.h"
#include "import/ImportDatabase.h"
#include "import/BatchPipeline.h"
#include "import/ColumnMatching.h"
#include "import/ImportOptions.h"
#include "import/RejectsFile.h"
#include "import/SqlTexts.h"
#include "text/TextDecoder.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace quorvane {

namespace {

// Progress goes to the window at most this often: often enough to look live.
constexpr qint64 kProgressIntervalMs = 20;

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
        : context_(context),
          options_(context.inputs.options),
          proc_(context.dialogs, Location::ImportRun),
          inFlight_(context.inFlight ? *context.inFlight : ownInFlight_)
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
        Stopped,            // the run was stopped while this file still had work
        FieldCountMismatch, // its lines disagree (or could not be checked): the run ends
    };

    TextFormat textFormat() const { return {options_.separator, options_.encoding, options_.quotedFields}; }
    // The table a file creates; with upper-case names, as DB2 folds it.
    QString createdTableName(int position) const
    {
        const QString name = ExpandTableName(options_.tableNamePattern, position);
        return options_.upperCaseNames ? name.toUpper() : name;
    }

    bool refusedBeforeAnyFile();
    FileOutcome importFile(int position);
    FileOutcome createAndFill(int position, const QStringList& header, std::unique_ptr<RecordReader> reader);
    FileOutcome appendTo(const QString& path, const QStringList& header, std::unique_ptr<RecordReader> reader);
    FileOutcome appendByName(const QString& path, const QString& table, const QStringList& header,
                             std::unique_ptr<RecordReader> reader);
    // A file refused before any row: all its data lines go to the rejects.
    void rejectFile(RecordReader* reader, const QString& message, int reportLine);
    // Empty when the table was made; otherwise how the file's pass ends.
    std::optional<FileOutcome> createTable(const QString& name, const QStringList& header, ColumnSource source);
    QString createStatement(const QString& name, const QStringList& columns) const
    {
        return BuildCreateStatement(name, columns, columnTypes_, options_.upperCaseNames);
    }

    // The data lines: read and built on the pipeline's thread, inserted on
    // this one, which alone uses the connection.
    FileOutcome loadRows(std::unique_ptr<RecordReader> reader, const QString& table, RowStyle style,
                         int reportLine);
    // Empty while the file goes on; otherwise how it ends.
    std::optional<FileOutcome> insertRow(const ReadRow& row, const QString& table, int reportLine);
    std::optional<FileOutcome> commitBatch(std::vector<ReadRow*>& batch, const QString& table, int reportLine);
    // The database refused a batch: only the rows it refuses are left out,
    // the others go in one by one, each in a transaction of its own.
    std::optional<FileOutcome> insertOneByOne(const std::vector<ReadRow*>& batch, std::vector<RowValues>& values,
                                              const QString& table, int reportLine);
    // The connection was lost as lines were committed: they may be in the
    // table, and are reported and rejected as in doubt.
    FileOutcome commitInDoubt(const std::exception& failure, SourceLines lines, int reportLine);
    // The connection is lost (or the batch insert could not be prepared):
    // one report, and the file's rows from fromLine on go to the rejects.
    FileOutcome rowsMissingFrom(const std::exception& failure, qint64 fromLine, const QString& table,
                                int reportLine);
    // A stop ends the file here: what was not inserted goes to the rejects.
    FileOutcome stoppedAt(qint64 fromLine, int reportLine);
    void reportRowFailure(const QString& description, int reportLine);
    void countFailure(const std::exception& failure);
    bool cancelledByTheStop(const std::exception& failure) const;

    // The lines not loaded. A rejects file that cannot be written is
    // reported once in the run; the lines then only counted.
    void openRejects(qint64 headerLineCount);
    void reject(SourceLines lines, const QString& message, int reportLine);
    void rejectRest(qint64 fromLine, const QString& message, int reportLine);
    void reportRejectsFailure(int reportLine);
    void countFile(FileOutcome file);

    // Every statement goes through here, built inside `statement` so that a
    // failure to build it counts as well. A failed statement is counted, and
    // this is the one place that decides it lost the connection; the failure
    // then goes on to its report.
    template <class Statement>
    void runStatement(Statement&& statement)
    {
        try {
            std::forward<Statement>(statement)();
        } catch (const std::exception& failure) {
            countFailure(failure);
            throw;
        }
    }
    template <class Statement>
    bool statementStep(int line, Statement&& statement)
    {
        return proc_.step(line, [&] { runStatement(statement); });
    }

    void closeFile();
    // The files share one connection, closed when the run ends, or as soon as
    // a file lost it so that the next file opens a fresh one.
    void closeConnection();
    // The same without a report: the file has had its one already.
    void dropConnection();
    void postProgress(bool force = false);
    // Asked before every statement and between files, so that a stop sends
    // nothing more. A file counts as stopped only when it still had work.
    bool stopSeen()
    {
        if (!stopped_ && context_.stop.stop_requested())
            stopped_ = true;
        return stopped_;
    }
    void noteRejects()
    {
        if (rejects_.anyWritten())
            outcome_.rejectsWritten = rejects_.folder();
        outcome_.rejectsFolder = rejects_.folder();
        outcome_.linesUnwritten = rejects_.unwrittenLines();
        outcome_.filePosition = filePosition_;
    }

    const ImportContext& context_;
    const ImportOptions& options_;
    ReportingProcedure proc_;
    ImportOutcome outcome_;
    std::optional<FileOutcome> lastFile_;  // of the last file whose pass began
    bool silenceRowFailures_ = false;
    bool stopped_ = false;
    bool rejectsFailureShown_ = false;
    int filePosition_ = 0;
    bool connectionLost_ = false;  // by the current file
    bool connectionOpen_ = false;
    QString path_;                 // the file being read
    QString encoding_;             // and the encoding it is read in
    ColumnTypes columnTypes_;      // of the table it creates; none: all text
    ColumnTypes rowTypes_;         // as its rows are sent
    QStringList insertColumns_;    // the columns its rows fill; empty: all, in order
    bool batchesBegun_ = false;    // the batch insert is prepared on the connection
    QElapsedTimer sinceProgress_;
    RejectsFolder rejects_{context_.rejectsFolder};
    std::unique_ptr<RejectsFile> fileRejects_;
    InFlightLines ownInFlight_;
    InFlightLines& inFlight_;
};

ImportOutcome ImportRun::run()
{
    proc_.at(Line::CreateObjects);
    proc_.at(Line::ResultSetObject);
    proc_.at(Line::ClearOutcome);
    sinceProgress_.start();
    if (refusedBeforeAnyFile()) {
        outcome_.ending = ImportOutcome::Ending::Refused;
        return outcome_;
    }

    const int count = static_cast<int>(context_.inputs.files.size());
    proc_.at(Line::FileLoop);
    outcome_.counts.filesTotal = count;
    for (int position = 1; position <= count; ++position) {
        if (stopSeen())
            break;
        const FileOutcome file = importFile(position);
        countFile(file);
        if (file == FileOutcome::FieldCountMismatch) {
            outcome_.ending = ImportOutcome::Ending::FieldCountCheck;
            dropConnection();
            noteRejects();
            return outcome_;
        }
        if (file == FileOutcome::Stopped)
            break;
    }
    closeConnection();
    outcome_.ending = stopped_ ? ImportOutcome::Ending::Stopped : ImportOutcome::Ending::Finished;
    // Only the last file's pass decides between "Done." and "Table(s) already exist.".
    outcome_.lastFileSkipped = !lastFile_ || *lastFile_ == FileOutcome::SkippedAsExisting;
    noteRejects();
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
        proc_.step(line, [&] { ShowPlainMessage(context_.dialogs, message); });
        return true;
    };
    const ImportOptions& o = options_;
    if (proc_.test(Line::NoFiles, [&] { return context_.inputs.files.isEmpty(); }))
        return refuse(Line::NoFilesMessage, ImportMessage::NoFiles);
    if (proc_.test(Line::NoTable, [&] { return o.mode == ImportMode::AppendExisting && !o.selectedTable; }))
        return refuse(Line::SelectTableMessage, ImportMessage::SelectTable);
    if (proc_.test(Line::PatternTaken, [&] {
            return o.mode == ImportMode::CreateNew
                   && ListContains(context_.tables.items(),
                                   o.upperCaseNames ? o.tableNamePattern.toUpper() : o.tableNamePattern);
        }))
        return refuse(Line::TableExistsMessage, ImportMessage::TableExists);
    // An empty pattern would import nothing and then say "Done.".
    if (proc_.test(Line::NoPattern,
                   [&] { return o.mode == ImportMode::CreateNew && o.tableNamePattern.isEmpty(); }))
        return refuse(Line::EnterTableName, ImportMessage::EnterTableName);
    // An empty separator makes one field of every line, and such lines are
    // never sent: the run would load nothing.
    if (proc_.test(Line::NoSeparator, [&] { return o.separator.isEmpty(); }))
        return refuse(Line::EnterSeparatorMessage, ImportMessage::EnterSeparator);
    return false;
}

// One file's pass: open the connection unless the run has one, read and
// check the lines, then create or append.
ImportRun::FileOutcome ImportRun::importFile(int position)
{
    filePosition_ = position;
    connectionLost_ = false;
    proc_.at(Line::SetOutcome);
    proc_.step(Line::Hourglass, [&] { context_.busy.setBusy(true); });
    postProgress(true);

    // A connection that cannot be opened would fail every statement of the
    // file in turn: report it once and go on with the next file, which
    // tries again.
    if (!connectionOpen_) {
        if (!proc_.step(Line::Open,
                        [&] { context_.database.open(BuildConnectionString(context_.inputs.login)); })) {
            closeFile();
            return stopSeen() ? FileOutcome::Stopped : FileOutcome::Failed;
        }
        connectionOpen_ = true;
    }

    QString path;
    proc_.step(Line::TakePath, [&] { path = context_.inputs.files.value(position - 1); });
    insertColumns_.clear();
    // One pass over the file reads the header, checks every record's field
    // count and settles the encoding; the rows come from a second.
    const TextFormat format = textFormat();
    // The types come from the same pass, over every record of the file.
    const bool detect = options_.mode == ImportMode::CreateNew && options_.detectColumnTypes;
    const bool quotesDropped = options_.columnSource == ColumnSource::Prompted && !format.quotedFields;
    std::unique_ptr<FieldCountPass> countPass;
    const auto startPass = [&] {
        countPass = std::make_unique<FieldCountPass>(path, format);
        if (detect)
            countPass->detectColumnTypes(quotesDropped);
    };
    columnTypes_.clear();
    bool headerRefused = false;
    proc_.step(Line::FirstLine, [&] {
        try {
            startPass();
        } catch (const HeaderQuoteNotClosed&) {
            headerRefused = true;
            throw;
        }
    });

    FieldCountScan scan;
    bool countsAgree = false;
    const bool checked = proc_.step(Line::CheckCounts, [&] {
        if (headerRefused)  // reported once already: the check fails without a word
            return;
        if (!countPass)  // the file could not be read: that failure again ends the run
            startPass();
        scan = countPass->run(std::nullopt, context_.stop);
        countPass.reset();
        countsAgree = CheckFieldCounts(scan, context_.dialogs);
    });
    if (scan.result == FieldCountResult::Stopped) {
        stopped_ = true;
        closeFile();
        return FileOutcome::Stopped;
    }
    if (!checked || !countsAgree) {
        proc_.step(Line::PointerAfterCheck, [&] { context_.busy.setBusy(false); });
        return FileOutcome::FieldCountMismatch;
    }
    QStringList header;
    proc_.step(Line::SplitHeader, [&] { header = scan.header; });
    encoding_ = scan.encoding;
    columnTypes_ = std::move(scan.columnTypes);

    if (stopSeen()) {
        closeFile();
        return FileOutcome::Stopped;
    }

    // A file whose lines cannot be read still goes through its table steps,
    // but sends no rows.
    std::unique_ptr<RecordReader> reader;
    proc_.step(Line::OpenDataLines, [&] {
        reader = std::make_unique<RecordReader>(path, TextFormat{format.separator, scan.encoding, format.quotedFields});
    });
    path_ = path;

    const FileOutcome outcome = options_.mode == ImportMode::CreateNew
                                    ? createAndFill(position, header, std::move(reader))
                                    : appendTo(path, header, std::move(reader));
    closeFile();
    return outcome;
}

ImportRun::FileOutcome ImportRun::createAndFill(int position, const QStringList& header,
                                                std::unique_ptr<RecordReader> reader)
{
    proc_.at(Line::CreateMode);
    const QString name = createdTableName(position);
    if (proc_.test(Line::NameListed, [&] { return ListContains(context_.tables.items(), name); })) {
        proc_.at(Line::SkipFile);
        return FileOutcome::SkippedAsExisting;
    }
    if (proc_.test(Line::PatternEmpty, [&] { return options_.tableNamePattern.isEmpty(); }))
        return FileOutcome::NotLoaded;

    const ColumnSource source = options_.columnSource;
    // Rows go only into the table this file made: a table statement that
    // failed or was never sent leaves the file without rows.
    if (const std::optional<FileOutcome> notMade = createTable(name, header, source))
        return *notMade;
    const bool fromHeader = source == ColumnSource::HeaderRow;
    const FileOutcome rows =
        reader ? loadRows(std::move(reader), name, fromHeader ? RowStyle::HeaderColumns : RowStyle::PromptedColumns,
                          fromHeader ? Line::HeaderRow : Line::PromptedRow)
               : FileOutcome::NotLoaded;
    proc_.step(fromHeader ? Line::HeaderListed : Line::PromptedListed,
               [&] { context_.tables.insertAtTop(name); });
    return rows;
}

ImportRun::FileOutcome ImportRun::appendTo(const QString& path, const QStringList& header,
                                           std::unique_ptr<RecordReader> reader)
{
    const QString table = options_.selectedTable.value_or(QString());
    if (options_.matchColumnsByName)
        return appendByName(path, table, header, std::move(reader));
    const int fileColumns = static_cast<int>(header.size());
    // Three cases, kept apart: a failed query (the table is gone, or is
    // spelled otherwise) sends no rows, as every one would fail too; a dry
    // run has no count and sends the rows as they would go; otherwise the
    // counts decide.
    std::optional<int> tableColumns;
    if (!statementStep(Line::CountQuery,
                       [&] { tableColumns = context_.database.columnCount(BuildColumnCountQuery(table)); }))
        return FileOutcome::Failed;
    const bool dryRun = !tableColumns;
    if (proc_.test(Line::CountsEqual, [&] { return dryRun || *tableColumns == fileColumns; }))
        return reader ? loadRows(std::move(reader), table, RowStyle::AppendRows, Line::AppendRow)
                      : FileOutcome::NotLoaded;
    proc_.step(Line::CountMismatch, [&] {
        ShowPlainMessage(context_.dialogs,
                         ColumnCountMismatchMessage(path, options_.separator, fileColumns, table, *tableColumns));
    });
    return FileOutcome::Failed;
}

ImportRun::FileOutcome ImportRun::appendByName(const QString& path, const QString& table,
                                               const QStringList& header, std::unique_ptr<RecordReader> reader)
{
    std::optional<std::vector<TableColumn>> columns;
    if (!statementStep(Line::CountQuery, [&] { columns = context_.database.tableColumns(table); }))
        return FileOutcome::Failed;
    if (!columns) {  // a dry run
        insertColumns_ = HeaderColumnNames(header);
    } else {
        const ColumnPairing pairing = PairColumnsByName(header, *columns);
        if (!pairing.accepted()) {
            const QStringList faults = PairingFaults(pairing, table);
            proc_.step(Line::CountMismatch,
                       [&] { ShowPlainMessage(context_.dialogs, PairingRefusedMessage(path, faults)); });
            rejectFile(reader.get(), faults.join(QStringLiteral("; ")), Line::CountMismatch);
            return FileOutcome::Failed;
        }
        insertColumns_ = pairing.columns;
    }
    return reader ? loadRows(std::move(reader), table, RowStyle::AppendRows, Line::AppendRow) : FileOutcome::NotLoaded;
}

void ImportRun::rejectFile(RecordReader* reader, const QString& message, int reportLine)
{
    TextRecord header;
    bool read = false;
    if (!reader || !proc_.step(Line::ReadDataLine, [&] { read = reader->next(header); }) || !read)
        return;
    openRejects(header.lines.count);
    rejectRest(header.lines.end(), message, reportLine);
}

std::optional<ImportRun::FileOutcome> ImportRun::createTable(const QString& name, const QStringList& header,
                                                             ColumnSource source)
{
    if (source == ColumnSource::HeaderRow) {
        if (stopSeen())
            return FileOutcome::Stopped;
        if (!statementStep(Line::HeaderCreate, [&] { context_.database.execute(createStatement(name, header)); }))
            return stopSeen() ? FileOutcome::Stopped : FileOutcome::Failed;
        return std::nullopt;
    }
    QStringList answers;
    for (int column = 1; column <= header.size(); ++column) {
        if (stopSeen())
            return FileOutcome::Stopped;
        QString answer;
        proc_.step(Line::Prompt, [&] { answer = AskWithApplicationTitle(context_.dialogs, ColumnNamePrompt(column)); });
        answers << answer;
        if (answer.isEmpty())
            break;
    }
    if (stopSeen())
        return FileOutcome::Stopped;
    if (answers.isEmpty() || answers.last().isEmpty())
        return FileOutcome::NotLoaded;  // a cancelled prompt: nothing is created, nothing failed
    if (!statementStep(Line::PromptedCreate, [&] { context_.database.execute(createStatement(name, answers)); }))
        return FileOutcome::Failed;
    return std::nullopt;
}

ImportRun::FileOutcome ImportRun::loadRows(std::unique_ptr<RecordReader> reader, const QString& table,
                                           RowStyle style, int reportLine)
{
    postProgress();  // the table statement may have taken a while
    // Every row that failed is counted, in both modes.
    const int failedBefore = outcome_.counts.statementsFailed;
    const auto ended = [&](FileOutcome whenAllWentIn) {
        return outcome_.counts.statementsFailed > failedBefore ? FileOutcome::Failed : whenAllWentIn;
    };
    TextRecord header;  // never a row
    bool any = false;
    if (!proc_.step(Line::ReadDataLine, [&] { any = reader->next(header); }))
        return ended(FileOutcome::NotLoaded);
    if (!any)
        return ended(FileOutcome::Loaded);
    openRejects(header.lines.count);

    // Appending sends text, as before: the table has its own types.
    RowRules rules;
    rules.style = style;
    rules.types = style == RowStyle::AppendRows ? ColumnTypes() : columnTypes_;
    rules.columns = static_cast<int>(header.fields.size());
    rules.fastLoad = options_.fastLoad;
    rules.batchRows = static_cast<std::size_t>(std::clamp(options_.batchSize, 1, kMaxBatchSize));
    rules.encoding = encoding_;
    rowTypes_ = rules.types;
    context_.database.useColumnTypes(rules.types);
    BatchPipeline pipeline(std::move(reader), rules);

    std::vector<ReadRow*> batch;
    const auto commitWaiting = [&]() -> std::optional<FileOutcome> {
        return batch.empty() ? std::nullopt : commitBatch(batch, table, reportLine);
    };
    for (;;) {
        std::optional<RowChunk> chunk;
        if (!proc_.step(Line::ReadDataLine, [&] { chunk = pipeline.next(); }))
            return ended(FileOutcome::NotLoaded);
        if (!chunk)
            return ended(FileOutcome::Loaded);
        for (ReadRow& row : *chunk) {
            if (row.inBatch) {
                batch.push_back(&row);
                continue;
            }
            // The lines stay in order: the batch goes first.
            if (const auto end = commitWaiting())
                return *end;
            if (row.kind == ReadRow::Kind::SingleField) {
                ++outcome_.counts.linesSkippedSingleField;
                // Not a row, but a line not loaded: most likely the separator is wrong.
                if (row.holdsText)
                    reject(row.lines, RejectReason::SingleField, reportLine);
                continue;
            }
            if (const auto end = insertRow(row, table, reportLine))
                return *end;
        }
        if (const auto end = commitWaiting())
            return *end;
        postProgress();
    }
}

std::optional<ImportRun::FileOutcome> ImportRun::insertRow(const ReadRow& row, const QString& table, int reportLine)
{
    if (stopSeen())
        return stoppedAt(row.lines.first, reportLine);
    inFlight_.starting(row.lines);
    try {
        runStatement([&] {
            if (row.kind == ReadRow::Kind::Refused)
                throw Failure(row.refusal);
            context_.database.execute(BuildRowStatement(table, row.values, &rowTypes_, insertColumns_));
        });
        inFlight_.ended();
        ++outcome_.counts.rowsInserted;
    } catch (const std::exception& failure) {
        inFlight_.ended();
        if (cancelledByTheStop(failure))
            return stoppedAt(row.lines.first, reportLine);
        const QString description = DescribeFailure(failure);
        reportRowFailure(FailedRowMessage(path_, row.lines.first + 1, description), reportLine);
        if (connectionLost_) {
            rejectRest(row.lines.first, RejectReason::ConnectionLost, reportLine);
            return FileOutcome::Failed;  // every row after would fail too
        }
        reject(row.lines, description, reportLine);
    }
    postProgress();
    return std::nullopt;
}

std::optional<ImportRun::FileOutcome> ImportRun::commitBatch(std::vector<ReadRow*>& batch, const QString& table,
                                                             int reportLine)
{
    const std::vector<ReadRow*> rows = std::exchange(batch, {});
    const SourceLines span{rows.front()->lines.first, rows.back()->lines.end() - rows.front()->lines.first};
    if (stopSeen())
        return stoppedAt(span.first, reportLine);
    // Moved, not copied: the rows are read once.
    std::vector<RowValues> values;
    values.reserve(rows.size());
    for (ReadRow* row : rows)
        values.push_back(std::move(row->values));
    bool committing = false;
    inFlight_.starting(span);
    try {
        if (!batchesBegun_) {
            context_.database.beginBatches(table, static_cast<int>(values.front().size()), insertColumns_);
            batchesBegun_ = true;
        }
        context_.database.insertBatch(values);
        committing = true;
        context_.database.commit();
        inFlight_.ended();
        outcome_.counts.rowsInserted += static_cast<int>(rows.size());
        return std::nullopt;
    } catch (const std::exception& failure) {
        inFlight_.ended();
        if (cancelledByTheStop(failure)) {
            try {
                context_.database.rollback();
            } catch (const std::exception&) {
                // Some drivers roll back by themselves on a cancel.
            }
            return stoppedAt(span.first, reportLine);
        }
        const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
        const bool lost = odbcError && odbcError->isConnectionLost();
        if (lost && committing)
            return commitInDoubt(failure, span, reportLine);
        if (lost || !batchesBegun_)
            return rowsMissingFrom(failure, span.first, table, reportLine);
    }
    try {
        context_.database.rollback();
    } catch (const std::exception& failure) {
        return rowsMissingFrom(failure, span.first, table, reportLine);
    }
    return insertOneByOne(rows, values, table, reportLine);
}

std::optional<ImportRun::FileOutcome> ImportRun::insertOneByOne(const std::vector<ReadRow*>& batch,
                                                                std::vector<RowValues>& values,
                                                                const QString& table, int reportLine)
{
    for (size_t i = 0; i < batch.size(); ++i) {
        const ReadRow& row = *batch[i];
        // A row that waits for good (a lock) is cancelled after a stop;
        // the rows after it would only wait in turn.
        if (stopSeen())
            return stoppedAt(row.lines.first, reportLine);
        bool committing = false;
        inFlight_.starting(row.lines);
        try {
            context_.database.insertBatch({std::move(values[i])});
            committing = true;
            context_.database.commit();
            inFlight_.ended();
            ++outcome_.counts.rowsInserted;
        } catch (const std::exception& failure) {
            inFlight_.ended();
            const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
            if (odbcError && odbcError->isConnectionLost()) {
                return committing ? commitInDoubt(failure, row.lines, reportLine)
                                  : rowsMissingFrom(failure, row.lines.first, table, reportLine);
            }
            try {
                context_.database.rollback();
            } catch (const std::exception&) {
                // A lost connection shows at the next row.
            }
            if (cancelledByTheStop(failure))
                return stoppedAt(row.lines.first, reportLine);
            ++outcome_.counts.statementsFailed;
            const QString description = DescribeFailure(failure);
            reportRowFailure(FailedRowMessage(path_, row.lines.first + 1, description), reportLine);
            reject(row.lines, description, reportLine);
        }
        postProgress();
    }
    return std::nullopt;
}

ImportRun::FileOutcome ImportRun::commitInDoubt(const std::exception& failure, SourceLines lines, int reportLine)
{
    countFailure(failure);
    proc_.at(reportLine);
    proc_.report(CommitInDoubtMessage(DescribeFailure(failure), path_, lines));
    for (qint64 line = lines.first; line < lines.end(); ++line)
        reject({line, 1}, RejectReason::InDoubtCommit, reportLine);
    rejectRest(lines.end(), RejectReason::ConnectionLost, reportLine);
    connectionLost_ = true;  // nothing more of this file is sent
    return FileOutcome::Failed;
}

ImportRun::FileOutcome ImportRun::rowsMissingFrom(const std::exception& failure, qint64 fromLine,
                                                   const QString& table, int reportLine)
{
    countFailure(failure);
    proc_.at(reportLine);
    const QString description = DescribeFailure(failure);
    proc_.report(RowsMissingMessage(description, path_, fromLine + 1, table));
    rejectRest(fromLine,
               connectionLost_ ? RejectReason::ConnectionLost + QStringLiteral(": ") + description : description,
               reportLine);
    connectionLost_ = true;  // nothing more of this file is sent
    return FileOutcome::Failed;
}

ImportRun::FileOutcome ImportRun::stoppedAt(qint64 fromLine, int reportLine)
{
    stopped_ = true;
    rejectRest(fromLine, RejectReason::Stopped, reportLine);
    return FileOutcome::Stopped;
}

void ImportRun::countFailure(const std::exception& failure)
{
    const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
    if (odbcError && odbcError->isCancelled() && context_.stop.stop_requested())
        return;  // the stop's own doing: not a failure
    ++outcome_.counts.statementsFailed;
    connectionLost_ = odbcError && odbcError->isConnectionLost();
}

bool ImportRun::cancelledByTheStop(const std::exception& failure) const
{
    const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
    return context_.stop.stop_requested() && (!odbcError || odbcError->isCancelled());
}

void ImportRun::openRejects(qint64 headerLineCount)
{
    inFlight_.useRejects(nullptr);
    fileRejects_ = rejects_.forSource(path_, encoding_, headerLineCount);
    inFlight_.useRejects(fileRejects_.get());
}

void ImportRun::reject(SourceLines lines, const QString& message, int reportLine)
{
    inFlight_.write([&](RejectsFile& rejects) { rejects.reject(lines, message); });
    reportRejectsFailure(reportLine);
}

void ImportRun::rejectRest(qint64 fromLine, const QString& message, int reportLine)
{
    inFlight_.write([&](RejectsFile& rejects) { rejects.rejectRest(fromLine, message); });
    reportRejectsFailure(reportLine);
}

void ImportRun::reportRejectsFailure(int reportLine)
{
    if (rejectsFailureShown_ || !rejects_.failure())
        return;
    rejectsFailureShown_ = true;
    proc_.at(reportLine);
    proc_.report(*rejects_.failure());
}

void ImportRun::reportRowFailure(const QString& description, int reportLine)
{
    proc_.at(reportLine);
    // A lost connection is always shown: it ends the file, once.
    if (connectionLost_)
        proc_.report(description);
    else if (!silenceRowFailures_ && proc_.report(description, ImportMessage::SilenceFailedRows))
        silenceRowFailures_ = true;
}

void ImportRun::closeFile()
{
    // Batches that could not be ended may leave autocommit off: the next
    // file must not send its rows on such a connection.
    bool batchesEnded = true;
    if (std::exchange(batchesBegun_, false)) {
        try {
            context_.database.endBatches();
        } catch (const std::exception&) {
            // Only a lost connection fails here, and the file has its report.
            batchesEnded = false;
        }
    }
    // Complete on disk before any closing message names it.
    if (fileRejects_) {
        inFlight_.write([](RejectsFile& rejects) { rejects.finish(); });
        reportRejectsFailure(Line::Close);
    }
    inFlight_.useRejects(nullptr);
    fileRejects_.reset();
    // After a lost connection the close can only fail again: that file has
    // had its one report already.
    if (connectionLost_)
        dropConnection();
    else if (!batchesEnded)
        closeConnection();
    proc_.step(Line::PointerAfterFile, [&] { context_.busy.setBusy(false); });
}

void ImportRun::closeConnection()
{
    if (!std::exchange(connectionOpen_, false))
        return;
    proc_.step(Line::Close, [&] { context_.database.close(); });
}

void ImportRun::dropConnection()
{
    connectionOpen_ = false;
    try {
        context_.database.close();
    } catch (const std::exception&) {
    }
}

// Posted, not awaited: the run never waits for the window to draw.
void ImportRun::postProgress(bool force)
{
    if (!force && sinceProgress_.elapsed() < kProgressIntervalMs)
        return;
    sinceProgress_.restart();
    if (context_.progress)
        context_.progress->update(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
}

}  // namespace

ImportOutcome ImportFiles(const ImportContext& context)
{
    // Whatever happens, the window never stays on the hourglass.
    struct PointerGuard {
        BusyIndicator& busy;
        ~PointerGuard() { busy.setBusy(false); }
    } guard{context.busy};
    return ImportRun(context).run();
}

void ShowClosingMessage(Dialogs& dialogs, const ImportOutcome& outcome)
{
    using Ending = ImportOutcome::Ending;
    ReportingProcedure proc(dialogs, Location::ImportRun);
    // Whatever the ending, skipped one-field lines are told: a wrong
    // separator must not pass for a plain success.
    const auto show = [&](const QString& text) {
        const QString told = WithSkippedLines(text, outcome.counts);
        ShowPlainMessage(dialogs, outcome.linesUnwritten > 0
                                      ? WithUnwrittenLines(WithRejectsFolder(told, outcome.rejectsWritten),
                                                           outcome.linesUnwritten, outcome.rejectsFolder)
                                      : WithRejectsFolder(told, outcome.rejectsWritten));
    };
    const auto showStopped = [&] {
        proc.step(Line::Summary, [&] { show(ImportSummaryMessage(ImportMessage::Stopped, outcome.counts)); });
    };
    if (outcome.ending == Ending::Refused)
        return;
    proc.at(Line::Closing);
    // The mismatch ends the run silently, but failures of earlier files
    // (silenced rows among them) must still be told.
    if (outcome.ending == Ending::FieldCountCheck) {
        if (outcome.anyFailure)
            showStopped();
    } else if (outcome.ending == Ending::Stopped) {
        showStopped();
    } else if (outcome.anyFailure) {
        proc.step(Line::Summary,
                  [&] { show(ImportSummaryMessage(ImportMessage::FinishedWithErrors, outcome.counts)); });
    } else if (outcome.lastFileSkipped) {
        proc.step(Line::Exist, [&] { show(ImportMessage::TablesAlreadyExist); });
    } else {
        proc.step(Line::Done, [&] { show(ImportMessage::Done); });
    }
}

ImportOutcome RunImport(const ImportContext& context)
{
    const ImportOutcome outcome = ImportFiles(context);
    ShowClosingMessage(context.dialogs, outcome);
    return outcome;
}

}  // namespace quorvane
