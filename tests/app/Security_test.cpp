// What the program must never give away or let through: the password file
// open to others, the password in any output, a keyword slipped into the
// connection string, a name or value that ends its quotes early.

#include "base/BusyIndicator.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "db/Connection.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/ImportOptions.h"
#include "import/SqlTexts.h"

#include "../import/FaultsHelpers.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// Every file below the folder, as paths.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

class SettingsFileMode : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override
    {
        ::umask(previousMask_);
        ClearSettings();
    }
    // The most open mask there is: only the store itself can keep others out.
    mode_t previousMask_ = ::umask(0);
};

}  // namespace

TEST_P(SettingsFileMode, EverySaveLeavesTheFileToItsOwnerOnly)
{
    SettingsStore store;
    QFile::remove(store.fileName());
    ASSERT_TRUE(store.SaveSetting(GetParam(), QStringLiteral("first")));
    EXPECT_EQ(ModeOf(store.fileName()), mode_t(0600));
    // Opened up by someone else meanwhile: the next save closes it again.
    ::chmod(QFile::encodeName(store.fileName()).constData(), 0666);
    ASSERT_TRUE(store.SaveSetting(GetParam(), QStringLiteral("second")));
    EXPECT_EQ(ModeOf(store.fileName()), mode_t(0600));
    EXPECT_EQ(SettingsStore().GetSetting(GetParam()), QStringLiteral("second"));
}

