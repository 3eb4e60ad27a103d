#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

class Dialogs;
class EventPump;
class FileList;

// A folder named on the command line: its whole tree, every file as for a
// dropped folder, or only the files named *.extension as for the folder
// scan of the window.
void AddFolderInput(const QString& folder, const std::optional<QString>& extension, FileList& files,
                    Dialogs& dialogs, EventPump& events);

// The inputs of the command line in order: a folder as above, anything
// else as a file, taken as given.
void AddInputs(const QStringList& inputs, const std::optional<QString>& extension, FileList& files,
               Dialogs& dialogs, EventPump& events);

}  // namespace quorvane
