// The import window's load steps against each test database: defaults, the
// table list read afresh, and the one "Text Files" column.
#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using ::testing::Contains;
using ::testing::Not;
using testing::ScratchDatabase;
using testing::ScriptedDialogs;

using testing::StoreLogin;

class ImportWindowLoadDb : public ::testing::Test {
protected:
    void SetUp() override { testing::ClearSettings(); }
    void TearDown() override { testing::ClearSettings(); }

    void startConnected()
    {
        StoreLogin(db.parameters());
        windows.start();
        ASSERT_NE(windows.importWindow(), nullptr);
    }
    ImportWindow& form() { return *windows.importWindow(); }
    const ImportWindowControls& c() { return form().controls(); }

    void backAndNext()
    {
        QTest::mouseClick(c().backButton, Qt::LeftButton);
        QTest::mouseClick(windows.loginWindow().controls().nextButton, Qt::LeftButton);
    }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

TEST_F(ImportWindowLoadDb, ViewsAreNeverListed)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    testing::RunSql(db.parameters(), QStringLiteral("CREATE VIEW PEOPLE_VIEW AS SELECT NAME FROM PEOPLE"));
    startConnected();
    const QStringList listed = form().tableList().items();
    EXPECT_THAT(listed, Contains(QStringLiteral("PEOPLE")));
    EXPECT_THAT(listed, Not(Contains(QStringLiteral("PEOPLE_VIEW"))));
}

TEST_F(ImportWindowLoadDb, SecondHandOverResetsTheDefaultsAndEmptiesTheSelection)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    startConnected();
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    c().tableNameEdit->setText(QStringLiteral("Mine[counter]"));
    c().separatorEdit->setText(QStringLiteral(";"));
    c().tableList->item(0)->setSelected(true);
    c().fileList->append(QStringLiteral("/data/people.txt"));

    backAndNext();

    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(windows.loginWindow().isVisible());
    EXPECT_EQ(c().tableNameEdit->text(), QStringLiteral("NewTable[counter]"));
    EXPECT_EQ(c().separatorEdit->text(), QStringLiteral(","));
    EXPECT_FALSE(form().tableList().selectedItem().has_value());
    EXPECT_THAT(form().tableList().items(), Contains(QStringLiteral("PEOPLE")));
    // The options and the file list stay as the user left them.
    EXPECT_TRUE(c().appendOption->isChecked());
    EXPECT_TRUE(c().tableList->isEnabled());
    EXPECT_EQ(c().fileList->count(), 1);
}

TEST_F(ImportWindowLoadDb, RepeatedLoadsKeepOneTextFilesColumn)
{
    startConnected();
    backAndNext();
    backAndNext();
    EXPECT_EQ(c().fileList->columnCount(), 1);
    EXPECT_EQ(c().fileList->headerItem()->text(0), QStringLiteral("Text Files"));
    EXPECT_EQ(c().fileList->columnWidth(0), c().fileList->viewport()->width());
}

TEST_F(ImportWindowLoadDb, RefillDropsTablesThatAreGone)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE KEEP_ME (X LONG VARCHAR)"));
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE DROP_ME (X LONG VARCHAR)"));
    startConnected();
    ASSERT_THAT(form().tableList().items(), Contains(QStringLiteral("DROP_ME")));
    testing::RunSql(db.parameters(), QStringLiteral("DROP TABLE DROP_ME"));
    backAndNext();
    EXPECT_THAT(form().tableList().items(), Contains(QStringLiteral("KEEP_ME")));
    EXPECT_THAT(form().tableList().items(), Not(Contains(QStringLiteral("DROP_ME"))));
}

TEST_F(ImportWindowLoadDb, ConnectionFailureLeavesTheTableListEmptyAfterOneReport)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    startConnected();
    ASSERT_GT(c().tableList->count(), 0);

    // The login fields no longer connect when the load steps run again.
    const ConnectionParameters refused = db.refusedParameters();
    const LoginWindowControls& login = windows.loginWindow().controls();
    login.passwordEdit->setText(refused.password);
    login.databaseEdit->setText(refused.database);
    dialogs.expectErrorReport(Location::ImportWindowLoad, 118);
    form().runHandler([&] { windows.reloadImportWindow(); });

    EXPECT_EQ(c().tableList->count(), 0);
    EXPECT_EQ(dialogs.count(ScriptedDialogs::Kind::Message), 1);
    // The steps after the failed one still ran.
    EXPECT_EQ(c().fileList->headerItem()->text(0), QStringLiteral("Text Files"));
}

}  // namespace
}  // namespace quorvane
