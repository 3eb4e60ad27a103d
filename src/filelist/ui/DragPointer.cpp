#include "filelist/ui/DragPointer.h"

#include <QImageReader>
#include <QPixmap>

namespace quorvane {

QCursor LoadDragPointer(const QString& iconFile)
{
    // QIcon and QPixmap would hide a failed read; the reader tells.
    QImageReader reader(iconFile);
    const QImage image = reader.read();
    if (image.isNull())
        return QCursor(Qt::ClosedHandCursor);
    return QCursor(QPixmap::fromImage(image));
}

}  // namespace quorvane
