#pragma once

// The test helpers that need no database: the scratch settings store and
// files. The database helpers are in TestSupport.h.

#include <QByteArray>
#include <QString>

namespace quorvane::testing {

// Empties the scratch settings store that the test run uses.
void ClearSettings();

// Begins the skip message of a case for SQLite only. In the MariaDB pass any
// other skip fails the test program (see TestMain.cpp), as does running none
// of its suites: a case meant for the server never passes there by not running.
inline constexpr char kSqliteOnly[] = "SQLite only: ";

// Writes bytes to a file, creating folders as needed.
void WriteFile(const QString& path, const QByteArray& bytes);
// A file's bytes, or "<missing>" when it cannot be read.
QByteArray ReadFileBytes(const QString& path);

}  // namespace quorvane::testing
