#include "import/SqlTexts.h"

#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the real program with a settings folder of its own.
class CliRunDb : public ::testing::Test {
protected:
    CliResult cli(const QStringList& arguments, const QString& password = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        env.remove(QStringLiteral("QUORVANE_PASSWORD"));
        if (!password.isNull())
            env.insert(QStringLiteral("QUORVANE_PASSWORD"), password);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUORVANE_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // The connection options that reach the scratch database.
    QStringList connect() const
    {
        const ConnectionParameters p = db_.parameters();
        return {"--server", p.server, "--port", p.port, "--database", p.database, "--user", p.user};
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(db_.folder()).filePath(name);
        WriteFile(path, bytes);
        return path;
    }

    ScratchDatabase db_;
    QTemporaryDir config_;
};

}  // namespace

TEST_F(CliRunDb, LoadsFilesAndExitsZero)
{
    const QString a = file(QStringLiteral("a.txt"), "Name\tCity\nAnn\tOslo\nBo\tRiga\n");
    const CliResult r = cli(connect() << "--separator" << "\\t" << a, db_.parameters().password);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"City\" FROM \"NewTable1\" ORDER BY 1")),
              (QStringList{"Oslo", "Riga"}));
}

TEST_F(CliRunDb, FailuresExitOneWithTheSummaryAndNeverPrintThePassword)
{
    const QString bad = file(QStringLiteral("bad.txt"), "A,,C\n1,2,3\n");
    // SQLite ignores the password, but the program must still never show it.
    const QString password = CurrentBackend() == Backend::Sqlite ? QStringLiteral("unused-secret")
                                                                 : db_.parameters().password;
    const CliResult r = cli(connect() << bad, password);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("at line 226")));
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("Import finished with errors.\n\nFiles loaded completely: 0 of 1.\n"
                                              "Rows inserted: 0.\nStatements that failed: 1.\n")))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(password));
    EXPECT_FALSE(r.out.contains(password));
}

// The password from its file (the first line, without its line break) or from
// QUORVANE_PASSWORD logs in; a wrong one is refused on the server and never
// echoed. (SQLite takes any password: there only the loads show.)
TEST_F(CliRunDb, PasswordFromAFileOrTheEnvironmentLogsInAndAWrongOneIsRefused)
{
    const QString a = file(QStringLiteral("a.txt"), "A,B\n1,2\n");
    const QByteArray right = db_.parameters().password.toUtf8();
    const QByteArray wrong = "wrong;secret-value";
    struct Login {
        const char* table;
        QByteArray lineBreak;  // after the password in its file; null: from the environment
        QByteArray password;
        bool accepted;
    };
    for (const Login& login : {Login{"FromFile", "\r\n", right, true}, Login{"FromEnvironment", {}, right, true},
                               Login{"WrongFromFile", "\r\n", wrong, false},
                               Login{"WrongFromEnvironment", {}, wrong, false}}) {
        SCOPED_TRACE(login.table);
        QStringList arguments = connect() << "--create" << login.table;
        QString password;
        if (login.lineBreak.isNull())
            password = QString::fromUtf8(login.password);
        else
            arguments << "--password-file"
                      << file(QStringLiteral("pw-") + login.table, login.password + login.lineBreak + "second line\n");
        const CliResult r = cli(arguments << a, password);
        if (login.accepted || CurrentBackend() == Backend::Sqlite) {
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"B\" FROM \"%1\"").arg(login.table)),
                      QStringList{QStringLiteral("2")});
        } else {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(r.err.contains(QStringLiteral("table list"))) << r.err.toStdString();
        }
        EXPECT_FALSE(r.err.contains(QStringLiteral("secret-value")));
        EXPECT_FALSE(r.out.contains(QStringLiteral("secret-value")));
    }
}

TEST_F(CliRunDb, AppendToATableThatIsNotThereIsRefused)
{
    const QString a = file(QStringLiteral("a.txt"), "A,B\n1,2\n");
    const CliResult r = cli(connect() << "--append" << "Nowhere" << a, db_.parameters().password);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, QStringLiteral("There is no table Nowhere in the database.\n"));
}

// The name as typed finds the table whatever its case; the catalogue's spelling is sent.
TEST_F(CliRunDb, AppendAddsRowsToTheNamedTable)
{
    RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Stock\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR)"));
    const QString a = file(QStringLiteral("a.txt"), "x||y\n\"1\"||two\n");
    const CliResult r = cli(connect() << "--append" << "STOCK" << "--separator" << "||" << a,
                            db_.parameters().password);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\", \"B\" FROM \"Stock\"")),
              QStringList{QStringLiteral("1\x1ftwo")});
}

TEST_F(CliRunDb, FolderArgumentImportsItsTree)
{
    file(QStringLiteral("tree/one.txt"), "A,B\n1,2\n");
    file(QStringLiteral("tree/sub/two.txt"), "A,B\n3,4\n");
    file(QStringLiteral("tree/sub/skip.csv"), "A,B\n5,6\n");
    const CliResult r = cli(connect() << "--extension" << "txt" << "--create" << "T[counter]"
                                      << QDir(db_.folder()).filePath(QStringLiteral("tree")),
                            db_.parameters().password);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"T1\"")), QStringList{"1"});
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"T2\"")), QStringList{"3"});
}

