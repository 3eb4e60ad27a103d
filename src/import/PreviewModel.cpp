#include "import/PreviewModel.h"

#include "base/Failure.h"
#include "text/TextDecoder.h"
#include "text/TextRecords.h"

#include <algorithm>
#include <map>

namespace quorvane {

PreviewModel::PreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

PreviewModel::~PreviewModel() = default;

RowStyle PreviewModel::style() const
{
    if (setup_.options.mode == ImportMode::AppendExisting)
        return RowStyle::AppendRows;
    return setup_.options.columnSource == ColumnSource::Prompted ? RowStyle::PromptedColumns
                                                                 : RowStyle::HeaderColumns;
}

// Types apply to the tables the run creates, as detected over the whole file.
bool PreviewModel::typed() const
{
    return setup_.options.mode == ImportMode::CreateNew && setup_.options.detectColumnTypes;
}

void PreviewModel::load(const PreviewSetup& setup)
{
    beginResetModel();
    setup_ = setup;
    reader_.reset();
    failure_.clear();
    header_.clear();
    rows_.clear();
    columns_ = 0;
    recordsRead_ = 0;
    ended_ = true;
    readingEncoding_ = setup.settledEncoding.isEmpty() ? setup.options.encoding : setup.settledEncoding;
    try {
        reader_ = std::make_unique<RecordReader>(
            setup.path, TextFormat{setup.options.separator, readingEncoding_, setup.options.quotedFields});
        TextRecord record;
        ended_ = !reader_->next(record);
        if (!ended_)
            header_ = record.fields;
    } catch (const std::exception& failure) {
        failure_ = DescribeFailure(failure);
        reader_.reset();
        ended_ = true;
    }
    columns_ = int(header_.size());
    nameColumns();
    endResetModel();
}

std::vector<ColumnNameMark> MarkCreatedColumnNames(const QStringList& header, bool upperCase)
{
    std::vector<ColumnNameMark> marks(size_t(header.size()), ColumnNameMark::None);
    std::map<QString, size_t> seen;  // each name, and where it came first
    for (qsizetype i = 0; i < header.size(); ++i) {
        const std::optional<QString> name = CreatedColumnName(header.at(i), upperCase);
        ColumnNameMark& mark = marks[size_t(i)];
        if (!name) {
            mark = ColumnNameMark::NoColumn;
        } else if (name->isEmpty()) {
            mark = ColumnNameMark::Empty;
        } else if (const auto [first, added] = seen.emplace(*name, size_t(i)); !added) {
            // The first of a pair is as much at fault as the second.
            mark = ColumnNameMark::Duplicate;
            marks[first->second] = ColumnNameMark::Duplicate;
        }
    }
    return marks;
}

void PreviewModel::nameColumns()
{
    names_.assign(size_t(columns_), std::nullopt);
    marks_.assign(size_t(columns_), NameMark::BeyondHeader);
    const bool upperCase = setup_.options.upperCaseNames;
    const std::vector<ColumnNameMark> created = MarkCreatedColumnNames(header_, upperCase);
    for (int i = 0; i < columns_ && i < header_.size(); ++i) {
        marks_[size_t(i)] = NameMark::None;
        switch (style()) {
        case RowStyle::PromptedColumns:
            break;  // named when the run asks
        case RowStyle::AppendRows:
            names_[size_t(i)] = setup_.tableColumns && i < setup_.tableColumns->size() ? setup_.tableColumns->at(i)
                                                                                       : header_.at(i);
            break;
        case RowStyle::HeaderColumns:
            names_[size_t(i)] = CreatedColumnName(header_.at(i), upperCase);
            marks_[size_t(i)] = created[size_t(i)];
            break;
        }
    }
}

QString PreviewModel::columnName(int column) const
{
    if (column < 0 || column >= columns_)
        return {};
    if (style() == RowStyle::PromptedColumns || column >= header_.size())
        return QLatin1Char('#') + QString::number(column + 1);
    return names_[size_t(column)].value_or(QString());
}

PreviewModel::NameMark PreviewModel::nameMark(int column) const
{
    return column >= 0 && column < columns_ ? marks_[size_t(column)] : NameMark::None;
}

int PreviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int PreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

bool PreviewModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !ended_ && recordsRead_ < kRecords;
}

void PreviewModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        readRows(std::min(kBatch, kRecords - recordsRead_));
}

