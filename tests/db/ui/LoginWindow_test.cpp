// The login window's design and its field behaviours.
#include "app/ApplicationWindows.h"
#include "base/Settings.h"
#include "db/ui/LoginWindow.h"
#include "widgets/Twips.h"

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

class LoginWindowTest : public ::testing::Test {
protected:
    LoginWindowTest()
    {
        testing::ClearSettings();
        SettingsStore().SaveSetting(SettingsKey::Database, db.refusedParameters().database);
        windows.start();
    }
    ~LoginWindowTest() override { testing::ClearSettings(); }

    LoginWindow& login() { return windows.loginWindow(); }
    const LoginWindowControls& c() { return login().controls(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

struct ControlCase {
    const char* name;
    QString caption;
    QRect twips;
};

QWidget* ControlNamed(const LoginWindowControls& c, const QString& name)
{
    const std::pair<const char*, QWidget*> all[] = {
        {"connectionFrame", c.connectionFrame},   {"serverLabel", c.serverLabel}, {"serverEdit", c.serverEdit},
        {"portLabel", c.portLabel},   {"portEdit", c.portEdit},     {"userLabel", c.userLabel},
        {"userEdit", c.userEdit},     {"passwordLabel", c.passwordLabel},   {"passwordEdit", c.passwordEdit},
        {"databaseLabel", c.databaseLabel},   {"databaseEdit", c.databaseEdit},     {"testConnectionButton", c.testConnectionButton},
        {"helpButton", c.helpButton}, {"nextButton", c.nextButton}};
    for (const auto& [n, w] : all)
        if (name == QLatin1String(n))
            return w;
    return nullptr;
}

class LoginWindowLayout : public LoginWindowTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(LoginWindowLayout, ControlHasItsCaptionAndPlace)
{
    QWidget* control = ControlNamed(c(), QLatin1String(GetParam().name));
    testing::ExpectCaptionPlaceAndFont(control, GetParam().twips, GetParam().caption);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->font().bold());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, LoginWindowLayout,
    ::testing::Values(
        ControlCase{"connectionFrame", "IBM DB2 Login", {120, 120, 7800, 2865}},
        ControlCase{"serverLabel", "Server:", {240, 405, 1095, 255}},
        ControlCase{"serverEdit", "", {1320, 360, 4575, 330}},
        ControlCase{"portLabel", "Port:", {6000, 405, 495, 255}},
        ControlCase{"portEdit", "", {6480, 360, 1095, 330}},
        ControlCase{"userLabel", "Username:", {240, 885, 1095, 255}},
        ControlCase{"userEdit", "", {1320, 840, 6255, 330}},
        ControlCase{"passwordLabel", "Password:", {240, 1365, 1095, 255}},
        ControlCase{"passwordEdit", "", {1320, 1320, 6255, 330}},
        ControlCase{"databaseLabel", "Database:", {240, 1845, 975, 255}},
        ControlCase{"databaseEdit", "", {1320, 1800, 6255, 330}},
        ControlCase{"testConnectionButton", "Test Connection", {240, 2280, 3600, 405}},
        ControlCase{"helpButton", "Help", {3960, 2280, 3600, 405}},
        ControlCase{"nextButton", "Next >", {120, 3120, 7800, 405}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginWindowTest, WindowIsWhiteFixedAndTitled)
{
    EXPECT_EQ(login().windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_EQ(login().size(), QSize(536, 243));
    EXPECT_EQ(login().palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(login().font().bold());
    EXPECT_FALSE(login().windowIcon().isNull());
}

TEST_F(LoginWindowTest, TabOrderRunsThroughFieldsThenButtons)
{
    QWidget* expected[] = {c().serverEdit, c().portEdit, c().userEdit, c().passwordEdit, c().databaseEdit,
                           c().testConnectionButton, c().helpButton, c().nextButton};
    QWidget* at = c().serverEdit;
    for (QWidget* next : expected) {
        EXPECT_EQ(at, next) << at->metaObject()->className();
        do
            at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus));
    }
}

TEST_F(LoginWindowTest, PasswordShowsStarsAndIsStoredAsTyped)
{
    QTest::keyClicks(c().passwordEdit, QStringLiteral("s3cr;t"));
    EXPECT_EQ(c().passwordEdit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(c().passwordEdit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, c().passwordEdit),
              int('*'));
    EXPECT_EQ(c().passwordEdit->displayText(), QStringLiteral("******"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Password), QStringLiteral("s3cr;t"));
}

TEST_F(LoginWindowTest, EveryKeystrokeRewritesTheFieldsKey)
{
    QTest::keyClick(c().serverEdit, Qt::Key_D);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("d"));
    QTest::keyClicks(c().serverEdit, QStringLiteral("b2"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("db2"));
    QTest::keyClick(c().serverEdit, Qt::Key_Backspace);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Server), QStringLiteral("db"));
}

// Qt's line edits hold 32767 characters unless told otherwise; the login
// fields hold any length, restored from the store or typed.
TEST_F(LoginWindowTest, FieldsHoldValuesLongerThanQtsDefaultLimit)
{
    const QString value(40000, QLatin1Char('v'));
    SettingsStore store;
    for (const QString& key : {SettingsKey::Server, SettingsKey::Port, SettingsKey::User,
                               SettingsKey::Password, SettingsKey::Database})
        store.SaveSetting(key, value);
    login().load();
    for (QLineEdit* field : {c().serverEdit, c().portEdit, c().userEdit, c().passwordEdit, c().databaseEdit})
        EXPECT_EQ(field->text().size(), value.size());
    QTest::keyClick(c().userEdit, Qt::Key_End);
    QTest::keyClick(c().userEdit, Qt::Key_W);
    EXPECT_TRUE(store.GetSetting(SettingsKey::User) == value + QLatin1Char('w'));
    EXPECT_EQ(store.GetSetting(SettingsKey::Database).size(), value.size());
}

TEST_F(LoginWindowTest, FocusSelectsTheWholeText)
{
    c().userEdit->setText(QStringLiteral("loader"));
    c().userEdit->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(c().userEdit, &focus);
    QCoreApplication::processEvents();
    EXPECT_EQ(c().userEdit->selectedText(), QStringLiteral("loader"));
}

TEST_F(LoginWindowTest, HelpShowsTheTenParagraphsEachWithTwoCarriageReturns)
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
    QTest::mouseClick(c().helpButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Quorvane"));
}

}  // namespace
}  // namespace quorvane
