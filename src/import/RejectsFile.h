#pragma once

#include "text/TextRecords.h"

#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace quorvane {

class RawLineReader;
class RejectsFile;

// Where a run writes what it did not load; nothing is created until the
// first rejected line. An empty folder means none are written.
class RejectsFolder {
public:
    // Sources are read chunkSize bytes at a time.
    explicit RejectsFolder(QString folder, qint64 chunkSize = 64 * 1024);
    RejectsFolder(const RejectsFolder&) = delete;
    RejectsFolder& operator=(const RejectsFolder&) = delete;

    // The rejects of one source file read in `encoding` (a name the system's
    // converter knows, as the import settles it: "UTF-8", "UTF-16LE",
    // "UTF-16" with a byte-order mark, "Windows-1252", ...), whose header
    // record spans the first headerLineCount physical lines. The file must
    // not outlive this folder.
    std::unique_ptr<RejectsFile> forSource(const QString& sourcePath, const QString& encoding,
                                           qint64 headerLineCount = 1);
    bool anyWritten() const { return anyWritten_; }
    QString folder() const { return folder_; }
    // The first failure to write here, with the system's reason; from then
    // on nothing more is written in the run, and the lines that were not
    // are counted instead.
    const std::optional<QString>& failure() const { return failure_; }
    qint64 unwrittenLines() const { return unwrittenLines_; }

private:
    friend class RejectsFile;

    QString folder_;
    qint64 chunkSize_;
    bool anyWritten_ = false;
    std::optional<QString> failure_;
    qint64 unwrittenLines_ = 0;
};

// The lines of one source file that are not in its table, copied byte for
// byte after the source's header, and a log beside it ("name.log") with one
// line per rejection: "line N: message", N counted from 1 as an editor does.
// Rejections of consecutive lines for one reason share a log line
// ("lines N-M: message"), so a stop early in a long file logs one line.
// The source is read once, forwards, so calls come in increasing line order.
class RejectsFile {
public:
    ~RejectsFile();  // finishes, but a failure then goes unseen: call finish()
    RejectsFile(const RejectsFile&) = delete;
    RejectsFile& operator=(const RejectsFile&) = delete;

    // A record (its first line 0-based; the header is line 0); logged once,
    // at its first line. A failure to write is kept by the folder, never
    // thrown, and the log then names no line the rejects do not hold.
    void reject(SourceLines lines, const QString& message);
    // Every line from firstLine to the end of the file, each logged with the
    // same message.
    void rejectRest(qint64 firstLine, const QString& message);
    // Writes out and closes what was written.
    void finish();

private:
    friend class RejectsFolder;
    RejectsFile(RejectsFolder& folder, const QString& sourcePath, const QString& encoding,
                qint64 headerLineCount);

    void startReading();
    void skipTo(qint64 line);
    void create();
    void write(QFile& file, const char* bytes, qsizetype size);
    // Once writing failed: the lines are only counted.
    bool failed() const { return folder_.failure_.has_value(); }
    void fail(const QFile& file);
    void countUnwritten(qint64 endLine);
    void log(qint64 firstLine, qint64 lineCount, const QString& message);
    void writeLog();

    RejectsFolder& folder_;
    QString sourcePath_;
    QString encoding_;
    qint64 headerLineCount_;
    std::unique_ptr<RawLineReader> source_;
    QByteArray header_;  // the header's bytes until the first line is written
    QFile rejects_;
    QFile log_;
    bool created_ = false;
    bool partial_ = false;  // the line under way when writing failed
    // The log line not written yet, as it may take in the next rejection.
    struct PendingLog {
        qint64 firstLine = 0;
        qint64 endLine = 0;  // one past its last line
        qint64 records = 0;
        QString message;
    } pendingLog_;
};

}  // namespace quorvane
