#include "db/BatchInsert.h"
#include "db/Connection.h"
#include "db/OdbcError.h"

#include "TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QString literal(const std::optional<QString>& value)
{
    if (!value)
        return QStringLiteral("NULL");
    QString text = *value;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

std::vector<RowValues> row(std::optional<QString> a, std::optional<QString> b, std::optional<QString> c)
{
    return {RowValues{std::move(a), std::move(b), std::move(c)}};
}

// The rows of a table, sorted; a 5 MB value makes a hex dump useless, so a
// difference is shown by its place and lengths.
void ExpectSameRows(const ConnectionParameters& parameters, const QString& table, const QString& reference)
{
    const QString select = QStringLiteral("SELECT \"A\", \"B\", \"C\" FROM ");
    QStringList got = QueryRows(parameters, select + table);
    QStringList expected = QueryRows(parameters, select + reference);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        EXPECT_TRUE(got[i] == expected[i]) << "row " << i << ": " << got[i].left(80).toStdString() << " ("
                                           << got[i].size() << ") / " << expected[i].left(80).toStdString()
                                           << " (" << expected[i].size() << ")";
}

}  // namespace

class BatchInsertDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection_.setMode(Connection::kModeReadWrite);
        connection_.open(BuildConnectionString(db_.parameters()));
    }

    void createTable(const QString& name, const QString& firstColumn = QStringLiteral("\"A\" LONG VARCHAR"))
    {
        connection_.execute(QStringLiteral("CREATE TABLE \"%1\"(%2, \"B\" LONG VARCHAR, \"C\" LONG VARCHAR)")
                                .arg(name, firstColumn));
    }

    static QString insertInto(const QString& table)
    {
        return QStringLiteral("INSERT INTO \"%1\" VALUES(?,?,?)").arg(table);
    }

    ScratchDatabase db_;
    Connection connection_;
};

// Both ways of sending a row must store the same bytes. The 5 MB value
// makes its column so wide that the rows around it go in several arrays.
TEST_F(BatchInsertDb, RowsLandAsTheirLiteralInsertsDo)
{
    const QString big = QStringLiteral("0123456789abcdef\u00e9").repeated(5 << 20 >> 4) + QStringLiteral("\U0001F600");
    std::vector<RowValues> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.push_back({QStringLiteral("row %1").arg(i), QString::number(i * 7),
                        i % 5 == 0 ? std::nullopt : std::optional(QStringLiteral("v%1").arg(i))});
        if (i == 1500) {
            for (auto special : {row(QStringLiteral("first"), std::nullopt, QString()),
                                 row(QStringLiteral("it's"), QStringLiteral("say \"hi\""), QStringLiteral("''")),
                                 row(QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c"), QStringLiteral("\U0001F600"),
                                     QStringLiteral("C:\\path\\")),
                                 row(QStringLiteral("007"), QStringLiteral(" padded "), QStringLiteral("a\tb")),
                                 row(QStringLiteral("big"), big, QStringLiteral("end"))})
                rows.push_back(special[0]);
        }
    }
    createTable(QStringLiteral("Literal"));
    createTable(QStringLiteral("Batch"));
    connection_.setAutoCommit(false);
    for (const RowValues& values : rows)
        connection_.execute(QStringLiteral("INSERT INTO \"Literal\" VALUES(%1,%2,%3)")
                                .arg(literal(values[0]), literal(values[1]), literal(values[2])));
    BatchInsert batch(connection_, insertInto(QStringLiteral("Batch")), 3);
    batch.send(rows);
    connection_.commit();

    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT COUNT(*) FROM \"Batch\"")),
              QStringList{QString::number(rows.size())});
    ExpectSameRows(db_.parameters(), QStringLiteral("\"Batch\""), QStringLiteral("\"Literal\""));
}

// The caller rolls back a failed send and sends its rows again one by one:
// none of the failed send's rows may stay, and the insert must still work.
TEST_F(BatchInsertDb, FailedRowFailsTheSendAndRollbackLeavesNoneOfItsRows)
{
    createTable(QStringLiteral("T"), QStringLiteral("\"A\" VARCHAR(20) NOT NULL"));
    connection_.setAutoCommit(false);
    BatchInsert batch(connection_, insertInto(QStringLiteral("T")), 3);
    batch.send(row(QStringLiteral("kept"), QStringLiteral("1"), QStringLiteral("1")));
    connection_.commit();

    std::vector<RowValues> rows;
    for (int i = 0; i < 6; ++i)
        rows.push_back({i == 3 ? std::nullopt : std::optional(QStringLiteral("r%1").arg(i)), QStringLiteral("x"),
                        std::nullopt});
    EXPECT_THROW(batch.send(rows), OdbcError);
    connection_.rollback();
    ExpectRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"T\""), {QStringLiteral("kept")});

    for (const RowValues& values : rows) {
        try {
            batch.send({values});
            connection_.commit();
        } catch (const OdbcError&) {
            connection_.rollback();
        }
    }
    ExpectRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"T\""),
               {QStringLiteral("kept"), QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2"),
                QStringLiteral("r4"), QStringLiteral("r5")});
}

// A send that would run for long ends, with an error, when cancelled from
// another thread.
TEST_F(BatchInsertDb, CancelFromAnotherThreadEndsASendUnderWay)
{
    if (CurrentBackend() == Backend::MariaDb)
        GTEST_SKIP() << kSqliteOnly << "MariaDB's ODBC driver 3.1 answers SQLCancel from another thread "
                                       "with an error and lets the statement run on";
    createTable(QStringLiteral("T"));
    connection_.setAutoCommit(false);
    // Counts for far longer than the guard below and inserts nothing; when
    // it ends by itself, it ends without an error.
    BatchInsert batch(connection_,
                      QStringLiteral("INSERT INTO \"T\" WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                                     "SELECT x + 1 FROM c WHERE x < 100000000) SELECT ?, ?, ? FROM c WHERE x < 0"),
                      3);
    auto sent = std::async(std::launch::async, [&] { batch.send(row(QStringLiteral("a"), {}, {})); });
    // Until it ends: a cancel that comes before the statement reached the
    // driver has nothing to end.
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool returned = false;
    while (!returned && std::chrono::steady_clock::now() < guard) {
        connection_.cancel();
        returned = sent.wait_for(std::chrono::milliseconds(100)) == std::future_status::ready;
    }
    ASSERT_TRUE(returned) << "the send did not end when cancelled";
    EXPECT_THROW(sent.get(), OdbcError);
}
