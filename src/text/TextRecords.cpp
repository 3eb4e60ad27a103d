#include "text/TextRecords.h"

#include "text/TextDecoder.h"
#include "text/TextRules.h"

namespace quorvane {

RecordSplitter::RecordSplitter(bool quotedFields, bool keepText)
    : quotedFields_(quotedFields), keepText_(keepText)
{
}

void RecordSplitter::startRecord(const QString& line, qint64 index)
{
    record_.fields.clear();
    record_.fieldCount = 0;
    record_.quoted.clear();
    record_.lines.first = index;
    record_.lineText = line;
    record_.undecodable = false;
    record_.unclosedQuote = false;
    keptSize_ = 0;
    field_.clear();
}

qsizetype RecordSplitter::startField(const QString& line, qsizetype position, qint64 index)
{
    if (position < line.size() && line.at(position) == QLatin1Char('"')) {
        state_ = State::InQuote;
        record_.quoteLine = index;
        record_.quoteLineText = line;
        return position + 1;
    }
    state_ = State::Normal;
    return position;
}

void RecordSplitter::endField()
{
    ++record_.fieldCount;
    if (keepText_)
        record_.fields.append(std::exchange(field_, QString()));
    record_.quoted.push_back(state_ != State::Normal);
    state_ = State::Normal;
}

bool RecordSplitter::feed(const QString& line, QStringView lineBreak, const QString& separator,
                          bool mayBeUndecodable)
{
    const qint64 index = lineIndex_++;
    const bool firstLine = state_ != State::InQuote;
    if (firstLine)
        startRecord(line, index);
    record_.lines.count = index - record_.lines.first + 1;
    if (!record_.undecodable && mayBeUndecodable && HoldsUndecodable(line)) {
        record_.undecodable = true;
        record_.undecodableLine = index;
        record_.undecodableLineText = line;
    }
    if (!quotedFields_) {
        if (keepText_)
            record_.fields = SplitFields(line, separator);
        record_.fieldCount = keepText_ ? record_.fields.size() : CountFields(line, separator);
        return true;
    }
    // An empty line outside quotes is a record without fields, as unquoted.
    if (firstLine && line.isEmpty())
        return true;
    const auto keep = [&](qsizetype from, qsizetype to) {
        keptSize_ += to - from;
        if (keepText_)
            field_.append(QStringView(line).mid(from, to - from));
    };
    qsizetype position = firstLine ? startField(line, 0, index) : 0;
    for (;;) {
        if (state_ == State::InQuote) {
            const qsizetype quote = line.indexOf(QLatin1Char('"'), position);
            if (quote < 0) {  // the field goes on in the next line, break and all
                keep(position, line.size());
                keptSize_ += lineBreak.size();
                if (keepText_)
                    field_.append(lineBreak);
                return false;
            }
            keep(position, quote);
            if (quote + 1 < line.size() && line.at(quote + 1) == QLatin1Char('"')) {
                if (keepText_)
                    field_.append(QLatin1Char('"'));
                position = quote + 2;
                continue;
            }
            state_ = State::AfterQuote;
            position = quote + 1;
            continue;
        }
        // Unquoted text, or what follows a closing quote, runs to the
        // separator or the end of the line.
        const qsizetype next = separator.isEmpty() ? -1 : line.indexOf(separator, position);
        if (next < 0) {
            keep(position, line.size());
            endField();
            return true;
        }
        keep(position, next);
        endField();
        position = startField(line, next + separator.size(), index);
    }
}

bool RecordSplitter::finish()
{
    if (state_ != State::InQuote)
        return false;
    record_.unclosedQuote = true;
    endField();
    return true;
}

RecordReader::RecordReader(const QString& path, const TextFormat& format, qint64 chunkSize)
    : lines_(std::make_unique<LineReader>(path, format.encoding, chunkSize)),
      separator_(format.separator),
      splitter_(format.quotedFields, true)
{
}

RecordReader::~RecordReader() = default;

bool RecordReader::next(TextRecord& record)
{
    if (ended_)
        return false;
    QString line;
    while (lines_->next(line)) {
        if (splitter_.feed(line, lines_->lineBreak(), separator_, lines_->sawUndecodable())) {
            record = std::move(splitter_.record());
            return true;
        }
    }
    ended_ = true;
    if (!splitter_.finish())
        return false;
    record = std::move(splitter_.record());
    return true;
}

}  // namespace quorvane
