#pragma once

#include "base/Failure.h"
#include "text/ColumnTypes.h"
#include "text/TextFormat.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace quorvane {

class Dialogs;

// Reading source files. CR LF, a lone LF and a lone CR each end a line, in
// every encoding. A byte-order mark is never text. A file that cannot be
// opened or read raises a Failure.

// Streams a file one line at a time; memory depends on the longest line.
// Bytes that cannot be decoded stand in the line as TextDecoder marks them.
class LineReader {
public:
    // Automatic: a byte-order mark decides (UTF-8, UTF-16 LE or BE);
    // otherwise the lines are decoded as UTF-8 (see SettledEncoding).
    explicit LineReader(const QString& path);
    // Reads the file chunkSize bytes at a time (the default is 64 KiB).
    LineReader(const QString& path, qint64 chunkSize);
    // An encoding the system's converter knows, or empty for Automatic.
    LineReader(const QString& path, const QString& encoding, qint64 chunkSize = 64 * 1024);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, or false after the last. A file that ends with a line
    // break yields a last, empty line; an empty file yields one empty line.
    bool next(QString& line);
    // The break that ended the last line: "\r\n", "\n", "\r", or "" for the last.
    QStringView lineBreak() const;

    // The encoding being decoded (known after the first line).
    QString encoding() const;
    // False while Automatic reads a file without a mark as UTF-8 on trust.
    bool encodingSettled() const;
    // True once any byte could not be decoded.
    bool sawUndecodable() const;

private:
    struct State;
    State* state_;
};

// Once a reader has read the whole file: the encoding the file is in. An
// Automatic reader that found bytes that are not UTF-8 gives Windows-1252.
QString SettledEncoding(const LineReader& reader);

// Cuts the line at every occurrence of the separator (any length), left to
// right; empty fields are kept. An empty line gives no fields; an empty
// separator gives the whole line as one field.
QStringList SplitFields(const QString& line, const QString& separator);

// SplitFields(line, separator).size(), without building the list.
qsizetype CountFields(const QString& line, const QString& separator);

// How the field-count pass ended.
enum class FieldCountResult {
    Agreed,         // every record after the header has the expected fields
    Mismatch,       // a record has more or fewer: the report names it
    UnclosedQuote,  // a double quote opens a field that the file never closes: the report says where
    Stopped,        // a stop came first: nothing is known of the records not read
};

// What the field-count pass learns of a file.
struct FieldCountScan {
    FieldCountResult result = FieldCountResult::Agreed;
    // The encoding the file's lines are read in. After a mismatch that reads
    // the same in every encoding, the pass stops there, and Automatic gives
    // the encoding read so far.
    QString encoding;
    QStringList header;   // the fields of the first record
    QString report;  // on the first record that disagrees: a Mismatch or an UnclosedQuote
    // One per header field when the pass was asked to detect them: the type
    // every value of that column fits (see ColumnTypeDetector).
    std::vector<ColumnType> columnTypes;
};

// The field-count pass: reads the file once, record by record. It settles
// the encoding (Automatic), keeps the header, and makes the report
// "Line no " + index + ": " + text for the first non-empty record after the
// header whose last field index differs from expectedLastIndex (by default
// the header's): index counts physical lines from 0 and names the line where
// the record starts; text is that line. A double quote never closed is
// reported at the line where it opened. Constructing reads the header record.
// The header opens a double quote that stays open past the longest header
// read: the file was read, so opening it again only says the same again.
class HeaderQuoteNotClosed : public Failure {
public:
    using Failure::Failure;
};

class FieldCountPass {
public:
    FieldCountPass(const QString& path, const TextFormat& format);
    ~FieldCountPass();
    FieldCountPass(const FieldCountPass&) = delete;
    FieldCountPass& operator=(const FieldCountPass&) = delete;

    // The pass also detects each column's type from the values of the rows
    // it reads (not the header, nor a line of one field, which is never
    // sent). With doubleQuotesDropped, as for rows of unquoted files named by
    // prompts, each value is seen without its double quotes.
    void detectColumnTypes(bool doubleQuotesDropped);

    // Reads the rest of the file. With events, the window handles its events
    // during the pass; when `stopped` says so at one of those pauses the pass
    // ends there, Stopped, with nothing else learnt.
    FieldCountScan run(std::optional<int> expectedLastIndex = std::nullopt, std::stop_token stop = {});

private:
    struct State;
    State* state_;
};

// The check of the import: true when all records agree. A report is shown
// in the help text window, and false returned once that window is closed; a
// stopped pass is false without a word.
bool CheckFieldCounts(const FieldCountScan& scan, Dialogs& dialogs);

// Every "[counter]" replaced by the 1-based position in decimal.
QString ExpandTableName(const QString& pattern, int position);

// True when some item equals the name, both lower-cased.
bool ListContains(const QStringList& items, const QString& name);

inline const QString kAlphanumericSet =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

QString FilterCharacters(const QString& text, const QString& set, bool keep);
QString KeepAlphanumeric(const QString& text);

}  // namespace quorvane
