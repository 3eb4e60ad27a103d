// The preview: a file as the run would read and send it, following the
// import window's choices, and the whole-file check on its own thread.
#include "app/ApplicationWindows.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"
#include "import/ui/PreviewWindow.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace quorvane {
namespace {

using testing::ScratchDatabase;
using testing::ScriptedDialogs;

int ThreadsOfThisProcess() { return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

class PreviewWindowDb : public ::testing::Test {
protected:
    PreviewWindowDb()
    {
        testing::ClearSettings();
        testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PARTS (ITEM LONG VARCHAR, SIZE LONG VARCHAR, "
                                                        "NOTE LONG VARCHAR)"));
        testing::StoreLogin(db.parameters());
        windows.start();
    }
    ~PreviewWindowDb() override { testing::ClearSettings(); }

    const ImportWindowControls& c() { return windows.importWindow()->controls(); }

    // Opens the preview of a file of these bytes, with choices made first.
    PreviewWindow* open(const QByteArray& bytes, const std::function<void(const ImportWindowControls&)>& choose = {})
    {
        const QString path = folder.filePath(QStringLiteral("file%1.csv").arg(++files));
        testing::WriteFile(path, bytes);
        FileListView* list = windows.importWindow()->fileList();
        list->append(path);
        list->setCurrentItem(list->topLevelItem(list->count() - 1));
        if (choose)
            choose(c());
        c().previewButton->click();
        return windows.importWindow()->preview();
    }

    static bool CheckEnded(PreviewWindow* preview)
    {
        return QTest::qWaitFor([&] { return !preview->checkRunning(); }, 20000);
    }

    static QString Hints(PreviewWindow* preview) { return preview->checkText()->text(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
    QTemporaryDir folder;
    int files = 0;
};

struct Case {
    const char* name;
    QByteArray bytes;
    std::function<void(const ImportWindowControls&)> choose;
    QStringList columnNames;
    // Marked names: the column and how.
    std::vector<std::pair<int, PreviewModel::NameMark>> marks;
    // The first row's cells, NULL as the model shows it.
    QStringList firstRow;
    QString checkShows;  // a line of the whole-file check
};

TEST_F(PreviewWindowDb, ShowsTheFileAsTheRunWouldSendIt)
{
    const auto separator = [](const char* typed) {
        return [typed](const ImportWindowControls& c) { c.separatorEdit->setText(QString::fromUtf8(typed)); };
    };
    const Case cases[] = {
        {"comma file read with tab", "a,b\n1,2\n", separator("\\t"), {"ab"}, {}, {"1,2"},
         "No \"\\t\" in line 2: is the separator right?"},
        {"append style drops quotes", "Item,Size,Note\npipe,12\" pipe,\n",
         [](const ImportWindowControls& c) {
             c.separatorEdit->setText(QStringLiteral(","));
             c.appendOption->click();
             c.tableList->setCurrentItem(c.tableList->findItems(QStringLiteral("PARTS"), Qt::MatchFixedString).value(0));
         },
         {"ITEM", "SIZE", "NOTE"}, {}, {"pipe", "12 pipe", "NULL"}, "every record has the header's 3 fields"},
        {"names the CREATE refuses", "Pr\xc3\xa9nom,\xe5\x90\x8d\xe5\x89\x8d,Amount (\xe2\x82\xac),Amount,\n1,2,3,4,5\n",
         [](const ImportWindowControls& c) { c.createTableOption->click(); },
         {"Prnom", "", "Amount", "Amount", ""},
         {{1, PreviewModel::NameMark::Empty}, {2, PreviewModel::NameMark::Duplicate},
          {3, PreviewModel::NameMark::Duplicate}, {4, PreviewModel::NameMark::NoColumn}},
         {"1", "2", "3", "4", "5"}, "every record has the header's 5 fields"},
        {"UTF-16 without a mark under Automatic", QByteArray("a\0,\0b\0\n\0" "1\0,\0" "2\0\n\0", 16), {}, {}, {}, {},
         "NUL characters in line 1, 2, 3: is the encoding right?"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        PreviewWindow* preview = open(row.bytes, row.choose);
        ASSERT_NE(preview, nullptr);
        ASSERT_TRUE(CheckEnded(preview));
        PreviewModel& model = preview->model();
        if (!row.columnNames.isEmpty()) {
            ASSERT_EQ(model.columnCount(), row.columnNames.size());
            for (int i = 0; i < model.columnCount(); ++i)
                EXPECT_EQ(model.columnName(i), row.columnNames[i]) << i;
        }
        for (int i = 0; i < model.columnCount(); ++i) {
            const auto marked = std::find_if(row.marks.begin(), row.marks.end(), [&](const auto& m) { return m.first == i; });
            EXPECT_EQ(model.nameMark(i), marked == row.marks.end() ? PreviewModel::NameMark::None : marked->second) << i;
        }
        for (int i = 0; i < row.firstRow.size(); ++i)
            EXPECT_EQ(model.data(model.index(0, i)).toString(), row.firstRow[i]) << i;
        if (!row.firstRow.isEmpty())
            EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("2"));  // the file's line
        EXPECT_TRUE(Hints(preview).contains(row.checkShows.toHtmlEscaped())) << Hints(preview).toStdString();
        preview->close();
    }
}

TEST_F(PreviewWindowDb, FollowsTheChoicesWithoutReopening)
{
    PreviewWindow* preview = open("a,b\n1,2\n", [](const ImportWindowControls& c) {
        c.separatorEdit->setText(QStringLiteral("\\t"));
    });
    ASSERT_TRUE(CheckEnded(preview));
    ASSERT_EQ(preview->model().columnCount(), 1);
    c().separatorEdit->setText(QStringLiteral(","));
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->model().columnCount() == 2; }, 2000));
    EXPECT_EQ(windows.importWindow()->preview(), preview);
    EXPECT_EQ(preview->model().columnName(1), QStringLiteral("b"));
    ASSERT_TRUE(CheckEnded(preview));
    EXPECT_FALSE(Hints(preview).contains(QStringLiteral("separator")));
}

