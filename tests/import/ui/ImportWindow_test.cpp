#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportController.h"
#include "import/ui/ImportWindow.h"
#include "widgets/WindowPointer.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The real windows, started on saved fields that connect, so the import
// window is the one the user lands in.
class ImportWindowDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        StoreLogin(db_.parameters());
    }

    ImportWindow& start()
    {
        windows_ = std::make_unique<ApplicationWindows>(dialogs_);
        windows_->start();
        EXPECT_NE(windows_->importWindow(), nullptr);
        return *windows_->importWindow();
    }

    QString file(const QString& name, const QByteArray& text)
    {
        const QString path = QDir(db_.folder()).filePath(name);
        WriteFile(path, text);
        return path;
    }

    QStringList rows(const QString& sql) { return QueryRows(db_.parameters(), sql); }

    // The rows in a table so far; 0 while it does not exist.
    int rowsSoFar(const QString& table)
    {
        const QString exists = CurrentBackend() == Backend::Sqlite
                                   ? QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = '%1'")
                                   : QStringLiteral("SELECT COUNT(*) FROM information_schema.tables "
                                                    "WHERE table_schema = DATABASE() AND table_name = '%1'");
        if (rows(exists.arg(table)) != QStringList{QStringLiteral("1")})
            return 0;
        return rows(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).value(0).toInt();
    }

    // A file long enough to be loading when a timer of the event loop fires,
    // and a short one after it.
    void addLongAndShortFile(ImportWindow& window)
    {
        QByteArray text = "A,B\n";
        for (int i = 0; i < kLongFileRows; ++i)
            text += QByteArray::number(i) + ",x\n";
        window.fileList()->append(file(QStringLiteral("long.txt"), text));
        window.fileList()->append(file(QStringLiteral("short.txt"), "A,B\n1,2\n"));
    }

    static constexpr int kLongFileRows = 20000;

    ScratchDatabase db_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<ApplicationWindows> windows_;
};

QStringList items(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

}  // namespace

TEST_F(ImportWindowDb, ThreeFilesMakeThreeTablesAndAListedNameIsSkipped)
{
    RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"newtable2\"(\"A\" LONG VARCHAR)"));
    ImportWindow& window = start();
    ASSERT_TRUE(items(window.tableListWidget()).contains(QStringLiteral("newtable2")));
    for (int i = 1; i <= 3; ++i)
        window.fileList()->append(file(QStringLiteral("f%1.csv").arg(i),
                                        QStringLiteral("Name,Zip Code\nrow%1,0%1\n").arg(i).toUtf8()));
    dialogs_.expectMessage(QStringLiteral("Done."));
    window.importButton()->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT \"Name\", \"ZipCode\" FROM \"NewTable1\"")),
              QStringList{QStringLiteral("row1\x1f") + QStringLiteral("01")});
    EXPECT_EQ(rows(QStringLiteral("SELECT \"Name\" FROM \"NewTable3\"")), QStringList{QStringLiteral("row3")});
    EXPECT_TRUE(rows(QStringLiteral("SELECT * FROM \"newtable2\"")).isEmpty());
    EXPECT_EQ(items(window.tableListWidget()).mid(0, 2), (QStringList{QStringLiteral("NewTable3"), QStringLiteral("NewTable1")}));
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

TEST_F(ImportWindowDb, OptionsAreReadFromTheControlsAtTheMomentOfTheRun)
{
    ImportWindow& window = start();
    window.controls().tableNameEdit->setText(QStringLiteral("Sales"));
    window.controls().separatorEdit->setText(QStringLiteral("||"));
    window.fileList()->append(file(QStringLiteral("a.txt"), "A||B\n1||2\n"));
    window.fileList()->append(file(QStringLiteral("b.txt"), "A||B\n3||4\n"));
    dialogs_.expectMessage(QStringLiteral("Table(s) already exist."));
    window.importButton()->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT \"A\", \"B\" FROM \"Sales\"")), QStringList{QStringLiteral("1\x1f") + "2"});
}

