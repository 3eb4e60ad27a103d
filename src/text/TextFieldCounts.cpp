#include "text/TextRules.h"

#include "base/Dialogs.h"
#include "base/Failure.h"
#include "text/TextDecoder.h"
#include "text/TextRecords.h"

#include <algorithm>
#include <memory>

namespace quorvane {

namespace {

// The header is kept whole; a quote left open in it would otherwise keep
// the rest of the file.
constexpr qsizetype kLongestHeader = 1024 * 1024;

QString MismatchReport(const TextRecord& record)
{
    if (record.unclosedQuote)
        return QStringLiteral("Line no ") + QString::number(record.quoteLine)
               + QStringLiteral(" opens a double quote that is never closed: ") + record.quoteLineText;
    return QStringLiteral("Line no ") + QString::number(record.lines.first) + QStringLiteral(": ")
           + record.lineText;
}

// The records of the file as one reading of its text makes them: the
// header's fields, then only counts, up to the first that disagrees.
struct Reading {
    Reading(bool quoted, std::optional<int> expectedLastIndex)
        : splitter(quoted, true), quotedFields(quoted), expected(expectedLastIndex)
    {
    }

    void take(TextRecord& record)
    {
        if (!header) {
            header = std::move(record.fields);
            if (!expected)
                expected = static_cast<int>(header->size()) - 1;
            splitter.setKeepText(false);
            if (record.unclosedQuote)
                disagree(record);
            return;
        }
        if (mismatch || (record.fieldCount == 0 && !record.unclosedQuote))
            return;  // empty lines are skipped (and counted)
        if (record.unclosedQuote || record.fieldCount - 1 != *expected)
            disagree(record);
        else if (detectors && record.fieldCount > 1)
            detect(record);
    }

    void disagree(const TextRecord& record)
    {
        mismatch = MismatchReport(record);
        found = record.unclosedQuote ? FieldCountResult::UnclosedQuote : FieldCountResult::Mismatch;
    }

    void detectValue(size_t column, QStringView field)
    {
        if (column >= detectors->size())
            return;
        if (dropDoubleQuotes && field.contains(QLatin1Char('"')))
            (*detectors)[column].add(field.toString().remove(QLatin1Char('"')));
        else
            (*detectors)[column].add(field);
    }

    // Unquoted, the fields are cut from the line here, as views: the
    // splitter keeps no text for them.
    void detect(const TextRecord& record)
    {
        size_t column = 0;
        if (quotedFields) {
            for (const QString& field : record.fields)
                detectValue(column++, field);
            return;
        }
        for (const QStringView field : QStringView(record.lineText).tokenize(*separatorFed))
            detectValue(column++, field);
    }

    void detectTypes(bool doubleQuotesDropped)
    {
        detectors.emplace(header ? size_t(header->size()) : 0);
        dropDoubleQuotes = doubleQuotesDropped;
        if (quotedFields)
            splitter.setKeepText(true);
    }

    void feed(const QString& line, QStringView lineBreak, const QString& separator, bool mayBeUndecodable)
    {
        separatorFed = &separator;
        if (!mismatch && splitter.feed(line, lineBreak, separator, mayBeUndecodable))
            take(splitter.record());
    }

    void finish()
    {
        if (!mismatch && splitter.finish())
            take(splitter.record());
    }

    RecordSplitter splitter;
    bool quotedFields;
    const QString* separatorFed = nullptr;  // the separator of the line last fed
    std::optional<int> expected;
    std::optional<QStringList> header;
    std::optional<QString> mismatch;
    FieldCountResult found = FieldCountResult::Agreed;
    std::optional<std::vector<ColumnTypeDetector>> detectors;
    bool dropDoubleQuotes = false;
};

bool BeyondAscii(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x7f; });
}

}  // namespace

struct FieldCountPass::State {
    State(const QString& filePath, const TextFormat& textFormat)
        : path(filePath), format(textFormat), lines(path, textFormat.encoding),
          asRead(format.quotedFields, std::nullopt)
    {
    }

    // Automatic reads a file without a mark as UTF-8 until a byte says
    // otherwise. Where the separator is ASCII, as quotes and line breaks
    // are, the records and their counts are the same in Windows-1252 and
    // only the kept texts are decoded again at the end; a separator beyond
    // ASCII can cut the text differently, so then the same lines are also
    // read as Windows-1252 alongside.
    bool onTrust() const { return format.encoding.isEmpty() && !lines.encodingSettled(); }

    const Reading& deciding() const
    {
        return onTrust() && lines.sawUndecodable() && asWindows1252 ? *asWindows1252 : asRead;
    }

