#pragma once

#include <QCursor>
#include <QString>

namespace quorvane {

// The list's pointer while a row is dragged: the image in iconFile, read
// anew at every call, or a closed hand when the file is missing or cannot
// be read. Never fails.
QCursor LoadDragPointer(const QString& iconFile);

}  // namespace quorvane
