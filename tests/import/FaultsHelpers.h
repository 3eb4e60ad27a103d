#pragma once

// Helpers of the fault, round-trip and security tests: running the real
// command-line program (as an unprivileged user when asked, since tests run
// as root and root reads every file) and listing what the database holds.

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace quorvane::testing {

struct CliRunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

struct CliRunSetup {
    QString configFolder;     // XDG_CONFIG_HOME of the run
    QString password;         // QUORVANE_PASSWORD; unset when null
    QString workingFolder;    // the run's current folder; the test's when empty
    bool unprivileged = false;
};

inline CliRunResult RunCliProgram(const QStringList& arguments, const CliRunSetup& setup)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), setup.configFolder);
    env.remove(QStringLiteral("QUORVANE_PASSWORD"));
    if (!setup.password.isNull())
        env.insert(QStringLiteral("QUORVANE_PASSWORD"), setup.password);
    process.setProcessEnvironment(env);
    if (!setup.workingFolder.isEmpty())
        process.setWorkingDirectory(setup.workingFolder);
    const QString program = QStringLiteral(QUORVANE_CLI_PATH);
    if (setup.unprivileged)
        process.start(QStringLiteral("setpriv"),
                      QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments);
    else
        process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The command-line options that reach the given database (no password).
inline QStringList ConnectOptions(const ConnectionParameters& p)
{
    return {"--server", p.server, "--port", p.port, "--database", p.database, "--user", p.user};
}

// The user tables of the database, sorted.
inline QStringList TableNames(const ConnectionParameters& parameters)
{
    if (CurrentBackend() == Backend::Sqlite)
        return QueryRows(parameters, QStringLiteral("SELECT name FROM sqlite_master WHERE type IN "
                                                    "('table','view') AND name NOT LIKE 'sqlite_%' "
                                                    "ORDER BY 1"));
    return QueryRows(parameters, QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                "WHERE table_schema = DATABASE() ORDER BY 1"));
}

// Lets an unprivileged process work in a scratch database's folder: the
// folder and the SQLite files in it are opened to everyone.
inline void OpenToEveryone(const QString& folder)
{
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                     | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                     | QFile::ExeOther;
    QFile::setPermissions(folder, all);
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        QFile::setPermissions(QDir(folder).filePath(name), all & ~(QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
}

}  // namespace quorvane::testing
