#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quorvane {

class Dialogs;
class EventPump;

// Reading source files. Files are UTF-8 (the platform's 8-bit code page),
// without byte-order-mark handling. CR LF, a lone LF and a lone CR each end
// a line. A file that cannot be opened or read raises a Failure.

// Streams a file one line at a time; memory depends on the longest line.
class LineReader {
public:
    explicit LineReader(const QString& path);
    // Reads the file chunkSize bytes at a time (the default is 64 KiB).
    LineReader(const QString& path, qint64 chunkSize);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, or false after the last. A file that ends with a line
    // break yields a last, empty line; an empty file yields one empty line.
    bool next(QString& line);

private:
    struct State;
    State* state_;
};

// The text of the file's first line ("" for an empty file).
QString ReadFirstLine(const QString& path);

// All lines of the file, the first line at index 0; at least one element.
QStringList ReadDataLines(const QString& path);

// Cuts the line at every occurrence of the separator (any length), left to
// right; empty fields are kept. An empty line gives no fields; an empty
// separator gives the whole line as one field.
QStringList SplitFields(const QString& line, const QString& separator);

// SplitFields(line, separator).size(), without building the list.
qsizetype CountFields(const QString& line, const QString& separator);

// "Line no " + index + ": " + text for the first non-empty line after the
// first whose last field index differs from expectedLastIndex, or nothing.
// With events, the window handles its events during the pass; when
// `stopped` says so at one of those pauses the pass ends there, reporting
// nothing, and the caller (which asked to stop) goes no further.
std::optional<QString> FindFieldCountMismatch(const QString& path, const QString& separator,
                                              int expectedLastIndex, EventPump* events = nullptr,
                                              const std::function<bool()>& stopped = {});

// The check of the import: shows the report in the help text window and
// returns false once that window is closed; true when all lines agree.
bool CheckFieldCounts(const QString& path, const QString& separator, int expectedLastIndex,
                      Dialogs& dialogs, EventPump* events = nullptr,
                      const std::function<bool()>& stopped = {});

// Every "[counter]" replaced by the 1-based position in decimal.
QString ExpandTableName(const QString& pattern, int position);

// True when some item equals the name, both lower-cased.
bool ListContains(const QStringList& items, const QString& name);

inline const QString kAlphanumericSet =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

QString FilterCharacters(const QString& text, const QString& set, bool keep);
QString KeepAlphanumeric(const QString& text);

}  // namespace quorvane
