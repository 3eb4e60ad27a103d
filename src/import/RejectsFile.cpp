#include "import/RejectsFile.h"

#include "base/Failure.h"
#include "filelist/FileRule.h"
#include "text/TextDecoder.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <functional>
#include <limits>
#include <stdexcept>

namespace quorvane {

// The physical lines of a file as raw bytes, breaks included, cut where
// LineReader cuts them (CR LF, lone LF, lone CR) but without decoding: a
// break is a whole code unit of the encoding, as the encoding writes LF and
// CR, so the bytes 0A and 0D inside a UTF-16 character never cut a line and
// an EBCDIC file is cut at its own line feed.
class RawLineReader {
public:
    using Sink = std::function<void(QByteArrayView)>;

    RawLineReader(const QString& path, const QString& encoding, qint64 chunkSize)
        : path_(path), breaks_(LineBreaksOf(encoding)), unit_(int(breaks_.lf.size()))
    {
        // Unbuffered: the chunk is the only buffer, so memory stays bounded.
        try {
            OpenRegularFileForReading(file_, path, QIODevice::Unbuffered);
        } catch (const Failure& failure) {
            throw Failure(QStringLiteral("Cannot open file %1: %2").arg(path, failure.description()));
        }
        buffer_.resize(std::max<qint64>(chunkSize, unit_));
        if (unit_ > 1 && !decodesAsLineFeed(encoding, fill() ? leadingMark() : QByteArray())) {
            std::reverse(breaks_.lf.begin(), breaks_.lf.end());
            std::reverse(breaks_.cr.begin(), breaks_.cr.end());
        }
    }

    // Index of the line the next pass hands over.
    qint64 nextLine() const { return nextLine_; }

    // Passes one line, handing its bytes to out when there is one. False
    // when nothing is left: a final line break ends the last line.
    bool pass(const Sink& out)
    {
        if (!fill() && pos_ == end_)
            return false;
        ++nextLine_;
        const auto hand = [&](qsizetype to) {
            if (out && to > pos_)
                out(QByteArrayView(buffer_.constData() + pos_, to - pos_));
            pos_ = to;
        };
        for (;;) {
            if (!fill()) {  // a code unit cut off by the end of the file
                hand(end_);
                return true;
            }
            qsizetype at = pos_;
            if (unit_ == 1) {  // most files: a plain search
                const char* bytes = buffer_.constData();
                const char lf = breaks_.lf.front();
                const char cr = breaks_.cr.front();
                at = std::find_if(bytes + pos_, bytes + end_, [&](char c) { return c == lf || c == cr; }) - bytes;
            } else {
                while (at + unit_ <= end_ && !isBreak(at))
                    at += unit_;
            }
            if (at + unit_ > end_) {
                hand(at);
                continue;
            }
            const bool cr = unitIs(at, breaks_.cr);
            hand(at + unit_);
            if (cr && fill() && unitIs(pos_, breaks_.lf))
                hand(pos_ + unit_);
            return true;
        }
    }

private:
    // Whether the converter, behind this mark, reads the LF it writes as LF:
    // names such as "UTF-16" follow the mark, or the system's default
    // without one, which may be the other byte order.
    bool decodesAsLineFeed(const QString& encoding, const QByteArray& mark) const
    {
        TextDecoder decoder(encoding);
        QString text;
        decoder.decode(mark.constData(), mark.size(), text);
        decoder.decode(breaks_.lf.constData(), breaks_.lf.size(), text);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text == QLatin1String("\n");
    }

    // The first code unit when it is a byte-order mark, in either order.
    QByteArray leadingMark() const
    {
        const QByteArray first(buffer_.constData() + pos_, unit_);
        const QByteArray little = unit_ == 2 ? QByteArray("\xff\xfe", 2) : QByteArray("\xff\xfe\0\0", 4);
        const QByteArray big = unit_ == 2 ? QByteArray("\xfe\xff", 2) : QByteArray("\0\0\xfe\xff", 4);
        return first == little || first == big ? first : QByteArray();
    }

