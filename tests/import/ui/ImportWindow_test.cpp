#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "db/Connection.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/BackgroundImport.h"
#include "import/ui/ImportController.h"
#include "import/ui/ImportWindow.h"
#include "import/ui/ImportWindowControls.h"
#include "widgets/WindowPointer.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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

    // Append mode into "Stock", whose key "A" a held transaction can lock.
    ImportWindow& appendToStockWithAKey()
    {
        RunSql(db_.parameters(),
               QStringLiteral("CREATE TABLE \"Stock\"(\"A\" VARCHAR(10) PRIMARY KEY, \"B\" VARCHAR(10))"));
        ImportWindow& window = start();
        window.controls().appendOption->click();
        const QList<QListWidgetItem*> stock =
            window.tableListWidget()->findItems(QStringLiteral("Stock"), Qt::MatchExactly);
        EXPECT_EQ(stock.size(), 1);
        if (!stock.isEmpty())
            window.tableListWidget()->setCurrentItem(stock.front());
        window.fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
        return window;
    }

    static constexpr int kLongFileRows = 200000;

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

// Another session inserts the key '1' into "Stock" in a transaction it keeps
// open, so that the import's INSERT of the same key waits for it. A thread of
// its own rolls back after `hold` (or when the test ends), whatever the
// window's thread is doing, and notes whether the run had ended by then.
class HeldKey {
public:
    HeldKey(const ConnectionParameters& parameters, std::chrono::milliseconds hold)
    {
        session_.open(BuildConnectionString(parameters));
        session_.execute(QStringLiteral("START TRANSACTION"));
        session_.execute(QStringLiteral("INSERT INTO \"Stock\" VALUES ('1', 'held')"));
        releaser_ = std::thread([this, hold] {
            std::unique_lock lock(mutex_);
            released_.wait_for(lock, hold, [this] { return testEnded_; });
            endedWhileHeld_ = runEnded;
            try {
                session_.execute(QStringLiteral("ROLLBACK"));
            } catch (const std::exception&) {
            }
        });
    }
    ~HeldKey() { release(); }

    // Releases now and waits for that; true when the run ended while held.
    bool release()
    {
        if (releaser_.joinable()) {
            {
                const std::lock_guard lock(mutex_);
                testEnded_ = true;
            }
            released_.notify_all();
            releaser_.join();
        }
        return endedWhileHeld_;
    }

    std::atomic<bool> runEnded{false};  // set by the test at the closing message

private:
    Connection session_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool testEnded_ = false;
    bool endedWhileHeld_ = false;
    std::thread releaser_;
};

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
    dialogs_.expectMessageContaining(QStringLiteral("Import stopped.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                                                    "Rows inserted: 0.\r\nStatements that failed: 1.\r\n"
                                                    "Lines not loaded were written to "));
    window.importButton()->click();
    EXPECT_TRUE(captionDuringRun.startsWith(QStringLiteral("Stop import: file 1 of 2")))
        << captionDuringRun.toStdString();
    EXPECT_FALSE(items(window.tableListWidget()).contains(QStringLiteral("NewTable2")));
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

// Through the real event loop, as the user would: a timer presses Stop once
// rows are going in, and the run sees it before its next row. Every line
// that is not in the table is in the rejects, as read; with fast load the
// rows read before the press go in too.
class ImportWindowStopDb : public ImportWindowDb, public ::testing::WithParamInterface<bool> {};