TEST_F(ImportWindowDb, AppendToTheSelectedTableWithTheMismatchMessage)
{
    RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Stock\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR)"));
    ImportWindow& window = start();
    window.controls().appendOption->click();
    const int stock = items(window.tableListWidget()).indexOf(QStringLiteral("Stock"));
    ASSERT_GE(stock, 0);
    window.tableListWidget()->setCurrentRow(stock);
    const QString wide = file(QStringLiteral("wide.txt"), "a,b,c\n1,2,3\n");
    window.fileList()->append(file(QStringLiteral("ok.txt"), "a,b\n\"1\",2\n"));
    window.fileList()->append(wide);
    dialogs_.expectMessage(QStringLiteral("The columns in the text file and the columns in the table must be "
                                          "identical.\r\n\r\n")
                           + wide + QStringLiteral(" was split by , and has 3 columns. The table Stock has 2 columns."));
    dialogs_.expectMessageContaining(QStringLiteral("Import finished with errors."));
    window.importButton()->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT \"A\", \"B\" FROM \"Stock\"")), QStringList{QStringLiteral("1\x1f") + "2"});
}

TEST_F(ImportWindowDb, FieldCountMismatchShowsTheLineAndEndsTheRun)
{
    ImportWindow& window = start();
    window.fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n"));
    window.fileList()->append(file(QStringLiteral("b.txt"), "A,B\n1,2,3\n"));
    dialogs_.expectTextWindow(QStringLiteral("Line no 1: 1,2,3"));
    window.importButton()->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT \"A\" FROM \"NewTable1\"")), QStringList{QStringLiteral("1")});
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

TEST_F(ImportWindowDb, LoginFieldsThatNoLongerConnectGiveOneReportPerFile)
{
    ImportWindow& window = start();
    window.fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
    window.fileList()->append(file(QStringLiteral("b.txt"), "A,B\n5,6\n"));
    // The hidden login window's fields are read at each connection.
    const ConnectionParameters refused = db_.refusedParameters();
    windows_->loginWindow().controls().databaseEdit->setText(refused.database);
    windows_->loginWindow().controls().passwordEdit->setText(refused.password);
    dialogs_.expectErrorReport(Location::ImportRun, 120)
        .expectErrorReport(Location::ImportRun, 120)
        .expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                                      "Rows inserted: 0.\r\nStatements that failed: 0."));
    window.importButton()->click();
}

TEST_F(ImportWindowDb, SecondPressStopsTheRunCleanlyAndShowsProgressMeanwhile)
{
    ImportWindow& window = start();
    // Every row fails (one column fewer than values), so the run pauses on a
    // report box; the press comes while that box is up.
    window.fileList()->append(file(QStringLiteral("a.txt"), "A,,C\n1,2,3\n4,5,6\n7,8,9\n"));
    window.fileList()->append(file(QStringLiteral("b.txt"), "A,B\n1,2\n"));
    QString captionDuringRun;
    dialogs_.expectErrorReport(Location::ImportRun, 226).then([&] {
        captionDuringRun = window.importButton()->text();
        // Sooner, it would be the second press of a double-click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        window.importButton()->click();
    });
    dialogs_.expectMessage(QStringLiteral("Import stopped.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                                          "Rows inserted: 0.\r\nStatements that failed: 1."));
    window.importButton()->click();
    EXPECT_TRUE(captionDuringRun.startsWith(QStringLiteral("Stop import: file 1 of 2")))
        << captionDuringRun.toStdString();
    EXPECT_FALSE(items(window.tableListWidget()).contains(QStringLiteral("NewTable2")));
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

// Through the real event loop, as the user would: a timer presses Stop once
// rows are going in, and the run sees it at its next pause.
TEST_F(ImportWindowDb, StopPressedFromTheEventLoopEndsTheRunBetweenRows)
{
    ImportWindow& window = start();
    addLongAndShortFile(window);
    QString captionDuringRun;
    QTimer presser;
    presser.setInterval(5);
    // A press within the double-click interval of the start is not a stop.
    QElapsedTimer sinceStart;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (sinceStart.elapsed() <= QGuiApplication::styleHints()->mouseDoubleClickInterval() ||
            rowsSoFar(QStringLiteral("NewTable1")) == 0)
            return;
        presser.stop();
        captionDuringRun = window.importButton()->text();
        window.importButton()->click();
    });
    presser.start();
    dialogs_.expectMessageContaining(QStringLiteral("Import stopped."));
    sinceStart.start();
    window.importButton()->click();
    presser.stop();

    EXPECT_TRUE(captionDuringRun.startsWith(QStringLiteral("Stop import"))) << captionDuringRun.toStdString();
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    const QRegularExpressionMatch summary =
        QRegularExpression(QStringLiteral("^Import stopped\\.\r\n\r\nFiles loaded completely: 0 of 2\\.\r\n"
                                          "Rows inserted: (\\d+)\\.\r\nStatements that failed: 0\\.$"))
            .match(dialogs_.shown().front().text);
    ASSERT_TRUE(summary.hasMatch()) << dialogs_.shown().front().text.toStdString();
    const int inserted = summary.captured(1).toInt();
    EXPECT_GT(inserted, 0);
    EXPECT_LT(inserted, kLongFileRows);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable1")), inserted);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable2")), 0);
    EXPECT_FALSE(items(window.tableListWidget()).contains(QStringLiteral("NewTable2")));
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

