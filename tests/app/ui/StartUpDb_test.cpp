// The start-up sequence and the window flow, run against each test database.
#include "app/ApplicationWindows.h"
#include "app/StartUpArguments.h"
#include "base/Settings.h"
#include "db/ui/ConnectingWindow.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "help/ui/HelpTextWindow.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "SilentServer.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <map>

#include <sys/stat.h>

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

// quorvane a.csv FOLDER PIPE missing.csv b.csv, as a file manager starts it:
// the files listed in order as a drop lists them, whether the stored login
// connects at once or the files wait for the login to be entered.
TEST_F(StartUpDb, FilesNamedAtStartAreListedInOrder)
{
    for (const bool storedLoginConnects : {true, false}) {
        SCOPED_TRACE(storedLoginConnects ? "stored login connects" : "login entered after the start");
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.csv")), b = dir.filePath(QStringLiteral("b.csv"));
        const QString folder = dir.filePath(QStringLiteral("more"));
        const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
        testing::WriteFile(a, "x\n");
        testing::WriteFile(b, "x\n");
        QDir().mkpath(folder + QStringLiteral("/inner"));
        testing::WriteFile(folder + QStringLiteral("/inner/c.csv"), "x\n");
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        StoreLogin(storedLoginConnects ? db.parameters() : db.refusedParameters());

        const StartUpArguments arguments = ParseStartUpArguments(
            {QStringLiteral("quorvane"), a, folder, pipe, dir.filePath(QStringLiteral("missing.csv")), b});
        dialogs.expectMessageContaining(QStringLiteral("missing.csv"));
        const auto shownBefore = qsizetype(dialogs.shown().size());
        ApplicationWindows windows(dialogs);
        windows.start(arguments.files);
        if (!storedLoginConnects) {
            ASSERT_EQ(windows.importWindow(), nullptr);
            const LoginWindowControls& c = windows.loginWindow().controls();
            const ConnectionParameters p = db.parameters();
            c.serverEdit->setText(p.server);
            c.portEdit->setText(p.port);
            c.userEdit->setText(p.user);
            c.passwordEdit->setText(p.password);
            c.databaseEdit->setText(p.database);
            QTest::mouseClick(c.nextButton, Qt::LeftButton);
        }
        ASSERT_NE(windows.importWindow(), nullptr);
        const FileListView* list = windows.importWindow()->fileList();
        QStringList listed;
        for (int position = 1; position <= list->count(); ++position)
            listed << QDir::cleanPath(list->path(position));
        EXPECT_EQ(listed, (QStringList{a, folder + QStringLiteral("/inner/c.csv"), b}));
        EXPECT_EQ(std::count_if(dialogs.shown().begin() + shownBefore, dialogs.shown().end(),
                                [](const auto& shown) { return shown.text.contains(QStringLiteral("missing.csv")); }),
                  1);
    }
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

// The start-up check that waits a second unanswered shows which server and
// port it tries; Cancel then brings up the login window at once. A check
// answered sooner shows nothing of the kind.
TEST_F(StartUpDb, SlowStartUpCheckShowsWhatItWaitsForAndCancelShowsTheLoginWindow)
{
    const bool server = CurrentBackend() == testing::Backend::MariaDb;
    // Listening until the process ends: the attempt given up on still waits.
    static const auto* silentServer = new testing::SilentServer;
    ConnectionParameters silent = db.parameters();
    silent.port = silentServer->port();
    const struct {
        const char* name;
        ConnectionParameters stored;
        bool waits;
        bool connects;
    } cases[] = {
        {"silent server", silent, true, false},
        {"refused at once", db.refusedParameters(), false, false},
        {"connects at once", db.parameters(), false, true},
    };
    for (const auto& row : cases) {
        if (row.waits && !server)
            continue;  // the SQLite driver has no server to wait for
        SCOPED_TRACE(row.name);
        ClearSettings();
        StoreLogin(row.stored);
        ApplicationWindows windows(dialogs);
        QElapsedTimer sinceStart;
        QElapsedTimer sinceCancel;
        qint64 shownAfter = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* waiting = qobject_cast<QDialog*>(top);
                if (!waiting || !waiting->isVisible() || shownAfter >= 0)
                    continue;
                shownAfter = sinceStart.elapsed();
                const auto* label = waiting->findChild<QLabel*>();
                EXPECT_TRUE(label && label->text() == ConnectingWindow::Text(row.stored))
                    << (label ? label->text().toStdString() : "no label");
                EXPECT_NE(waiting->findChild<QProgressBar*>(), nullptr);
                auto* cancel = waiting->findChild<QPushButton*>();
                ASSERT_NE(cancel, nullptr);
                EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
                sinceCancel.start();
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        poll.start(50);
        sinceStart.start();
        windows.start();
        poll.stop();

        if (row.waits) {
            EXPECT_GE(shownAfter, 1000);
            ASSERT_TRUE(sinceCancel.isValid());
            EXPECT_LT(sinceCancel.elapsed(), 1000);
        } else {
            EXPECT_EQ(shownAfter, -1);
        }
        EXPECT_EQ(windows.loginWindow().isVisible(), !row.connects);
        EXPECT_EQ(windows.importWindow() != nullptr, row.connects);
    }
}

// What a screen reader announces for each field, list and combo box of the
// three windows: the text of the label beside it (its buddy), or where it
// has none, the one caption the user sees for it. Never empty, never the
// title of the frame it sits in.
TEST_F(StartUpDb, EveryFieldListAndComboBoxIsNamedByItsOwnLabel)
{
    StoreLogin(db.parameters());
    ApplicationWindows windows(dialogs);
    windows.start();
    ImportWindow* import = windows.importWindow();
    ASSERT_NE(import, nullptr);
    HelpTextWindow help(dialogs, nullptr);
    const ImportWindowControls& ic = import->controls();

    const struct {
        const char* name;
        QWidget* window;
        int controls;  // how many it has
        std::map<QWidget*, QString> captions;  // named by what is not a buddy label
    } cases[] = {
        {"login", &windows.loginWindow(), 5, {}},
        {"import", import, 5,
         {{static_cast<QWidget*>(ic.fileList), QStringLiteral("Text Files")},
          {static_cast<QWidget*>(ic.separatorEdit), ic.separatorFrame->title()}}},
        {"help text", &help, 1, {{static_cast<QWidget*>(help.text()), QStringLiteral("Help text")}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const QList<QLabel*> labels = row.window->findChildren<QLabel*>();
        int named = 0;
        for (QWidget* control : row.window->findChildren<QWidget*>()) {
            const bool field = qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control);
            const bool list = qobject_cast<QAbstractItemView*>(control) && !qobject_cast<QHeaderView*>(control);
            const bool combo = qobject_cast<QComboBox*>(control);
            // A combo box's own parts (its popup list) are not controls of the window.
            bool inCombo = false;
            for (QWidget* up = control->parentWidget(); up; up = up->parentWidget())
                inCombo = inCombo || qobject_cast<QComboBox*>(up);
            if (!(field || list || combo) || inCombo)
                continue;
            QString expected = row.captions.count(control) ? row.captions.at(control) : QString();
            for (QLabel* label : labels) {
                if (label->buddy() == control)
                    expected = label->text();
            }
            SCOPED_TRACE(control->metaObject()->className() + std::string(" labelled ") + expected.toStdString());
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr);
            QString name = accessible->text(QAccessible::Name);
#ifdef Q_OS_UNIX
            // On Unix Qt names a combo box by its current value and gives its
            // label through the "labelled by" relation, which AT-SPI passes on.
            if (combo) {
                name.clear();
                for (const auto& [related, relation] : accessible->relations(QAccessible::Label))
                    name = related->text(QAccessible::Name);
            }
#endif
            EXPECT_FALSE(expected.isEmpty()) << "no label of its own";
            EXPECT_EQ(name, expected);
            if (auto* frame = qobject_cast<QGroupBox*>(control->parentWidget()); frame && !row.captions.count(control))
                EXPECT_NE(name, frame->title());
            ++named;
        }
        EXPECT_GE(named, row.controls);
    }
}

}  // namespace
}  // namespace quorvane
