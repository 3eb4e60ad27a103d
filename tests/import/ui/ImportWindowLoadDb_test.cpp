// The import window's load steps against each test database: defaults, the
// table list read afresh, and the one "Text Files" column.
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "app/ApplicationWindows.h"
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

class Form2LoadDb : public ::testing::Test {
protected:
    void SetUp() override { testing::ClearSettings(); }
    void TearDown() override { testing::ClearSettings(); }

    void startConnected()
    {
        StoreLogin(db.parameters());
        windows.start();
        ASSERT_NE(windows.importWindow(), nullptr);
    }
    Form2& form() { return *windows.importWindow(); }
    const Form2Controls& c() { return form().controls(); }

    void backAndNext()
    {
        QTest::mouseClick(c().PushButton5, Qt::LeftButton);
        QTest::mouseClick(windows.loginWindow().controls().PushButton3, Qt::LeftButton);
    }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

TEST_F(Form2LoadDb, ViewsAreNeverListed)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    testing::RunSql(db.parameters(), QStringLiteral("CREATE VIEW PEOPLE_VIEW AS SELECT NAME FROM PEOPLE"));
    startConnected();
    const QStringList listed = form().tableList().items();
    EXPECT_THAT(listed, Contains(QStringLiteral("PEOPLE")));
    EXPECT_THAT(listed, Not(Contains(QStringLiteral("PEOPLE_VIEW"))));
}

TEST_F(Form2LoadDb, SecondHandOverResetsTheDefaultsAndEmptiesTheSelection)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    startConnected();
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    c().Text2->setText(QStringLiteral("Mine[counter]"));
    c().Text3->setText(QStringLiteral(";"));
    c().List1->item(0)->setSelected(true);
    c().ListView1->append(QStringLiteral("/data/people.txt"));

    backAndNext();

    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(windows.loginWindow().isVisible());
    EXPECT_EQ(c().Text2->text(), QStringLiteral("NewTable[counter]"));
    EXPECT_EQ(c().Text3->text(), QStringLiteral(","));
    EXPECT_FALSE(form().tableList().selectedItem().has_value());
    EXPECT_THAT(form().tableList().items(), Contains(QStringLiteral("PEOPLE")));
    // The options and the file list stay as the user left them.
    EXPECT_TRUE(c().Option2->isChecked());
    EXPECT_TRUE(c().List1->isEnabled());
    EXPECT_EQ(c().ListView1->count(), 1);
}

TEST_F(Form2LoadDb, RepeatedLoadsKeepOneTextFilesColumn)
{
    startConnected();
    backAndNext();
    backAndNext();
    EXPECT_EQ(c().ListView1->columnCount(), 1);
    EXPECT_EQ(c().ListView1->headerItem()->text(0), QStringLiteral("Text Files"));
    EXPECT_EQ(c().ListView1->columnWidth(0), 333);
}

TEST_F(Form2LoadDb, RefillDropsTablesThatAreGone)
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

TEST_F(Form2LoadDb, ConnectionFailureLeavesTheTableListEmptyAfterOneReport)
{
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
    startConnected();
    ASSERT_GT(c().List1->count(), 0);

    // The login fields no longer connect when the load steps run again.
    const ConnectionParameters refused = db.refusedParameters();
    const Form1Controls& login = windows.loginWindow().controls();
    login.Text4->setText(refused.password);
    login.Text5->setText(refused.database);
    dialogs.expectErrorReport(Location::Form2Load, 118);
    form().runHandler([&] { windows.reloadImportWindow(); });

    EXPECT_EQ(c().List1->count(), 0);
    EXPECT_EQ(dialogs.count(ScriptedDialogs::Kind::Message), 1);
    // The steps after the failed one still ran.
    EXPECT_EQ(c().ListView1->headerItem()->text(0), QStringLiteral("Text Files"));
}

}  // namespace
}  // namespace quorvane
