#include "filelist/ui/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

namespace quorvane {

bool DragCarriesLocalFiles(const QMimeData& data) { return !DraggedLocalPaths(data).isEmpty(); }

QStringList DraggedLocalPaths(const QMimeData& data)
{
    QStringList paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

}  // namespace quorvane
