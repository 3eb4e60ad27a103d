#include "app/ApplicationWindows.h"

#include "app/ImportWindowConnections.h"
#include "db/ui/LoginWindow.h"
#include "import/ui/ImportWindow.h"
#include "widgets/WindowLook.h"

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

void ApplicationWindows::start()
{
    lifetime_.handle([this] {
        loginWindow_->load();
        if (!loginWindow_->hiddenByLoad() && !lifetime_.isEnding()) {
            CentreOnScreen(loginWindow_.get());
            loginWindow_->show();
        }
    });
}

void ApplicationWindows::showImportWindow()
{
    if (!importWindow_) {
        importWindow_ = std::make_unique<ImportWindow>(dialogs_, lifetime_, *loginWindow_, *this);
        ConnectImportWindowActions(*importWindow_, settings_);
        importWindow_->load();
        CentreOnScreen(importWindow_.get());
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