    // At least one whole code unit at the cursor, unless the file ends first.
    bool fill()
    {
        if (end_ - pos_ >= unit_)
            return true;
        const qsizetype left = end_ - pos_;
        std::memmove(buffer_.data(), buffer_.constData() + pos_, size_t(left));
        pos_ = 0;
        end_ = left;
        while (!endOfFile_ && end_ < unit_) {
            const qint64 count = file_.read(buffer_.data() + end_, buffer_.size() - end_);
            if (count < 0)
                throw Failure(QStringLiteral("Cannot read file %1: %2").arg(path_, file_.errorString()));
            endOfFile_ = count == 0;
            end_ += count;
        }
        return end_ >= unit_;
    }

    bool unitIs(qsizetype at, const QByteArray& unit) const
    {
        return std::memcmp(buffer_.constData() + at, unit.constData(), size_t(unit_)) == 0;
    }

    bool isBreak(qsizetype at) const { return unitIs(at, breaks_.lf) || unitIs(at, breaks_.cr); }

    QString path_;
    QFile file_;
    EncodedLineBreaks breaks_;
    int unit_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
    bool endOfFile_ = false;
    qint64 nextLine_ = 0;
};

RejectsFolder::RejectsFolder(QString folder, qint64 chunkSize) : folder_(std::move(folder)), chunkSize_(chunkSize) {}

std::unique_ptr<RejectsFile> RejectsFolder::forSource(const QString& sourcePath, const QString& encoding,
                                                      qint64 headerLineCount)
{
    return std::unique_ptr<RejectsFile>(new RejectsFile(*this, sourcePath, encoding, headerLineCount));
}

RejectsFile::RejectsFile(RejectsFolder& folder, const QString& sourcePath, const QString& encoding,
                         qint64 headerLineCount)
    : folder_(folder), sourcePath_(sourcePath), encoding_(encoding), headerLineCount_(headerLineCount)
{
}

RejectsFile::~RejectsFile()
{
    try {
        finish();
    } catch (const std::exception&) {
    }
}

void RejectsFile::startReading()
{
    if (source_)
        return;
    source_ = std::make_unique<RawLineReader>(sourcePath_, encoding_, folder_.chunkSize_);
    // Kept until the first rejected line: until then nothing is created.
    while (source_->nextLine() < headerLineCount_
           && source_->pass([&](QByteArrayView bytes) { header_.append(bytes); })) {
    }
}

void RejectsFile::skipTo(qint64 line)
{
    startReading();
    if (line < source_->nextLine())
        throw std::logic_error("rejected lines must come in increasing order, after the header");
    while (source_->nextLine() < line && source_->pass({})) {
    }
}

void RejectsFile::reject(SourceLines lines, const QString& message)
{
    if (folder_.folder_.isEmpty())
        return;
    try {
        skipTo(lines.first);
        if (!failed()) {
            create();
            while (!failed() && source_->nextLine() < lines.end()
                   && source_->pass([&](QByteArrayView bytes) { write(rejects_, bytes.data(), bytes.size()); })) {
            }
            if (!failed()) {
                log(lines.first, lines.count, message);
                return;
            }
        }
        countUnwritten(lines.end());
    } catch (const Failure& failure) {
        if (!failed())
            folder_.failure_ = failure.description();
        folder_.unwrittenLines_ += lines.count;
    }
}

void RejectsFile::rejectRest(qint64 firstLine, const QString& message)
{
    if (folder_.folder_.isEmpty())
        return;
    try {
        skipTo(firstLine);
        for (qint64 line = source_->nextLine(); !failed() && source_->pass([&](QByteArrayView bytes) {
                 create();
                 write(rejects_, bytes.data(), bytes.size());
             });
             line = source_->nextLine()) {
            if (!failed())
                log(line, 1, message);
        }
        countUnwritten(std::numeric_limits<qint64>::max());
    } catch (const Failure& failure) {
        // Raised while the first line was being passed.
        if (!failed())
            folder_.failure_ = failure.description();
        partial_ = true;
        countUnwritten(std::numeric_limits<qint64>::max());
    }
}

// The lines up to endLine that writing did not take: one whose bytes were
// under way when it failed, and those after it.
void RejectsFile::countUnwritten(qint64 endLine)
{
    if (!failed())
        return;
    const qint64 from = source_->nextLine() - (partial_ ? 1 : 0);
    partial_ = false;
    while (source_->nextLine() < endLine && source_->pass({})) {
    }
    folder_.unwrittenLines_ += source_->nextLine() - from;
}

void RejectsFile::create()
{
    if (created_)
        return;
    const QString& folder = folder_.folder_;
    if (!QDir().mkpath(folder)) {
        const int error = errno;
        throw Failure(QStringLiteral("Cannot create folder %1: %2").arg(folder, qt_error_string(error)));
    }
    // "name (2).ext" when the name is taken, by this run or by an earlier one.
    const QString name = QFileInfo(sourcePath_).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const QDir dir(folder);
    QString path = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(path + QLatin1String(".log")); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2)%3").arg(stem, QString::number(n), extension));
    rejects_.setFileName(path);
    log_.setFileName(path + QLatin1String(".log"));
    for (QFile* file : {&rejects_, &log_}) {
        const QIODevice::OpenMode textMode = file == &log_ ? QIODevice::Text : QIODevice::NotOpen;
        // Unbuffered: a write that fails says so for the very line it was
        // given, so the count of lines not written and the log stay true.
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered | textMode)) {
            const int error = errno;
            throw Failure(QStringLiteral("Cannot write file %1: %2").arg(file->fileName(), qt_error_string(error)));
        }
    }
    created_ = true;
    folder_.anyWritten_ = true;
    write(rejects_, header_.constData(), header_.size());
    header_ = QByteArray();
}