    // The pass stops at a mismatch only once the encoding is beyond doubt,
    // or when the report reads the same in either encoding (ASCII only).
    bool decided() const
    {
        return !onTrust() || lines.sawUndecodable()
               || (!asWindows1252 && asRead.mismatch && !BeyondAscii(*asRead.mismatch));
    }

    bool readLine(const std::optional<int>& expectedLastIndex)
    {
        QString line;
        if (!lines.next(line)) {
            asRead.finish();
            if (asWindows1252)
                asWindows1252->finish();
            return false;
        }
        if (lineCount++ == 0 && onTrust() && BeyondAscii(format.separator)) {
            asWindows1252.emplace(format.quotedFields, expectedLastIndex);
            windows1252 = std::make_unique<TextDecoder>(FileEncoding::Windows1252);
        }
        if (asWindows1252 && typesWanted && !asWindows1252->detectors && asWindows1252->header)
            asWindows1252->detectTypes(dropDoubleQuotes);
        asRead.feed(line, lines.lineBreak(), format.separator, lines.sawUndecodable());
        if (!asRead.header && asRead.splitter.keptSize() > kLongestHeader)
            throw HeaderQuoteNotClosed(QStringLiteral("Cannot read file %1: its first line opens a double "
                                                      "quote that is not closed within %2 characters.")
                                           .arg(path)
                                           .arg(kLongestHeader));
        if (asWindows1252) {
            const QByteArray bytes = MarkedTextToBytes(line);
            QString text;
            windows1252->decode(bytes.constData(), bytes.size(), text);
            asWindows1252->feed(text, lines.lineBreak(), format.separator, windows1252->sawUndecodable());
        }
        return true;
    }

    QString path;
    TextFormat format;
    LineReader lines;
    Reading asRead;
    std::optional<Reading> asWindows1252;
    std::unique_ptr<TextDecoder> windows1252;
    qint64 lineCount = 0;
    bool typesWanted = false;
    bool dropDoubleQuotes = false;
};

FieldCountPass::FieldCountPass(const QString& path, const TextFormat& format)
    : state_(new State(path, format))
{
    try {
        while (!state_->asRead.header && state_->readLine(std::nullopt)) {
        }
    } catch (...) {
        delete state_;
        throw;
    }
}

FieldCountPass::~FieldCountPass() { delete state_; }

void FieldCountPass::detectColumnTypes(bool doubleQuotesDropped)
{
    state_->asRead.detectTypes(doubleQuotesDropped);
    state_->typesWanted = true;
    state_->dropDoubleQuotes = doubleQuotesDropped;
}

FieldCountScan FieldCountPass::run(std::optional<int> expectedLastIndex, std::stop_token stop)
{
    State& s = *state_;
    if (expectedLastIndex) {
        s.asRead.expected = expectedLastIndex;
        if (s.asWindows1252)
            s.asWindows1252->expected = expectedLastIndex;
    }
    while (!(s.decided() && s.deciding().mismatch) && s.readLine(expectedLastIndex)) {
        // A stop ends the pass: the caller goes no further.
        if ((s.lineCount & 0xff) == 0 && stop.stop_requested()) {
            FieldCountScan stopped;
            stopped.result = FieldCountResult::Stopped;
            return stopped;
        }
    }

    FieldCountScan scan;
    scan.encoding = s.format.encoding.isEmpty() ? SettledEncoding(s.lines) : s.format.encoding;
    const Reading& reading = s.deciding();
    scan.result = reading.found;
    scan.header = reading.header.value_or(QStringList());
    scan.report = reading.mismatch.value_or(QString());
    if (reading.detectors)
        for (const ColumnTypeDetector& detector : *reading.detectors)
            scan.columnTypes.push_back(detector.type());
    // Settled on Windows-1252 after reading as UTF-8: the kept texts are
    // decoded again from their bytes.
    if (s.onTrust() && s.lines.sawUndecodable() && &reading == &s.asRead) {
        TextDecoder windows1252(FileEncoding::Windows1252);
        const auto again = [&](QString& text) {
            const QByteArray bytes = MarkedTextToBytes(text);
            text.clear();
            windows1252.decode(bytes.constData(), bytes.size(), text);
        };
        for (QString& field : scan.header)
            again(field);
        again(scan.report);
    }
    scan.report = ShowUndecodable(scan.report);
    return scan;
}

bool CheckFieldCounts(const FieldCountScan& scan, Dialogs& dialogs)
{
    switch (scan.result) {
    case FieldCountResult::Agreed:
        return true;
    case FieldCountResult::Mismatch:
    case FieldCountResult::UnclosedQuote:
        dialogs.showTextWindow(scan.report);
        return false;
    case FieldCountResult::Stopped:
        break;
    }
    return false;
}

}  // namespace quorvane
