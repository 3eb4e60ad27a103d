#include "text/ColumnTypes.h"

#include <QDate>

#include <array>
#include <cmath>
#include <limits>

namespace quorvane {

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// What a number literal looks like; nothing when the value is none.
struct NumberShape {
    int integerDigits = 0;
    int fractionDigits = 0;
    bool hasPoint = false;
    bool hasExponent = false;
    bool negative = false;
    // The integer part's magnitude, when it fits 64 bits unsigned.
    std::optional<quint64> magnitude;
};

std::optional<NumberShape> ReadNumber(QStringView v)
{
    const qsizetype n = v.size();
    NumberShape shape;
    shape.negative = v.startsWith(QLatin1Char('-'));
    qsizetype i = shape.negative ? 1 : 0;
    if (i >= n)
        return std::nullopt;
    const qsizetype integerStart = i;
    quint64 magnitude = 0;
    bool fits = true;
    if (v[i] == QLatin1Char('0')) {
        ++i;  // a zero stands alone: 007 is a code, not a number
    } else if (IsDigit(v[i])) {
        for (; i < n && IsDigit(v[i]); ++i) {
            const quint64 digit = quint64(v[i].unicode() - '0');
            fits = fits && magnitude <= (std::numeric_limits<quint64>::max() - digit) / 10;
            magnitude = magnitude * 10 + digit;
        }
    } else {
        return std::nullopt;
    }
    if (fits)
        shape.magnitude = magnitude;
    shape.integerDigits = int(i - integerStart);
    if (i < n && v[i] == QLatin1Char('.')) {
        const qsizetype fractionStart = ++i;
        while (i < n && IsDigit(v[i]))
            ++i;
        shape.fractionDigits = int(i - fractionStart);
        if (shape.fractionDigits == 0)
            return std::nullopt;
        shape.hasPoint = true;
    }
    if (i < n && (v[i] == QLatin1Char('e') || v[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (v[i] == QLatin1Char('+') || v[i] == QLatin1Char('-')))
            ++i;
        const qsizetype exponentStart = i;
        while (i < n && IsDigit(v[i]))
            ++i;
        if (i == exponentStart)
            return std::nullopt;
        shape.hasExponent = true;
    }
    if (i != n)
        return std::nullopt;
    return shape;
}

// Reads minDigits to maxDigits digits at i; -1 when there are fewer.
int ReadDigits(QStringView v, qsizetype& i, int minDigits, int maxDigits)
{
    int value = 0;
    int count = 0;
    while (i < v.size() && count < maxDigits && IsDigit(v[i])) {
        value = value * 10 + (v[i].unicode() - '0');
        ++i;
        ++count;
    }
    return count < minDigits ? -1 : value;
}

bool Expect(QStringView v, qsizetype& i, QChar c)
{
    if (i < v.size() && v[i] == c) {
        ++i;
        return true;
    }
    return false;
}

constexpr unsigned Bit(DateLayout layout) { return 1u << unsigned(layout); }

// The date at the start of the value in the layout; i is left after it.
std::optional<QDate> ReadDate(QStringView v, DateLayout layout, qsizetype& i)
{
    i = 0;
    int year = 0, first = 0, second = 0;
    if (layout == DateLayout::Iso) {
        year = ReadDigits(v, i, 4, 4);
        if (year < 0 || !Expect(v, i, QLatin1Char('-')))
            return std::nullopt;
        first = ReadDigits(v, i, 2, 2);
        if (first < 0 || !Expect(v, i, QLatin1Char('-')))
            return std::nullopt;
        second = ReadDigits(v, i, 2, 2);
    } else {
        const QChar mark = layout == DateLayout::DayDotMonth ? QLatin1Char('.') : QLatin1Char('/');
        first = ReadDigits(v, i, 1, 2);
        if (first < 0 || !Expect(v, i, mark))
            return std::nullopt;
        second = ReadDigits(v, i, 1, 2);
        if (second < 0 || !Expect(v, i, mark))
            return std::nullopt;
        year = ReadDigits(v, i, 4, 4);
    }
    if (year < 1 || first < 0 || second < 0)
        return std::nullopt;
    const bool monthFirst = layout == DateLayout::Iso || layout == DateLayout::MonthSlashDay;
    const int month = monthFirst ? first : second;
    const int day = monthFirst ? second : first;
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

// The time after a date: a space or T and hh:mm:ss, or DB2's -hh.mm.ss,
// either with . and 1 to 6 fraction digits. Nothing when the rest is no
// such time; an empty rest is a time of its own (the date alone).
struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
    QStringView fraction;  // the digits, as given
};

std::optional<TimeOfDay> ReadTime(QStringView v, qsizetype i, bool& present)
{
    present = i < v.size();
    if (!present)
        return TimeOfDay{};
    QChar mark;
    if (v[i] == QLatin1Char(' ') || v[i] == QLatin1Char('T'))
        mark = QLatin1Char(':');
    else if (v[i] == QLatin1Char('-'))
        mark = QLatin1Char('.');
    else
        return std::nullopt;
    ++i;
    TimeOfDay time;
    time.hour = ReadDigits(v, i, 2, 2);
    if (time.hour < 0 || time.hour > 23 || !Expect(v, i, mark))
        return std::nullopt;
    time.minute = ReadDigits(v, i, 2, 2);
    if (time.minute < 0 || time.minute > 59 || !Expect(v, i, mark))
        return std::nullopt;
    time.second = ReadDigits(v, i, 2, 2);
    if (time.second < 0 || time.second > 59)
        return std::nullopt;
    if (Expect(v, i, QLatin1Char('.'))) {
        const qsizetype start = i;
        while (i < v.size() && i - start < 7 && IsDigit(v[i]))
            ++i;
        if (i == start || i - start > 6)
            return std::nullopt;
        time.fraction = v.sliced(start, i - start);
    }
    if (i != v.size())
        return std::nullopt;
    return time;
}

constexpr std::array kLayouts = {DateLayout::Iso, DateLayout::DayDotMonth, DateLayout::MonthSlashDay,
                                 DateLayout::DaySlashMonth};

}  // namespace

qint64 Utf8Length(QStringView text)
{
    qint64 bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;  // also a byte that could not be decoded: Windows-1252 makes at most 3 of it
        }
    }
    return bytes;
}

