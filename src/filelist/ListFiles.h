#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// The names (no folder) of the folder's files that match the wildcard
// pattern, hidden files included, folders left out, sorted by name. A
// folder that can't be read lists nothing, as a listing that finds nothing.
QStringList ListFiles(const QString& folder, const QString& pattern);

}  // namespace quorvane
