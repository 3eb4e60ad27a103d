// Column type detection: a column's values and the type they give, and the
// text each value of a date column is sent as.
#include "text/ColumnTypes.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct DetectionCase {
    const char* name;
    QStringList values;
    QString type;  // as the CREATE TABLE names it
    QStringList sent = {};  // for a date column: each value as sent
};

class ColumnTypeDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(ColumnTypeDetection, ValuesGiveTheType)
{
    ColumnTypeDetector detector;
    for (const QString& value : GetParam().values)
        detector.add(value);
    const ColumnType type = detector.type();
    EXPECT_EQ(type.sqlName(), GetParam().type);
    if (GetParam().sent.isEmpty())
        return;
    QStringList sent;
    for (const QString& value : GetParam().values)
        if (!value.isEmpty())
            sent << IsoDateValue(value, type).value_or(QStringLiteral("(none)"));
    EXPECT_EQ(sent, GetParam().sent);
}

const QString k32672 = QString(32672, QLatin1Char('x'));
const QString k32673 = QString(32673, QLatin1Char('x'));

INSTANTIATE_TEST_SUITE_P(
    Rows, ColumnTypeDetection,
    ::testing::Values(
        DetectionCase{"NoValueAtAll", {"", ""}, "VARCHAR(1)"},
        DetectionCase{"Integers", {"0", "-7", "", "2147483647", "-2147483648"}, "INTEGER"},
        DetectionCase{"PastThirtyTwoBits", {"1", "2147483648"}, "BIGINT"},
        DetectionCase{"SixtyFourBitEdges", {"9223372036854775807", "-9223372036854775808"}, "BIGINT"},
        DetectionCase{"PastBigIntIsDecimal", {"9223372036854775808", "5"}, "DECIMAL(19,0)"},
        DetectionCase{"PastThirtyOneDigitsIsText", {QString(32, QLatin1Char('9'))}, "VARCHAR(32)"},
        DetectionCase{"Decimals", {"12.50", "-0.5", "1234", "0.125"}, "DECIMAL(7,3)"},
        DetectionCase{"DecimalOfThirtyOneDigits", {QString(30, QLatin1Char('9')) + ".5"}, "DECIMAL(31,1)"},
        DetectionCase{"DecimalPastThirtyOneDigitsIsText", {QString(30, QLatin1Char('9')) + ".55"}, "VARCHAR(33)"},
        DetectionCase{"OneFloatMakesDouble", {"1", "2.5", "1e3", "-2.5E-7", "3e+2"}, "DOUBLE"},
        DetectionCase{"FloatBeyondDoubleIsText", {"1e999"}, "VARCHAR(5)"},
        DetectionCase{"ZipCodeKeepsItsZero", {"12345", "02134"}, "VARCHAR(5)"},
        DetectionCase{"LooseNumbersAreText", {"007.5"}, "VARCHAR(5)"},
        DetectionCase{"NoIntegerPart", {".5"}, "VARCHAR(2)"},
        DetectionCase{"NoFractionDigits", {"5."}, "VARCHAR(2)"},
        DetectionCase{"LeadingPlus", {"+5"}, "VARCHAR(2)"},
        DetectionCase{"SurroundingSpace", {"5 ", "6"}, "VARCHAR(2)"},
        DetectionCase{"ThousandsSeparator", {"1,000"}, "VARCHAR(5)"},
        DetectionCase{"DecimalComma", {"2,5"}, "VARCHAR(3)"},
        DetectionCase{"CurrencyAndPercent", {"$5", "5%"}, "VARCHAR(2)"},
        DetectionCase{"ExponentWithoutDigits", {"1e"}, "VARCHAR(2)"},
        DetectionCase{"LateValueBreaksTheColumn", {"1", "2", "3", "12a"}, "VARCHAR(3)"},
        DetectionCase{"IsoDates", {"2024-02-29", "", "1999-12-31"}, "DATE", {"2024-02-29", "1999-12-31"}},
        DetectionCase{"NotARealDate", {"2023-02-29"}, "VARCHAR(10)"},
        DetectionCase{"IsoNeedsTwoDigitParts", {"2023-1-05"}, "VARCHAR(9)"},
        DetectionCase{"DottedDayFirst", {"1.2.2023", "31.12.2023"}, "DATE", {"2023-02-01", "2023-12-31"}},
        DetectionCase{"SlashesMonthFirst", {"2/13/2023", "1/2/2023"}, "DATE", {"2023-02-13", "2023-01-02"}},
        DetectionCase{"SlashesDayFirst", {"13/2/2023", "01/02/2023"}, "DATE", {"2023-02-13", "2023-02-01"}},
        DetectionCase{"SlashesEitherWayStayText", {"1/2/2023", "3/4/2023"}, "VARCHAR(8)"},
        DetectionCase{"OneLayoutPerColumn", {"2023-01-02", "3.1.2023"}, "VARCHAR(10)"},
        DetectionCase{"TwoDigitYear", {"1/13/23"}, "VARCHAR(7)"},
        DetectionCase{"Timestamps",
                      {"2023-01-02 10:11:12", "2023-01-03T00:00:59.5", "2023-01-04-23.59.58.123456", "2023-01-05"},
                      "TIMESTAMP",
                      {"2023-01-02 10:11:12", "2023-01-03 00:00:59.5", "2023-01-04 23:59:58.123456",
                       "2023-01-05 00:00:00"}},
        DetectionCase{"TimestampDayFirst", {"31.1.2023 08:00:00"}, "TIMESTAMP", {"2023-01-31 08:00:00"}},
        DetectionCase{"SevenFractionDigits", {"2023-01-02 10:11:12.1234567"}, "VARCHAR(27)"},
        DetectionCase{"TimeZone", {"2023-01-02T10:11:12Z"}, "VARCHAR(20)"},
        DetectionCase{"HourPastTheDay", {"2023-01-02 24:00:00"}, "VARCHAR(19)"},
        DetectionCase{"MixedTextIsUtf8Bytes", {"abc", "\u00e9t\u00e9", "\u20ac", "\U0001F600"}, "VARCHAR(5)"},
        DetectionCase{"LongestVarchar", {k32672}, "VARCHAR(32672)"},
        DetectionCase{"PastVarcharIsClob", {k32673}, "CLOB(32K)"},
        DetectionCase{"ClobInMegabytes", {QString(1024 * 1024 + 1, QLatin1Char('x'))}, "CLOB(2M)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