bool IsNumberLiteral(QStringView value) { return ReadNumber(value).has_value(); }

void ColumnTypeDetector::add(QStringView value)
{
    if (value.isEmpty())
        return;
    anyValue_ = true;
    longestBytes_ = std::max(longestBytes_, Utf8Length(value));

    if (numeric_) {
        const std::optional<NumberShape> shape = ReadNumber(value);
        if (!shape) {
            numeric_ = false;
        } else {
            integerDigits_ = std::max(integerDigits_, shape->integerDigits);
            fractionDigits_ = std::max(fractionDigits_, shape->fractionDigits);
            if (shape->hasPoint || shape->hasExponent)
                integral_ = false;
            if (integral_ && (fitsInteger_ || fitsBigInt_)) {
                // The negative side holds one more than the positive.
                const auto fitsSigned = [&](quint64 largest) {
                    return shape->magnitude && *shape->magnitude <= largest + (shape->negative ? 1 : 0);
                };
                fitsBigInt_ = fitsBigInt_ && fitsSigned(quint64(std::numeric_limits<qint64>::max()));
                fitsInteger_ = fitsInteger_ && fitsSigned(quint64(std::numeric_limits<qint32>::max()));
            }
            if (shape->hasExponent) {
                bool ok = false;
                const double number = value.toDouble(&ok);
                if (!ok || !std::isfinite(number))
                    numeric_ = false;  // beyond a DOUBLE
                anyFloat_ = true;
            }
        }
    }

    if (layouts_ != 0) {
        for (const DateLayout layout : kLayouts) {
            if (!(layouts_ & Bit(layout)))
                continue;
            qsizetype end = 0;
            bool hasTime = false;
            if (ReadDate(value, layout, end) && ReadTime(value, end, hasTime))
                anyTime_ = anyTime_ || hasTime;
            else
                layouts_ &= ~Bit(layout);
        }
    }
}

ColumnType ColumnTypeDetector::type() const
{
    ColumnType type;
    if (!anyValue_)
        return type;  // VARCHAR(1)
    if (numeric_) {
        if (integral_ && fitsInteger_)
            return {ColumnKind::Integer};
        if (integral_ && fitsBigInt_)
            return {ColumnKind::BigInt};
        if (!anyFloat_ && integerDigits_ + fractionDigits_ <= kWidestDecimal)
            return {ColumnKind::Decimal, integerDigits_ + fractionDigits_, fractionDigits_};
        if (anyFloat_)
            return {ColumnKind::Double};
    }
    // Values that read as month first and as day first alike: the order is
    // never guessed, so the column stays text.
    const bool ambiguous = (layouts_ & Bit(DateLayout::MonthSlashDay)) && (layouts_ & Bit(DateLayout::DaySlashMonth));
    if (layouts_ != 0 && !ambiguous) {
        type.kind = anyTime_ ? ColumnKind::Timestamp : ColumnKind::Date;
        for (const DateLayout layout : kLayouts)
            if (layouts_ & Bit(layout))
                type.layout = layout;
        return type;
    }
    type.length = std::max<qint64>(longestBytes_, 1);
    if (type.length > kLongestVarchar)
        type.kind = ColumnKind::Clob;
    return type;
}

QString ColumnType::sqlName() const
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::BigInt:
        return QStringLiteral("BIGINT");
    case ColumnKind::Decimal:
        return QStringLiteral("DECIMAL(%1,%2)").arg(precision).arg(scale);
    case ColumnKind::Double:
        return QStringLiteral("DOUBLE");
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::Timestamp:
        return QStringLiteral("TIMESTAMP");
    case ColumnKind::Varchar:
        return QStringLiteral("VARCHAR(%1)").arg(length);
    case ColumnKind::Clob: {
        constexpr qint64 kK = 1024, kM = 1024 * 1024;
        const qint64 kilobytes = (length + kK - 1) / kK;
        if (kilobytes <= kK)
            return QStringLiteral("CLOB(%1K)").arg(kilobytes);
        return QStringLiteral("CLOB(%1M)").arg((length + kM - 1) / kM);
    }
    }
    return {};
}

std::optional<QString> IsoDateValue(QStringView value, const ColumnType& type)
{
    qsizetype end = 0;
    const std::optional<QDate> date = ReadDate(value, type.layout, end);
    if (!date)
        return std::nullopt;
    bool hasTime = false;
    const std::optional<TimeOfDay> time = ReadTime(value, end, hasTime);
    if (!time || (hasTime && type.kind != ColumnKind::Timestamp))
        return std::nullopt;
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    QString iso = QStringLiteral("%1-%2-%3").arg(date->year(), 4, 10, QLatin1Char('0')).arg(two(date->month()), two(date->day()));
    if (type.kind == ColumnKind::Timestamp) {
        iso += QLatin1Char(' ') + two(time->hour) + QLatin1Char(':') + two(time->minute) + QLatin1Char(':')
               + two(time->second);
        if (!time->fraction.isEmpty())
            iso += QLatin1Char('.') + time->fraction.toString();
    }
    return iso;
}

}  // namespace quorvane
