// Rejects files: the source's own bytes of the lines not loaded, after its
// header, and the log beside them.
#include "base/Failure.h"
#include "import/RejectsFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace quorvane;
using quorvane::testing::ReadFileBytes;

namespace {

QByteArray Utf16Le(const char16_t* text)
{
    return QByteArray(reinterpret_cast<const char*>(text), qsizetype(std::char_traits<char16_t>::length(text) * 2));
}

QByteArray Utf16Be(const char16_t* text)
{
    QByteArray bytes = Utf16Le(text);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

QByteArray Utf32Le(const char16_t* text)
{
    QByteArray bytes;
    for (const QByteArray unit = Utf16Le(text); bytes.size() < unit.size() * 2;)
        bytes += unit.mid(bytes.size() / 2, 2) + QByteArray(2, '\0');
    return bytes;
}

struct Rejection {
    qint64 firstLine;
    qint64 lineCount;  // 0: the rest of the file
    const char* message;
};

struct RejectsCase {
    const char* name;
    QByteArray source;
    const char* encoding;
    qint64 headerLines;
    std::vector<Rejection> rejections;
    QByteArray rejects;  // empty: nothing may be created
    const char* log;
};

class RejectsFiles : public ::testing::TestWithParam<std::tuple<RejectsCase, qint64>> {};

TEST_P(RejectsFiles, HoldTheHeaderAndTheRejectedLinesAsTheSourceHasThem)
{
    const auto& [c, chunkSize] = GetParam();
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("in/f.csv"));
    quorvane::testing::WriteFile(source, c.source);
    const QString folder = dir.filePath(QStringLiteral("out/run 1"));
    RejectsFolder rejects(folder, chunkSize);
    {
        const auto file = rejects.forSource(source, QString::fromLatin1(c.encoding), c.headerLines);
        for (const Rejection& r : c.rejections) {
            if (r.lineCount == 0)
                file->rejectRest(r.firstLine, QString::fromUtf8(r.message));
            else
                file->reject({r.firstLine, r.lineCount}, QString::fromUtf8(r.message));
        }
        file->finish();
    }
    if (c.rejects.isEmpty()) {
        EXPECT_FALSE(rejects.anyWritten());
        EXPECT_FALSE(QFileInfo::exists(folder));
        return;
    }
    EXPECT_TRUE(rejects.anyWritten());
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f.csv")).toHex(' '), c.rejects.toHex(' '));
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f.csv.log")).toStdString(), c.log);
}

// Chunks of 1 and 3 bytes cut CR LF pairs and UTF-16 code units.
INSTANTIATE_TEST_SUITE_P(
    Files, RejectsFiles,
    ::testing::Combine(
        ::testing::Values(
            RejectsCase{"Utf8MixedBreaksNoFinalBreak", "h1,h2\r\na,1\rb,2\nc,3\r\nd,4", "UTF-8", 1,
                        {{1, 1, "too long"}, {2, 1, "first\r\nsecond\rthird\nfourth"}, {4, 1, "last"}},
                        "h1,h2\r\na,1\rb,2\nd,4",
                        "line 2: too long\nline 3: first second third fourth\nline 5: last\n"},
            // U+0A0D and U+0D0A hold the bytes of LF and CR, which cut no line.
            RejectsCase{"Utf16LittleEndianByItsMark",
                        "\xff\xfe" + Utf16Le(u"h,\u00e9\r\na,\u0a0d\r\nb,\u0d0a\nc,\u20ac\r"), "UTF-16", 1,
                        {{2, 1, "x"}, {3, 1, "y"}}, "\xff\xfe" + Utf16Le(u"h,\u00e9\r\nb,\u0d0a\nc,\u20ac\r"),
                        "line 3: x\nline 4: y\n"},
            RejectsCase{"Utf16BigEndianByItsMark", "\xfe\xff" + Utf16Be(u"h\na,\u0a0d\rb\r\n"), "UTF-16", 1,
                        {{1, 1, "x"}}, "\xfe\xff" + Utf16Be(u"h\na,\u0a0d\r"), "line 2: x\n"},
            // Names the converter knows besides the usual ones, and EBCDIC, whose LF is 0x25.
            RejectsCase{"Utf16LeWithoutHyphen", Utf16Le(u"h\na,\u0a0d\nb\n"), "UTF16LE", 1, {{2, 1, "x"}},
                        Utf16Le(u"h\nb\n"), "line 3: x\n"},
            RejectsCase{"Utf32WithoutHyphenByItsMark", QByteArray("\xff\xfe\0\0", 4) + Utf32Le(u"h\r\na\r\nb"), "UTF32", 1,
                        {{1, 1, "x"}}, QByteArray("\xff\xfe\0\0", 4) + Utf32Le(u"h\r\na\r\n"), "line 2: x\n"},
            RejectsCase{"Ebcdic", "\x88\x25\x81\x0a\x25\x82\x25", "IBM037", 1, {{1, 1, "x"}},
                        "\x88\x25\x81\x0a\x25", "line 2: x\n"},
            RejectsCase{"Windows1252BytesKept", "h\r\nM\xfcller\r\nok\r\n\x80\x81\xa7\r\n", "Windows-1252", 1,
                        {{1, 1, "M\xc3\xbcller too long"}, {3, 0, "not loaded"}},
                        "h\r\nM\xfcller\r\n\x80\x81\xa7\r\n",
                        "line 2: M\xc3\xbcller too long\nline 4: not loaded\n"},
            RejectsCase{"RecordOverThreeLines", "h\na,\"x\r\ny\rz\",b\nc,d\n", "UTF-8", 1, {{1, 3, "bad"}},
                        "h\na,\"x\r\ny\rz\",b\n", "line 2: bad\n"},
            RejectsCase{"RestAfterARejectedLine", "h\na\nb\n\nc\nd", "UTF-8", 1,
                        {{1, 1, "bad"}, {3, 0, "stopped"}}, "h\na\n\nc\nd",
                        "line 2: bad\nlines 4-6: stopped\n"},
            // One log line for a run of lines with one reason, records of several lines included.
            RejectsCase{"ConsecutiveLinesShareALogLine", "h\na\n\"b\nc\"\nd\ne\nf\n", "UTF-8", 1,
                        {{1, 1, "x"}, {2, 2, "x"}, {4, 1, "x"}, {5, 1, "y"}, {6, 1, "x"}},
                        "h\na\n\"b\nc\"\nd\ne\nf\n", "lines 2-5: x\nline 6: y\nline 7: x\n"},
            RejectsCase{"TwoLineHeader", "\"h\n1\",h2\r\nx,y\r\nz,w", "UTF-8", 2, {{3, 1, "bad"}},
                        "\"h\n1\",h2\r\nz,w", "line 4: bad\n"},
            RejectsCase{"NothingLeftToReject", "h\na\n", "UTF-8", 1, {{2, 0, "stopped"}}, "", ""}),
        ::testing::Values(qint64(1), qint64(3), qint64(64 * 1024))),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_chunk" + std::to_string(std::get<1>(info.param));
    });