void PreviewModel::readRows(int count)
{
    std::vector<Row> read;
    const qsizetype expected = header_.size();
    const ColumnTypes noTypes;
    const ColumnTypes& types = typed() ? setup_.columnTypes : noTypes;
    try {
        TextRecord record;
        while (int(read.size()) < count) {
            if (!reader_->next(record)) {
                ended_ = true;
                break;
            }
            if (record.fieldCount == 0 && !record.unclosedQuote)
                continue;  // an empty line: no row, as in the run
            Row row;
            row.line = record.lines.first + 1;
            const std::vector<bool>* quoted = record.quoted.empty() ? nullptr : &record.quoted;
            const bool holdsNul = std::any_of(record.fields.begin(), record.fields.end(),
                                              [](const QString& field) { return field.contains(QChar(0)); });
            if (record.undecodable) {
                row.notLoaded = QStringLiteral("Line %1 holds bytes that cannot be read as %2: not loaded.")
                                    .arg(record.undecodableLine + 1)
                                    .arg(readingEncoding_.isEmpty() ? FileEncoding::Utf8 : readingEncoding_);
                for (const QString& field : record.fields)
                    row.values.emplace_back(ShowUndecodable(field));
            } else {
                row.values = BuildRowValues(record.fields, style(), quoted);
                ApplyColumnTypes(row.values, types);
            }
            if (record.unclosedQuote)
                row.notLoaded = QStringLiteral("A double quote opened in line %1 is never closed: the import "
                                               "stops at this file.")
                                    .arg(record.quoteLine + 1);
            else if (record.fieldCount != expected)
                row.notLoaded = QStringLiteral("%1 fields where the header has %2: the import stops at this file.")
                                    .arg(record.fieldCount)
                                    .arg(expected);
            else if (record.fieldCount == 1)
                row.notLoaded = QStringLiteral("A single field: not loaded.");
            else if (holdsNul && row.notLoaded.isEmpty())
                row.notLoaded = QStringLiteral("A NUL character: not loaded.");
            read.push_back(std::move(row));
            ++recordsRead_;
        }
    } catch (const std::exception& failure) {
        failure_ = DescribeFailure(failure);
        ended_ = true;
    }
    int widest = columns_;
    for (const Row& row : read)
        widest = std::max(widest, int(row.values.size()));
    if (widest > columns_) {
        beginInsertColumns({}, columns_, widest - 1);
        columns_ = widest;
        nameColumns();
        endInsertColumns();
    }
    if (read.empty())
        return;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + read.size()) - 1);
    std::move(read.begin(), read.end(), std::back_inserter(rows_));
    endInsertRows();
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Row& row = rows_[size_t(index.row())];
    const size_t column = size_t(index.column());
    const bool present = column < row.values.size();
    const std::optional<QString> value = present ? row.values[column] : std::optional<QString>(QString());
    switch (role) {
    case Qt::DisplayRole:
        if (!present)
            return QString();
        return value ? *value : QStringLiteral("NULL");
    case Qt::ToolTipRole:
        return row.notLoaded.isEmpty() ? QVariant() : QVariant(row.notLoaded);
    case CellKindRole:
        if (!row.notLoaded.isEmpty())
            return int(CellKind::NotLoaded);
        return int(value ? CellKind::Value : CellKind::Null);
    default:
        return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < int(rows_.size()))
            return QString::number(rows_[size_t(section)].line);
        return {};
    }
    if (section < 0 || section >= columns_)
        return {};
    const NameMark mark = marks_[size_t(section)];
    switch (role) {
    case Qt::DisplayRole: {
        QString text = columnName(section);
        if (mark == NameMark::Empty || mark == NameMark::NoColumn)
            text = QStringLiteral("(no name)");
        if (typed() && section < header_.size() && mark != NameMark::NoColumn) {
            const bool known = size_t(section) < setup_.columnTypes.size();
            text += QLatin1Char('\n')
                    + (known ? setup_.columnTypes[size_t(section)].sqlName() : QStringLiteral("(detecting)"));
        }
        return text;
    }
    case Qt::ToolTipRole: {
        if (section >= header_.size())
            return QStringLiteral("Beyond the header's fields: the import stops at this file.");
        QString tip = QStringLiteral("Header field: ") + ShowUndecodable(header_.at(section));
        if (style() == RowStyle::PromptedColumns)
            tip += QStringLiteral("\nThe name is asked for when the import runs; the first line is not loaded.");
        if (style() == RowStyle::AppendRows && setup_.tableColumns && section < setup_.tableColumns->size())
            tip += QStringLiteral("\nFills the table's column ") + setup_.tableColumns->at(section);
        if (mark == NameMark::Empty)
            tip += QStringLiteral("\nNo letter or digit: the column's name comes out empty, which the "
                                  "database refuses.");
        if (mark == NameMark::NoColumn)
            tip += QStringLiteral("\nAn empty field: the table gets no column for it.");
        if (mark == NameMark::Duplicate)
            tip += QStringLiteral("\nAnother column has the same name, which the database refuses.");
        return tip;
    }
    case NameMarkRole:
        return int(mark);
    default:
        return {};
    }
}

}  // namespace quorvane
