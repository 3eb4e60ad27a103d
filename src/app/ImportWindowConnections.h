#pragma once

namespace quorvane {

class ImportWindow;
class SettingsStore;

// Connects the import window's actions that live outside the window itself
// (the import run, adding files, drops on the file list). Runs once, right
// after the window is made and before its load steps.
void ConnectImportWindowActions(ImportWindow& window, SettingsStore& settings);

}  // namespace quorvane
