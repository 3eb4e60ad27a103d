// A folder given to the command-line program whose tree holds a folder the
// user may not open, a link that loops back, a link to itself, names with
// control characters, a pipe and a link to a device, both named like text
// files. The program runs as "nobody" (root opens every folder); what it
// loaded is read back from the database.

#include "../import/FaultsHelpers.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

struct ScanCase {
    const char* name;
    QStringList extraOptions;
};

class ScanFaultsDb : public ::testing::TestWithParam<ScanCase> {
protected:
    ScratchDatabase db_;
};

// Every table's first column, sorted: one value per file that was loaded.
QStringList LoadedValues(const ConnectionParameters& parameters)
{
    QStringList values;
    for (const QString& table : TableNames(parameters))
        values << QueryRows(parameters, QStringLiteral("SELECT \"A\" FROM \"%1\"").arg(table));
    std::sort(values.begin(), values.end());
    return values;
}

}  // namespace

TEST_P(ScanFaultsDb, DeniedFolderLoopsSpecialFilesAndControlCharactersNeitherStopNorHang)
{
    const QString tree = QDir(db_.folder()).filePath(QStringLiteral("tree"));
    WriteFile(tree + QStringLiteral("/top.txt"), "A,B\nfrom-top,1\n");
    WriteFile(tree + QStringLiteral("/locked/hidden-from-nobody.txt"), "A,B\nfrom-locked,1\n");
    WriteFile(tree + QStringLiteral("/sub/deep.txt"), "A,B\nfrom-sub,1\n");
    WriteFile(tree + QStringLiteral("/bad\x01" "folder/inside.txt"), "A,B\nfrom-bad-folder,1\n");
    WriteFile(tree + QStringLiteral("/tab\tname.txt"), "A,B\nfrom-tab-name,1\n");
    ASSERT_TRUE(QFile::link(tree, tree + QStringLiteral("/sub/back-to-top")));
    ASSERT_TRUE(QFile::link(tree + QStringLiteral("/self"), tree + QStringLiteral("/self")));
    // Reading the pipe would wait for a writer for ever (RunCliProgram gives up).
    const QByteArray pipe = QFile::encodeName(tree + QStringLiteral("/pipe.txt"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0666), 0);
    ASSERT_EQ(::chmod(pipe.constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), tree + QStringLiteral("/device.txt")));

    QTemporaryDir config;
    OpenToEveryone(db_.folder());
    OpenToEveryone(config.path());
    for (const QString& folder : {tree, tree + QStringLiteral("/sub"), tree + QStringLiteral("/bad\x01" "folder")})
        OpenToEveryone(folder);
    ASSERT_TRUE(QFile::setPermissions(tree + QStringLiteral("/locked"), {}));

    const CliRunResult r = RunCliProgram(ConnectOptions(db_.parameters()) << GetParam().extraOptions
                                                                          << "--create" << "T[counter]" << tree,
                                         {config.path(), db_.parameters().password, db_.folder(), true});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));
    // The denied folder, the one with a control character, the pipe and the
    // device are passed over; the looping link is walked once; a file name
    // may hold a tab.
    EXPECT_EQ(LoadedValues(db_.parameters()),
              (QStringList{"from-sub", "from-tab-name", "from-top"}));
}

INSTANTIATE_TEST_SUITE_P(
    FolderInputs, ScanFaultsDb,
    ::testing::Values(ScanCase{"ScanForExtension", {"--extension", "txt"}}, ScanCase{"WholeTree", {}}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

// A name that is not valid UTF-8 cannot be spelled as text: such a file is
// either loaded or reported, never passed over without a word.
// A name that is not UTF-8 cannot be spelt in the system's code page, so the
// scan passes it over, as it does on Windows with names outside the code
// page; the rest of the folder still loads.
TEST(ScanFaultsNames, FileNamedWithInvalidUtf8IsPassedOverAndTheRestLoads)
{
    ScratchDatabase db;
    const QByteArray tree = QFile::encodeName(QDir(db.folder()).filePath(QStringLiteral("tree")));
    WriteFile(QFile::decodeName(tree + "/plain.txt"), "A,B\nfrom-plain,1\n");
    const QByteArray name = tree + "/latin1-\xe9t\xe9.txt";
    // Qt cannot spell the name to remove it with the scratch folder.
    struct Unlink {
        QByteArray path;
        ~Unlink() { ::unlink(path.constData()); }
    } unlink{name};
    {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const char text[] = "A,B\nfrom-latin1-name,1\n";
        ASSERT_EQ(::write(fd, text, sizeof text - 1), static_cast<ssize_t>(sizeof text - 1));
        ::close(fd);
    }
    QTemporaryDir config;
    const CliRunResult r = RunCliProgram(ConnectOptions(db.parameters())
                                             << "--extension" << "txt" << QFile::decodeName(tree),
                                         {config.path(), db.parameters().password, db.folder()});
    const QStringList loaded = LoadedValues(db.parameters());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(loaded.contains(QStringLiteral("from-plain")));
    EXPECT_FALSE(loaded.contains(QStringLiteral("from-latin1-name")));
}