// Closing the window mid-run ends the program: the event loop returns, the
// run has unwound, and no closing message or further statement follows.
TEST_F(ImportWindowDb, ClosingTheWindowMidRunEndsTheProgramWithNothingLeftRunning)
{
    ImportWindow& window = start();
    addLongAndShortFile(window);
    // As the program itself runs: only the closing of a main window ends it.
    const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (rowsSoFar(QStringLiteral("NewTable1")) == 0)
            return;
        closer.stop();
        window.close();
    });
    closer.start();
    // Should the program not end, the loop is ended with another code.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(120000);
    QTimer::singleShot(0, &window, [&] { window.importButton()->click(); });
    const int exitCode = QCoreApplication::exec();
    guard.stop();
    closer.stop();
    QApplication::setQuitOnLastWindowClosed(quitOnLastWindow);

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(windows_->lifetime().isEnding());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(windows_->loginWindow().isVisible());
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
    const int inserted = rowsSoFar(QStringLiteral("NewTable1"));
    EXPECT_GT(inserted, 0);
    EXPECT_LT(inserted, kLongFileRows);
    // Nothing goes on behind the closed windows.
    QTest::qWait(100);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable1")), inserted);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable2")), 0);
}

TEST_F(ImportWindowDb, PromptedColumnNamesAndACancelledPrompt)
{
    ImportWindow& window = start();
    window.controls().promptedColumnsOption->click();
    window.fileList()->append(file(QStringLiteral("a.txt"), "x,y\n1,2\n"));
    window.fileList()->append(file(QStringLiteral("b.txt"), "x,y\n3,4\n"));
    dialogs_.expectInput(QStringLiteral("Enter name for column #1:"), QStringLiteral("Left"))
        .expectInput(QStringLiteral("Enter name for column #2:"), QStringLiteral("Right"))
        .expectInput(QStringLiteral("Enter name for column #1:"), QString())
        .expectMessage(QStringLiteral("Done."));
    window.importButton()->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT \"Left\", \"Right\" FROM \"NewTable1\"")),
              QStringList{QStringLiteral("1\x1f") + "2"});
    EXPECT_FALSE(items(window.tableListWidget()).contains(QStringLiteral("NewTable2")));
}

TEST(ImportCaption, SaysItStopsAndCountsRows)
{
    EXPECT_EQ(ImportController::ProgressCaption(2, 5, 12345),
              QStringLiteral("Stop import: file 2 of 5, 12345 rows inserted"));
}
