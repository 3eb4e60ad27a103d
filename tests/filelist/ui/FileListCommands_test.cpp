#include "FileListViewHarness.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"
#include "base/EventPump.h"
#include "base/Failure.h"
#include "base/Settings.h"
#include "filelist/FileListCommands.h"
#include "filelist/ui/FileListCommands.h"

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>

namespace quorvane::testing {
namespace {

// Lets a test look at the window, or end the program, where the scan lets
// events through.
class WatchingEventPump final : public EventPump {
public:
    void processEvents() override
    {
        if (onPump)
            onPump();
    }
    std::function<void()> onPump;
};

class FileListCommandsTest : public FileListViewTest {
protected:
    void SetUp() override
    {
        FileListViewTest::SetUp();
        ClearSettings();
        ASSERT_TRUE(scratch.isValid());
    }

    // Makes an empty file under the scratch folder; returns its full path.
    QString file(const QString& relative)
    {
        const QString path = scratch.filePath(relative);
        WriteFile(path, "a,b\r\n");
        return path;
    }
    QString folder(const QString& relative) const { return scratch.filePath(relative); }

    bool dropPaths(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

    QTemporaryDir scratch;
    ScriptedDialogs dialogs;
    SettingsStore settings;
    WatchingEventPump events;
    QPushButton addTextFiles;
    QPushButton addAllFilesInFolder;
    FileListCommands* commands = new FileListCommands(&addTextFiles, &addAllFilesInFolder, &view,
                                                      dialogs, settings, busy, events);
};

TEST_F(FileListCommandsTest, AddTextFilesAppendsTheOneChosenFileAsGiven)
{
    fill(1);
    const QString chosen = file(QStringLiteral("in/one file.csv"));
    dialogs.expectOpenFiles({chosen});
    addTextFiles.click();
    EXPECT_EQ(texts(), QStringList({"/data/file1.txt", chosen}));
}

TEST_F(FileListCommandsTest, AddTextFilesAppendsSeveralInTheDialogsOrder)
{
    const QStringList chosen = {file(QStringLiteral("in/c.txt")), file(QStringLiteral("in/a.txt")),
                                file(QStringLiteral("in/b.txt"))};
    dialogs.expectOpenFiles(chosen);
    addTextFiles.click();
    EXPECT_EQ(texts(), chosen);
}

TEST_F(FileListCommandsTest, AddAllFilesInFolderAppendsMatchingFilesLevelByLevelWhileBusy)
{
    const QString top = file(QStringLiteral("tree/z.txt"));
    file(QStringLiteral("tree/skip.csv"));
    const QString deep = file(QStringLiteral("tree/a/inner.TXT"));
    int busyPumps = 0;
    int idlePumps = 0;
    events.onPump = [&] { ++(busy.isBusy() ? busyPumps : idlePumps); };
    dialogs.expectInput(kExtensionPrompt, QStringLiteral("txt")).expectFolder(folder(QStringLiteral("tree")));

    addAllFilesInFolder.click();

    EXPECT_EQ(texts(), QStringList({top, deep}));
    EXPECT_GT(busyPumps, 0);
    EXPECT_EQ(idlePumps, 0);
    EXPECT_FALSE(busy.isBusy());
    EXPECT_EQ(settings.GetSetting(SettingsKey::LastFolder), folder(QStringLiteral("tree")));
}

TEST_F(FileListCommandsTest, DroppedFolderAppendsItsWholeTreeAfterADroppedFile)
{
    const QString loose = file(QStringLiteral("loose/~kept as dropped.txt"));
    const QString own = file(QStringLiteral("drop/b.log"));
    const QString deeper = file(QStringLiteral("drop/sub/a.csv"));
    file(QStringLiteral("drop/~skipped.txt"));
    clickRow(1);  // a click on a row must not stop drops

    EXPECT_TRUE(dropPaths({loose, folder(QStringLiteral("drop"))}));

    EXPECT_EQ(texts(), QStringList({loose, own, deeper}));
    EXPECT_FALSE(busy.isBusy());
}

TEST_F(FileListCommandsTest, EndingTheProgramDuringAFolderScanStopsQuietly)
{
    file(QStringLiteral("tree/a.txt"));
    int pumps = 0;
    events.onPump = [&] {
        ++pumps;
        throw ProgramEnding{};
    };
    dialogs.expectInput(kExtensionPrompt, QStringLiteral("txt")).expectFolder(folder(QStringLiteral("tree")));
    EXPECT_NO_THROW(addAllFilesInFolder.click());
    EXPECT_EQ(pumps, 1);
}

TEST_F(FileListCommandsTest, EndingTheProgramDuringADroppedFolderScanStopsQuietly)
{
    file(QStringLiteral("drop/a.txt"));
    int pumps = 0;
    events.onPump = [&] {
        ++pumps;
        throw ProgramEnding{};
    };
    EXPECT_NO_THROW(dropPaths({folder(QStringLiteral("drop"))}));
    EXPECT_EQ(pumps, 1);
}

}  // namespace
}  // namespace quorvane::testing