TEST_P(ImportWindowStopDb, StopPressedFromTheEventLoopEndsTheRunBetweenRowsAndLosesNoLine)
{
    ImportWindow& window = start();
    window.controls().fastLoadCheck->setChecked(GetParam());
    addLongAndShortFile(window);
    QString captionDuringRun;
    bool choicesOpenDuringRun = true;
    QTimer presser;
    presser.setInterval(5);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (rowsSoFar(QStringLiteral("NewTable1")) == 0)
            return;
        presser.stop();
        captionDuringRun = window.importButton()->text();
        // The run took its choices at the press: they cannot change under it.
        choicesOpenDuringRun = window.controls().separatorEdit->isEnabled()
                               || window.controls().fastLoadCheck->isEnabled()
                               || window.controls().tableNameEdit->isEnabled();
        window.importButton()->click();
    });
    presser.start();
    dialogs_.expectMessageContaining(QStringLiteral("Import stopped."));
    // Started as a keyboard shortcut would, without a press: the presses
    // that follow count however soon they come (fast load is quick).
    emit window.importButton()->clicked();
    presser.stop();

    EXPECT_TRUE(captionDuringRun.startsWith(QStringLiteral("Stop import"))) << captionDuringRun.toStdString();
    EXPECT_FALSE(choicesOpenDuringRun);
    EXPECT_TRUE(window.controls().separatorEdit->isEnabled());
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    const QRegularExpressionMatch summary =
        QRegularExpression(QStringLiteral("^Import stopped\\.\r\n\r\nFiles loaded completely: 0 of 2\\.\r\n"
                                          "Rows inserted: (\\d+)\\.\r\nStatements that failed: 0\\.\r\n"
                                          "Lines not loaded were written to (.+)\\.$"))
            .match(dialogs_.shown().front().text);
    ASSERT_TRUE(summary.hasMatch()) << dialogs_.shown().front().text.toStdString();
    const int inserted = summary.captured(1).toInt();
    EXPECT_GT(inserted, 0);
    EXPECT_LT(inserted, kLongFileRows);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable1")), inserted);
    QByteArray notLoaded = "A,B\n";
    for (int i = inserted; i < kLongFileRows; ++i)
        notLoaded += QByteArray::number(i) + ",x\n";
    QFile rejects(QDir(summary.captured(2)).filePath(QStringLiteral("long.txt")));
    ASSERT_TRUE(rejects.open(QIODevice::ReadOnly)) << rejects.fileName().toStdString();
    EXPECT_EQ(rejects.readAll(), notLoaded);
    EXPECT_EQ(rowsSoFar(QStringLiteral("NewTable2")), 0);
    EXPECT_FALSE(items(window.tableListWidget()).contains(QStringLiteral("NewTable2")));
    EXPECT_EQ(window.importButton()->text(), QStringLiteral("Import to IBM DB2"));
    EXPECT_FALSE(window.busyIndicator().isBusy());
}

// Closing the window mid-run stops the run as the button does and ends the
// program: the event loop returns, no closing message or further statement
// follows, and every line not in the table is in the rejects.
TEST_P(ImportWindowStopDb, ClosingTheWindowMidRunEndsTheProgramAndLosesNoLine)
{
    ImportWindow& window = start();
    window.controls().fastLoadCheck->setChecked(GetParam());
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
    const QDir runs(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                    + QStringLiteral("/rejects"));
    const QString newest = runs.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time).value(0);
    const QByteArray rejected = ReadFileBytes(runs.filePath(newest + QStringLiteral("/long.txt")));
    EXPECT_EQ(inserted + rejected.count('\n') - 1, kLongFileRows) << newest.toStdString();
}

