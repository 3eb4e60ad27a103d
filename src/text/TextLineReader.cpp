#include "text/TextRules.h"

#include "base/Failure.h"
#include "filelist/FileRule.h"
#include "text/TextDecoder.h"
#include "text/TextFormat.h"

#include <QFile>

#include <algorithm>
#include <memory>

namespace quorvane {

namespace {

constexpr qint64 kDefaultChunkSize = 64 * 1024;

bool IsLineBreak(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

constexpr QStringView kCrLf = u"\r\n";
constexpr QStringView kLf = u"\n";
constexpr QStringView kCr = u"\r";

// The encoding a byte-order mark at the start of the file names, if any.
QString EncodingOfMark(const QByteArray& head)
{
    if (head.startsWith("\xef\xbb\xbf"))
        return FileEncoding::Utf8;
    // The four-byte marks first: UTF-32LE's begins with UTF-16LE's.
    if (head.startsWith(QByteArrayView("\xff\xfe\x00\x00", 4)))
        return QStringLiteral("UTF-32LE");
    if (head.startsWith(QByteArrayView("\x00\x00\xfe\xff", 4)))
        return QStringLiteral("UTF-32BE");
    if (head.startsWith("\xff\xfe"))
        return QStringLiteral("UTF-16LE");
    if (head.startsWith("\xfe\xff"))
        return QStringLiteral("UTF-16BE");
    return {};
}

}  // namespace

struct LineReader::State {
    QString path;
    QFile file;
    QByteArray chunk;
    // Made at the first read when the encoding is Automatic, which looks at
    // the byte-order mark first.
    std::unique_ptr<TextDecoder> decoder;
    bool encodingSettled = true;
    // The decoded text of the chunk in hand.
    QString decoded;
    qsizetype position = 0;
    // Text of a line that began in an earlier chunk.
    QString partialLine;
    // The line in partialLine ended with a CR that was the last character of
    // its chunk: an LF at the start of the next belongs to the same line end.
    bool crAtChunkEnd = false;
    bool atStart = true;
    bool endOfFile = false;
    bool finished = false;
    QStringView lineBreak;

    qint64 readBytes(char* into, qint64 size)
    {
        const qint64 count = file.read(into, size);
        if (count < 0)
            throw Failure(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
        return count;
    }

    // Automatic: the mark decides, and without one the text is taken as
    // UTF-8 (whoever reads the whole file settles on Windows-1252 when some
    // byte was not UTF-8).
    void startAutomatic()
    {
        QByteArray head(4, '\0');
        qint64 filled = 0;
        for (qint64 count = 1; filled < head.size() && count > 0; filled += count)
            count = readBytes(head.data() + filled, head.size() - filled);
        head.truncate(filled);
        const QString marked = EncodingOfMark(head);
        encodingSettled = !marked.isEmpty();
        decoder = std::make_unique<TextDecoder>(marked.isEmpty() ? FileEncoding::Utf8 : marked);
        decoder->decode(head.constData(), head.size(), decoded);
    }

    // False at the end of the file, once everything is decoded.
    bool readChunk()
    {
        decoded.clear();
        position = 0;
        if (!decoder)
            startAutomatic();
        if (decoded.isEmpty()) {
            const qint64 count = readBytes(chunk.data(), chunk.size());
            if (count == 0) {
                endOfFile = true;
                decoder->finish(decoded);
            } else {
                decoder->decode(chunk.constData(), count, decoded);
            }
        }
        // A byte-order mark is never text of the first line, whatever the encoding.
        if (atStart && !decoded.isEmpty()) {
            atStart = false;
            if (decoded.front() == QChar(0xFEFF))
                position = 1;
        }
        return !(endOfFile && position == decoded.size());
    }
};

LineReader::LineReader(const QString& path) : LineReader(path, kDefaultChunkSize) {}

LineReader::LineReader(const QString& path, qint64 chunkSize) : LineReader(path, QString(), chunkSize) {}

LineReader::LineReader(const QString& path, const QString& encoding, qint64 chunkSize)
{
    auto state = std::make_unique<State>();
    state->path = path;
    // Unbuffered: the chunk is the only buffer, so memory stays bounded.
    try {
        OpenRegularFileForReading(state->file, path, QIODevice::Unbuffered);
    } catch (const Failure& failure) {
        throw Failure(QStringLiteral("Cannot open file %1: %2").arg(path, failure.description()));
    }
    state->chunk.resize(std::max<qint64>(chunkSize, 1));
    if (!encoding.isEmpty())
        state->decoder = std::make_unique<TextDecoder>(encoding);
    state_ = state.release();
}

LineReader::~LineReader() { delete state_; }

QStringView LineReader::lineBreak() const { return state_->lineBreak; }

QString LineReader::encoding() const
{
    return state_->decoder ? state_->decoder->encoding() : QString();
}

bool LineReader::encodingSettled() const { return state_->encodingSettled; }

bool LineReader::sawUndecodable() const { return state_->decoder && state_->decoder->sawUndecodable(); }

bool LineReader::next(QString& line)
{
    State& s = *state_;
    if (s.finished)
        return false;
    for (;;) {
        if (s.position == s.decoded.size()) {
            if (s.endOfFile || !s.readChunk()) {
                if (s.crAtChunkEnd) {  // the file ends right after a CR
                    s.crAtChunkEnd = false;
                    s.lineBreak = kCr;
                    line = std::exchange(s.partialLine, QString());
                    return true;
                }
                // After the last line break there is always one more line,
                // so a file ending in a break (or an empty file) ends with "".
                line = std::exchange(s.partialLine, QString());
                s.lineBreak = {};
                s.finished = true;
                s.file.close();
                return true;
            }
            continue;
        }
        const QChar* data = s.decoded.constData();
        const QChar* begin = data + s.position;
        const QChar* end = data + s.decoded.size();
        if (s.crAtChunkEnd) {
            s.crAtChunkEnd = false;
            s.lineBreak = kCr;
            if (*begin == QLatin1Char('\n')) {
                s.lineBreak = kCrLf;
                ++s.position;
            }
            line = std::exchange(s.partialLine, QString());
            return true;
        }
        const QChar* lineEnd = std::find_if(begin, end, IsLineBreak);
        if (lineEnd == end) {
            s.partialLine.append(begin, end - begin);
            s.position = s.decoded.size();
            continue;
        }
        const QChar* after = lineEnd + 1;
        if (*lineEnd == QLatin1Char('\r') && after == end) {
            s.partialLine.append(begin, lineEnd - begin);
            s.crAtChunkEnd = true;
            s.position = s.decoded.size();
            continue;
        }
        if (s.partialLine.isEmpty()) {
            line = QString(begin, lineEnd - begin);
        } else {
            s.partialLine.append(begin, lineEnd - begin);
            line = std::exchange(s.partialLine, QString());
        }
        if (*lineEnd == QLatin1Char('\n')) {
            s.lineBreak = kLf;
        } else if (*after == QLatin1Char('\n')) {
            s.lineBreak = kCrLf;
            ++after;
        } else {
            s.lineBreak = kCr;
        }
        s.position = after - data;
        return true;
    }
}

QString SettledEncoding(const LineReader& reader)
{
    if (reader.encodingSettled())
        return reader.encoding();
    return reader.sawUndecodable() ? FileEncoding::Windows1252 : FileEncoding::Utf8;
}

}  // namespace quorvane
