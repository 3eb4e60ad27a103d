#pragma once

#include "import/ImportOptions.h"
#include "text/SeparatorEscapes.h"  // --separator takes the escapes

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane::cli {

struct CliOptions {
    std::optional<QString> server, port, database, user;
    std::optional<QString> passwordFile;
    ImportMode mode = ImportMode::CreateNew;
    QString pattern = QStringLiteral("NewTable[counter]");
    QString appendTable;
    QString separator = QStringLiteral(",");
    std::optional<QString> extension;
    QString encoding;  // empty: Automatic
    bool quoted = false;
    bool fast = false;
    bool detectTypes = false;     // --types detected
    bool upperCaseNames = false;  // --upper-case-names
    int batchSize = kDefaultBatchSize;
    bool matchNames = false;
    QString rejectsFolder;  // empty: unloaded lines are not written
    bool printSql = false;
    bool check = false;  // --check: read the files, connect to nothing
    bool help = false;
    bool version = false;
    QStringList inputs;
};

struct ParseResult {
    std::optional<CliOptions> options;
    QString error;  // set when options is not
};

ParseResult ParseArguments(const QStringList& arguments);

}  // namespace quorvane::cli
