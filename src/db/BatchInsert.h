#pragma once

#include "db/OdbcHandle.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace quorvane {

class Connection;

// One row's values, one per column; nullopt is NULL.
using RowValues = std::vector<std::optional<QString>>;

// The SQL type a column's parameter is bound as; its data is always text.
// size 0: the width of the values sent.
struct ParameterType {
    SQLSMALLINT sqlType = SQL_LONGVARCHAR;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
};

// One prepared INSERT whose rows go to the driver in parameter arrays where
// the driver takes them, and one execute per row where not. Values go as
// UTF-8 text, whole, whatever their length. Nothing is committed here.
class BatchInsert {
public:
    // The buffers of one array stay within about this many bytes: the rows
    // are cut into several arrays, and a longer row goes alone.
    static constexpr std::size_t kArrayBytes = std::size_t{16} << 20;

    // Prepares sql, an INSERT with one parameter marker per column; a
    // column without a type in types is bound as SQL_LONGVARCHAR.
    BatchInsert(Connection& connection, const QString& sql, int columns, std::vector<ParameterType> types = {});
    ~BatchInsert();
    BatchInsert(const BatchInsert&) = delete;
    BatchInsert& operator=(const BatchInsert&) = delete;

    // Sends every row. Throws OdbcError when any of them failed; the rows
    // of that send that did reach the table are there until rolled back.
    void send(const std::vector<RowValues>& rows);

    // False when the driver takes one row per execute.
    bool sendsArrays() const { return sendsArrays_; }

private:
    void execute(std::size_t rows);

    Connection& connection_;
    std::shared_ptr<odbc::Handle> statement_;
    int columns_;
    std::vector<ParameterType> types_;
    bool sendsArrays_ = false;
    // One buffer and one length array per column, the current array's.
    // Per column. A single row is bound from buffers of its own: MariaDB's
    // driver takes an array bound at the address a single row used before
    // for a buffer of its own, and writes past the end of it.
    struct Buffers {
        std::vector<std::vector<char>> values;
        std::vector<std::vector<SQLLEN>> lengths;
    };
    Buffers arrayBuffers_;
    Buffers rowBuffers_;
    std::vector<SQLUSMALLINT> statuses_;
    SQLULEN processed_ = 0;
};

}  // namespace quorvane
