// The login window's design and its field behaviours.
#include "base/Settings.h"
#include "app/ApplicationWindows.h"
#include "widgets/Twips.h"
#include "db/ui/LoginWindow.h"

#include "ScriptedDialogs.h"
#include "WidgetChecks.h"
#include "TestSupport.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using testing::ScratchDatabase;
using testing::ScriptedDialogs;

class Form1Window : public ::testing::Test {
protected:
    Form1Window()
    {
        testing::ClearSettings();
        SettingsStore().SaveSetting(SettingsKey::Database, db.refusedParameters().database);
        windows.start();
    }
    ~Form1Window() override { testing::ClearSettings(); }

    Form1& login() { return windows.loginWindow(); }
    const Form1Controls& c() { return login().controls(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

struct ControlCase {
    const char* name;
    QString caption;
    QRect twips;
};

QWidget* ControlNamed(const Form1Controls& c, const QString& name)
{
    const std::pair<const char*, QWidget*> all[] = {
        {"Frame1", c.Frame1},   {"Label10", c.Label10}, {"Text1", c.Text1},
        {"Label9", c.Label9},   {"Text2", c.Text2},     {"Label11", c.Label11},
        {"Text3", c.Text3},     {"Label7", c.Label7},   {"Text4", c.Text4},
        {"Label8", c.Label8},   {"Text5", c.Text5},     {"PushButton2", c.PushButton2},
        {"PushButton5", c.PushButton5}, {"PushButton3", c.PushButton3}};
    for (const auto& [n, w] : all)
        if (name == QLatin1String(n))
            return w;
    return nullptr;
}

class Form1Layout : public Form1Window, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(Form1Layout, ControlHasItsCaptionAndPlace)
{
    QWidget* control = ControlNamed(c(), QLatin1String(GetParam().name));
    testing::ExpectCaptionPlaceAndFont(control, GetParam().twips, GetParam().caption);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->font().bold());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Form1Layout,
    ::testing::Values(
        ControlCase{"Frame1", "IBM DB2 Login", {120, 120, 7800, 2865}},
        ControlCase{"Label10", "Server:", {240, 405, 1095, 255}},
        ControlCase{"Text1", "", {1320, 360, 4575, 330}},
        ControlCase{"Label9", "Port:", {6000, 405, 495, 255}},
        ControlCase{"Text2", "", {6480, 360, 1095, 330}},
        ControlCase{"Label11", "Username:", {240, 885, 1095, 255}},
        ControlCase{"Text3", "", {1320, 840, 6255, 330}},
        ControlCase{"Label7", "Password:", {240, 1365, 1095, 255}},
        ControlCase{"Text4", "", {1320, 1320, 6255, 330}},
        ControlCase{"Label8", "Database:", {240, 1845, 975, 255}},
        ControlCase{"Text5", "", {1320, 1800, 6255, 330}},
        ControlCase{"PushButton2", "Test Connection", {240, 2280, 3600, 405}},
        ControlCase{"PushButton5", "Help", {3960, 2280, 3600, 405}},
        ControlCase{"PushButton3", "Next >", {120, 3120, 7800, 405}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Window, WindowIsWhiteFixedAndTitled)
{
    EXPECT_EQ(login().windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_EQ(login().size(), QSize(536, 243));
    EXPECT_EQ(login().palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(login().font().bold());
    EXPECT_FALSE(login().windowIcon().isNull());
}

TEST_F(Form1Window, TabOrderRunsThroughFieldsThenButtons)
{
    QWidget* expected[] = {c().Text1, c().Text2, c().Text3, c().Text4, c().Text5,
                           c().PushButton2, c().PushButton5, c().PushButton3};
    QWidget* at = c().Text1;
    for (QWidget* next : expected) {
        EXPECT_EQ(at, next) << at->metaObject()->className();
        do
            at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus));
    }
}

TEST_F(Form1Window, PasswordShowsStarsAndIsStoredAsTyped)
{
    QTest::keyClicks(c().Text4, QStringLiteral("s3cr;t"));
    EXPECT_EQ(c().Text4->echoMode(), QLineEdit::Password);
    EXPECT_EQ(c().Text4->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, c().Text4),
              int('*'));
    EXPECT_EQ(c().Text4->displayText(), QStringLiteral("******"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Password), QStringLiteral("s3cr;t"));
}

TEST_F(Form1Window, EveryKeystrokeRewritesTheFieldsKey)
{
    QTest::keyClick(c().Text1, Qt::Key_D);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("d"));
    QTest::keyClicks(c().Text1, QStringLiteral("b2"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("db2"));
    QTest::keyClick(c().Text1, Qt::Key_Backspace);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("db"));
}

// Qt's line edits hold 32767 characters unless told otherwise; the login
// fields hold any length, restored from the store or typed.
TEST_F(Form1Window, FieldsHoldValuesLongerThanQtsDefaultLimit)
{
    const QString value(40000, QLatin1Char('v'));
    SettingsStore store;
    for (const QString& key : {SettingsKey::Server, SettingsKey::Port, SettingsKey::User,
                               SettingsKey::Password, SettingsKey::Database})
        store.SaveSetting(key, value);
    login().Form_Load();
    for (QLineEdit* field : {c().Text1, c().Text2, c().Text3, c().Text4, c().Text5})
        EXPECT_EQ(field->text().size(), value.size());
    QTest::keyClick(c().Text3, Qt::Key_End);
    QTest::keyClick(c().Text3, Qt::Key_W);
    EXPECT_TRUE(store.GetSetting(SettingsKey::User) == value + QLatin1Char('w'));
    EXPECT_EQ(store.GetSetting(SettingsKey::Database).size(), value.size());
}

TEST_F(Form1Window, FocusSelectsTheWholeText)
{
    c().Text3->setText(QStringLiteral("loader"));
    c().Text3->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(c().Text3, &focus);
    QCoreApplication::processEvents();
    EXPECT_EQ(c().Text3->selectedText(), QStringLiteral("loader"));
}

TEST_F(Form1Window, HelpShowsTheTenParagraphsEachWithTwoCarriageReturns)
{
    const QString expected = QStringLiteral(
        "Here is how I connected to my IBM DB2 database.\r\r"
        "I went to https://www.ibm.com\r\r"
        "specifically\r\r"
        "https://www.ibm.com/support/pages/download-initial-version-115-clients-and-drivers\r\r"
        "Downloaded and installed the DB2 Client (not DB2 Runtime Client)\r\r"
        "I personally got the\r\r"
        "DB2 9 Client for Windows on 32-bit AMD and Intel systems (x86)\r\r"
        "If you are using Windows XP, there may be a firewall preventing you from connecting. "
        "You may need to add the DB2 port.\r\r"
        "Please visit:\r\r"
        "https://www.ibm.com/support/pages/db2-db2-server-tcpip-port-numbers\r\r");
    dialogs.expectMessage(expected);
    QTest::mouseClick(c().PushButton5, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Quorvane"));
}

}  // namespace
}  // namespace quorvane
