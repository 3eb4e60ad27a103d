#include "db/BatchInsert.h"

#include "db/Connection.h"
#include "db/OdbcError.h"

#include <QByteArray>
#include <QStringEncoder>

#include <algorithm>
#include <limits>

namespace quorvane {

namespace {

// The most UTF-8 bytes a value can take: a column's width in an array is
// sized from this, so each value is encoded once, straight into its place.
std::size_t utf8Room(const std::optional<QString>& value)
{
    return value ? static_cast<std::size_t>(value->size()) * 3 : 0;
}

SQLPOINTER attribute(SQLULEN value) { return reinterpret_cast<SQLPOINTER>(value); }

// No status of ODBC's: the driver left the row's status as it was.
constexpr SQLUSMALLINT kUnreported = 0xffff;

}  // namespace

BatchInsert::BatchInsert(Connection& connection, const QString& sql, int columns, std::vector<ParameterType> types)
    : connection_(connection), columns_(columns), types_(std::move(types))
{
    types_.resize(static_cast<std::size_t>(std::max(columns, 0)));
    if (columns < 1)
        throw OdbcError(QStringLiteral("07009"), 0, QStringLiteral("An INSERT needs at least one column."));
    statement_ = connection_.newStatement();
    odbc::Handle& statement = *statement_;
    QByteArray text = sql.toUtf8();
    if (text.size() > std::numeric_limits<SQLINTEGER>::max())
        throw OdbcError(QStringLiteral("HY090"), 0,
                        QStringLiteral("The statement is too long for the ODBC driver."));
    odbc::Check(SQLPrepare(statement.get(), reinterpret_cast<SQLCHAR*>(text.data()),
                           static_cast<SQLINTEGER>(text.size())),
                statement, "prepare the insert");

    // Arrays only where the driver keeps the size asked for and reports on
    // each row: without that a failed row could pass unseen.
    SQLULEN size = 0;
    sendsArrays_ =
        SQL_SUCCEEDED(SQLSetStmtAttr(statement.get(), SQL_ATTR_PARAMSET_SIZE, attribute(2), 0))
        && SQL_SUCCEEDED(SQLGetStmtAttr(statement.get(), SQL_ATTR_PARAMSET_SIZE, &size, 0, nullptr))
        && size == 2
        && SQL_SUCCEEDED(SQLSetStmtAttr(statement.get(), SQL_ATTR_PARAMS_PROCESSED_PTR, &processed_, 0));
    if (!sendsArrays_)
        SQLSetStmtAttr(statement.get(), SQL_ATTR_PARAMSET_SIZE, attribute(1), 0);
    for (Buffers* buffers : {&arrayBuffers_, &rowBuffers_}) {
        buffers->values.resize(static_cast<std::size_t>(columns));
        buffers->lengths.resize(static_cast<std::size_t>(columns));
    }
}

BatchInsert::~BatchInsert()
{
    if (statement_)
        statement_->reset();
}

void BatchInsert::send(const std::vector<RowValues>& rows)
{
    if (!*statement_)
        throw OdbcError(QStringLiteral("08003"), 0,
                        QStringLiteral("Operation is not allowed when the connection is closed."));
    const auto columns = static_cast<std::size_t>(columns_);
    for (const RowValues& row : rows) {
        if (row.size() != columns)
            throw OdbcError(QStringLiteral("21S01"), 0,
                            QStringLiteral("A row has %1 values for %2 columns.")
                                .arg(row.size())
                                .arg(columns));
    }
    const std::size_t maxRows = sendsArrays_ ? rows.size() : 1;
    // The same bytes a literal of the same text carries in execute().
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    std::vector<std::size_t> widths(columns);
    std::size_t next = 0;
    while (next < rows.size()) {
        // Rows join the array while all of them, each as wide as the widest
        // value of its column, fit the bound; a longer row goes alone.
        std::fill(widths.begin(), widths.end(), 0);
        std::size_t count = 0;
        while (count < maxRows && next + count < rows.size()) {
            const RowValues& row = rows[next + count];
            std::size_t rowBytes = columns * sizeof(SQLLEN);
            for (std::size_t c = 0; c < columns; ++c)
                rowBytes += std::max<std::size_t>({widths[c], utf8Room(row[c]), 1});
            if (count > 0 && (count + 1) * rowBytes > kArrayBytes)
                break;
            for (std::size_t c = 0; c < columns; ++c)
                widths[c] = std::max(widths[c], utf8Room(row[c]));
            ++count;
        }

        Buffers& buffers = count == 1 ? rowBuffers_ : arrayBuffers_;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t width = std::max<std::size_t>(widths[c], 1);
            std::vector<char>& values = buffers.values[c];
            std::vector<SQLLEN>& lengths = buffers.lengths[c];
            // A buffer kept from a wider array is let go, so that what the
            // columns hold together stays within the bound of this one.
            if (values.capacity() > 2 * count * width + 65536)
                std::vector<char>().swap(values);
            values.resize(count * width);
            lengths.resize(count);
            for (std::size_t r = 0; r < count; ++r) {
                const std::optional<QString>& value = rows[next + r][c];
                if (!value) {
                    lengths[r] = SQL_NULL_DATA;
                    continue;
                }
                char* const start = values.data() + r * width;
                lengths[r] = static_cast<SQLLEN>(utf8.appendToBuffer(start, *value) - start);
            }
            const ParameterType& type = types_[c];
            odbc::Check(SQLBindParameter(statement_->get(), static_cast<SQLUSMALLINT>(c + 1),
                                         SQL_PARAM_INPUT, SQL_C_CHAR, type.sqlType,
                                         type.size ? type.size : width, type.digits,
                                         values.data(), static_cast<SQLLEN>(width), lengths.data()),
                        *statement_, "bind a value");
        }
        execute(count);
        next += count;
    }
}

void BatchInsert::execute(std::size_t rows)
{
    odbc::Handle& statement = *statement_;
    if (sendsArrays_) {
        statuses_.assign(rows, kUnreported);
        odbc::Check(SQLSetStmtAttr(statement.get(), SQL_ATTR_PARAM_STATUS_PTR, statuses_.data(), 0),
                    statement, "set the row statuses");
        odbc::Check(SQLSetStmtAttr(statement.get(), SQL_ATTR_PARAMSET_SIZE, attribute(rows), 0),
                    statement, "set the array size");
    }
    processed_ = 0;
    SQLRETURN rc;
    {
        const Connection::Running running(connection_, statement_);
        rc = SQLExecute(statement.get());
        if (!SQL_SUCCEEDED(rc))
            running.check(rc, statement, "insert the rows");
    }
    if (!sendsArrays_)
        return;
    // A driver may report a failed row with a success code: each row's
    // status decides, and a row not processed counts as failed.
    bool failed = processed_ != rows;
    for (const SQLUSMALLINT status : statuses_) {
        failed = failed || status == SQL_PARAM_ERROR || status == SQL_PARAM_UNUSED
                 || (status == SQL_PARAM_DIAG_UNAVAILABLE && rc != SQL_SUCCESS);
    }
    if (failed)
        odbc::Fail(rc, statement, "insert the rows");
}

}  // namespace quorvane