namespace {

// A dry run in a scratch folder, with no driver registered at all.
CliResult PrintSql(const QTemporaryDir& dir, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    env.insert(QStringLiteral("ODBCSYSINI"), dir.filePath(QStringLiteral("no-drivers-here")));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUORVANE_CLI_PATH), QStringList{"--print-sql"} + arguments);
    EXPECT_TRUE(process.waitForFinished());
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TEST(CliPrintSql, PrintsTheEngineStatementsAndConnectsToNothing)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    WriteFile(a, "Name,Zip Code\nO'Neil,\"0301\"\n,x\n");

    const CliResult created = PrintSql(dir, {"--create", "P[counter]", a});
    EXPECT_EQ(created.exitCode, 0);
    const QStringList header{"Name", "Zip Code"};
    EXPECT_EQ(created.out,
              BuildCreateStatement("P1", header) + '\n'
                  + BuildRowStatement("P1", {"O'Neil", "\"0301\""}, RowStyle::HeaderColumns) + '\n'
                  + BuildRowStatement("P1", {"", "x"}, RowStyle::HeaderColumns) + '\n');

    const CliResult appended = PrintSql(dir, {"--append", "Stock", a});
    EXPECT_EQ(appended.exitCode, 0);
    EXPECT_EQ(appended.out,
              BuildColumnCountQuery("Stock") + ";\n"
                  + BuildRowStatement("Stock", {"O'Neil", "\"0301\""}, RowStyle::AppendRows) + '\n'
                  + BuildRowStatement("Stock", {"", "x"}, RowStyle::AppendRows) + '\n');

    // No catalogue to match against: the header names the columns, and
    // fast load prints the rows as row mode sends them.
    const CliResult byName = PrintSql(dir, {"--append", "Stock", "--match-names", "--fast", a});
    EXPECT_EQ(byName.exitCode, 0);
    EXPECT_EQ(byName.out, QStringLiteral("INSERT INTO \"Stock\"(\"Name\",\"Zip Code\") VALUES('O''Neil','0301');\n"
                                         "INSERT INTO \"Stock\"(\"Name\",\"Zip Code\") VALUES('','x');\n"));
}

TEST(CliPrintSql, FieldCountMismatchGoesToStandardErrorAndExitsOne)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    WriteFile(a, "A,B\n1,2\n3\n");
    const CliResult r = PrintSql(dir, {a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Line no 2: 3\n"));

    // The wrong separator passes the check (one field everywhere) and is told:
    // its lines are not loaded.
    WriteFile(a, "A;B\n1;2\n");
    const CliResult wrong = PrintSql(dir, {a});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, QStringLiteral("Done.\nLines skipped because they hold a single field: 1.\n"));
}

// --check reads the files with the reading options and connects to nothing:
// the login options given point nowhere.
TEST_F(CliRunDb, CheckReportsEachFileAndExitsOneOnAnyProblem)
{
    const QString clean = file(QStringLiteral("clean.csv"), "Name,Amount\r\n\"Ann, Jr\",1.5\r\nBo,20.25\r\n");
    const QString faulty = file(QStringLiteral("faulty.csv"), "Name,City\n\"Bo,Riga\",x\nAnn;Oslo\nCy,\xff\n");
    struct Row {
        QStringList arguments;
        int exitCode;
        QString out;
    } rows[] = {
        {{"--quoted", "--types", "detected", clean},
         0,
         clean + ": encoding UTF-8 (every byte is UTF-8), line endings CR LF, 2 records\n" + clean
             + ": columns \"Name\" VARCHAR(7), \"Amount\" DECIMAL(4,2)\n"},
        {{faulty},
         1,
         faulty + ": encoding Windows-1252 (some bytes are not UTF-8), line endings LF, 3 records\n" + faulty
             + ": columns \"Name\", \"City\"\n" + faulty + ", line 2: 3 fields where the header has 2\n" + faulty
             + ", line 3: a single field: the line is not loaded\n" + faulty
             + ": No \",\" in line 3: is the separator right?\n" + faulty
             + ": A field starts with a double quote: should fields enclosed in double quotes be read as such?\n"},
        {{"--quoted", "--encoding", "UTF-8", faulty},
         1,
         faulty + ": encoding UTF-8 (chosen), line endings LF, 3 records\n" + faulty + ": columns \"Name\", \"City\"\n"
             + faulty + ", line 3: 1 field where the header has 2\n" + faulty
             + ", line 4: bytes that cannot be read as UTF-8\n" + faulty
             + ", line 3: a single field: the line is not loaded\n" + faulty
             + ": No \",\" in line 3: is the separator right?\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        const CliResult r = cli(QStringList{"--check", "--server", "127.0.0.1", "--port", "1"} + row.arguments);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out, row.out);
    }
}
