#pragma once

#include "widgets/WindowPointer.h"
#include "db/ConnectionParameters.h"
#include "db/ui/LoginWindowControls.h"

#include <QWidget>

namespace quorvane {

class Dialogs;
class ProgramLifetime;
class SettingsStore;
class WindowFlow;

// The login window: the only home of the five connection parameters. Every
// connection of the program reads them from here at the moment it opens,
// also while this window is hidden.
class Form1 final : public QWidget, public ConnectionParametersSource {
    Q_OBJECT

public:
    Form1(Dialogs& dialogs, SettingsStore& settings, ProgramLifetime& lifetime, WindowFlow& flow);

    // The start-up sequence of the whole program.
    void Form_Load();
    // Whether the start-up check handed over to the import window.
    bool hiddenByLoad() const { return hiddenByLoad_; }

    ConnectionParameters currentParameters() const override;

    const Form1Controls& controls() const { return controls_; }
    WindowPointer& pointer() { return pointer_; }

    void PushButton2_Click();  // "Test Connection"
    void PushButton3_Click();  // "Next >"
    void PushButton5_Click();  // "Help"

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
    Form1Controls controls_;
    bool hiddenByLoad_ = false;
    // The window is served while a connection opens: meanwhile a second
    // "Test Connection" or "Next >" is not started inside the first.
    bool connecting_ = false;
};

}  // namespace quorvane
