#include "db/ConnectionParameters.h"

#include <gtest/gtest.h>

using namespace quorvane;

struct StringCase {
    const char* name;
    ConnectionParameters parameters;
    const char* expected;
};

class ConnectionStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ConnectionStringTest, IsByteExact)
{
    EXPECT_EQ(BuildConnectionString(GetParam().parameters), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ConnectionStringTest,
    ::testing::Values(
        StringCase{"AllEmpty", {},
                   "Driver={IBM DB2 ODBC DRIVER};Database=;Hostname=;Port=;Protocol=TCPIP;Uid=;Pwd=;"},
        StringCase{"Typical",
                   {"db2.example.com", "50069", "SAMPLE", "db2inst1", "pa ss"},
                   "Driver={IBM DB2 ODBC DRIVER};Database=SAMPLE;Hostname=db2.example.com;"
                   "Port=50069;Protocol=TCPIP;Uid=db2inst1;Pwd=pa ss;"},
        StringCase{"EmptyPasswordStillClosed",
                   {"h", "1", "d", "u", ""},
                   "Driver={IBM DB2 ODBC DRIVER};Database=d;Hostname=h;Port=1;Protocol=TCPIP;Uid=u;Pwd=;"},
        StringCase{"SpacesKeptVerbatim",
                   {" h ", " 50069 ", " d", "u ", " p "},
                   "Driver={IBM DB2 ODBC DRIVER};Database= d;Hostname= h ;Port= 50069 ;"
                   "Protocol=TCPIP;Uid=u ;Pwd= p ;"},
        StringCase{"PortNotANumberSentAsTyped",
                   {"h", "fifty", "d", "u", "p"},
                   "Driver={IBM DB2 ODBC DRIVER};Database=d;Hostname=h;Port=fifty;Protocol=TCPIP;Uid=u;Pwd=p;"},
        StringCase{"SemicolonIsBracedSoItCannotAddAKeyword",
                   {"h", "1", "d", "u", "x;Database=other"},
                   "Driver={IBM DB2 ODBC DRIVER};Database=d;Hostname=h;Port=1;Protocol=TCPIP;Uid=u;"
                   "Pwd={x;Database=other};"},
        StringCase{"ClosingBraceIsDoubledInsideBraces",
                   {"h", "1", "d", "u", "a}b"},
                   "Driver={IBM DB2 ODBC DRIVER};Database=d;Hostname=h;Port=1;Protocol=TCPIP;Uid=u;"
                   "Pwd={a}}b};"},
        StringCase{"LeadingBraceIsBraced",
                   {"h", "1", "{d", "u", "p"},
                   "Driver={IBM DB2 ODBC DRIVER};Database={{d};Hostname=h;Port=1;Protocol=TCPIP;Uid=u;Pwd=p;"}),
    [](const auto& info) { return std::string(info.param.name); });
