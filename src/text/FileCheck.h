#pragma once

#include "text/ColumnTypes.h"
#include "text/TextFormat.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace quorvane {

// The whole-file check: one read of a file, split as the run splits it, that
// tells before anything is sent what the run would meet. Line numbers here
// count from 1, as an editor shows them.

struct FileCheckChoices {
    TextFormat format;
    // Each column's type detected from the rows, as the run detects it.
    bool detectTypes = false;
    // As for rows of unquoted files whose columns are named by prompts.
    bool doubleQuotesDropped = false;
};

// Lines of one kind: how many, and the first few.
struct CheckedLines {
    static constexpr size_t kListed = 5;
    qint64 count = 0;
    std::vector<qint64> first;
    void add(qint64 line)
    {
        if (count++ < qint64(kListed))
            first.push_back(line);
    }
};

struct FieldCountDifference {
    qint64 line = 0;
    qsizetype expected = 0;  // the header's fields
    qsizetype found = 0;
    bool unclosedQuote = false;  // a double quote opened on that line is never closed
};

// One problem as the check reports it; line 0: the file as a whole.
struct FileProblem {
    qint64 line = 0;
    QString text;
};

struct FileCheckReport {
    QString encoding;   // the encoding the run would read the file in
    QString settledBy;  // why: "chosen", "byte-order mark", ...
    bool encodingFinal = false;  // false while Automatic still reads on trust
    qint64 crLf = 0, lf = 0, cr = 0;  // the line breaks found
    qint64 records = 0;  // after the header, empty lines left out
    QStringList header;  // the first record's fields
    std::vector<ColumnType> columnTypes;  // one per header field when detected
    std::optional<FieldCountDifference> difference;  // the first record that disagrees
    CheckedLines undecodable, singleField, nul;
    // The first single-field line, or the differing one, has a field that
    // starts with a double quote (only looked for without quoted fields).
    bool fieldStartsWithQuote = false;
    bool finished = false;  // the whole file was read
    QString failure;        // it could not be opened or read

    // "CR LF", "LF", "CR", "LF and CR LF", ..., or "none".
    QString lineEndings() const;
    // Everything that keeps a line out of the table, or the run from going on.
    std::vector<FileProblem> problems() const;
    // What the problems suggest about the choices.
    QStringList hints(const FileCheckChoices& choices) const;
    bool clean() const { return failure.isEmpty() && problems().empty(); }
};

// Reads the whole file and reports. Stops soon after `stop` is requested
// (the report then has finished false). progress, when given, is called now
// and then with the report so far and the part read, in thousandths.
FileCheckReport CheckFile(const QString& path, const FileCheckChoices& choices, std::stop_token stop = {},
                          const std::function<void(const FileCheckReport&, int)>& progress = {});

}  // namespace quorvane
