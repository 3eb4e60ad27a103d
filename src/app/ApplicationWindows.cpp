#include "app/ApplicationWindows.h"

#include "app/ImportWindowConnections.h"
#include "widgets/WindowLook.h"
#include "db/ui/LoginWindow.h"
#include "import/ui/ImportWindow.h"

namespace quorvane {

ApplicationWindows::ApplicationWindows(Dialogs& dialogs)
    : dialogs_(dialogs),
      settings_(&dialogs),
      form1_(std::make_unique<Form1>(dialogs, settings_, lifetime_, *this))
{
}

ApplicationWindows::~ApplicationWindows()
{
    // The import window reads the login window's fields: it goes first.
    form2_.reset();
    form1_.reset();
}

void ApplicationWindows::start()
{
    lifetime_.handle([this] {
        form1_->Form_Load();
        if (!form1_->hiddenByLoad() && !lifetime_.isEnding()) {
            CentreOnScreen(form1_.get());
            form1_->show();
        }
    });
}

void ApplicationWindows::showImportWindow()
{
    if (!form2_) {
        form2_ = std::make_unique<Form2>(dialogs_, lifetime_, *form1_, *this);
        ConnectImportWindowActions(*form2_, settings_);
        form2_->Form_Load();
        CentreOnScreen(form2_.get());
    }
    form2_->show();
}

void ApplicationWindows::reloadImportWindow()
{
    if (form2_)
        form2_->Form_Load();
}

void ApplicationWindows::showLoginWindow()
{
    // Also its first showing, when the start-up check went straight on to
    // the import window.
    CentreOnScreen(form1_.get());
    form1_->show();
}

}  // namespace quorvane
