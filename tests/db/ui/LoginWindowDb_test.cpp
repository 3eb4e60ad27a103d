// The login window against each test database: the check buttons and the
// fields that the connection reads.
#include "app/ApplicationWindows.h"
#include "base/Settings.h"
#include "db/DriverRegistry.h"
#include "db/ui/LoginWindow.h"
#include "import/ui/ImportWindow.h"
#include "widgets/WindowPointer.h"

#include "ScriptedDialogs.h"
#include "SilentServer.h"
#include "TestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::ScratchDatabase;
using testing::ScriptedDialogs;

const QString kSuccess = QStringLiteral("Connection successful.");
const QString kFailure = QStringLiteral("Could not connect. Please check with your administrator.");

using testing::StoreLogin;

void TypeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

void EnterLogin(const LoginWindowControls& c, const ConnectionParameters& p)
{
    TypeInto(c.serverEdit, p.server);
    TypeInto(c.portEdit, p.port);
    TypeInto(c.userEdit, p.user);
    TypeInto(c.passwordEdit, p.password);
    TypeInto(c.databaseEdit, p.database);
}

// Starts at the login window: the stored fields do not connect.
class LoginWindowDb : public ::testing::Test {
protected:
    LoginWindowDb()
    {
        testing::ClearSettings();
        StoreLogin(db.refusedParameters());
        windows.start();
    }
    ~LoginWindowDb() override { testing::ClearSettings(); }

