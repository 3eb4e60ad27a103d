// The preview of a large file: how long until its first records are there,
// and the memory the preview holds while the whole-file check reads the
// rest. The model and the check are the window's own (PreviewModel,
// CheckFile); only the widgets are left out.
//
//   bench_preview [size in GB, default 1.0] [folder, default /tmp]
//
// A file of that size is generated (eight comma-separated fields a line,
// some UTF-8, LF endings) and deleted at the end. The figures:
//   1. the time from opening the file to the first 100 rows (what the window
//      shows at once) and to 1,000 (all the preview ever reads), with the
//      file's pages dropped from the cache first where the system lets us;
//   2. the whole-file check's time, with the model holding its 1,000 rows;
//   3. the peak resident memory over both.
// Targets: the first 1,000 records within 300 ms; peak resident < 100 MB.

#include "import/PreviewModel.h"
#include "text/FileCheck.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace quorvane;

namespace {

constexpr double kTargetMegabytes = 100.0;
constexpr double kTargetMilliseconds = 300.0;

// "VmHWM" (peak) or "VmRSS" (now) from /proc/self/status, in MB.
double StatusMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0;
    return -1;
}

bool ResetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

qint64 GenerateFile(const QString& path, qint64 targetBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    file.write("Id,Name,City,Amount,Date,Note,Code,Flag\n");
    QByteArray block;
    qint64 line = 0;
    qint64 written = 0;
    while (written < targetBytes) {
        block.clear();
        for (int i = 0; i < 4096; ++i, ++line)
            block += QByteArray::number(line) + ",Zo\xc3\xab M\xc3\xbcller,K\xc3\xb6ln,"
                     + QByteArray::number(line % 100000) + ".25,2026-12-08,O'Neil said \"hi\",X"
                     + QByteArray::number(line % 977) + ",true\n";
        file.write(block);
        written += block.size();
    }
    return line;
}

void DropFromCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double gigabytes = argc > 1 ? std::atof(argv[1]) : 1.0;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp");
    const QString path = folder + QStringLiteral("/quorvane-preview-bench-%1.csv").arg(QCoreApplication::applicationPid());

    std::printf("bench_preview  %s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s, %u cores, %s\n", qPrintable(QSysInfo::prettyProductName()),
                std::thread::hardware_concurrency(), qPrintable(QSysInfo::currentCpuArchitecture()));
    QElapsedTimer clock;
    clock.start();
    const qint64 lines = GenerateFile(path, qint64(gigabytes * 1024 * 1024 * 1024));
    if (lines < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("file: %s, %lld bytes (%.2f GB), %lld lines, generated in %.1f s\n", qPrintable(path),
                QFile(path).size(), QFile(path).size() / 1073741824.0, lines + 1, clock.elapsed() / 1000.0);
    DropFromCache(path);
    const bool reset = ResetPeak();
    std::printf("resident before the preview: %.1f MB (peak reset: %s)\n", StatusMegabytes("VmRSS"),
                reset ? "yes" : "no");

    // As the window does: Automatic encoding, header-row columns, the
    // model read a batch at a time.
    PreviewSetup setup;
    setup.path = path;
    clock.restart();
    PreviewModel model;
    model.load(setup);
    model.fetchMore({});
    const double firstBatch = clock.nsecsElapsed() / 1e6;
    while (model.canFetchMore({}))
        model.fetchMore({});
    const double firstRecords = clock.nsecsElapsed() / 1e6;
    std::printf("first %d rows: %.1f ms; first %d rows: %.1f ms (%d columns)\n", PreviewModel::kBatch, firstBatch,
                model.rowCount(), firstRecords, model.columnCount());

    clock.restart();
    FileCheckChoices choices;
    FileCheckReport report;
    std::jthread check([&](std::stop_token stop) { report = CheckFile(path, choices, stop); });
    check.join();
    const double checkSeconds = clock.elapsed() / 1000.0;
    std::printf("whole-file check: %.1f s, %.0f MB/s, %lld records, encoding %s, problems: %zu\n", checkSeconds,
                QFile(path).size() / 1048576.0 / checkSeconds, report.records, qPrintable(report.encoding),
                report.problems().size());
    const double peak = StatusMegabytes("VmHWM");
    QFile::remove(path);
    std::printf("target: first 1,000 records < %.0f ms -> %.1f ms: %s\n", kTargetMilliseconds, firstRecords,
                firstRecords < kTargetMilliseconds ? "met" : "missed");
    std::printf("target: peak resident < %.0f MB -> %.1f MB: %s\n", kTargetMegabytes, peak,
                peak < kTargetMegabytes ? "met" : "missed");
    return firstRecords < kTargetMilliseconds && peak < kTargetMegabytes ? 0 : 2;
}
