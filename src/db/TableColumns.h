#pragma once

#include <QString>

#include <vector>

namespace quorvane {

class Connection;

// One column of a table as the catalogue describes it.
struct TableColumn {
    QString name;
    // NOT NULL without a default: an INSERT that leaves it out fails.
    bool needsValue = false;
};

// The columns of table, in the table's order; none when the catalogue does
// not know it. Only the name spelled exactly so counts (the catalogue takes
// it as a pattern), and of a name found in several schemas only the first
// schema's columns.
std::vector<TableColumn> ReadTableColumns(Connection& connection, const QString& table);

}  // namespace quorvane