INSTANTIATE_TEST_SUITE_P(Keys, SettingsFileMode,
                         ::testing::Values(SettingsKey::Server, SettingsKey::Port, SettingsKey::User,
                                           SettingsKey::Password, SettingsKey::Database,
                                           SettingsKey::Extension, SettingsKey::LastFolder),
                         [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

TEST(SettingsFileCli, CommandLineRunsNeverWriteTheStore)
{
    QTemporaryDir config, work;
    WriteFile(work.filePath(QStringLiteral("a.txt")), "A,B\n1,2\n");
    const CliRunResult r = RunCliProgram({"--print-sql", "--server", "s", "--port", "1", "--database", "d",
                                          "--user", "u", work.filePath(QStringLiteral("a.txt"))},
                                         {config.path(), QStringLiteral("cli-secret"), work.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(FilesBelow(config.path()), QStringList());
}

namespace {

struct PasswordCase {
    const char* name;
    bool refusedLogin;
    QByteArray file;
    int tablesAfter;  // what the run leaves in the database
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PasswordSilenceDb : public ::testing::TestWithParam<PasswordCase> {
protected:
    ScratchDatabase db_;
    QTemporaryDir config_;
};

}  // namespace

TEST_P(PasswordSilenceDb, PasswordAppearsInNoOutputAndNoFile)
{
    const QString password = QStringLiteral("Pw-7f3a;Sehr=Geheim");
    ConnectionParameters p = GetParam().refusedLogin ? db_.refusedParameters() : db_.parameters();
    // SQLite ignores the password; the secret must stay hidden all the same.
    const QString used = CurrentBackend() == Backend::MariaDb && !GetParam().refusedLogin ? p.password : password;
    if (CurrentBackend() == Backend::MariaDb && GetParam().refusedLogin)
        p.password = password;
    const QString path = QDir(db_.folder()).filePath(QStringLiteral("in.txt"));
    WriteFile(path, GetParam().file);
    const QStringList before = FilesBelow(db_.folder());
    const CliRunResult r = RunCliProgram(ConnectOptions(p) << path, {config_.path(), used, db_.folder()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(r.out.contains(used)) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(used)) << r.err.toStdString();
    for (const QString& file : FilesBelow(db_.folder()) + FilesBelow(config_.path()))
        EXPECT_FALSE(file.contains(used)) << file.toStdString();
    EXPECT_EQ(TableNames(db_.parameters()).size(), GetParam().tablesAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PasswordSilenceDb,
    ::testing::Values(PasswordCase{"RefusedLogin", true, "A,B\n1,2\n", 0},
                      PasswordCase{"FailingStatement", false, "A,,C\n1,2,3\n", 1},
                      PasswordCase{"FieldCountMismatch", false, "A,B\n1,2\n3\n", 0}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

namespace {

enum class LoginField { Server, Port, Database, User, Password };

std::string FieldName(LoginField field)
{
    static const char* const names[] = {"Server", "Port", "Database", "User", "Password"};
    return names[static_cast<int>(field)];
}

class ConnectionKeywordDb : public ::testing::TestWithParam<LoginField> {
protected:
    void SetUp() override
    {
        login_ = db_.parameters();
        if (CurrentBackend() == Backend::Sqlite) {
            other_ = SqliteParameters(QDir(db_.folder()).filePath(QStringLiteral("other.db")));
            RunSql(other_, QStringLiteral("CREATE TABLE \"Existing\"(\"A\" LONG VARCHAR)"));
            return;
        }
        // A second database that the login may use: the one a slipped-in
        // keyword would reach. The password needs no braces here, so that
        // only the slipped-in text depends on them.
        admin_ = MariaDbParameters();
        login_.password = QStringLiteral("plain-password");
        other_ = login_;
        other_.database = QStringLiteral("o_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        RunSql(admin_, QStringLiteral("CREATE DATABASE ") + other_.database);
        for (const char* host : {"127.0.0.1", "localhost"}) {
            RunSql(admin_, QStringLiteral("ALTER USER '%1'@'%2' IDENTIFIED BY '%3'")
                               .arg(login_.user, QLatin1String(host), login_.password));
            RunSql(admin_, QStringLiteral("GRANT ALL ON %1.* TO '%2'@'%3'")
                               .arg(other_.database, other_.user, QLatin1String(host)));
        }
        RunSql(other_, QStringLiteral("CREATE TABLE \"Existing\"(\"A\" LONG VARCHAR)"));
    }
    void TearDown() override
    {
        if (CurrentBackend() == Backend::MariaDb && !other_.database.isEmpty())
            RunSql(admin_, QStringLiteral("DROP DATABASE ") + other_.database);
    }

    ScratchDatabase db_;
    ConnectionParameters admin_;
    ConnectionParameters login_;
    ConnectionParameters other_;
};

enum class Landing { Nowhere, OwnDatabase, OtherDatabase };

std::ostream& operator<<(std::ostream& os, Landing landing)
{
    static const char* const names[] = {"nowhere", "its own database", "the other database"};
    return os << names[static_cast<int>(landing)];
}

}  // namespace

// Without the braces each driver would follow the slipped-in keyword its own
// way: MariaDB's takes the last Database= keyword, so every field would reach
// the other database; SQLite's takes the first, so the Database field would
// end at the semicolon and open its own file. Braced, the whole text is the
// field's value: MariaDB knows no such host, user, password or database, and
// reads the number that the port's text begins with; SQLite, which reads
// only the Database keyword and knows no braces, opens no file of that name
// and ignores the other fields.
TEST_P(ConnectionKeywordDb, SemicolonInALoginFieldReachesNoOtherDatabase)
{
    ConnectionParameters p = login_;
    const QString slipped = QStringLiteral(";Database=") + other_.database + QStringLiteral(";");
    switch (GetParam()) {
    case LoginField::Server: p.server += slipped; break;
    case LoginField::Port: p.port += slipped; break;
    case LoginField::Database: p.database += slipped; break;
    case LoginField::User: p.user += slipped; break;
    case LoginField::Password: p.password += slipped; break;
    }
    try {
        Connection connection;
        connection.open(BuildConnectionString(p));
        connection.execute(QStringLiteral("CREATE TABLE \"Marker\"(\"A\" LONG VARCHAR)"));
        connection.close();
    } catch (const std::exception&) {
    }
    const Landing expected = CurrentBackend() == Backend::Sqlite
                                 ? (GetParam() == LoginField::Database ? Landing::Nowhere : Landing::OwnDatabase)
                                 : (GetParam() == LoginField::Port ? Landing::OwnDatabase : Landing::Nowhere);
    const QString marker = QStringLiteral("Marker");
    const Landing landed = TableNames(other_).contains(marker)    ? Landing::OtherDatabase
                           : TableNames(login_).contains(marker) ? Landing::OwnDatabase
                                                                 : Landing::Nowhere;
    EXPECT_EQ(landed, expected);
    EXPECT_EQ(TableNames(other_), QStringList{QStringLiteral("Existing")});
}

INSTANTIATE_TEST_SUITE_P(Fields, ConnectionKeywordDb,
                         ::testing::Values(LoginField::Server, LoginField::Port, LoginField::Database,
                                           LoginField::User, LoginField::Password),
                         [](const ::testing::TestParamInfo<LoginField>& info) { return FieldName(info.param); });

namespace {

// A table name and values written to break out of their quotes.
const QString kHostileTable = QStringLiteral("Q\"; DROP TABLE \"Victim");
const QByteArray kHostileFile = "A,B\n"
                                "x'); DROP TABLE \"Victim\"; --,y\n"
                                "'',')\n"
                                "\\',\"); DELETE FROM \"Victim\"; --\n";

std::string StyleName(RowStyle style)
{
    static const char* const names[] = {"HeaderColumns", "PromptedColumns", "AppendRows"};
    return names[static_cast<int>(style)];
}

class InjectionDb : public ::testing::TestWithParam<RowStyle> {
protected:
    void SetUp() override
    {
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Victim\"(\"A\" LONG VARCHAR)"));
        RunSql(db_.parameters(), QStringLiteral("INSERT INTO \"Victim\" VALUES('still here')"));
    }

    ImportOutcome run(const ImportOptions& options, const QString& path)
    {
        const RunInputs inputs{options, {path}, db_.parameters()};
        OdbcImportDatabase database;
        NoBusyIndicator busy;
        return RunImport({dialogs_, inputs, tables_, database, busy});
    }

    ScratchDatabase db_;
    ScriptedDialogs dialogs_;
    PlainTableList tables_;
};

}  // namespace

TEST_P(InjectionDb, QuotedNamesAndValuesLandAsTextAndTouchNothingElse)
{
    const QString path = QDir(db_.folder()).filePath(QStringLiteral("hostile.txt"));
    WriteFile(path, kHostileFile);
    ImportOptions options;
    options.tableNamePattern = kHostileTable;
    switch (GetParam()) {
    case RowStyle::HeaderColumns:
        break;
    case RowStyle::PromptedColumns:
        options.columnSource = ColumnSource::Prompted;
        dialogs_.expectInput(QStringLiteral("Enter name for column #1:"), QStringLiteral("A"));
        dialogs_.expectInput(QStringLiteral("Enter name for column #2:"), QStringLiteral("B"));
        break;
    case RowStyle::AppendRows:
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Q\"\"; DROP TABLE \"\"Victim\"(\"A\" LONG VARCHAR, "
                                                "\"B\" LONG VARCHAR)"));
        options.mode = ImportMode::AppendExisting;
        options.selectedTable = kHostileTable;
        tables_.append(kHostileTable);
        break;
    }
    dialogs_.expectMessage(QStringLiteral("Done."));
    run(options, path);

    EXPECT_EQ(TableNames(db_.parameters()), (QStringList{kHostileTable, QStringLiteral("Victim")}));
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"Victim\"")),
              QStringList{QStringLiteral("still here")});
    const bool quotesKept = GetParam() == RowStyle::HeaderColumns;
    QStringList expected{QStringLiteral("x'); DROP TABLE ") + (quotesKept ? "\"Victim\"" : "Victim")
                             + QStringLiteral("; --\x1fy"),
                         QStringLiteral("''\x1f')"),
                         QStringLiteral("\\'\x1f") + (quotesKept ? "\"" : "")
                             + QStringLiteral("); DELETE FROM ") + (quotesKept ? "\"Victim\"" : "Victim")
                             + QStringLiteral("; --")};
    std::sort(expected.begin(), expected.end());
    QStringList landed = QueryRows(db_.parameters(),
                                   QStringLiteral("SELECT \"A\", \"B\" FROM \"Q\"\"; DROP TABLE \"\"Victim\""));
    std::sort(landed.begin(), landed.end());
    EXPECT_EQ(landed, expected);
}

INSTANTIATE_TEST_SUITE_P(Styles, InjectionDb,
                         ::testing::Values(RowStyle::HeaderColumns, RowStyle::PromptedColumns,
                                           RowStyle::AppendRows),
                         [](const ::testing::TestParamInfo<RowStyle>& info) { return StyleName(info.param); });
