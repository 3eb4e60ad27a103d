#include "cli/CliRun.h"

#include "base/BusyIndicator.h"
#include "base/EventPump.h"
#include "cli/Interrupts.h"
#include "import/InFlightLines.h"
#include "base/Settings.h"
#include "cli/CliCheck.h"
#include "cli/CliHelp.h"
#include "cli/FolderInputs.h"
#include "cli/TerminalDialogs.h"
#include "db/ConnectionParameters.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "text/TextRules.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <iterator>

#include <unistd.h>

namespace quorvane::cli {

namespace {

// The login fields as the window saved them, each replaceable.
std::optional<ConnectionParameters> connectionFrom(const CliOptions& options, const CliStreams& streams)
{
    SettingsStore settings;
    ConnectionParameters p;
    p.server = options.server.value_or(settings.GetSetting(SettingsKey::Server));
    p.port = options.port.value_or(settings.GetSetting(SettingsKey::Port, kDefaultPort));
    p.database = options.database.value_or(settings.GetSetting(SettingsKey::Database));
    p.user = options.user.value_or(settings.GetSetting(SettingsKey::User));
    if (options.passwordFile) {
        QFile file(*options.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            Print(streams.err, QStringLiteral("Cannot read the password file %1: %2\n")
                                   .arg(*options.passwordFile, file.errorString()));
            return std::nullopt;
        }
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        p.password = QString::fromUtf8(line);
    } else if (qEnvironmentVariableIsSet("QUORVANE_PASSWORD")) {
        p.password = qEnvironmentVariable("QUORVANE_PASSWORD");
    } else {
        p.password = settings.GetSetting(SettingsKey::Password);
    }
    return p;
}

class TerminalProgress final : public ImportProgress {
public:
    TerminalProgress(const CliStreams& streams)
        : streams_(streams), show_(::isatty(::fileno(streams.err)) == 1)
    {
    }
    ~TerminalProgress() override
    {
        if (shown_)
            Print(streams_.err, QStringLiteral("\n"));
    }
    void update(int file, int files, int rows) override
    {
        if (!show_)
            return;
        shown_ = true;
        Print(streams_.err, QStringLiteral("\rFile %1 of %2, %3 rows inserted").arg(file).arg(files).arg(rows));
    }

private:
    const CliStreams& streams_;
    bool show_;
    bool shown_ = false;
};

}  // namespace

int RunCli(const CliOptions& options, const CliStreams& streams)
{
    if (options.help) {
        Print(streams.out, kHelpText);
        return kLoaded;
    }
    if (options.version) {
        Print(streams.out,
              QStringLiteral("quorvane-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return kLoaded;
    }
    if (options.check)
        return RunCheck(options, streams);
    const auto parameters = connectionFrom(options, streams);
    if (!parameters)
        return kRefused;
    TerminalDialogs dialogs(streams.err);
    NoEventPump events;

    PlainFileList files;
    AddInputs(options.inputs, options.extension, files, dialogs, events);
    RunInputs inputs;
    for (int row = 1; row <= files.count(); ++row)
        inputs.files << files.path(row);

    ImportOptions importOptions;
    importOptions.mode = options.mode;
    importOptions.tableNamePattern = options.pattern;
    importOptions.separator = options.separator;
    importOptions.encoding = options.encoding;
    importOptions.quotedFields = options.quoted;
    importOptions.fastLoad = options.fast;
    importOptions.matchColumnsByName = options.matchNames;
    importOptions.batchSize = options.batchSize;
    importOptions.detectColumnTypes = options.detectTypes;
    importOptions.upperCaseNames = options.upperCaseNames;

    FixedConnectionParameters connection(*parameters);
    PlainTableList tables;
    if (!options.printSql) {
        try {
            ListTables(tables, connection, events);
        } catch (const std::exception& failure) {
            Print(streams.err, QStringLiteral("Cannot read the database's table list: %1\n")
                                   .arg(QString::fromUtf8(failure.what())));
            return kRefused;
        }
    }
    if (options.mode == ImportMode::AppendExisting) {
        importOptions.selectedTable = options.appendTable;
        if (!options.printSql) {
            // Sent as the catalogue spells it, as the window sends its list's
            // entry: a server that tells case apart knows no other spelling.
            const QStringList& listed = tables.items();
            QStringList matches;
            if (listed.contains(options.appendTable))
                matches << options.appendTable;
            else
                std::copy_if(listed.begin(), listed.end(), std::back_inserter(matches),
                             [&](const QString& name) { return ListContains({name}, options.appendTable); });
            if (matches.isEmpty()) {
                Print(streams.err, QStringLiteral("There is no table %1 in the database.\n").arg(options.appendTable));
                return kRefused;
            }
            if (matches.size() > 1) {
                Print(streams.err, QStringLiteral("The name %1 matches several tables (%2): give one as it is spelt.\n")
                                       .arg(options.appendTable, matches.join(QStringLiteral(", "))));
                return kRefused;
            }
            importOptions.selectedTable = matches.front();
        }
    }

    inputs.options = importOptions;
    inputs.login = *parameters;
    const std::stop_token stop = streams.interrupts ? streams.interrupts->stopToken() : std::stop_token();
    QTextStream sqlOut(streams.out);
    PrintingImportDatabase printing(sqlOut);
    OdbcImportDatabase odbc(stop);
    ImportDatabase& database = options.printSql ? static_cast<ImportDatabase&>(printing) : odbc;
    NoBusyIndicator busy;
    TerminalProgress progress(streams);
    InFlightLines inFlight;
    if (streams.interrupts)
        streams.interrupts->watch(&database, &inFlight);
    const ImportOutcome outcome = RunImport(
        {dialogs, inputs, tables, database, busy, &progress, options.rejectsFolder, stop, &inFlight});
    if (streams.interrupts)
        streams.interrupts->watch(nullptr, nullptr);
    sqlOut.flush();
    switch (outcome.ending) {
    case ImportOutcome::Ending::Refused:
        return kRefused;
    case ImportOutcome::Ending::FieldCountCheck:
    case ImportOutcome::Ending::Stopped:
        return kFailed;
    case ImportOutcome::Ending::Finished:
        break;
    }
    // A line of a single field was not loaded either.
    return outcome.anyFailure || outcome.counts.linesSkippedSingleField > 0 ? kFailed : kLoaded;
}

}  // namespace quorvane::cli
