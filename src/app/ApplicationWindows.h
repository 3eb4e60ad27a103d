#pragma once

#include "base/Settings.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/WindowFlow.h"

#include <memory>

namespace quorvane {

class Dialogs;
class Form1;
class Form2;

// The program's windows and how they hand over: the login window loads at
// start and its load is the start-up sequence; the import window loads at
// its first showing.
class ApplicationWindows final : public WindowFlow {
public:
    explicit ApplicationWindows(Dialogs& dialogs);
    ~ApplicationWindows() override;

    // Loads the login window, then shows it unless its load handed over.
    void start();

    Form1& loginWindow() { return *form1_; }
    // Null until the import window has first been shown.
    Form2* importWindow() { return form2_.get(); }
    ProgramLifetime& lifetime() { return lifetime_; }

    void showImportWindow() override;
    void reloadImportWindow() override;
    void showLoginWindow() override;

private:
    Dialogs& dialogs_;
    ProgramLifetime lifetime_;
    SettingsStore settings_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
};

}  // namespace quorvane
