#pragma once

#include "text/TextFormat.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace quorvane {

class LineReader;

// One record of a source file: a line, or with quoted fields the lines that
// a quoted field spans.
// Physical lines of a source file: the first (the header's is 0) and how
// many. Records, rows, batches and rejections carry them.
struct SourceLines {
    qint64 first = 0;
    qint64 count = 1;
    qint64 end() const { return first + count; }  // one past the last
};

struct TextRecord {
    QStringList fields;  // left empty by a splitter that only counts
    qsizetype fieldCount = 0;
    // With quoted fields, one flag per field: it was enclosed in double
    // quotes. Empty when fields are never quoted.
    std::vector<bool> quoted;
    SourceLines lines;    // the physical lines it spans
    QString lineText;     // the text of that line
    bool undecodable = false;  // some byte of it could not be decoded
    // The first physical line holding such a byte, which a quoted record
    // may have after its first.
    qint64 undecodableLine = 0;
    QString undecodableLineText;
    // A double quote opened a field that the file never closes.
    bool unclosedQuote = false;
    qint64 quoteLine = 0;  // where that quote opened
    QString quoteLineText;
};

// Cuts physical lines into records, line by line, so that memory depends on
// the longest record, not on the file. Without quoted fields every line is
// a record, split as SplitFields splits it. With them, a field that starts
// with a double quote ends at the matching one: "" inside is one quote, the
// separator and line breaks inside are data, the enclosing quotes are not.
class RecordSplitter {
public:
    // With keepText false only the fields are counted.
    RecordSplitter(bool quotedFields, bool keepText);

    // One physical line and the break after it; true once a record is
    // complete (then record() holds it until the next line). mayBeUndecodable
    // false spares the look for undecodable bytes (the decoder met none).
    bool feed(const QString& line, QStringView lineBreak, const QString& separator,
              bool mayBeUndecodable = true);
    // At the end of the file: true when a record was still open, which can
    // only be a quote never closed.
    bool finish();

    TextRecord& record() { return record_; }
    void setKeepText(bool keepText) { keepText_ = keepText; }
    // Characters kept so far of the record in progress.
    qsizetype keptSize() const { return keptSize_; }

private:
    // Where the splitter stands in the field being read. Only InQuote lasts
    // from one line to the next: the record goes on there.
    enum class State {
        Normal,      // unquoted text, or between records
        InQuote,     // inside double quotes
        AfterQuote,  // past the closing quote: the rest up to the separator is kept too
    };

    void startRecord(const QString& line, qint64 index);
    // At the start of a field: opens its quotes if it has them, and returns
    // where its text begins.
    qsizetype startField(const QString& line, qsizetype position, qint64 index);
    void endField();

    bool quotedFields_;
    bool keepText_;
    qint64 lineIndex_ = 0;  // of the next line fed
    State state_ = State::Normal;
    QString field_;
    qsizetype keptSize_ = 0;
    TextRecord record_;
};

// The records of a file, read in the given format; the separator is taken
// anew for every record.
class RecordReader {
public:
    // Reads the file chunkSize bytes at a time (as LineReader does).
    RecordReader(const QString& path, const TextFormat& format, qint64 chunkSize = 64 * 1024);
    ~RecordReader();

    // The next record, or false after the last.
    bool next(TextRecord& record);

private:
    std::unique_ptr<LineReader> lines_;
    QString separator_;
    RecordSplitter splitter_;
    bool ended_ = false;
};

}  // namespace quorvane