    LoginWindow& login() { return windows.loginWindow(); }
    const LoginWindowControls& c() { return login().controls(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

TEST_F(LoginWindowDb, TestConnectionSucceedsWithTheHourglassWhileTheMessageShows)
{
    EnterLogin(c(), db.parameters());
    bool busyDuringMessage = false;
    dialogs.expectMessage(kSuccess).then([&] { busyDuringMessage = login().pointer().isBusy(); });
    QTest::mouseClick(c().testConnectionButton, Qt::LeftButton);

    EXPECT_TRUE(busyDuringMessage);
    EXPECT_EQ(dialogs.shown().back().title, QStringLiteral("Quorvane"));
    EXPECT_FALSE(dialogs.shown().back().warningIcon);
    EXPECT_EQ(login().pointer().state(), PointerState::Default);
    EXPECT_EQ(login().cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(login().isVisible());
}

TEST_F(LoginWindowDb, TestConnectionFailsWithItsMessageAndThePointerBack)
{
    dialogs.expectMessageContaining(kFailure);
    QTest::mouseClick(c().testConnectionButton, Qt::LeftButton);
    EXPECT_EQ(login().pointer().state(), PointerState::Default);
    EXPECT_EQ(login().cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Password), db.refusedParameters().password);
}

// The designed text, an empty line, then the driver's first record with its
// SQLSTATE; never the password, also where the driver echoes a field that
// holds it (the database name here).
TEST_F(LoginWindowDb, TestConnectionFailureGivesTheDriversReasonWithoutThePassword)
{
    const bool server = testing::CurrentBackend() == testing::Backend::MariaDb;
    ConnectionParameters echoing = db.parameters();
    echoing.password = server ? echoing.password : QStringLiteral("se;cr}et");
    echoing.database = server ? echoing.password : db.folder() + QStringLiteral("/no/") + echoing.password;
    const struct {
        const char* name;
        ConnectionParameters parameters;
        QString reason;  // a part of the driver's own words
    } cases[] = {
        {"wrong password", db.refusedParameters(),
         server ? QStringLiteral("Access denied for user '%1'").arg(db.parameters().user) : QString()},
        {"password in the database name", echoing,
         server ? QStringLiteral("'********'") : QString()},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EnterLogin(c(), row.parameters);
        dialogs.expectMessageContaining(kFailure + QStringLiteral("\r\n\r\n"));
        QTest::mouseClick(c().testConnectionButton, Qt::LeftButton);
        ASSERT_FALSE(dialogs.shown().empty());
        const QString text = dialogs.shown().back().text;
        EXPECT_TRUE(text.startsWith(kFailure + QStringLiteral("\r\n\r\n"))) << text.toStdString();
        EXPECT_TRUE(text.contains(row.reason)) << text.toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral(".+ \\([0-9A-Z]{5}\\)$")).match(text).hasMatch())
            << text.toStdString();
        EXPECT_FALSE(text.contains(row.parameters.password)) << text.toStdString();
        EXPECT_FALSE(text.contains(QuoteConnectionValue(row.parameters.password))) << text.toStdString();
    }
    if (server)
        EXPECT_TRUE(dialogs.shown().front().text.endsWith(QStringLiteral("(28000)")));
}

TEST_F(LoginWindowDb, TestConnectionToASilentServerFailsAtTheBoundWhileTheWindowIsServed)
{
    if (testing::CurrentBackend() != testing::Backend::MariaDb)
        GTEST_SKIP() << "the SQLite driver has no server to wait for";
    // Listening until the process ends: the attempt given up on is still
    // waiting then, and must not hold the test program up.
    static const auto* server = new testing::SilentServer;
    const testing::ShortOpenTimeout bound;
    ConnectionParameters silent = db.parameters();
    silent.port = server->port();
    EnterLogin(c(), silent);

    // Served while the open waits; a second press then is not started
    // inside the first (it would show a second message).
    bool served = false;
    QTimer::singleShot(0, &login(), [&] {
        served = true;
        QTest::mouseClick(c().testConnectionButton, Qt::LeftButton);
    });
    dialogs.expectMessageContaining(kFailure);
    QTest::mouseClick(c().testConnectionButton, Qt::LeftButton);
    EXPECT_TRUE(served);
    EXPECT_EQ(login().pointer().state(), PointerState::Default);
}

TEST_F(LoginWindowDb, NextRefusesSilently)
{
    QTest::mouseClick(c().nextButton, Qt::LeftButton);
    EXPECT_TRUE(login().isVisible());
    EXPECT_EQ(windows.importWindow(), nullptr);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(LoginWindowDb, NextHandsOverWithTheTablesListed)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE ORDERS (ID LONG VARCHAR)"));
    EnterLogin(c(), db.parameters());
    QTest::mouseClick(c().nextButton, Qt::LeftButton);

    ASSERT_NE(windows.importWindow(), nullptr);
    EXPECT_TRUE(windows.importWindow()->isVisible());
    EXPECT_FALSE(login().isVisible());
    EXPECT_EQ(windows.importWindow()->tableList().items().count(QStringLiteral("ORDERS")), 1);
}

// The five fields hold five different values, so a field read or saved as
// another shows.
TEST_F(LoginWindowDb, ConnectionReadsTheFieldsAsTheyAreNowAndEachIsSavedUnderItsKey)
{
    const ConnectionParameters typed = db.parameters();
    ASSERT_EQ(QSet<QString>({typed.server, typed.port, typed.user, typed.password, typed.database}).size(), 5);
    EnterLogin(c(), typed);
    const ConnectionParameters read = login().currentParameters();
    EXPECT_EQ(read.server, typed.server);
    EXPECT_EQ(read.port, typed.port);
    EXPECT_EQ(read.user, typed.user);
    EXPECT_EQ(read.password, typed.password);
    EXPECT_EQ(read.database, typed.database);
    SettingsStore saved;
    EXPECT_EQ(saved.GetSetting(SettingsKey::Server), typed.server);
    EXPECT_EQ(saved.GetSetting(SettingsKey::Port), typed.port);
    EXPECT_EQ(saved.GetSetting(SettingsKey::User), typed.user);
    EXPECT_EQ(saved.GetSetting(SettingsKey::Password), typed.password);
    EXPECT_EQ(saved.GetSetting(SettingsKey::Database), typed.database);
}

// No driver registered under the DB2 name at all: a pass of its own
// (db_ui_no_driver) whose ODBCSYSINI and HOME hold no registration.
TEST(LoginWindowNoDriver, TestConnectionNamesTheDriverAndWhereItWasLookedFor)
{
    if (LookUpDriver(kDriverName).registered)
        GTEST_SKIP() << "runs in the pass without a registered driver (db_ui_no_driver)";
    testing::ClearSettings();
    StoreLogin({QStringLiteral("127.0.0.1"), kDefaultPort, QStringLiteral("practice"),
                QStringLiteral("quorvane"), QStringLiteral("practice-secret")});
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
    windows.start();
    ASSERT_TRUE(windows.loginWindow().isVisible());

    // Where unixODBC's own tool says it reads drivers from.
    QProcess odbcinst;
    odbcinst.start(QStringLiteral("odbcinst"), {QStringLiteral("-j")});
    ASSERT_TRUE(odbcinst.waitForFinished());
    const QRegularExpressionMatch drivers =
        QRegularExpression(QStringLiteral("DRIVERS\\.*: (\\S+)")).match(QString::fromLocal8Bit(odbcinst.readAll()));
    ASSERT_TRUE(drivers.hasMatch());

    dialogs.expectMessageContaining(kFailure + QStringLiteral("\r\n\r\n"));
    QTest::mouseClick(windows.loginWindow().controls().testConnectionButton, Qt::LeftButton);
    ASSERT_FALSE(dialogs.shown().empty());
    const QString text = dialogs.shown().back().text;
    EXPECT_TRUE(text.contains(QStringLiteral("\"IBM DB2 ODBC DRIVER\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(drivers.captured(1))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir(QDir::homePath()).filePath(QStringLiteral(".odbcinst.ini"))))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("practice-secret")));
    testing::ClearSettings();
}

}  // namespace
}  // namespace quorvane
