#pragma once

#include "db/ConnectionParameters.h"
#include "db/ui/LoginWindowControls.h"
#include "widgets/WindowPointer.h"

#include <QWidget>

namespace quorvane {

class Dialogs;
class ProgramLifetime;
class SettingsStore;
class WindowFlow;

// The login window: the only home of the five connection parameters. Every
// connection of the program reads them from here at the moment it opens,
// also while this window is hidden.
class LoginWindow final : public QWidget, public ConnectionParametersSource {
    Q_OBJECT

public:
    LoginWindow(Dialogs& dialogs, SettingsStore& settings, ProgramLifetime& lifetime, WindowFlow& flow);

    // The start-up sequence of the whole program.
    void load();
    // Whether the start-up check handed over to the import window.
    bool hiddenByLoad() const { return hiddenByLoad_; }

    ConnectionParameters currentParameters() const override;

    const LoginWindowControls& controls() const { return controls_; }
    WindowPointer& pointer() { return pointer_; }

    void onTestConnectionClicked();  // "Test Connection"
    void onNextClicked();  // "Next >"
    void onHelpClicked();  // "Help"

protected:
    // Closing the login window ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void storeOnChange(QLineEdit* field, const QString& key);

    Dialogs& dialogs_;
    SettingsStore& settings_;
    ProgramLifetime& lifetime_;
    WindowFlow& flow_;
    WindowPointer pointer_;
    LoginWindowControls controls_;
    bool hiddenByLoad_ = false;
    // The window is served while a connection opens: meanwhile a second
    // "Test Connection" or "Next >" is not started inside the first.
    bool connecting_ = false;
};

}  // namespace quorvane
