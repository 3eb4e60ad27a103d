// The readers over arbitrary file bytes, read in chunks of any size.
//
// Lines and the field-count check, against a plain reference: the bytes cut
// at CR LF, lone LF and lone CR, each line decoded as Automatic settles (the
// whole file valid UTF-8: UTF-8; otherwise Windows-1252, its five unassigned
// bytes marked as undecodable), then the first non-empty line after the
// header whose field count differs. Files starting with a UTF-16 or UTF-32
// mark are left to the tests.
//
// Quoted fields: the records of the same bytes, each field written back
// enclosed in quotes with "" doubled, read again give the same fields.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "text/TextDecoder.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>
#include <unistd.h>

using namespace quorvane;

namespace {

char16_t Windows1252(unsigned char byte)
{
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    return high[byte - 0x80] ? high[byte - 0x80] : char16_t(0xDC00 + byte);
}

QString Decode(const QByteArray& bytes, bool utf8)
{
    if (utf8) {
        // Each line on its own: Qt would drop a U+FEFF at the start of any.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(bytes);
    }
    QString text;
    for (const char c : bytes)
        text += QChar(Windows1252(static_cast<unsigned char>(c)));
    return text;
}

// Nothing for a file with a UTF-8 mark and bytes that are not UTF-8: Qt's
// decoder, the reference here, replaces what the reader marks.
std::optional<QStringList> ReferenceLines(QByteArray bytes)
{
    const bool marked = bytes.startsWith("\xef\xbb\xbf");
    if (marked)
        bytes.remove(0, 3);
    QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = check.decode(bytes);  // the check happens as it converts
    const bool utf8 = !check.hasError();
    if (marked && !utf8)
        return std::nullopt;
    QStringList lines;
    QByteArray current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines << Decode(current, utf8);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    lines << Decode(current, utf8);
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

const QString& ScratchFile(const char* name)
{
    // In memory where there is such a folder: the file is rewritten every run.
    static const QString folder = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                                   : QDir::tempPath();
    static QString paths[2];
    QString& path = paths[name[0] == 'q' ? 1 : 0];
    if (path.isEmpty())
        path = QStringLiteral("%1/quorvane-fuzz-%2-%3.txt")
                   .arg(folder, QLatin1String(name))
                   .arg(static_cast<long long>(::getpid()));
    return path;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes);
}

std::vector<QStringList> QuotedRecords(const QString& path, const QString& separator, qint64 chunkSize)
{
    RecordReader reader(path, {separator, QStringLiteral("UTF-8"), true}, chunkSize);
    std::vector<QStringList> records;
    for (TextRecord record; reader.next(record);)
        records.push_back(record.fields);
    return records;
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
    const QString& path = ScratchFile("lines");
    Write(path, bytes);

    const std::optional<QStringList> reference =
        bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")
                || bytes.startsWith(QByteArrayView("\0\0\xfe\xff", 4))
            ? std::nullopt
            : ReferenceLines(bytes);
    if (reference) {
        const QStringList& expected = *reference;
        // Automatic, read to the end, settles the encoding.
        LineReader automatic(path, QString(), chunkSize);
        for (QString line; automatic.next(line);) {
        }
        const QString encoding = SettledEncoding(automatic);
        QStringList streamed;
        LineReader reader(path, encoding, chunkSize);
        for (QString line; reader.next(line);)
            streamed << line;
        FUZZ_CHECK(streamed == expected, QString::number(chunkSize));
        // Unquoted, the import's records are the lines.
        QStringList recordLines;
        RecordReader records(path, {separator, encoding, false}, chunkSize);
        for (TextRecord record; records.next(record);)
            recordLines << record.lineText;
        FUZZ_CHECK(recordLines == expected, separator);

        std::optional<QString> mismatch = ReferenceMismatch(expected, separator);
        if (mismatch)
            mismatch = ShowUndecodable(*mismatch);
        const FieldCountScan scan = FieldCountPass(path, {separator, QString(), false}).run();
        FUZZ_CHECK(scan.result == (mismatch ? FieldCountResult::Mismatch : FieldCountResult::Agreed), separator);
        FUZZ_CHECK(scan.report == mismatch.value_or(QString()), separator);
        // A pass that read the whole file read its header in the settled encoding.
        if (!mismatch)
            FUZZ_CHECK(scan.encoding == encoding && scan.header == SplitFields(expected.first(), separator),
                       expected.first());
    }

    // Quoted fields round trip; a separator holding a quote or a line break
    // cannot be written back unambiguously.
    if (separator.isEmpty() || separator.contains(QLatin1Char('"')) || separator.contains(QLatin1Char('\r'))
        || separator.contains(QLatin1Char('\n')))
        return 0;
    const std::vector<QStringList> records = QuotedRecords(path, separator, chunkSize);
    // Undecodable bytes on either side of a closing quote would meet when
    // written back, and could make a character: such inputs are left out.
    for (const QStringList& fields : records)
        for (const QString& field : fields)
            if (HoldsUndecodable(field))
                return 0;
    QString written;
    for (const QStringList& fields : records) {
        QStringList quoted;
        for (QString field : fields)
            quoted << QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        // A record without fields is an empty line: written as one again.
        written += quoted.join(separator) + QLatin1Char('\n');
    }
    written.chop(1);  // the last record ends the file
    const QString& again = ScratchFile("quoted");
    Write(again, written.toUtf8());
    FUZZ_CHECK(QuotedRecords(again, separator, chunkSize) == records, separator);
    return 0;
}
