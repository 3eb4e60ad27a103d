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
#include "import/BatchPipeline.h"
#include "import/ColumnMatching.h"
#include "import/ImportOptions.h"
#include "import/RejectsFile.h"
#include "import/SqlTexts.h"
#include "text/TextDecoder.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

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
    // The table a file creates; with upper-case names, as DB2 folds it.
    QString createdTableName(const ImportOptions& o, int position) const
    {
        const QString name = ExpandTableName(o.tableNamePattern, position);
        return o.upperCaseNames ? name.toUpper() : name;
    }

    bool refusedBeforeAnyFile();
    FileOutcome importFile(int position);
    FileOutcome createAndFill(int position, const QStringList& header, RecordReader* reader);
    FileOutcome appendTo(const QString& path, const QStringList& header, RecordReader* reader);
    FileOutcome appendByName(const QString& path, const QString& table, const QStringList& header,
                             RecordReader* reader);
    // A file refused before any row: all its data lines go to the rejects.
    void rejectFile(RecordReader* reader, const QString& message, int sendLine);
    // Empty when the table was made; otherwise how the file's pass ends.
    std::optional<FileOutcome> createTable(const QString& name, const QStringList& header,
                                           ColumnSource source);
    QString createStatement(const QString& name, const QStringList& columns) const
    {
        return BuildCreateStatement(name, columns, columnTypes_, options().upperCaseNames);
    }
    FileOutcome sendRows(RecordReader& reader, const QString& table, RowStyle style, int sendLine);
    void reportRowFailure(const std::exception& failure, int sendLine);
    void reportRowFailure(const QString& description, int sendLine);

    // Fast load. A full batch is handed to the pipeline, which sends it
    // while the next is read; the batches come back in order, and one the
    // database refused is rolled back and its rows sent again one by one. Empty when the file goes on; otherwise how it ends: the
    // connection was lost (the batch is then in the rejects, with the rest
    // of the file) or a stop came while the rows were sent one by one (the
    // rows not sent, likewise).
    std::optional<FileOutcome> sendBatch(RowBatch& batch, const QString& table, int columns, int sendLine);
    // The same, and waits until every row read is in the table.
    std::optional<FileOutcome> sendAllBatches(RowBatch& batch, const QString& table, int columns,
                                              int sendLine);
    std::optional<FileOutcome> collectBatch(const QString& table, int sendLine);
    // The connection is lost (or the batch insert could not be prepared):
    // one report, and the file's rows from fromLine on go to the rejects.
    FileOutcome rowsMissingFrom(const std::exception& failure, qint64 fromLine, const QString& table,
                                int sendLine);
    // False when the batches could not be ended (autocommit may still be off).
    bool endBatches();

    // The lines not loaded; a rejects file that cannot be written is
    // reported once and then left alone for that file.
    void openRejects(qint64 headerLineCount);
    void reject(qint64 firstLine, qint64 lineCount, const QString& message, int sendLine);
    void rejectRest(qint64 fromLine, const QString& message, int sendLine);
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
    // The files share one connection, closed when the run ends, or as soon as
    // a file lost it so that the next file opens a fresh one.
    void closeConnection();
    // The same without a report: the file has had its one already.
    void dropConnection();
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
    void noteRejects()
    {
        if (rejects_.anyWritten())
            outcome_.rejectsWritten = rejects_.folder();
    }
    void showStoppedSummary()
    {
        proc_.step(Line::Summary, [&] {
            ShowPlainMessage(c_.dialogs,
                             WithRejectsFolder(WithSkippedLines(ImportSummaryMessage(ImportMessage::Stopped,
                                                                                     outcome_.counts),
                                                                outcome_.counts),
                                               outcome_.rejectsWritten));
        });
    }

    const ImportContext& c_;
    ReportingProcedure proc_;
    ImportOutcome outcome_;
    std::optional<FileOutcome> lastFile_;  // of the last file whose pass began
    bool silenceRowFailures_ = false;
    bool stopped_ = false;
    int filePosition_ = 0;
    bool connectionLost_ = false;  // by the current file
    bool connectionOpen_ = false;
    // Built from the login fields when the run first connects, and kept for
    // every connection of the run.
    QString connectionString_;
    QString path_;                 // the file being read
    QString encoding_;             // and the encoding it is read in
    ColumnTypes columnTypes_;      // of the table it creates; none: all text
    QStringList insertColumns_;    // the columns its rows fill; empty: all, in order
    PacedEvents paced_{&c_.events};
    RejectsFolder rejects_{c_.rejectsFolder};
    std::unique_ptr<RejectsFile> fileRejects_;
    BatchPipeline batches_{c_.database};
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
            dropConnection();
            // The mismatch ends the run silently, but failures of earlier
            // files (silenced rows among them) must still be told.
            if (outcome_.anyFailure) {
                proc_.at(Line::Closing);
                noteRejects();
                if (c_.progress)
                    c_.progress->ended(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
                showStoppedSummary();
            }
            return outcome_;
        }
        if (file == FileOutcome::Stopped)
            break;
    }
    closeConnection();
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
            return o.mode == ImportMode::CreateNew
                   && ListContains(c_.tables.items(),
                                   o.upperCaseNames ? o.tableNamePattern.toUpper() : o.tableNamePattern);
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

