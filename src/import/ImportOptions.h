#pragma once

#include <QString>

#include <optional>

namespace quorvane {

inline constexpr int kDefaultBatchSize = 1000;
// Larger batches gain nothing and hold more rows uncommitted.
inline constexpr int kMaxBatchSize = 100000;

enum class ImportMode { CreateNew, AppendExisting };
enum class ColumnSource { HeaderRow, Prompted };

// The import window's choices as the run reads them.
struct ImportOptions {
    ImportMode mode = ImportMode::CreateNew;
    ColumnSource columnSource = ColumnSource::HeaderRow;
    QString tableNamePattern = QStringLiteral("NewTable[counter]");
    QString separator = QStringLiteral(",");
    std::optional<QString> selectedTable;
    QString encoding;  // empty: Automatic (see TextFormat)
    bool quotedFields = false;
    // Rows sent as parameter arrays of batchSize rows, one transaction per
    // batch, instead of one committed INSERT per line.
    bool fastLoad = false;
    int batchSize = kDefaultBatchSize;
    // Created tables: each column's type detected from the whole file
    // instead of LONG VARCHAR, and the names upper-cased as DB2 folds
    // unquoted names.
    bool detectColumnTypes = false;
    bool upperCaseNames = false;
    // Append mode: each header field fills the table's column of that name,
    // and columns the file leaves out take their defaults.
    bool matchColumnsByName = false;
};

// The window's choices as they stand; a run reads them once, at its start.
class ImportOptionsSource {
public:
    virtual ~ImportOptionsSource() = default;
    virtual ImportOptions currentOptions() const = 0;
};

class FixedImportOptions final : public ImportOptionsSource {
public:
    explicit FixedImportOptions(ImportOptions options) : options_(std::move(options)) {}
    ImportOptions currentOptions() const override { return options_; }
    ImportOptions& options() { return options_; }

private:
    ImportOptions options_;
};

}  // namespace quorvane
