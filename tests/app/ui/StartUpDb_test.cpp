// The start-up sequence and the window flow, run against each test database.
#include "app/ApplicationWindows.h"
#include "base/Settings.h"
#include "db/ui/LoginWindow.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <gmock/gmock.h>

namespace quorvane {
namespace {

using testing::ClearSettings;
using testing::CurrentBackend;
using testing::ScratchDatabase;
using testing::ScriptedDialogs;

using testing::StoreLogin;

class StartUpDb : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
};

TEST_F(StartUpDb, FirstStartShowsLoginWithStoredDefaultPortAndFailsTheCheck)
{
    if (CurrentBackend() == testing::Backend::Sqlite)
        GTEST_SKIP() << "the SQLite stand-in opens a database even with every field empty";
    ApplicationWindows windows(dialogs);
    windows.start();

    const LoginWindowControls& c = windows.loginWindow().controls();
    EXPECT_TRUE(windows.loginWindow().isVisible());
    EXPECT_EQ(windows.importWindow(), nullptr);
    EXPECT_EQ(c.portEdit->text(), QStringLiteral("50069"));
    for (QLineEdit* empty : {c.serverEdit, c.userEdit, c.passwordEdit, c.databaseEdit})
        EXPECT_TRUE(empty->text().isEmpty());
    SettingsStore store;
    ASSERT_TRUE(store.contains(SettingsKey::Port));
    EXPECT_EQ(store.GetSetting(SettingsKey::Port), QStringLiteral("50069"));
}

TEST_F(StartUpDb, SavedFieldsThatConnectHandOverToTheImportWindow)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE CUSTOMERS (NAME LONG VARCHAR)"));
    StoreLogin(db.parameters());
    ApplicationWindows windows(dialogs);
    windows.start();

    ASSERT_NE(windows.importWindow(), nullptr);
    EXPECT_TRUE(windows.importWindow()->isVisible());
    EXPECT_FALSE(windows.loginWindow().isVisible());
    EXPECT_THAT(windows.importWindow()->tableList().items(),
                ::testing::Contains(QStringLiteral("CUSTOMERS")));
    EXPECT_EQ(windows.importWindow()->windowTitle(), QStringLiteral("Quorvane"));
}

TEST_F(StartUpDb, SavedFieldsThatDoNotConnectShowTheLoginWindowSilently)
{
    StoreLogin(db.refusedParameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    EXPECT_TRUE(windows.loginWindow().isVisible());
    EXPECT_EQ(windows.importWindow(), nullptr);
    EXPECT_EQ(windows.loginWindow().controls().passwordEdit->text(), db.refusedParameters().password);
}

TEST_F(StartUpDb, ClearedPortStaysEmptyAfterARestart)
{
    StoreLogin(db.refusedParameters());
    {
        ApplicationWindows first(dialogs);
        first.start();
        QLineEdit* port = first.loginWindow().controls().portEdit;
        port->setFocus();
        port->selectAll();
        QTest::keyClick(port, Qt::Key_Delete);
        ASSERT_TRUE(port->text().isEmpty());
    }
    ApplicationWindows second(dialogs);
    second.start();
    EXPECT_TRUE(second.loginWindow().controls().portEdit->text().isEmpty());
    EXPECT_TRUE(SettingsStore().contains(SettingsKey::Port));
}

TEST_F(StartUpDb, ClosingTheImportWindowWhileLoginIsHiddenEndsTheProgram)
{
    StoreLogin(db.parameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    ASSERT_NE(windows.importWindow(), nullptr);

    windows.importWindow()->close();
    EXPECT_TRUE(windows.lifetime().isEnding());
    EXPECT_FALSE(windows.importWindow()->isVisible());
    EXPECT_FALSE(windows.loginWindow().isVisible());
}

TEST_F(StartUpDb, ClosingTheImportWindowWhileTablesAreListedStopsAtOnce)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE A1 (X LONG VARCHAR)"));
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE A2 (X LONG VARCHAR)"));
    StoreLogin(db.parameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    ImportWindow* importWindow = windows.importWindow();
    ASSERT_NE(importWindow, nullptr);

    // The listing yields before the first name; the close is handled then.
    QTimer::singleShot(0, importWindow, [importWindow] { importWindow->close(); });
    importWindow->runHandler([&] { windows.reloadImportWindow(); });
    EXPECT_TRUE(windows.lifetime().isEnding());
    EXPECT_EQ(importWindow->tableListWidget()->count(), 0);
}

TEST_F(StartUpDb, ClosingTheLoginWindowEndsTheProgram)
{
    StoreLogin(db.refusedParameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    windows.loginWindow().close();
    EXPECT_TRUE(windows.lifetime().isEnding());
}

TEST_F(StartUpDb, BackToSetupShowsTheLoginWindowAsItWasLeft)
{
    StoreLogin(db.parameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    ImportWindow* importWindow = windows.importWindow();
    ASSERT_NE(importWindow, nullptr);
    QTest::mouseClick(importWindow->controls().backButton, Qt::LeftButton);
    EXPECT_TRUE(windows.loginWindow().isVisible());
    EXPECT_FALSE(importWindow->isVisible());
    EXPECT_FALSE(windows.lifetime().isEnding());
    EXPECT_EQ(windows.loginWindow().controls().databaseEdit->text(), db.parameters().database);
}

}  // namespace
}  // namespace quorvane
