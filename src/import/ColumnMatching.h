#pragma once

#include "db/TableColumns.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quorvane {

// How a file's header pairs with a table's columns by name, ignoring case
// and surrounding spaces.
struct ColumnPairing {
    QStringList columns;   // for each header field, the table's name of the column it fills
    QStringList unknown;   // header fields that name no column of the table
    QStringList repeated;  // header fields that name a column an earlier field took
    QStringList lacking;   // columns the file leaves out that have no default and take no NULL

    bool accepted() const { return unknown.isEmpty() && repeated.isEmpty() && lacking.isEmpty(); }
};

ColumnPairing PairColumnsByName(const QStringList& header, const std::vector<TableColumn>& table);

// Without a catalogue (a dry run) the header names the columns itself.
QStringList HeaderColumnNames(const QStringList& header);

// Why a pairing is refused, one line per kind of fault, for instance
// "Columns not in the table T: Region, region".
QStringList PairingFaults(const ColumnPairing& pairing, const QString& table);

// The report on a file refused for its pairing.
QString PairingRefusedMessage(const QString& path, const QStringList& faults);

}  // namespace quorvane
