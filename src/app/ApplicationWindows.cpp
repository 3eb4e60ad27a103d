#include "app/ApplicationWindows.h"

#include "app/ImportWindowConnections.h"
#include "base/Dialogs.h"
#include "db/ui/LoginWindow.h"
#include "filelist/FileListCommands.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"
#include "widgets/WindowLook.h"

#include <QFileInfo>

namespace quorvane {

ApplicationWindows::ApplicationWindows(Dialogs& dialogs)
    : dialogs_(dialogs),
      settings_(&dialogs),
      loginWindow_(std::make_unique<LoginWindow>(dialogs, settings_, lifetime_, *this))
{
}

ApplicationWindows::~ApplicationWindows()
{
    // The import window reads the login window's fields: it goes first.
    importWindow_.reset();
    loginWindow_.reset();
}

void ApplicationWindows::start(const QStringList& files)
{
    QStringList missing;
    for (const QString& file : files)
        (QFileInfo::exists(file) ? startFiles_ : missing) << file;
    lifetime_.handle([this] {
        loginWindow_->load();
        if (!loginWindow_->hiddenByLoad() && !lifetime_.isEnding()) {
            CentreOnScreen(loginWindow_.get());
            loginWindow_->show();
        }
    });
    if (!missing.isEmpty() && !lifetime_.isEnding())
        lifetime_.handle([&] {
            ShowPlainMessage(dialogs_, QStringLiteral("These files do not exist and are left out:\n")
                                           + missing.join(QLatin1Char('\n')));
        });
}

void ApplicationWindows::showImportWindow()
{
    if (!importWindow_) {
        importWindow_ = std::make_unique<ImportWindow>(dialogs_, lifetime_, *loginWindow_, *this);
        ConnectImportWindowActions(*importWindow_, settings_);
        importWindow_->load();
        CentreOnScreen(importWindow_.get());
        if (!startFiles_.isEmpty())
            AddDroppedPaths(std::exchange(startFiles_, {}), *importWindow_->fileList(), dialogs_, lifetime_);
    }
    importWindow_->show();
}

void ApplicationWindows::reloadImportWindow()
{
    if (importWindow_)
        importWindow_->load();
}

void ApplicationWindows::showLoginWindow()
{
    // Also its first showing, when the start-up check went straight on to
    // the import window.
    CentreOnScreen(loginWindow_.get());
    loginWindow_->show();
}

}  // namespace quorvane
