#include "cli/CliOptions.h"

#include "text/TextDecoder.h"
#include "text/TextFormat.h"

namespace quorvane::cli {

ParseResult ParseArguments(const QStringList& arguments)
{
    CliOptions options;
    bool modeGiven = false;
    bool inputsOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (inputsOnly || !argument.startsWith(QLatin1String("--"))) {
            options.inputs << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            inputsOnly = true;
            continue;
        }
        QString name = argument;
        std::optional<QString> inlineValue;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
            name = argument.left(equals);
            inlineValue = argument.mid(equals + 1);
        }
        if (name == QLatin1String("--password"))
            return {std::nullopt, QStringLiteral("--password is not accepted: other users can read a "
                                                 "program's arguments. Use --password-file FILE or "
                                                 "the environment variable QUORVANE_PASSWORD.")};
        if (name == QLatin1String("--help") || name == QLatin1String("--version")
            || name == QLatin1String("--print-sql") || name == QLatin1String("--quoted")
            || name == QLatin1String("--fast") || name == QLatin1String("--upper-case-names")
            || name == QLatin1String("--match-names") || name == QLatin1String("--check")) {
            if (inlineValue)
                return {std::nullopt, name + QStringLiteral(" takes no value.")};
            (name == QLatin1String("--help")      ? options.help
             : name == QLatin1String("--version") ? options.version
             : name == QLatin1String("--quoted")  ? options.quoted
             : name == QLatin1String("--fast")    ? options.fast
             : name == QLatin1String("--upper-case-names") ? options.upperCaseNames
             : name == QLatin1String("--match-names") ? options.matchNames
             : name == QLatin1String("--check") ? options.check
                                                  : options.printSql) = true;
            continue;
        }
        static const QStringList withValue = {
            QStringLiteral("--server"), QStringLiteral("--port"), QStringLiteral("--database"),
            QStringLiteral("--user"), QStringLiteral("--password-file"), QStringLiteral("--create"),
            QStringLiteral("--append"), QStringLiteral("--separator"), QStringLiteral("--extension"),
            QStringLiteral("--encoding"), QStringLiteral("--batch-size"), QStringLiteral("--rejects"),
            QStringLiteral("--types")};
        if (!withValue.contains(name))
            return {std::nullopt, QStringLiteral("Unknown option %1. See --help.").arg(name)};
        QString value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return {std::nullopt, QStringLiteral("%1 needs a value.").arg(name)};
        }
        if (name == QLatin1String("--server"))
            options.server = value;
        else if (name == QLatin1String("--port"))
            options.port = value;
        else if (name == QLatin1String("--database"))
            options.database = value;
        else if (name == QLatin1String("--user"))
            options.user = value;
        else if (name == QLatin1String("--password-file"))
            options.passwordFile = value;
        else if (name == QLatin1String("--separator"))
            options.separator = UnescapeSeparator(value);
        else if (name == QLatin1String("--batch-size")) {
            bool number = false;
            options.batchSize = value.toInt(&number);
            if (!number || options.batchSize < 1 || options.batchSize > kMaxBatchSize)
                return {std::nullopt, QStringLiteral("--batch-size takes a number of rows from 1 to %1.")
                                          .arg(kMaxBatchSize)};
        } else if (name == QLatin1String("--types")) {
            if (value != QLatin1String("text") && value != QLatin1String("detected"))
                return {std::nullopt, QStringLiteral("--types takes text or detected.")};
            options.detectTypes = value == QLatin1String("detected");
        } else if (name == QLatin1String("--rejects")) {
            if (value.isEmpty())
                return {std::nullopt, QStringLiteral("--rejects needs a folder.")};
            options.rejectsFolder = value;
        } else if (name == QLatin1String("--extension"))
            options.extension = value;
        else if (name == QLatin1String("--encoding")) {
            options.encoding = FileEncoding::FromName(value);
            if (!options.encoding.isEmpty() && !TextDecoder::IsKnown(options.encoding))
                return {std::nullopt, QStringLiteral("Unknown encoding %1: give a name that iconv knows "
                                                     "(iconv --list) or Automatic.")
                                          .arg(value)};
        }
        else {
            if (modeGiven)
                return {std::nullopt, QStringLiteral("Give either --create or --append, once.")};
            modeGiven = true;
            if (name == QLatin1String("--create")) {
                options.mode = ImportMode::CreateNew;
                options.pattern = value;
            } else {
                options.mode = ImportMode::AppendExisting;
                options.appendTable = value;
            }
        }
    }
    if (!options.help && !options.version && options.inputs.isEmpty())
        return {std::nullopt, QStringLiteral("No files or folders given. See --help.")};
    return {options, {}};
}

}  // namespace quorvane::cli
