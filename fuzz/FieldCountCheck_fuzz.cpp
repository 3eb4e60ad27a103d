// The field-count check over arbitrary file bytes, read in chunks of any
// size, against a plain reference: the bytes cut at CR LF, lone LF and
// lone CR, each line decoded as UTF-8 on its own, then the first non-empty
// line after the header whose field count differs.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "import/TextRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>
#include <unistd.h>

using namespace quorvane;

namespace {

QString Decode(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QStringList ReferenceLines(const QByteArray& bytes)
{
    QStringList lines;
    QByteArray current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines << Decode(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    lines << Decode(current);
    return lines;
}

std::optional<QString> ReferenceMismatch(const QStringList& lines, const QString& separator)
{
    const qsizetype expected = SplitFields(lines.first(), separator).size();
    for (qsizetype index = 1; index < lines.size(); ++index) {
        if (lines[index].isEmpty())
            continue;
        if (SplitFields(lines[index], separator).size() != expected)
            return QStringLiteral("Line no %1: %2").arg(index).arg(lines[index]);
    }
    return std::nullopt;
}

const QString& ScratchFile()
{
    // In memory where there is such a folder: the file is rewritten every run.
    static const QString path = QStringLiteral("%1/quorvane-fuzz-lines-%2.txt")
                                    .arg(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                             ? QStringLiteral("/dev/shm")
                                             : QDir::tempPath())
                                    .arg(static_cast<long long>(::getpid()));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const QString separator = input.shortText(4);
    // Tiny chunks cut every CR LF pair and UTF-8 sequence somewhere, but cost
    // a read per byte: one run in four uses them, the others chunks of up
    // to about 1 KiB.
    const uint8_t chunkChoice = input.byte();
    const qint64 chunkSize = (chunkChoice & 3) == 0 ? 1 + (chunkChoice >> 2) % 9 : 16 + (chunkChoice >> 2) * 16;
    const QByteArray bytes = input.rest();
    {
        QFile file(ScratchFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes);
    }

    const QStringList expected = ReferenceLines(bytes);
    FUZZ_CHECK(ReadDataLines(ScratchFile()) == expected, separator);
    FUZZ_CHECK(ReadFirstLine(ScratchFile()) == expected.first(), expected.first());
    QStringList streamed;
    LineReader reader(ScratchFile(), chunkSize);
    for (QString line; reader.next(line);)
        streamed << line;
    FUZZ_CHECK(streamed == expected, QString::number(chunkSize));

    const int lastIndex = static_cast<int>(SplitFields(expected.first(), separator).size()) - 1;
    FUZZ_CHECK(FindFieldCountMismatch(ScratchFile(), separator, lastIndex)
                   == ReferenceMismatch(expected, separator),
               separator);
    return 0;
}
