#include "text/FileCheck.h"

#include "base/Failure.h"
#include "text/SeparatorEscapes.h"
#include "text/TextDecoder.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include <QFileInfo>

#include <algorithm>

namespace quorvane {

namespace {

bool AnyFieldStartsWithQuote(const QString& line, const QString& separator)
{
    const QStringList fields = SplitFields(line, separator);
    return std::any_of(fields.begin(), fields.end(),
                       [](const QString& field) { return field.startsWith(QLatin1Char('"')); });
}

QString LineList(const CheckedLines& lines)
{
    QStringList numbers;
    for (const qint64 line : lines.first)
        numbers << QString::number(line);
    return numbers.join(QStringLiteral(", "));
}

class Check {
public:
    Check(const QString& path, const FileCheckChoices& choices, std::stop_token stop,
          const std::function<void(const FileCheckReport&, int)>& progress)
        : path_(path), choices_(choices), stop_(std::move(stop)), progress_(progress),
          fileBytes_(std::max<qint64>(QFileInfo(path).size(), 1))
    {
    }

    // False when Automatic, reading on trust as UTF-8, met a byte that is
    // not: the file is Windows-1252 throughout and is read again as such,
    // as the run reads it after its own pass.
    bool read(const QString& encoding)
    {
        report_ = {};
        LineReader lines(path_, encoding);
        const TextFormat& format = choices_.format;
        RecordSplitter splitter(format.quotedFields, true);
        bool headerRead = false;
        qint64 lineNumber = 0;
        qint64 bytesRead = 0;
        const qsizetype unit = std::max<qsizetype>(CodeUnitBytes(encoding.isEmpty() ? FileEncoding::Utf8 : encoding), 1);
        int lastPermille = -1;
        std::optional<std::vector<ColumnTypeDetector>> detectors;
        QString line;
        while (lines.next(line)) {
            ++lineNumber;
            const bool onTrust = encoding.isEmpty() && !lines.encodingSettled();
            if (onTrust && lines.sawUndecodable())
                return false;
            if (lineNumber == 1)
                noteEncoding(lines, encoding);
            const QStringView lineBreak = lines.lineBreak();
            if (lineBreak.size() == 2)
                ++report_.crLf;
            else if (lineBreak == u"\n")
                ++report_.lf;
            else if (lineBreak == u"\r")
                ++report_.cr;
            if (lines.sawUndecodable() && HoldsUndecodable(line))
                report_.undecodable.add(lineNumber);
            if (line.contains(QChar(0)))
                report_.nul.add(lineNumber);
            if (splitter.feed(line, lineBreak, format.separator, lines.sawUndecodable()))
                take(splitter, headerRead, detectors);
            bytesRead += (line.size() + lineBreak.size()) * unit;
            if ((lineNumber & 0xff) == 0) {
                if (stop_.stop_requested())
                    return true;
                const int permille = int(std::min<qint64>(bytesRead * 1000 / fileBytes_, 999));
                if (progress_ && permille != lastPermille) {
                    lastPermille = permille;
                    progress_(report_, permille);
                }
            }
        }
        if (splitter.finish())
            take(splitter, headerRead, detectors);
        noteEncoding(lines, encoding);
        report_.encodingFinal = true;
        if (detectors)
            for (const ColumnTypeDetector& detector : *detectors)
                report_.columnTypes.push_back(detector.type());
        report_.finished = true;
        if (progress_)
            progress_(report_, 1000);
        return true;
    }

    FileCheckReport& report() { return report_; }

private:
    void noteEncoding(const LineReader& lines, const QString& chosen)
    {
        if (!chosen.isEmpty()) {
            report_.encoding = chosen;
            report_.settledBy = chosen == FileEncoding::Windows1252 && choices_.format.encoding.isEmpty()
                                    ? QStringLiteral("some bytes are not UTF-8")
                                    : QStringLiteral("chosen");
            report_.encodingFinal = true;
        } else if (lines.encodingSettled()) {
            report_.encoding = lines.encoding();
            report_.settledBy = QStringLiteral("byte-order mark");
            report_.encodingFinal = true;
        } else {
            report_.encoding = SettledEncoding(lines);
            report_.settledBy = QStringLiteral("every byte is UTF-8");
        }
    }

