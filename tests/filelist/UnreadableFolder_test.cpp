#include "filelist/FileListCommands.h"
#include "filelist/FileRule.h"
#include "filelist/FolderWalk.h"

#include "base/Dialogs.h"
#include "base/EventPump.h"
#include "filelist/FileList.h"

#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvane;
using quorvane::testing::WriteFile;

namespace {

// Root reads every folder whatever its mode, so when the tests run as root
// the scan runs in a forked child that has become "nobody" and sends back
// what it found as text.
std::optional<QByteArray> RunAsUnprivilegedUser(const std::function<QByteArray()>& work)
{
    if (::geteuid() != 0)
        return work();
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        ::close(channel[0]);
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0
            || ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(2);
        const QByteArray out = work();
        qsizetype written = 0;
        while (written < out.size()) {
            const ssize_t n = ::write(channel[1], out.constData() + written, out.size() - written);
            if (n <= 0)
                ::_exit(3);
            written += n;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

// Counts what would have been shown; the child can't fail a test itself.
class CountingDialogs : public Dialogs {
public:
    bool messageBox(const MessageBoxSpec&) override { return ++shown, false; }
    QString inputBox(const QString&, const QString&, const QString&) override { return ++shown, QString(); }
    QStringList openFiles(const OpenFilesSpec&) override { return ++shown, QStringList(); }
    QString browseForFolder(const QString&, const QString&) override { return ++shown, QString(); }
    void showTextWindow(const QString&) override { ++shown; }
    int shown = 0;
};

class UnreadableFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"top.txt", "ro.txt", ".ro", "a/a.txt", "b/b.txt", "b/inner/i.txt",
                                 "c/c.txt", "d/d.txt", "e/e.txt", "f/f.txt"})
            WriteFile(root_ + "/" + name, "x");
        chmod("", 0755);
        for (const char* folder : {"a", "b/inner", "c", "d", "e"})
            chmod(folder, 0755);
        chmod("ro.txt", 0444);
        chmod(".ro", 0444);
        chmod("b", 0700);  // owned by root: nobody may neither read nor enter it
        chmod("d", 0311);  // nobody may enter it but not list it
        chmod("f", 0744);  // nobody may list it but not enter it, so not open its files
    }
    void TearDown() override
    {
        chmod("b", 0755);
        chmod("d", 0755);
        chmod("f", 0755);
    }
    void chmod(const char* relative, mode_t mode)
    {
        const QString path = relative[0] ? root_ + "/" + relative : root_;
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << relative;
    }
    QString relative(const QString& path) const { return path.mid(root_.size() + 1); }

    QTemporaryDir dir_;
    QString root_ = dir_.path();
};

TEST_F(UnreadableFolder, IsLeftOutWhileItsSiblingsAreScanned)
{
    const auto out = RunAsUnprivilegedUser([&] {
        CountingDialogs dialogs;
        NoEventPump pump;
        FolderList folders{root_ + "/"};
        ExtendWithSubfolders(folders, true, dialogs, pump);
        PlainFileList files;
        AddDroppedPaths({root_}, files, dialogs, pump);
        PlainFileList unreadableDropped;
        AddDroppedPaths({root_ + "/b"}, unreadableDropped, dialogs, pump);

        QStringList lines;
        for (const QString& folder : folders)
            lines << "folder " + relative(folder);
        for (const QString& file : files.paths())
            lines << "file " + relative(file);
        lines << QStringLiteral("unreadable dropped %1").arg(unreadableDropped.count());
        lines << QStringLiteral("dialogs %1").arg(dialogs.shown);
        lines << QStringLiteral("word ro.txt %1").arg(AttributeWord(root_ + "/ro.txt"));
        lines << QStringLiteral("word .ro %1").arg(AttributeWord(root_ + "/.ro"));
        return lines.join('\n').toUtf8();
    });
    ASSERT_TRUE(out.has_value()) << "the scan as an unprivileged user did not run";

    const QStringList expected{"folder ", "folder a/", "folder c/", "folder e/", "folder f/",
                           // a read-only dot-file has the word 35, not 34, and is added
                           "file .ro", "file ro.txt", "file top.txt", "file a/a.txt", "file c/c.txt",
                           "file e/e.txt", "unreadable dropped 0", "dialogs 0", "word ro.txt 33",
                           "word .ro 35"};
    EXPECT_EQ(out->toStdString(), expected.join('\n').toStdString());
}

}  // namespace