// A name already in the folder, or used earlier in the run, is never written over.
TEST(RejectsFolderNames, TakenNamesGetANumber)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("out"));
    quorvane::testing::WriteFile(folder + QStringLiteral("/f.csv"), "older");
    RejectsFolder rejects(folder);
    for (const char* from : {"a", "b"}) {
        const QString source = dir.filePath(QStringLiteral("%1/f.csv").arg(QLatin1String(from)));
        quorvane::testing::WriteFile(source, QByteArray("h\n") + from + "\n");
        rejects.forSource(source, QStringLiteral("UTF-8"))->reject({1, 1}, QStringLiteral("bad"));
    }
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f.csv")), "older");
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f (2).csv")), "h\na\n");
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f (3).csv")), "h\nb\n");
    EXPECT_EQ(ReadFileBytes(folder + QStringLiteral("/f (3).csv.log")), "line 2: bad\n");
}

TEST(RejectsFolderNames, AFolderThatCannotBeMadeIsAFailureWithTheSystemsReason)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("f.csv"));
    quorvane::testing::WriteFile(source, "h\na\nb\n");
    RejectsFolder rejects(source + QStringLiteral("/out"));  // below a file
    auto file = rejects.forSource(source, QStringLiteral("UTF-8"));
    file->reject({1, 1}, QStringLiteral("bad"));
    file->rejectRest(2, QStringLiteral("stopped"));
    file->finish();
    EXPECT_EQ(rejects.failure().value_or(QString()),
              QStringLiteral("Cannot create folder %1/out: Not a directory").arg(source));
    EXPECT_EQ(rejects.unwrittenLines(), 2);
}

// A rejects file that reaches the size limit: the system's reason is kept,
// the lines not written are counted, and the log names only lines that the
// rejects file holds. In a child process, whose file size limit it sets.
TEST(RejectsFolderNames, AFileThatCannotGrowCountsWhatIsMissingAndTheLogStaysTrue)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("f.csv"));
    QByteArray text = "h\n";
    for (int i = 0; i < 4000; ++i)
        text += QByteArray(40, 'x') + QByteArray::number(i) + "\n";
    quorvane::testing::WriteFile(source, text);
    const QString folder = dir.filePath(QStringLiteral("out"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        RejectsFolder rejects(folder);
        auto file = rejects.forSource(source, QStringLiteral("UTF-8"));
        for (qint64 line = 1; line <= 2000; ++line)
            file->reject({line, 1}, QStringLiteral("refused %1").arg(line % 2));
        file->rejectRest(2001, QStringLiteral("stopped"));
        file->finish();
        const bool reason = rejects.failure().value_or(QString()).endsWith(QStringLiteral(": File too large"));
        const qint64 written = ReadFileBytes(folder + QStringLiteral("/f.csv")).count('\n') - 1;
        const QList<QByteArray> log = ReadFileBytes(folder + QStringLiteral("/f.csv.log")).split('\n');
        const qint64 lastLogged = log.size() >= 2 ? log.at(log.size() - 2).split(' ').value(1).split(':').value(0).toLongLong() : 0;
        std::fprintf(stderr, "%s written %lld unwritten %lld last logged %lld\n",
                     qPrintable(rejects.failure().value_or(QString())), written, rejects.unwrittenLines(), lastLogged);
        std::_Exit(reason && written + rejects.unwrittenLines() == 4000 && lastLogged - 1 <= written ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
