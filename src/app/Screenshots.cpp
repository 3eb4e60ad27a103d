#include "app/Screenshots.h"

#include "app/ApplicationWindows.h"
#include "db/ui/LoginWindow.h"
#include "help/ui/HelpTextWindow.h"
#include "import/ui/ImportWindow.h"
#include "widgets/WindowLook.h"

#include <QCoreApplication>
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

    HelpTextWindow help(dialogs, windows.importWindow());
    help.load();
    help.text()->setPlainText(QStringLiteral("Line no 3: Jane,MA,Boston"));
    CentreOnScreen(&help);
    saved &= Save(&help, dir.filePath(QStringLiteral("help.png")));
    help.hide();
    return saved;
}

}  // namespace quorvane
