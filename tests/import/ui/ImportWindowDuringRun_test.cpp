#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "db/ui/LoginWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

class ImportWindowDuringRunDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        StoreLogin(db_.parameters());
    }

    QString file(const QString& name, const QByteArray& text)
    {
        const QString path = QDir(db_.folder()).filePath(name);
        WriteFile(path, text);
        return path;
    }

    ScratchDatabase db_;
    ScriptedDialogs dialogs_;
};

QStringList Paths(const FileListView& list)
{
    QStringList paths;
    for (int row = 1; row <= list.count(); ++row)
        paths << list.path(row);
    return paths;
}

void Drop(FileListView& list, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &dropped);
}

}  // namespace

// While the run waits on a report of its first file, the user drags a row,
// drops a file, presses both add buttons and "< Back To Setup": the list and
// the windows stay as they are, and every file is imported once, in order.
TEST_F(ImportWindowDuringRunDb, FileListAndWindowStayAsTheyAre)
{
    ApplicationWindows windows(dialogs_);
    windows.start();
    ImportWindow* window = windows.importWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    FileListView& list = *window->fileList();
    // An empty header field: the one row has one value more than the table.
    const QStringList paths{file(QStringLiteral("a.txt"), "A,,C\n1,2,3\n"),
                            file(QStringLiteral("b.txt"), "A,B\n1,2\n"),
                            file(QStringLiteral("c.txt"), "A,B\n3,4\n")};
    for (const QString& path : paths)
        list.append(path);
    const QString extra = file(QStringLiteral("extra.txt"), "A,B\n5,6\n");

    dialogs_.expectErrorReport(Location::ImportRun, 226).then([&] {
        const QRect third = list.visualItemRect(list.topLevelItem(2));
        const QRect second = list.visualItemRect(list.topLevelItem(1));
        QTest::mousePress(list.viewport(), Qt::LeftButton, {}, third.center());
        QTest::mouseMove(list.viewport(), second.center());
        QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, second.center());
        Drop(list, extra);
        window->addFilesButton()->click();  // a file dialog here fails the test
        window->addFolderButton()->click();  // so does a folder dialog
        window->controls().backButton->click();
    });
    dialogs_.expectMessageContaining(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 2 of 3.\r\n"
                                                    "Rows inserted: 2.\r\nStatements that failed: 1.\r\n"
                                                    "Lines not loaded were written to "));
    window->importButton()->click();

    EXPECT_EQ(Paths(list), paths);
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"NewTable2\"")), QStringList{"1"});
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"NewTable3\"")), QStringList{"3"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(windows.loginWindow().isVisible());

    // Once the run is over the list takes drops again.
    Drop(list, extra);
    EXPECT_EQ(Paths(list), paths + QStringList{extra});
}
