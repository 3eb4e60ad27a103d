#pragma once

#include <QStringList>

class QMimeData;

namespace quorvane {

// True when dragged data names at least one local file or folder.
bool DragCarriesLocalFiles(const QMimeData& data);

// The local paths of dragged data, in the order the data gives them;
// URLs that are not local files are left out.
QStringList DraggedLocalPaths(const QMimeData& data);

}  // namespace quorvane
