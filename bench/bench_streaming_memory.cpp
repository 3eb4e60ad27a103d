// Streams a generated file of 1 GB or more through the two passes an import
// makes over each file (the field-count check, then the data records split
// and turned into row statements) and prints the time and the peak resident
// memory of each pass. Target: peak memory under 100 MB, whatever the size.
//
// Usage: bench_streaming_memory [size in GB, default 1.0] [folder, default /tmp] [--quoted]
// With --quoted the file's fields are enclosed in double quotes, holding
// separators, doubled quotes and line breaks, and are read as such.
// The generated file is deleted at the end.
#include "import/SqlTexts.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include "base/Failure.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <string>
#include <thread>

using namespace quorvane;

namespace {

constexpr double kTargetMegabytes = 100.0;
constexpr qint64 kLongLineBytes = 4 * 1024 * 1024;

// "VmHWM" (peak) or "VmRSS" (now) from /proc/self/status, in MB.
double StatusMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Linux resets the peak to the current size when "5" is written here, so each
// pass gets a peak of its own.
bool ResetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Writes lines of eight comma-separated fields (CR LF endings, some UTF-8,
// quotes and apostrophes) until the file reaches the size, plus one data line
// of 4 MB, so the longest line is known. Quoted, some fields are enclosed in
// double quotes and hold the separator, "" and a line break. Returns the
// number of records; lines counts the physical lines.
qint64 GenerateFile(const QString& path, qint64 targetBytes, bool quoted, qint64& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
    QByteArray block;
    block.reserve(8 * 1024 * 1024);
    block += "id,name,city,amount,e-mail,flag,code,comment\r\n";
    qint64 records = 1;
    lines = 1;
    qint64 written = 0;
    const auto flush = [&] {
        if (file.write(block) != block.size())
            throw Failure(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        written += block.size();
        block.clear();
    };
    for (qint64 id = 1; written + block.size() < targetBytes; ++id) {
        block += QByteArray::number(id);
        block += quoted ? ",\"O'Neil, Müller\",\"Zürich \"\"Altstadt\"\"\"," : ",O'Neil Müller,Zürich \"Altstadt\",";
        block += QByteArray::number(id % 100000) + '.' + QByteArray::number(id % 100);
        block += ",someone@example.ch,";
        block += (id % 3 == 0) ? (quoted ? "\"\"" : "") : "Y";
        block += ",\xe6\x9d\xb1\xe4\xba\xac-";
        block += QByteArray::number(id * 7919 % 1000003);
        if (quoted && id % 10 == 0) {
            block += ",\"two lines,\r\nwith a tab\there\"\r\n";
            ++lines;
        } else {
            block += ",plain text with spaces and a tab\there\r\n";
        }
        ++records;
        ++lines;
        if (id == 1000) {
            block += "long,,,,,,," + QByteArray(kLongLineBytes, 'x') + "\r\n";
            ++records;
            ++lines;
        }
        if (id % 50 == 0) {
            block += "\r\n";  // blank lines are skipped by both passes
            ++records;
            ++lines;
        }
        if (block.size() >= 4 * 1024 * 1024)
            flush();
    }
    flush();
    ++lines;  // the final line break leaves a last, empty line
    return records + 1;
}

struct PassResult {
    double seconds = 0;
    double peakMegabytes = 0;
    qint64 lines = 0;
    qint64 fields = 0;
    qint64 statementBytes = 0;
    bool agree = false;
};

PassResult RunCheckPass(const QString& path, const TextFormat& format, QString& encoding)
{
    PassResult result;
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    const FieldCountScan scan = FieldCountPass(path, format).run();
    encoding = scan.encoding;
    result.agree = scan.result == FieldCountResult::Agreed && scan.header.size() == 8;
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.peakMegabytes = StatusMegabytes("VmHWM");
    return result;
}

// What the run does with each data record, short of sending it.
PassResult RunDataPass(const QString& path, const TextFormat& format)
{
    PassResult result;
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    RecordReader reader(path, format);
    TextRecord record;
    reader.next(record);  // the header is never a row
    const QString table = QStringLiteral("NewTable1");
    while (reader.next(record)) {
        ++result.lines;
        if (record.fields.size() <= 1)
            continue;
        result.fields += record.fields.size();
        result.statementBytes += BuildRowStatement(table, record.fields, RowStyle::HeaderColumns,
                                                   record.quoted.empty() ? nullptr : &record.quoted)
                                     .size();
    }
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.peakMegabytes = StatusMegabytes("VmHWM");
    result.agree = true;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    bool quoted = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--quoted")
            quoted = true;
        else
            arguments << QString::fromLocal8Bit(argv[i]);
    }
    const double gigabytes = arguments.size() > 0 ? arguments[0].toDouble() : 1.0;
    const QString folder = arguments.size() > 1 ? arguments[1] : QStringLiteral("/tmp");
    const qint64 targetBytes = qint64(gigabytes * 1024 * 1024 * 1024);
    const QString path = QDir(folder).filePath(QStringLiteral("quorvane-bench-%1.txt").arg(getpid()));

    std::printf("bench_streaming_memory  %s\n",
                qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s, %u cores, %s\n", qPrintable(QSysInfo::prettyProductName()),
                std::thread::hardware_concurrency(), qPrintable(QSysInfo::currentCpuArchitecture()));
    int status = 0;
    try {
        QElapsedTimer timer;
        timer.start();
        qint64 lines = 0;
        const qint64 records = GenerateFile(path, targetBytes, quoted, lines);
        const qint64 size = QFile(path).size();
        std::printf("file: %s, %lld bytes (%.2f GB), %lld lines, %lld records, fields %s, longest line "
                    "%.1f MB, generated in %.1f s\n",
                    qPrintable(path), size, size / 1073741824.0, lines, records,
                    quoted ? "quoted (read with quoted fields on)" : "unquoted",
                    kLongLineBytes / 1048576.0, timer.nsecsElapsed() / 1e9);
        std::printf("resident before the passes: %.1f MB (peak reset per pass: %s)\n",
                    StatusMegabytes("VmRSS"), ResetPeak() ? "yes" : "no, peaks include earlier work");

        TextFormat format{QStringLiteral(","), QString(), quoted};
        QString encoding;
        const PassResult check = RunCheckPass(path, format, encoding);
        std::printf("pass 1, field-count check (Automatic settled on %s): %.1f s, %.0f MB/s, records agree: "
                    "%s, peak resident %.1f MB\n",
                    qPrintable(encoding), check.seconds, size / 1048576.0 / check.seconds,
                    check.agree ? "yes" : "NO", check.peakMegabytes);
        format.encoding = encoding;
        const PassResult data = RunDataPass(path, format);
        std::printf("pass 2, data records split and built as INSERTs: %.1f s, %.0f MB/s, %lld records, "
                    "%lld fields, %.2f GB of statements, peak resident %.1f MB\n",
                    data.seconds, size / 1048576.0 / data.seconds, data.lines, data.fields,
                    data.statementBytes * 2 / 1073741824.0, data.peakMegabytes);

        const double peak = std::max(check.peakMegabytes, data.peakMegabytes);
        const bool met = peak < kTargetMegabytes && check.agree && data.lines + 1 == records;
        std::printf("target: peak resident < %.0f MB -> %.1f MB: %s\n", kTargetMegabytes, peak,
                    met ? "met" : "NOT met");
        status = met ? 0 : 1;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.description()));
        status = 2;
    }
    QFile::remove(path);
    return status;
}