    void take(RecordSplitter& splitter, bool& headerRead, std::optional<std::vector<ColumnTypeDetector>>& detectors)
    {
        const TextRecord& record = splitter.record();
        const QString& separator = choices_.format.separator;
        const qint64 line = record.lines.first + 1;
        if (!headerRead) {
            headerRead = true;
            report_.header = record.fields;
            if (choices_.detectTypes)
                detectors.emplace(size_t(report_.header.size()));
            if (record.unclosedQuote)
                report_.difference = FieldCountDifference{record.quoteLine + 1, report_.header.size(),
                                                          record.fieldCount, true};
            // Only the header's fields are kept, unless the types need them.
            splitter.setKeepText(choices_.detectTypes);
            return;
        }
        if (record.fieldCount == 0 && !record.unclosedQuote)
            return;  // an empty line, which the run passes over
        ++report_.records;
        const bool quoted = choices_.format.quotedFields;
        if (record.fieldCount == 1) {
            if (report_.singleField.count == 0 && !report_.difference && !quoted)
                report_.fieldStartsWithQuote = AnyFieldStartsWithQuote(record.lineText, separator);
            report_.singleField.add(line);
        }
        const qsizetype expected = report_.header.size();
        if (record.unclosedQuote || record.fieldCount != expected) {
            if (!report_.difference) {
                report_.difference = FieldCountDifference{
                    record.unclosedQuote ? record.quoteLine + 1 : line, expected, record.fieldCount,
                    record.unclosedQuote};
                if (!quoted && !report_.fieldStartsWithQuote)
                    report_.fieldStartsWithQuote = AnyFieldStartsWithQuote(record.lineText, separator);
            }
            return;
        }
        if (!detectors || record.fieldCount <= 1)
            return;
        size_t column = 0;
        const auto detect = [&](QStringView field) {
            if (column >= detectors->size())
                return;
            ColumnTypeDetector& detector = (*detectors)[column++];
            if (choices_.doubleQuotesDropped && field.contains(QLatin1Char('"')))
                detector.add(field.toString().remove(QLatin1Char('"')));
            else
                detector.add(field);
        };
        if (quoted)
            for (const QString& field : record.fields)
                detect(field);
        else
            for (const QStringView field : QStringView(record.lineText).tokenize(separator))
                detect(field);
    }

    QString path_;
    FileCheckChoices choices_;
    std::stop_token stop_;
    const std::function<void(const FileCheckReport&, int)>& progress_;
    qint64 fileBytes_;
    FileCheckReport report_;
};

}  // namespace

QString FileCheckReport::lineEndings() const
{
    QStringList found;
    if (crLf > 0)
        found << QStringLiteral("CR LF");
    if (lf > 0)
        found << QStringLiteral("LF");
    if (cr > 0)
        found << QStringLiteral("CR");
    if (found.isEmpty())
        return QStringLiteral("none");
    if (found.size() == 1)
        return found.front();
    const QString last = found.takeLast();
    return found.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

std::vector<FileProblem> FileCheckReport::problems() const
{
    std::vector<FileProblem> problems;
    if (difference) {
        if (difference->unclosedQuote)
            problems.push_back({difference->line, QStringLiteral("opens a double quote that is never closed")});
        else
            problems.push_back({difference->line, QStringLiteral("%1 field%2 where the header has %3")
                                                      .arg(difference->found)
                                                      .arg(difference->found == 1 ? "" : "s")
                                                      .arg(difference->expected)});
    }
    const auto listed = [&](const CheckedLines& lines, const QString& each, const QString& more) {
        for (const qint64 line : lines.first)
            problems.push_back({line, each});
        if (lines.count > qint64(lines.first.size()))
            problems.push_back({0, more.arg(lines.count - qint64(lines.first.size()))});
    };
    listed(undecodable, QStringLiteral("bytes that cannot be read as %1").arg(encoding),
           QStringLiteral("%1 more lines with bytes that cannot be read as ") + encoding);
    listed(nul, QStringLiteral("a NUL character: the line is not loaded"),
           QStringLiteral("%1 more lines with a NUL character"));
    listed(singleField, QStringLiteral("a single field: the line is not loaded"),
           QStringLiteral("%1 more lines of a single field"));
    return problems;
}

QStringList FileCheckReport::hints(const FileCheckChoices& choices) const
{
    QStringList hints;
    // Where the header has a single field too, the file's own first line
    // shows the separator missing.
    std::optional<qint64> separatorLine;
    if (!singleField.first.empty())
        separatorLine = singleField.first.front();
    else if (difference && header.size() == 1 && !difference->unclosedQuote)
        separatorLine = 1;
    if (separatorLine)
        hints << QStringLiteral("No \"") + EscapeSeparator(choices.format.separator) + QStringLiteral("\" in line ")
                     + QString::number(*separatorLine) + QStringLiteral(": is the separator right?");
    if (fieldStartsWithQuote && !choices.format.quotedFields)
        hints << QStringLiteral("A field starts with a double quote: should fields enclosed in double quotes be "
                                "read as such?");
    if (nul.count > 0)
        hints << QStringLiteral("NUL characters in line %1: is the encoding right?").arg(LineList(nul));
    return hints;
}

FileCheckReport CheckFile(const QString& path, const FileCheckChoices& choices, std::stop_token stop,
                          const std::function<void(const FileCheckReport&, int)>& progress)
{
    Check check(path, choices, stop, progress);
    try {
        if (!check.read(choices.format.encoding))
            check.read(FileEncoding::Windows1252);
    } catch (const std::exception& failure) {
        check.report().failure = DescribeFailure(failure);
        check.report().finished = false;
    }
    return check.report();
}

}  // namespace quorvane
