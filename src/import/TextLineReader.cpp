#include "import/TextRules.h"

#include "base/Failure.h"
#include "filelist/FileAttributes.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <memory>

namespace quorvane {

namespace {

constexpr qint64 kDefaultChunkSize = 64 * 1024;

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

// QString::fromUtf8 drops a byte-order mark at the start of every text it
// decodes; lines are decoded one by one, so that would eat a leading U+FEFF
// from any line. Files get no byte-order-mark handling: it stays as text.
QString DecodeLine(const char* bytes, qsizetype size)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes, size));
}

}  // namespace

struct LineReader::State {
    QString path;
    QFile file;
    QByteArray chunk;
    qsizetype chunkFill = 0;
    qsizetype position = 0;
    // Bytes of a line that began in an earlier chunk.
    QByteArray partialLine;
    // The last line ended with a CR that was the last byte of its chunk: an
    // LF at the start of the next chunk belongs to the same line end.
    bool lastBreakWasCr = false;
    bool endOfFile = false;
    bool finished = false;

    // False at the end of the file.
    bool readChunk()
    {
        const qint64 count = file.read(chunk.data(), chunk.size());
        if (count < 0)
            throw Failure(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
        chunkFill = count;
        position = 0;
        endOfFile = count == 0;
        return !endOfFile;
    }
};

LineReader::LineReader(const QString& path) : LineReader(path, kDefaultChunkSize) {}

LineReader::LineReader(const QString& path, qint64 chunkSize)
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
    state_ = state.release();
}

LineReader::~LineReader() { delete state_; }

bool LineReader::next(QString& line)
{
    State& s = *state_;
    if (s.finished)
        return false;
    for (;;) {
        if (s.position == s.chunkFill) {
            if (s.endOfFile || !s.readChunk()) {
                // After the last line break there is always one more line,
                // so a file ending in a break (or an empty file) ends with "".
                line = DecodeLine(s.partialLine.constData(), s.partialLine.size());
                s.partialLine.clear();
                s.finished = true;
                s.file.close();
                return true;
            }
        }
        const char* begin = s.chunk.constData() + s.position;
        const char* end = s.chunk.constData() + s.chunkFill;
        if (s.lastBreakWasCr) {
            s.lastBreakWasCr = false;
            if (*begin == '\n') {
                ++s.position;
                continue;
            }
        }
        const char* lineEnd = std::find_if(begin, end, IsLineBreak);
        if (lineEnd == end) {
            s.partialLine.append(begin, end - begin);
            s.position = s.chunkFill;
            continue;
        }
        if (s.partialLine.isEmpty()) {
            line = DecodeLine(begin, lineEnd - begin);
        } else {
            s.partialLine.append(begin, lineEnd - begin);
            line = DecodeLine(s.partialLine.constData(), s.partialLine.size());
            s.partialLine.clear();
        }
        const char* after = lineEnd + 1;
        if (*lineEnd == '\r') {
            if (after == end)
                s.lastBreakWasCr = true;
            else if (*after == '\n')
                ++after;
        }
        s.position = after - s.chunk.constData();
        return true;
    }
}

QString ReadFirstLine(const QString& path)
{
    LineReader reader(path);
    QString line;
    reader.next(line);
    return line;
}

QStringList ReadDataLines(const QString& path)
{
    LineReader reader(path);
    QStringList lines;
    QString line;
    while (reader.next(line))
        lines.append(line);
    return lines;
}

}  // namespace quorvane
