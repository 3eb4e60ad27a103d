// Pairing by name where no test database can go: DB2 keeps columns that
// differ only in case apart (SQLite and MariaDB do not), and a header may
// hold an empty field.
#include "import/ColumnMatching.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

TEST(ColumnMatching, ExactSpellingWinsAndAnEmptyFieldIsShown)
{
    const std::vector<TableColumn> table{{QStringLiteral("name"), false}, {QStringLiteral("NAME"), false}};
    const ColumnPairing both = PairColumnsByName({QStringLiteral("NAME"), QStringLiteral(" name ")}, table);
    EXPECT_TRUE(both.accepted());
    EXPECT_EQ(both.columns, (QStringList{"NAME", "name"}));

    const ColumnPairing empty = PairColumnsByName({QStringLiteral("Name"), QString()}, table);
    EXPECT_EQ(PairingFaults(empty, QStringLiteral("T")), QStringList{QStringLiteral("Columns not in the table T: \"\"")});
}

}  // namespace
