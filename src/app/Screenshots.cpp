#include "app/Screenshots.h"

#include "app/ApplicationWindows.h"
#include "db/ui/LoginWindow.h"
#include "help/ui/HelpTextWindow.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"
#include "import/ui/PreviewWindow.h"
#include "widgets/WindowLook.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>

namespace quorvane {

namespace {

bool Save(QWidget* window, const QString& path)
{
    window->show();
    window->raise();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    return window->grab().save(path, "PNG");
}

}  // namespace

bool SaveWindowScreenshots(ApplicationWindows& windows, Dialogs& dialogs, const QString& folder)
{
    QDir().mkpath(folder);
    const QDir dir(folder);
    bool saved = true;

    LoginWindow& login = windows.loginWindow();
    CentreOnScreen(&login);
    saved &= Save(&login, dir.filePath(QStringLiteral("login.png")));
    login.hide();

    windows.showImportWindow();
    saved &= Save(windows.importWindow(), dir.filePath(QStringLiteral("import.png")));

    // The preview of the first file listed (the files given at start).
    ImportWindow* importWindow = windows.importWindow();
    if (importWindow->fileList()->count() > 0) {
        importWindow->onPreviewClicked();
        PreviewWindow* preview = importWindow->preview();
        const QDeadlineTimer deadline(10000);
        while (preview->checkRunning() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        saved &= Save(preview, dir.filePath(QStringLiteral("preview.png")));
        preview->close();
    }

    HelpTextWindow help(dialogs, windows.importWindow());
    help.load();
    help.text()->setPlainText(QStringLiteral("Line no 3: Jane,MA,Boston"));
    CentreOnScreen(&help);
    saved &= Save(&help, dir.filePath(QStringLiteral("help.png")));
    help.hide();
    return saved;
}

}  // namespace quorvane
