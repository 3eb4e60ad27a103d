#pragma once

#include "import/ImportOptions.h"
#include "import/SqlTexts.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace quorvane {

class RecordReader;

// What a preview shows: a file as the run would read it with these choices.
struct PreviewSetup {
    QString path;
    ImportOptions options;
    // The encoding the whole-file check settled on; empty: as chosen.
    QString settledEncoding;
    // Detected by the whole-file check, when the choices ask for types.
    ColumnTypes columnTypes;
    // Append mode: the selected table's columns, when known.
    std::optional<QStringList> tableColumns;
};

// A column name that the CREATE would not take as meant.
enum class ColumnNameMark { None, Empty, Duplicate, NoColumn, BeyondHeader };

// One mark per header field for the columns the CREATE makes of it.
std::vector<ColumnNameMark> MarkCreatedColumnNames(const QStringList& header, bool upperCase);

// The first records of a file, each value as the run would send it: split
// by the run's own reader, the row rules applied in the current mode. The
// file is read only as far as the view asks (fetchMore), up to kRecords
// records after the header; rows that the run would not load are kept, and
// said to be so. Row headers are line numbers counted from 1.
class PreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kRecords = 1000;
    static constexpr int kBatch = 100;  // records read at a time

    enum class CellKind { Value, Null, NotLoaded };
    using NameMark = ColumnNameMark;
    enum Role { CellKindRole = Qt::UserRole + 1, NameMarkRole };

    explicit PreviewModel(QObject* parent = nullptr);
    ~PreviewModel() override;

    // Reads the header afresh and forgets the rows read.
    void load(const PreviewSetup& setup);
    const PreviewSetup& setup() const { return setup_; }
    // Why the file could not be read; empty when it could.
    const QString& failure() const { return failure_; }

    QString columnName(int column) const;
    NameMark nameMark(int column) const;
    const QStringList& header() const { return header_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    struct Row {
        qint64 line = 0;  // from 1
        RowValues values;
        QString notLoaded;  // why the run would not load it; empty: it would
    };

    RowStyle style() const;
    bool typed() const;
    void readRows(int count);
    void nameColumns();

    PreviewSetup setup_;
    std::unique_ptr<RecordReader> reader_;
    QString readingEncoding_;
    QString failure_;
    QStringList header_;
    std::vector<std::optional<QString>> names_;  // one per column shown
    std::vector<NameMark> marks_;
    std::vector<Row> rows_;
    int columns_ = 0;
    int recordsRead_ = 0;
    bool ended_ = true;
};

}  // namespace quorvane
