#pragma once

#include <QString>

namespace quorvane {

class ApplicationWindows;
class Dialogs;

// Shows each of the three windows in turn and saves its picture as
// login.png, import.png and help.png in the folder, for the documentation;
// with files in the list, preview.png too, of the first.
// Returns false when a picture could not be written.
bool SaveWindowScreenshots(ApplicationWindows& windows, Dialogs& dialogs, const QString& folder);

}  // namespace quorvane