void RejectsFile::write(QFile& file, const char* bytes, qsizetype size)
{
    errno = 0;
    if (!failed() && file.write(bytes, size) != size) {
        partial_ = &file == &rejects_;
        fail(file);
    }
}

void RejectsFile::fail(const QFile& file)
{
    const int error = errno;
    if (!failed())
        folder_.failure_ = QStringLiteral("Cannot write file %1: %2")
                               .arg(file.fileName(), error ? qt_error_string(error) : file.errorString());
}

void RejectsFile::log(qint64 firstLine, qint64 lineCount, const QString& message)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|\r|\n"));
    QString flat = QString(message).replace(lineBreaks, QStringLiteral(" "));
    PendingLog& pending = pendingLog_;
    if (pending.records > 0 && pending.endLine == firstLine && pending.message == flat) {
        pending.endLine = firstLine + lineCount;
        ++pending.records;
        return;
    }
    writeLog();
    pending = {firstLine, firstLine + lineCount, 1, std::move(flat)};
}

void RejectsFile::writeLog()
{
    PendingLog& pending = pendingLog_;
    if (pending.records == 0)
        return;
    // A single record is named by its first line, however many it spans.
    const QString lines = pending.records == 1 ? QStringLiteral("line %1").arg(pending.firstLine + 1)
                                               : QStringLiteral("lines %1-%2").arg(pending.firstLine + 1).arg(pending.endLine);
    const QByteArray text = (lines + QStringLiteral(": ") + pending.message + QLatin1Char('\n')).toUtf8();
    pending.records = 0;
    // Only lines that are on disk in the rejects are logged.
    errno = 0;
    if (!failed() && !rejects_.flush())
        fail(rejects_);
    if (!failed())
        write(log_, text.constData(), text.size());
}

void RejectsFile::finish()
{
    source_.reset();
    if (log_.isOpen())
        writeLog();
    for (QFile* file : {&rejects_, &log_}) {
        if (!file->isOpen())
            continue;
        errno = 0;
        const bool flushed = file->flush();
        if (!flushed || file->error() != QFileDevice::NoError)
            fail(*file);
        file->close();
    }
}

}  // namespace quorvane
