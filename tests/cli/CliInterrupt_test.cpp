#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace quorvane::testing;

namespace {

// How far the process has read the file it holds open at `path`; -1 while
// it holds none.
qint64 ReadPosition(qint64 pid, const QString& path)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        if (QFileInfo(QDir(fds).filePath(fd)).symLinkTarget() != path)
            continue;
        QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(fd));
        if (!info.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("pos:"))
                return line.mid(4).trimmed().toLongLong();
    }
    return -1;
}

}  // namespace

// Ctrl+C while the program checks the field counts of a large file: it
// stops there, says so, and prints no statement at all. The file's last
// line disagrees, so a check that went on to the end would say that instead.
TEST(CliInterrupt, DuringTheFieldCountCheckSendsNothingMore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QByteArray text = "A,B\n";
    text.reserve(24'000'000);
    for (int i = 0; i < 3'000'000; ++i)
        text += "12345,67\n";
    text += "last\n";
    WriteFile(path, text);
    const QString canonical = QFileInfo(path).canonicalFilePath();

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(dir.filePath(QStringLiteral("out.sql")));
    process.start(QStringLiteral(QUORVANE_CLI_PATH), {"--print-sql", path});
    ASSERT_TRUE(process.waitForStarted());
    const qint64 pid = process.processId();

    // Held still while looked at: well into the file, with nothing printed,
    // it can only be the field-count check (the rows would print long before).
    bool interrupted = false;
    for (int attempt = 0; attempt < 20000 && !interrupted && process.state() == QProcess::Running; ++attempt) {
        ::kill(static_cast<pid_t>(pid), SIGSTOP);
        const qint64 position = ReadPosition(pid, canonical);
        if (position > text.size() / 10 && position < text.size() / 2
            && QFileInfo(dir.filePath(QStringLiteral("out.sql"))).size() == 0) {
            ::kill(static_cast<pid_t>(pid), SIGINT);
            interrupted = true;
        }
        ::kill(static_cast<pid_t>(pid), SIGCONT);
        if (!interrupted)
            QThread::usleep(500);
    }
    ASSERT_TRUE(interrupted) << "never caught the field-count check";
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("Import stopped.\n\nFiles loaded completely: 0 of 1.\n"
                                             "Rows inserted: 0.\nStatements that failed: 0.\n")));
    QFile out(dir.filePath(QStringLiteral("out.sql")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(), "");
}
