#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Interrupts.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Before any thread starts: every thread then leaves Ctrl+C to it.
    quorvane::cli::Interrupts interrupts;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    const auto parsed = quorvane::cli::ParseArguments(app.arguments().mid(1));
    if (!parsed.options) {
        std::fprintf(stderr, "quorvane-cli: %s\n", parsed.error.toUtf8().constData());
        return quorvane::cli::kRefused;
    }
    quorvane::cli::CliStreams streams;
    streams.interrupts = &interrupts;
    return quorvane::cli::RunCli(*parsed.options, streams);
}
