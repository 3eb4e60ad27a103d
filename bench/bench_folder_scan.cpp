// Times the scan behind "Add All File(s) In Folder" against
// `find TREE -type f -iname '*.txt'` over the same generated tree, in one run.
//
//   bench_folder_scan [folders, default 10000] [files per folder, default 10]
//
// The tree is made below /tmp and deleted at the end.
#include "base/BusyIndicator.h"
#include "base/Dialogs.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "filelist/FileList.h"
#include "filelist/FileListCommands.h"
#include "filelist/FolderWalk.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvane;

namespace {

// Answers the two questions of the command: the extension and the folder.
class AnsweringDialogs : public Dialogs {
public:
    explicit AnsweringDialogs(QString folder) : folder_(std::move(folder)) {}
    bool messageBox(const MessageBoxSpec& message) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message.text));
        return false;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QStringLiteral("txt"); }
    QStringList openFiles(const OpenFilesSpec&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return folder_; }
    void showTextWindow(const QString&) override {}

private:
    QString folder_;
};

// 100 top folders, each with its share of the rest, so the tree has the
// breadth and the two levels of a typical export folder.
struct Tree {
    long folders = 0;
    long files = 0;
    long matching = 0;
};

Tree MakeTree(const std::string& root, long folderCount, int filesPerFolder)
{
    static const char* const names[] = {"r0.txt", "r1.txt", "R2.TXT", "r3.Txt", "r4.txt", "r5.txt",
                                        "r6.txt", "r7.csv", "r8.dat", "~r9.txt"};
    Tree tree;
    const long top = std::min<long>(100, folderCount);
    const long perTop = top ? (folderCount - top) / top : 0;
    auto addFolder = [&](const std::string& path) {
        ::mkdir(path.c_str(), 0755);
        ++tree.folders;
        for (int i = 0; i < filesPerFolder; ++i) {
            const std::string name = i < 10 ? names[i] : "x" + std::to_string(i) + ".txt";
            ::close(::open((path + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644));
            ++tree.files;
            if (name.size() > 4 && (name.compare(name.size() - 4, 4, ".txt") == 0
                                    || name.compare(name.size() - 4, 4, ".TXT") == 0
                                    || name.compare(name.size() - 4, 4, ".Txt") == 0))
                ++tree.matching;
        }
    };
    for (long t = 0; t < top; ++t) {
        const std::string topPath = root + "/t" + std::to_string(t);
        addFolder(topPath);
        for (long s = 0; s < perTop; ++s)
            addFolder(topPath + "/s" + std::to_string(s));
    }
    return tree;
}

double SecondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString CpuModel()
{
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly))
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown CPU");
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toUtf8());
    QCoreApplication app(argc, argv);
    const long folderCount = argc > 1 ? std::atol(argv[1]) : 10000;
    const int filesPerFolder = argc > 2 ? std::atoi(argv[2]) : 10;
    const int rounds = 5;

    char pattern[] = "/tmp/quorvane-scan-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const QString rootText = QString::fromStdString(root);

    Tree tree;
    const double made = SecondsOf([&] { tree = MakeTree(root, folderCount, filesPerFolder); });

    std::printf("bench_folder_scan  %s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s, %s, %u cores, %s\n", qPrintable(QSysInfo::prettyProductName()),
                qPrintable(CpuModel()), std::thread::hardware_concurrency(),
                qPrintable(QSysInfo::currentCpuArchitecture()));
    std::printf("tree: %s, %ld folders, %ld files, %ld matching *.txt, made in %.1f s\n", root.c_str(),
                tree.folders, tree.files, tree.matching, made);

    // The scan logic as "Add All File(s) In Folder" runs it once the folder
    // is chosen; the prompts and the settings writes before it are timed
    // once, apart, as the whole command.
    int scanRows = 0;
    auto runScan = [&] {
        AnsweringDialogs dialogs(rootText);
        PlainFileList list;
        NoEventPump pump;
        FolderList folders{rootText + QLatin1Char('/')};
        FolderContents contents;
        ExtendWithSubfolders(folders, true, dialogs, pump, &contents);
        AppendFilesOfFolders(folders, QStringLiteral("*.txt"), list, pump, nullptr, &contents);
        scanRows = list.count();
    };
    int commandRows = 0;
    auto runCommand = [&] {
        AnsweringDialogs dialogs(rootText);
        SettingsStore settings;
        PlainFileList list;
        NoBusyIndicator busy;
        NoEventPump pump;
        AddAllFilesInFolder(dialogs, settings, list, busy, pump);
        commandRows = list.count();
    };
    int findExit = 0;
    auto runFind = [&] {
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("find"), {rootText, "-type", "f", "-iname", "*.txt"});
        find.waitForFinished(-1);
        findExit = find.exitCode();
    };

    // Both read a warm cache: one untimed round each first.
    runScan();
    runFind();
    std::vector<double> scanTimes, findTimes;
    for (int i = 0; i < rounds; ++i) {
        scanTimes.push_back(SecondsOf(runScan));
        findTimes.push_back(SecondsOf(runFind));
    }

    const double commandSeconds = SecondsOf(runCommand);

    QProcess count;
    count.start(QStringLiteral("find"), {rootText, "-type", "f", "-iname", "*.txt"});
    count.waitForFinished(-1);
    const long findRows = count.readAllStandardOutput().count('\n');

    const double scanSeconds = Median(scanTimes);
    const double findSeconds = Median(findTimes);
    std::printf("scan (walk, listing *.txt, file rule, rows appended; no window): median of %d %.3f s, %d rows\n",
                rounds, scanSeconds, scanRows);
    std::printf("whole command with its prompts answered and settings written: once %.3f s, %d rows\n",
                commandSeconds, commandRows);
    std::printf("find -type f -iname '*.txt' (output to /dev/null, exit %d): median of %d %.3f s, %ld paths\n",
                findExit, rounds, findSeconds, findRows);
    const double ratio = scanSeconds / findSeconds;
    std::printf("ratio scan/find: %.2f, target <= 1.5: %s\n", ratio, ratio <= 1.5 ? "met" : "NOT met");
    std::printf("(find also lists the %ld files named ~, which the scan passes over)\n", findRows - scanRows);

    std::filesystem::remove_all(root);
    return ratio <= 1.5 ? 0 : 2;
}
