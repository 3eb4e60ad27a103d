#pragma once

#include "base/Settings.h"
#include "widgets/ProgramLifetime.h"
#include "widgets/WindowFlow.h"

#include <QStringList>

#include <memory>

namespace quorvane {

class Dialogs;
class LoginWindow;
class ImportWindow;

// The program's windows and how they hand over: the login window loads at
// start and its load is the start-up sequence; the import window loads at
// its first showing.
class ApplicationWindows final : public WindowFlow {
public:
    explicit ApplicationWindows(Dialogs& dialogs);
    ~ApplicationWindows() override;

    // Loads the login window, then shows it unless its load handed over.
    // The files go into the import window's list when it first opens, as a
    // drop would put them there; those that do not exist are named once.
    void start(const QStringList& files = {});

    LoginWindow& loginWindow() { return *loginWindow_; }
    // Null until the import window has first been shown.
    ImportWindow* importWindow() { return importWindow_.get(); }
    ProgramLifetime& lifetime() { return lifetime_; }

    void showImportWindow() override;
    void reloadImportWindow() override;
    void showLoginWindow() override;

private:
    Dialogs& dialogs_;
    ProgramLifetime lifetime_;
    SettingsStore settings_;
    std::unique_ptr<LoginWindow> loginWindow_;
    std::unique_ptr<ImportWindow> importWindow_;
    QStringList startFiles_;  // waiting for the import window
};

}  // namespace quorvane