TEST_F(PreviewWindowDb, TheCheckFindsTheFirstDifferingLineOfTheWholeFile)
{
    QByteArray bytes = "a,b\n";
    for (int i = 0; i < 150000 - 1; ++i)
        bytes += "1,2\n";
    bytes += "1,2,3\n1,2\n";
    PreviewWindow* preview = open(bytes);
    ASSERT_TRUE(CheckEnded(preview));
    ASSERT_TRUE(preview->report().difference);
    EXPECT_EQ(preview->report().difference->line, 150001);
    EXPECT_EQ(preview->report().records, 150001);
    EXPECT_TRUE(Hints(preview).contains(QStringLiteral("Line 150,001 has 3 fields where the header has 2.")));
    // Only the first records are read for the table.
    EXPECT_LT(preview->model().rowCount(), PreviewModel::kRecords + 1);
}

TEST_F(PreviewWindowDb, ClosingStopsTheCheckAndLeavesNoThread)
{
    // A first preview, so that whatever Qt starts once is running already.
    PreviewWindow* first = open("a,b\n1,2\n");
    ASSERT_TRUE(CheckEnded(first));
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const int threadsBefore = ThreadsOfThisProcess();
    QByteArray bytes = "a,b\n";
    bytes += QByteArray("1,2\n").repeated(3000000);
    QPointer<PreviewWindow> preview = open(bytes);
    ASSERT_TRUE(preview);
    ASSERT_TRUE(preview->checkRunning());
    // The check ends at a stop asked for, whatever is left of the file.
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(CheckFile(preview->path(), {}, stop.get_token()).finished);
    QTest::keyClick(preview, Qt::Key_Escape);  // Esc closes
    EXPECT_FALSE(preview->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
}

}  // namespace
}  // namespace quorvane
