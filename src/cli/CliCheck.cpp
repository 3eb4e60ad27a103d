#include "cli/CliCheck.h"

#include "base/EventPump.h"
#include "cli/FolderInputs.h"
#include "cli/TerminalDialogs.h"
#include "filelist/FileList.h"
#include "import/PreviewModel.h"
#include "import/SqlTexts.h"
#include "text/FileCheck.h"


namespace quorvane::cli {

namespace {

// The columns as the run would make them; problems with their names are
// the header line's.
QStringList ColumnNames(const CliOptions& options, const FileCheckReport& report, std::vector<FileProblem>& problems)
{
    QStringList names;
    const QStringList& header = report.header;
    if (options.mode == ImportMode::AppendExisting) {
        for (const QString& field : header)
            names << field;
        return names;
    }
    const std::vector<ColumnNameMark> marks = MarkCreatedColumnNames(header, options.upperCaseNames);
    for (qsizetype i = 0; i < header.size(); ++i) {
        const std::optional<QString> name = CreatedColumnName(header.at(i), options.upperCaseNames);
        QString shown = name ? QLatin1Char('"') + *name + QLatin1Char('"') : QStringLiteral("(no column)");
        if (options.detectTypes && name && size_t(i) < report.columnTypes.size())
            shown += QLatin1Char(' ') + report.columnTypes[size_t(i)].sqlName();
        names << shown;
        const QString field = QStringLiteral("field %1 (\"%2\")").arg(i + 1).arg(header.at(i));
        switch (marks[size_t(i)]) {
        case ColumnNameMark::Empty:
            problems.push_back({1, field + QStringLiteral(" gives an empty column name")});
            break;
        case ColumnNameMark::NoColumn:
            problems.push_back({1, field + QStringLiteral(" is empty: the table gets no column for it")});
            break;
        case ColumnNameMark::Duplicate:
            problems.push_back({1, field + QStringLiteral(" gives the name of another column")});
            break;
        default:
            break;
        }
    }
    return names;
}

}  // namespace

int RunCheck(const CliOptions& options, const CliStreams& streams)
{
    TerminalDialogs dialogs(streams.err);
    NoEventPump events;
    PlainFileList files;
    AddInputs(options.inputs, options.extension, files, dialogs, events);
    FileCheckChoices choices;
    choices.format = {options.separator, options.encoding, options.quoted};
    choices.detectTypes = options.detectTypes && options.mode == ImportMode::CreateNew;

    bool clean = true;
    for (int position = 1; position <= files.count(); ++position) {
        const QString path = files.path(position);
        const FileCheckReport report = CheckFile(path, choices);
        if (!report.failure.isEmpty()) {
            Print(streams.out, path + QStringLiteral(": ") + report.failure + QLatin1Char('\n'));
            clean = false;
            continue;
        }
        std::vector<FileProblem> problems;
        const QStringList names = ColumnNames(options, report, problems);
        for (FileProblem& problem : report.problems())
            problems.push_back(std::move(problem));
        QString text = path + QStringLiteral(": encoding ") + report.encoding + QStringLiteral(" (")
                       + report.settledBy + QStringLiteral("), line endings ") + report.lineEndings()
                       + QStringLiteral(", %1 record%2\n").arg(report.records).arg(report.records == 1 ? "" : "s");
        text += path + QStringLiteral(": columns ") + names.join(QStringLiteral(", ")) + QLatin1Char('\n');
        for (const FileProblem& problem : problems)
            text += path + (problem.line > 0 ? QStringLiteral(", line %1").arg(problem.line) : QString())
                    + QStringLiteral(": ") + problem.text + QLatin1Char('\n');
        for (const QString& hint : report.hints(choices))
            text += path + QStringLiteral(": ") + hint + QLatin1Char('\n');
        Print(streams.out, text);
        clean = clean && problems.empty();
    }
    if (files.count() == 0) {
        Print(streams.err, QStringLiteral("No files to check.\n"));
        return kFailed;
    }
    return clean ? kLoaded : kFailed;
}

}  // namespace quorvane::cli
