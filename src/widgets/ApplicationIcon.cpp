#include "widgets/ApplicationIcon.h"

#include "base/Failure.h"

#include <QPixmap>

// The resources live in a static library: register them before first use,
// or the linker may have left their initialiser out.
static void RegisterResources() { Q_INIT_RESOURCE(quorvane); }

namespace quorvane {

QIcon ApplicationIcon()
{
    RegisterResources();
    const QPixmap image(QStringLiteral(":/quorvane.png"));
    if (image.isNull())
        throw Failure(QStringLiteral("The application icon cannot be read."));
    return QIcon(image);
}

}  // namespace quorvane