// One file's pass: open the connection unless the run has one, read and
// check the lines, then create or append.
ImportRun::FileOutcome ImportRun::importFile(int position)
{
    filePosition_ = position;
    connectionLost_ = false;
    proc_.at(Line::SetOutcome);
    proc_.step(Line::Hourglass, [&] { c_.busy.setBusy(true); });
    maybeYield(true);

    // A connection that cannot be opened would fail every statement of the
    // file in turn: report it once and go on with the next file, which
    // tries again.
    if (!connectionOpen_) {
        if (!proc_.step(Line::Open, [&] {
                if (connectionString_.isEmpty())
                    connectionString_ = BuildConnectionString(c_.connection.currentParameters());
                c_.database.open(connectionString_);
            })) {
            closeFile();
            return FileOutcome::Failed;
        }
        connectionOpen_ = true;
    }

    QString path;
    proc_.step(Line::TakePath, [&] { path = c_.files.path(position); });
    insertColumns_.clear();
    // One pass over the file reads the header, checks every record's field
    // count and settles the encoding; the rows come from a second.
    const TextFormat format = textFormat();
    const ImportOptions chosen = options();
    // The types come from the same pass, over every record of the file.
    const bool detect = chosen.mode == ImportMode::CreateNew && chosen.detectColumnTypes;
    const bool quotesDropped = chosen.columnSource == ColumnSource::Prompted && !format.quotedFields;
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
        scan = countPass->run(std::nullopt, &c_.events, [&] { return stopSeen(); });
        countPass.reset();
        countsAgree = CheckFieldCounts(scan, c_.dialogs);
    });
    if (scan.result == FieldCountResult::Stopped) {
        closeFile();
        return FileOutcome::Stopped;
    }
    if (!checked || !countsAgree) {
        proc_.step(Line::PointerAfterCheck, [&] { c_.busy.setBusy(false); });
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
    const QString name = createdTableName(options(), position);
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
    if (options().matchColumnsByName)
        return appendByName(path, table, header, reader);
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

ImportRun::FileOutcome ImportRun::appendByName(const QString& path, const QString& table,
                                               const QStringList& header, RecordReader* reader)
{
    std::optional<std::vector<TableColumn>> columns;
    if (!sendStep(Line::CountQuery, [&] { columns = c_.database.tableColumns(table); }))
        return FileOutcome::Failed;
    if (!columns) {  // a dry run
        insertColumns_ = HeaderColumnNames(header);
    } else {
        const ColumnPairing pairing = PairColumnsByName(header, *columns);
        if (!pairing.accepted()) {
            const QStringList faults = PairingFaults(pairing, table);
            proc_.step(Line::CountMismatch,
                       [&] { ShowPlainMessage(c_.dialogs, PairingRefusedMessage(path, faults)); });
            rejectFile(reader, faults.join(QStringLiteral("; ")), Line::CountMismatch);
            return FileOutcome::Failed;
        }
        insertColumns_ = pairing.columns;
    }
    return reader ? sendRows(*reader, table, RowStyle::AppendRows, Line::AppendRow) : FileOutcome::NotLoaded;
}

void ImportRun::rejectFile(RecordReader* reader, const QString& message, int sendLine)
{
    TextRecord header;
    bool read = false;
    if (!reader || !proc_.step(Line::ReadDataLine, [&] { read = reader->next(header, separator()); }) || !read)
        return;
    openRejects(header.lineCount);
    rejectRest(header.line + header.lineCount, message, sendLine);
}

std::optional<ImportRun::FileOutcome> ImportRun::createTable(const QString& name, const QStringList& header,
                                                             ColumnSource source)
{
    if (source == ColumnSource::HeaderRow) {
        if (!sendStep(Line::HeaderCreate, [&] { c_.database.execute(createStatement(name, header)); }))
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
    if (!sendStep(Line::PromptedCreate, [&] { c_.database.execute(createStatement(name, answers)); }))
        return FileOutcome::Failed;
    return std::nullopt;
}

ImportRun::FileOutcome ImportRun::sendRows(RecordReader& reader, const QString& table, RowStyle style,
                                           int sendLine)
{
    maybeYield();  // the table statement may have taken a while
    const ImportOptions chosen = options();
    const bool fast = chosen.fastLoad;
    const auto batchRows = static_cast<size_t>(std::clamp(chosen.batchSize, 1, kMaxBatchSize));
    // Beyond this many characters a batch is sent early, so that a file of
    // long lines keeps memory bounded too.
    constexpr qsizetype kBatchCharacters = 4 * 1024 * 1024;
    RowBatch batch;
    int columns = 0;
    // Every row that failed is counted, in both modes.
    const int failedBefore = outcome_.counts.statementsFailed;
    const auto ended = [&](FileOutcome whenAllWentIn) {
        return outcome_.counts.statementsFailed > failedBefore ? FileOutcome::Failed : whenAllWentIn;
    };
    // Before the run reads on or ends the file: whatever fast load holds goes
    // in first (nothing in row mode).
    const auto sendAll = [&]() -> std::optional<FileOutcome> {
        return fast ? sendAllBatches(batch, table, columns, sendLine) : std::nullopt;
    };
    // Appending sends text, as before: the table has its own types.
    const ColumnTypes types = style == RowStyle::AppendRows ? ColumnTypes() : columnTypes_;
    c_.database.useColumnTypes(types);
    const auto rowValues = [&](const QStringList& fields, const std::vector<bool>* quoted) {
        RowValues values = BuildRowValues(fields, style, quoted);
        ApplyColumnTypes(values, types);
        return values;
    };
    TextRecord record;
    bool more = true;
    bool first = true;
    while (!connectionLost_) {
        if (!proc_.step(Line::ReadDataLine, [&] { more = reader.next(record, separator()); })) {
            if (const auto end = sendAll())
                return *end;
            return ended(FileOutcome::NotLoaded);
        }
        if (!more) {
            if (const auto end = sendAll())
                return *end;
            return ended(FileOutcome::Loaded);
        }
        if (first) {  // the header line is never a row
            first = false;
            columns = static_cast<int>(record.fields.size());
            openRejects(record.lineCount);
            continue;
        }
        if (record.fieldCount == 0)
            continue;
        const QStringList& fields = record.fields;
        if (fields.size() <= 1) {
            ++outcome_.counts.linesSkippedSingleField;
            // Not a row, but a line not loaded: most likely the separator is wrong.
            if (!fields.value(0).isEmpty()) {
                if (const auto end = sendAll())
                    return *end;
                reject(record.line, record.lineCount, RejectReason::SingleField, sendLine);
            }
            continue;
        }
        if (stopSeen()) {
            // The rows read so far go in: a stop ends the run after them.
            if (const auto end = sendAll())
                return *end;
            rejectRest(record.line, RejectReason::Stopped, sendLine);
            return FileOutcome::Stopped;
        }
        const std::vector<bool>* quoted = record.quoted.empty() ? nullptr : &record.quoted;
        // A line read after the separator changed may not fit the prepared
        // statement: it goes on its own, as in row mode, after the batch.
        // A NUL would end row mode's statement text early, and fast load would
        // store it: neither sends it.
        const bool holdsNul = std::any_of(fields.begin(), fields.end(),
                                          [](const QString& field) { return field.contains(QChar(0)); });
        if (fast && !record.undecodable && !holdsNul && fields.size() == columns) {
            batch.rows.push_back(rowValues(fields, quoted));
            batch.lines.emplace_back(record.line, record.lineCount);
            for (const QString& field : fields)
                batch.characters += field.size();
            if (batch.rows.size() >= batchRows || batch.characters >= kBatchCharacters) {
                if (const auto end = sendBatch(batch, table, columns, sendLine))
                    return *end;
                maybeYield();
            }
            continue;
        }
        // The lines stay in order: the batches go first.
        if (const auto end = sendAll())
            return *end;
        try {
            send([&] {
                // Never sent with a replacement character: reported and counted.
                if (record.undecodable)
                    throw Failure(UndecodableLineMessage(record.undecodableLine + 1,
                                                         ShowUndecodable(record.undecodableLineText), encoding_));
                if (holdsNul)
                    throw Failure(RejectReason::NulCharacter);
                c_.database.execute(BuildRowStatement(table, rowValues(fields, quoted), &types, insertColumns_));
            });
            ++outcome_.counts.rowsInserted;
        } catch (const std::exception& failure) {
            const QString description = DescribeFailure(failure);
            reportRowFailure(FailedRowMessage(path_, record.line + 1, description), sendLine);
            if (connectionLost_)
                rejectRest(record.line, RejectReason::ConnectionLost, sendLine);
            else
                reject(record.line, record.lineCount, description, sendLine);
        }
        maybeYield();
    }
    return FileOutcome::Failed;  // the connection is lost: every row after would fail too
}

std::optional<ImportRun::FileOutcome> ImportRun::sendBatch(RowBatch& batch, const QString& table, int columns,
                                                           int sendLine)
{
    // A third batch waits until the one being sent is back and the next has
    // gone in its place.
    while (batches_.full()) {
        if (const auto end = collectBatch(table, sendLine))
            return end;
    }
    if (!batch.empty()) {
        batches_.send(table, columns, insertColumns_, std::move(batch));
        batch.clear();
    }
    return std::nullopt;
}

std::optional<ImportRun::FileOutcome> ImportRun::sendAllBatches(RowBatch& batch, const QString& table,
                                                                int columns, int sendLine)
{
    // Waited for here in any case: with nothing under way, it goes on this
    // thread, which spares a small file two hand-overs between threads.
    if (!batch.empty() && !batches_.busy()) {
        batches_.sendHere(table, columns, insertColumns_, std::move(batch));
        batch.clear();
    } else if (const auto end = sendBatch(batch, table, columns, sendLine)) {
        return end;
    }
    while (batches_.busy()) {
        if (const auto end = collectBatch(table, sendLine))
            return end;
    }
    return std::nullopt;
}

std::optional<ImportRun::FileOutcome> ImportRun::collectBatch(const QString& table, int sendLine)
{
    std::optional<BatchPipeline::Sent> sent = batches_.collect();
    if (!sent)
        return std::nullopt;
    const RowBatch& batch = sent->batch;
    if (!sent->failure) {
        outcome_.counts.rowsInserted += static_cast<int>(batch.rows.size());
        return std::nullopt;
    }
    // From here the sending waits: the batch after this one is sent only
    // once this one is dealt with, and is dropped when the file ends here
    // (its lines are then in the rejects with the rest).
    const auto ending = [&](FileOutcome outcome) {
        batches_.dropWaiting();
        return outcome;
    };
    const qint64 firstLine = batch.lines.front().first;
    try {
        std::rethrow_exception(sent->failure);
    } catch (const std::exception& failure) {
        const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
        if ((odbcError && odbcError->isConnectionLost()) || !batches_.prepared())
            return ending(rowsMissingFrom(failure, firstLine, table, sendLine));
    }
    // Only the rows the database refuses are left out: the others go in,
    // each in a transaction of its own.
    try {
        c_.database.rollback();
    } catch (const std::exception& failure) {
        return ending(rowsMissingFrom(failure, firstLine, table, sendLine));
    }
    for (size_t i = 0; i < batch.rows.size(); ++i) {
        const auto [line, lineCount] = batch.lines[i];
        // A row that waits for good (a lock) is cancelled after a stop;
        // the rows after it would only wait in turn.
        if (stopSeen()) {
            rejectRest(line, RejectReason::Stopped, sendLine);
            return ending(FileOutcome::Stopped);
        }
        try {
            c_.database.sendBatch({batch.rows[i]});
            c_.database.commit();
            ++outcome_.counts.rowsInserted;
        } catch (const std::exception& failure) {
            const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
            if (odbcError && odbcError->isConnectionLost())
                return ending(rowsMissingFrom(failure, line, table, sendLine));
            ++outcome_.counts.statementsFailed;
            try {
                c_.database.rollback();
            } catch (const std::exception&) {
                // A lost connection shows at the next row.
            }
            const QString description = DescribeFailure(failure);
            reportRowFailure(FailedRowMessage(path_, line + 1, description), sendLine);
            reject(line, lineCount, description, sendLine);
        }
        maybeYield();
    }
    batches_.resume();
    return std::nullopt;
}

ImportRun::FileOutcome ImportRun::rowsMissingFrom(const std::exception& failure, qint64 fromLine,
                                                   const QString& table, int sendLine)
{
    ++outcome_.counts.statementsFailed;
    const auto* odbcError = dynamic_cast<const OdbcError*>(&failure);
    connectionLost_ = odbcError && odbcError->isConnectionLost();
    proc_.at(sendLine);
    const QString description = DescribeFailure(failure);
    proc_.report(RowsMissingMessage(description, path_, fromLine + 1, table));
    rejectRest(fromLine, connectionLost_ ? RejectReason::ConnectionLost + QStringLiteral(": ") + description
                                         : description,
               sendLine);
    connectionLost_ = true;  // nothing more of this file is sent
    return FileOutcome::Failed;
}

bool ImportRun::endBatches()
{
    try {
        batches_.finish();
        return true;
    } catch (const std::exception&) {
        // Only a lost connection fails here, and the file has its report.
        return false;
    }
}

void ImportRun::openRejects(qint64 headerLineCount)
{
    fileRejects_.reset();
    proc_.step(Line::OpenDataLines, [&] { fileRejects_ = rejects_.forSource(path_, encoding_, headerLineCount); });
}

void ImportRun::reject(qint64 firstLine, qint64 lineCount, const QString& message, int sendLine)
{
    if (fileRejects_ && !proc_.step(sendLine, [&] { fileRejects_->reject(firstLine, lineCount, message); }))
        fileRejects_.reset();
}

void ImportRun::rejectRest(qint64 fromLine, const QString& message, int sendLine)
{
    if (fileRejects_ && !proc_.step(sendLine, [&] { fileRejects_->rejectRest(fromLine, message); }))
        fileRejects_.reset();
}

void ImportRun::reportRowFailure(const std::exception& failure, int sendLine)
{
    reportRowFailure(DescribeFailure(failure), sendLine);
}

void ImportRun::reportRowFailure(const QString& description, int sendLine)
{
    proc_.at(sendLine);
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
    const bool batchesEnded = endBatches();
    // Complete on disk before any closing message names it.
    if (fileRejects_)
        proc_.step(Line::Close, [&] { fileRejects_->finish(); });
    fileRejects_.reset();
    // After a lost connection the close can only fail again: that file has
    // had its one report already.
    if (connectionLost_)
        dropConnection();
    else if (!batchesEnded)
        closeConnection();
    proc_.step(Line::PointerAfterFile, [&] { c_.busy.setBusy(false); });
}

void ImportRun::closeConnection()
{
    if (!std::exchange(connectionOpen_, false))
        return;
    proc_.step(Line::Close, [&] { c_.database.close(); });
}

void ImportRun::dropConnection()
{
    connectionOpen_ = false;
    try {
        c_.database.close();
    } catch (const std::exception&) {
    }
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
    noteRejects();
    if (c_.progress)
        c_.progress->ended(filePosition_, outcome_.counts.filesTotal, outcome_.counts.rowsInserted);
    // Whatever the ending, skipped one-field lines are told: a wrong
    // separator must not pass for a plain success.
    const auto show = [&](const QString& text) {
        ShowPlainMessage(c_.dialogs, WithRejectsFolder(WithSkippedLines(text, outcome_.counts),
                                                       outcome_.rejectsWritten));
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
