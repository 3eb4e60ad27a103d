#include "cli/CliOptions.h"
#include "cli/CliRun.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {
std::atomic<bool> stopRequested{false};
void onInterrupt(int) { stopRequested = true; }
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    const auto parsed = quorvane::cli::ParseArguments(app.arguments().mid(1));
    if (!parsed.options) {
        std::fprintf(stderr, "quorvane-cli: %s\n", parsed.error.toUtf8().constData());
        return quorvane::cli::kRefused;
    }
    std::signal(SIGINT, onInterrupt);
    quorvane::cli::CliStreams streams;
    streams.stop = &stopRequested;
    return quorvane::cli::RunCli(*parsed.options, streams);
}