// Closing the window while a statement does not return (SQLite: a trigger
// that counts a billion rows; MariaDB: a key another session holds). The
// stop cancels it after three seconds where the driver allows; where not,
// ten seconds later the program writes the statement's lines to the rejects
// as in doubt and ends. Either way the table and the rejects hold every line.
TEST_P(ImportWindowStopDb, ClosingDuringAStatementThatDoesNotReturnKeepsEveryLine)
{
    const bool server = CurrentBackend() == Backend::MariaDb;
    std::unique_ptr<HeldKey> held;
    if (server) {
        RunSql(db_.parameters(),
               QStringLiteral("CREATE TABLE \"Stock\"(\"A\" VARCHAR(10) PRIMARY KEY, \"B\" VARCHAR(10))"));
        held = std::make_unique<HeldKey>(db_.parameters(), std::chrono::seconds(120));
    } else {
        CreateStockWithSlowInserts(db_.parameters());
    }
    ImportWindow& window = start();
    window.controls().fastLoadCheck->setChecked(GetParam());
    window.controls().appendOption->click();
    window.tableListWidget()->setCurrentItem(
        window.tableListWidget()->findItems(QStringLiteral("Stock"), Qt::MatchExactly).value(0));
    window.fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
    bool endedWithoutTheStatement = false;
    BackgroundImport::SetProgramEnd([&] {
        endedWithoutTheStatement = true;
        if (held)
            held->release();  // lets the statement return, as a process that ended would not wait for
    });
    const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, &window, [&] { window.importButton()->click(); });
    QTimer::singleShot(1000, &window, [&] { window.close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(90000);
    QElapsedTimer run;
    run.start();
    const int exitCode = QCoreApplication::exec();
    guard.stop();
    QApplication::setQuitOnLastWindowClosed(quitOnLastWindow);
    BackgroundImport::SetProgramEnd({});

    EXPECT_EQ(exitCode, 0);
    EXPECT_LT(run.elapsed(), 60000);
    EXPECT_EQ(endedWithoutTheStatement, server);
    EXPECT_TRUE(dialogs_.shown().empty());
    const QDir runs(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                    + QStringLiteral("/rejects"));
    const QString newest = runs.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time).value(0);
    const QByteArray rejected = ReadFileBytes(runs.filePath(newest + QStringLiteral("/a.txt")));
    const QString log = QString::fromUtf8(ReadFileBytes(runs.filePath(newest + QStringLiteral("/a.txt.log"))));
    const int inDoubt = !server ? 0 : GetParam() ? 2 : 1;
    EXPECT_EQ(log.contains(QStringLiteral("in doubt: the statement was still running when the program ended")), server)
        << log.toStdString();
    EXPECT_EQ(rowsSoFar(QStringLiteral("Stock")) + rejected.count('\n') - 1 - inDoubt, 2) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Modes, ImportWindowStopDb, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Fast" : "RowByRow"; });

// A statement that waits two seconds for another session's lock: the window
// handles its events all along (a timer of its thread keeps firing), and the
// run ends as usual once the lock is gone.
TEST_F(ImportWindowDb, TheWindowAnswersWhileAStatementWaitsForALock)
{
    if (CurrentBackend() != Backend::MariaDb)
        GTEST_SKIP() << "only a server makes one session wait for another's lock";
    ImportWindow& window = appendToStockWithAKey();
    HeldKey held(db_.parameters(), std::chrono::seconds(2));
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    dialogs_.expectMessage(QStringLiteral("Done.")).then([&] {
        held.runEnded = true;
        ticker.stop();
    });
    sinceTick.start();
    ticker.start();
    window.importButton()->click();
    ticker.stop();

    EXPECT_FALSE(held.release()) << "the run never met the lock";
    // Far above a busy machine's hiccups, far below the lock's two seconds.
    EXPECT_LT(longestGap, 1000);
    ExpectRows(db_.parameters(), QStringLiteral("SELECT \"A\", \"B\" FROM \"Stock\""),
               {QStringLiteral("1\x1f") + "2", QStringLiteral("3\x1f") + "4"});
}

// An INSERT that would run for minutes (a trigger counts a billion rows): a
// stop waits three seconds for it, then cancels it. The cancel is the
// stop's own doing: no report, no failure, and both lines in the rejects as
// not sent.
TEST_F(ImportWindowDb, AStopCancelsAStatementThatDoesNotComeBack)
{
    if (CurrentBackend() != Backend::Sqlite)
        GTEST_SKIP() << kSqliteOnly << "MariaDB's driver does not pass a cancel on to the server";
    CreateStockWithSlowInserts(db_.parameters());
    ImportWindow& window = start();
    window.controls().appendOption->click();
    window.tableListWidget()->setCurrentItem(
        window.tableListWidget()->findItems(QStringLiteral("Stock"), Qt::MatchExactly).value(0));
    window.fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
    // Past the double-click interval, with the first INSERT under way.
    QTimer::singleShot(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 500, &window,
                       [&] { window.importButton()->click(); });
    dialogs_.expectMessageContaining(QStringLiteral("Import stopped.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                                                    "Rows inserted: 0.\r\nStatements that failed: 0.\r\n"
                                                    "Lines not loaded were written to "));
    QElapsedTimer run;
    run.start();
    window.importButton()->click();

    EXPECT_LT(run.elapsed(), 60000) << "the statement ran to its end: nothing cancelled it";
    EXPECT_TRUE(rows(QStringLiteral("SELECT \"A\" FROM \"Stock\"")).isEmpty());
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
    EXPECT_EQ(ImportController::ProgressCaption(1, 1, 1),
              QStringLiteral("Stop import: file 1 of 1, 1 row inserted"));
    EXPECT_EQ(ImportController::ResultCaption(1, true), QStringLiteral("Stopped: 1 row inserted"));
}
