// Append with columns matched by name, through the whole run into a real
// database: files whose columns come in another order or leave one out load
// the same rows in both modes, and files whose header does not pair with
// the table load nothing, are reported by name, and go to the rejects.
#include "import/ImportMessages.h"

#include "ImportRunFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

struct ByNameCase {
    const char* name;
    QByteArray file;
    QStringList rows;  // what the file puts in the table: ID, Name, City
    QString fault;     // empty when the file loads
};

const ByNameCase kCases[] = {
    {"InTheTablesOrder", "ID,Name,City\n1,Ann,Oslo\n2,Bob,\n3,,Rome\n",
     {"1\x1f" "Ann\x1fOslo", "2\x1f" "Bob\x1f<NULL>", "3\x1f<NULL>\x1fRome"}, {}},
    // The first field is never NULL, wherever it goes.
    {"ReversedInOtherCaseAndSpaced", " city ,NAME,Id\r\nOslo,Ann,4\r\n,Bob,5\r\nRome,,6\r\n",
     {"4\x1f" "Ann\x1fOslo", "5\x1f" "Bob\x1f", "6\x1f<NULL>\x1fRome"}, {}},
    {"OneColumnFewerTakesTheDefault", "Name,ID\nAnn,7\nBob,8\n",
     {"7\x1f" "Ann\x1fNowhere", "8\x1f" "Bob\x1fNowhere"}, {}},
    {"UnknownColumns", "ID,Region,Name,region\n1,N,Ann,n\n2,S,Bob,s\n", {},
     QStringLiteral("Columns not in the table Target: Region, region")},
    {"TwoFieldsForOneColumn", "ID,Name,name\n1,Ann,Bob\n", {},
     QStringLiteral("Columns named more than once in the file: name")},
    {"LeavesOutAColumnWithoutDefault", "Name,City\nAnn,Oslo\n", {},
     QStringLiteral("Columns of the table Target that the file leaves out and that need a value: ID")},
};

class AppendByName : public ImportRunFixture {
protected:
    void appendByName(bool fast)
    {
        // ID needs a value; City has a default.
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(\"ID\" VARCHAR(20) NOT NULL, \"Name\" "
                                                "VARCHAR(40), \"City\" VARCHAR(40) DEFAULT 'Nowhere')"));
        tables_.append(QStringLiteral("Target"));
        rejectsFolder_ = QDir(db_.folder()).filePath(QStringLiteral("rejects"));
        ImportOptions& o = options_.options();
        o.mode = ImportMode::AppendExisting;
        o.selectedTable = QStringLiteral("Target");
        o.matchColumnsByName = true;
        o.fastLoad = fast;
        o.batchSize = 2;
    }

    void expectRefusal(const QString& path, const QString& fault)
    {
        dialogs_.expectMessage(path + QStringLiteral(" was not loaded: its columns are matched to the table's by "
                                                     "name.\r\n\r\n")
                               + fault);
    }

    QString summary(int loaded, int files, int rows) const
    {
        return QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: %1 of %2.\r\nRows "
                              "inserted: %3.\r\nStatements that failed: 0.\r\nLines not loaded were written to %4.")
            .arg(loaded)
            .arg(files)
            .arg(rows)
            .arg(rejectsFolder_);
    }

    void expectTable(const QStringList& rows)
    {
        ExpectRows(db_.parameters(), QStringLiteral("SELECT \"ID\", \"Name\", \"City\" FROM \"Target\""), rows);
    }
};

class AppendByNameDb : public AppendByName, public ::testing::WithParamInterface<std::tuple<ByNameCase, bool>> {};

TEST_P(AppendByNameDb, StoresTheSameRowsOrRefusesTheFileByName)
{
    const auto& [c, fast] = GetParam();
    appendByName(fast);
    const QString path = file(QStringLiteral("source.txt"), c.file);
    files_.append(path);
    if (c.fault.isEmpty()) {
        dialogs_.expectMessage(ImportMessage::Done);
    } else {
        expectRefusal(path, c.fault);
        dialogs_.expectMessage(summary(0, 1, 0));
    }
    OdbcImportDatabase database;
    const ImportOutcome outcome = runWith(db_.parameters(), database, nullptr);
    EXPECT_TRUE(dialogs_.scriptDone());
    EXPECT_EQ(outcome.counts.filesLoaded, c.fault.isEmpty() ? 1 : 0);
    EXPECT_EQ(outcome.counts.rowsInserted, c.rows.size());

    expectTable(c.rows);
    if (!c.fault.isEmpty()) {
        // Every data line, as read, with the header first.
        QFile rejects(QDir(rejectsFolder_).filePath(QStringLiteral("source.txt")));
        ASSERT_TRUE(rejects.open(QIODevice::ReadOnly));
        EXPECT_EQ(rejects.readAll(), c.file);
        QFile log(rejects.fileName() + QStringLiteral(".log"));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        // One log line for the file's data lines, all refused for one reason.
        const qsizetype dataLines = c.file.count('\n') - 1;
        const QString lines = dataLines == 1 ? QStringLiteral("line 2: ")
                                             : QStringLiteral("lines 2-%1: ").arg(dataLines + 1);
        EXPECT_EQ(QString::fromUtf8(log.readAll()), lines + c.fault + QLatin1Char('\n'));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendByNameDb, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Fast" : "RowByRow");
    });

// All the files in one run, one table: each file's insert names its own
// columns, and a refused file does not stop the next.
class AppendByNameOneRunDb : public AppendByName, public ::testing::WithParamInterface<bool> {};

TEST_P(AppendByNameOneRunDb, EachFileFillsItsOwnColumns)
{
    appendByName(GetParam());
    QStringList rows;
    int loaded = 0;
    for (const ByNameCase& c : kCases) {
        const QString path = file(QString::fromLatin1(c.name) + QStringLiteral(".txt"), c.file);
        files_.append(path);
        rows << c.rows;
        if (c.fault.isEmpty())
            ++loaded;
        else
            expectRefusal(path, c.fault);
    }
    dialogs_.expectMessage(summary(loaded, static_cast<int>(std::size(kCases)), static_cast<int>(rows.size())));
    OdbcImportDatabase database;
    runWith(db_.parameters(), database, nullptr);
    EXPECT_TRUE(dialogs_.scriptDone());
    expectTable(rows);
}

INSTANTIATE_TEST_SUITE_P(Modes, AppendByNameOneRunDb, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Fast" : "RowByRow"; });

}  // namespace
