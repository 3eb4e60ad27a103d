#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace quorvane {

// The SQL type of a column, as detected from every value the file holds for it.
enum class ColumnKind { Integer, BigInt, Decimal, Double, Date, Timestamp, Varchar, Clob };

// How a column's dates are written; one layout for the whole column.
enum class DateLayout { Iso, DayDotMonth, MonthSlashDay, DaySlashMonth };

struct ColumnType {
    ColumnKind kind = ColumnKind::Varchar;
    int precision = 0;  // DECIMAL
    int scale = 0;      // DECIMAL
    qint64 length = 1;  // VARCHAR and CLOB, in UTF-8 bytes
    DateLayout layout = DateLayout::Iso;  // DATE and TIMESTAMP

    // As the CREATE TABLE names it: INTEGER, DECIMAL(7,2), VARCHAR(23), CLOB(64K)...
    QString sqlName() const;
    bool isNumber() const { return kind <= ColumnKind::Double; }
    // Numbers, dates and timestamps: an empty field is NULL there.
    bool isTyped() const { return kind < ColumnKind::Varchar; }
};

// DB2's longest VARCHAR, in bytes; a longer text column is a CLOB.
inline constexpr qint64 kLongestVarchar = 32672;
// DB2's widest DECIMAL.
inline constexpr int kWidestDecimal = 31;

// One column's detection: each value rules out the types it does not fit,
// so the state only ever widens. Strict: nothing is trimmed, and a leading
// zero, a '+', a thousands separator or a decimal comma make a value text.
class ColumnTypeDetector {
public:
    // An empty value fits every type and counts for none.
    void add(QStringView value);
    // The first type every value added fits; VARCHAR(1) without any value.
    ColumnType type() const;

private:
    bool anyValue_ = false;
    // Numbers.
    bool numeric_ = true;        // every value a number literal
    bool integral_ = true;       // and every one an integer literal
    bool fitsInteger_ = true;    // within 32 bits
    bool fitsBigInt_ = true;     // within 64 bits
    bool anyFloat_ = false;      // some value with an exponent
    int integerDigits_ = 0;      // the most before the point
    int fractionDigits_ = 0;     // the most after it
    // Dates: the layouts every value so far reads in.
    unsigned layouts_ = 0xf;
    bool anyTime_ = false;
    qint64 longestBytes_ = 0;
};

// True for an integer, decimal or float literal as detection accepts them:
// such a value may go into a statement unquoted.
bool IsNumberLiteral(QStringView value);

// The value as it is sent to a date or timestamp column of the layout:
// yyyy-mm-dd, or yyyy-mm-dd hh:mm:ss with the fraction as given (a date
// alone is midnight). Nothing when the value is no such date.
std::optional<QString> IsoDateValue(QStringView value, const ColumnType& type);

// The length of the text in UTF-8; a byte that could not be decoded counts
// as the most any single byte can become.
qint64 Utf8Length(QStringView text);

}  // namespace quorvane
