// The import window as a first-time user meets it: the real windows on
// saved fields that connect, driven through their controls.
#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

class FirstUseDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        StoreLogin(db_.parameters());
        windows_.start();
        ASSERT_NE(windows_.importWindow(), nullptr);
    }

    ImportWindow& window() { return *windows_.importWindow(); }
    const ImportWindowControls& c() { return window().controls(); }
    QString file(const QString& name, const QByteArray& text)
    {
        const QString path = QDir(db_.folder()).filePath(name);
        WriteFile(path, text);
        return path;
    }
    QStringList rows(const QString& sql) { return QueryRows(db_.parameters(), sql); }
    void typeSeparator(const QString& keys)
    {
        c().separatorEdit->clear();
        QTest::keyClicks(c().separatorEdit, keys);
    }

    ScratchDatabase db_;
    ScriptedDialogs dialogs_;
    ApplicationWindows windows_{dialogs_};
};

TEST_F(FirstUseDb, TabSeparatorTypedAsBackslashT)
{
    const QString sample = QStringLiteral(QUORVANE_SAMPLES_DIR "/products-tab.txt");
    ASSERT_TRUE(QFileInfo::exists(sample)) << sample.toStdString();
    window().fileList()->append(sample);
    typeSeparator(QStringLiteral("\\t"));
    dialogs_.expectMessage(QStringLiteral("Done."));
    QTest::mouseClick(c().importButton, Qt::LeftButton);
    const QStringList loaded = {QStringLiteral("Widget\x1f" "2.50\x1fyes"), QStringLiteral("Gadget\x1f" "10.00\x1fno"),
                                QStringLiteral("Sprocket\x1f" "0.75\x1fyes")};
    EXPECT_EQ(rows(QStringLiteral("SELECT \"Product\", \"Price\", \"Instock\" FROM \"NewTable1\"")), loaded);

    // A pasted tab character still works.
    c().separatorEdit->setText(QStringLiteral("\t"));
    c().tableNameEdit->setText(QStringLiteral("Pasted"));
    dialogs_.expectMessage(QStringLiteral("Done."));
    QTest::mouseClick(c().importButton, Qt::LeftButton);
    EXPECT_EQ(rows(QStringLiteral("SELECT \"Product\", \"Price\", \"Instock\" FROM \"Pasted\"")), loaded);
}

TEST_F(FirstUseDb, AnEmptySeparatorIsRefusedAndSkippedOneFieldLinesAreTold)
{
    window().fileList()->append(file(QStringLiteral("a.txt"), "A;B\n1;2\n\n3;4\n"));
    typeSeparator(QString());
    dialogs_.expectMessage(QStringLiteral("Please enter a separator."));
    QTest::mouseClick(c().importButton, Qt::LeftButton);
    EXPECT_FALSE(window().tableList().items().contains(QStringLiteral("NewTable1")));

    // The wrong separator: every line is one field, no row goes in, and the
    // lines are kept with the others not loaded.
    typeSeparator(QStringLiteral(","));
    dialogs_.expectMessageContaining(QStringLiteral("Done.\r\nLines skipped because they hold a single field: 2.\r\n"
                                                    "Lines not loaded were written to "));
    QTest::mouseClick(c().importButton, Qt::LeftButton);
}

TEST_F(FirstUseDb, TheSecondPressOfADoubleClickDoesNotStopTheRunALaterPressDoes)
{
    RunSql(db_.parameters(),
           QStringLiteral("CREATE TABLE \"Stock\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR CHECK (\"B\" <> 'bad'))"));
    windows_.reloadImportWindow();
    c().appendOption->click();
    c().tableList->setCurrentRow(window().tableList().items().indexOf(QStringLiteral("Stock")));
    window().fileList()->append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,bad\n5,6\n"));

    // The second click lands while the run handles its first events.
    QTimer::singleShot(0, c().importButton, [this] { c().importButton->click(); });
    QString captionAfterDoubleClick;
    dialogs_.expectErrorReport(Location::ImportRun, 338).then([&] {
        captionAfterDoubleClick = c().importButton->text();
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        c().importButton->click();
    });
    dialogs_.expectMessageContaining(QStringLiteral("Import stopped."));
    c().importButton->click();

    EXPECT_TRUE(captionAfterDoubleClick.startsWith(QStringLiteral("Stop import: file 1 of 1")))
        << captionAfterDoubleClick.toStdString();
    // The later press stopped the run before the last row.
    EXPECT_EQ(rows(QStringLiteral("SELECT \"A\" FROM \"Stock\"")), QStringList{"1"});
}

TEST_F(FirstUseDb, TheCaptionChangesWithTheFirstFileAndEndsOnTheFinalCounts)
{
    QString caption;
    const auto note = [&] { caption = c().importButton->text(); };
    dialogs_.expectMessage(QStringLiteral("No files added.")).then(note);
    QTest::mouseClick(c().importButton, Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("Import to IBM DB2"));

    // While the closing message is up, the caption reads as the result.
    const struct {
        QByteArray text;
        QString caption;
    } cases[] = {
        {"A,B\n1,2\n3,4\n5,6\n", QStringLiteral("Finished: 3 rows inserted")},
        {"A,B\n1,2\n", QStringLiteral("Finished: 1 row inserted")},
    };
    int run = 0;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.caption.toStdString());
        c().fileList->clear();
        c().tableNameEdit->setText(QStringLiteral("Run%1_[counter]").arg(++run));
        window().fileList()->append(file(QStringLiteral("a.txt"), row.text));
        dialogs_.expectMessage(QStringLiteral("Done.")).then(note);
        QTest::mouseClick(c().importButton, Qt::LeftButton);
        EXPECT_EQ(caption, row.caption);
        EXPECT_EQ(c().importButton->text(), QStringLiteral("Import to IBM DB2"));
    }
}

TEST_F(FirstUseDb, BackToSetupShowsTheLoginWindowCentred)
{
    LoginWindow& login = windows_.loginWindow();
    ASSERT_FALSE(login.isVisible());
    QTest::mouseClick(c().backButton, Qt::LeftButton);
    ASSERT_TRUE(login.isVisible());
    // Up to the frame, which is added only once the window shows.
    const QPoint off = login.frameGeometry().center() - login.screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 8) << off.x() << ", " << off.y();
}

}  // namespace
